#include "tools/soundgen/Params.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace fairholm::soundgen {

std::string formatNumber(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

namespace {

// "'key' <what>": appended piece by piece (GCC 12 at -O3 takes the concatenation of a
// one-character literal and a string for an overlapping copy, -Wrestrict).
std::string aboutKey(const char* key, const char* what) {
    std::string message(1, '\'');
    message.append(key).append("' ").append(what);
    return message;
}

}  // namespace

bool parseNumber(const std::string& text, double& value) {
    if (text.empty() || text.size() > 40) {
        return false;
    }
    for (char c : text) {
        if (std::strchr("0123456789+-.eE", c) == nullptr) {
            return false;  // no hex, no "inf", no "nan"
        }
    }
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || errno != 0 || !std::isfinite(v)) {
        return false;
    }
    value = v;
    return true;
}

Params::Params(const std::vector<ScriptEntry>& entries, std::string where)
    : m_entries(entries), m_used(entries.size(), false), m_where(std::move(where)) {}

void Params::fail(const std::string& message) {
    if (m_error.empty()) {
        m_error = message;
    }
}

const ScriptEntry* Params::find(const char* key, int& count) {
    const ScriptEntry* found = nullptr;
    count = 0;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].key == key) {
            m_used[i] = true;
            found = &m_entries[i];
            ++count;
        }
    }
    return found;
}

std::vector<double> Params::numbers(const char* key, std::vector<double> fallback, double lo, double hi) {
    int count = 0;
    const ScriptEntry* e = find(key, count);
    if (e == nullptr) {
        return fallback;
    }
    const std::string here = "line " + std::to_string(e->line) + ": '" + key + "'";
    if (count > 1) {
        fail(here + " is given more than once");
        return fallback;
    }
    if (e->values.empty() || e->values.size() > 64) {
        fail(here + " needs between 1 and 64 numbers");
        return fallback;
    }
    std::vector<double> result;
    for (const std::string& text : e->values) {
        double v = 0.0;
        if (!parseNumber(text, v)) {
            fail(here + ": '" + text + "' is not a number");
            return fallback;
        }
        if (v < lo || v > hi) {
            fail(here + ": " + text + " is outside " + formatNumber(lo) + " to " + formatNumber(hi));
            return fallback;
        }
        result.push_back(v);
    }
    return result;
}

double Params::number(const char* key, double fallback, double lo, double hi) {
    std::vector<double> v = numbers(key, {fallback}, lo, hi);
    if (v.size() != 1) {
        fail(aboutKey(key, "takes one number"));
        return fallback;
    }
    return v[0];
}

int Params::integer(const char* key, int fallback, int lo, int hi) {
    const double v = number(key, fallback, lo, hi);
    if (v != std::floor(v)) {
        fail(aboutKey(key, "takes a whole number"));
        return fallback;
    }
    return static_cast<int>(v);
}

std::string Params::word(const char* key, const char* fallback, std::initializer_list<const char*> allowed) {
    int count = 0;
    const ScriptEntry* e = find(key, count);
    if (e == nullptr) {
        return fallback;
    }
    if (count > 1 || e->values.size() != 1) {
        fail("line " + std::to_string(e->line) + ": '" + key + "' takes one word");
        return fallback;
    }
    for (const char* a : allowed) {
        if (e->values[0] == a) {
            return a;
        }
    }
    std::string list;
    for (const char* a : allowed) {
        list += list.empty() ? "" : ", ";
        list += a;
    }
    fail("line " + std::to_string(e->line) + ": '" + key + "' must be one of " + list);
    return fallback;
}

std::vector<std::string> Params::words(const char* key) {
    std::vector<std::string> result;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].key == key) {
            m_used[i] = true;
            result.insert(result.end(), m_entries[i].values.begin(), m_entries[i].values.end());
        }
    }
    return result;
}

bool Params::finish(std::string& error) {
    if (m_error.empty()) {
        for (std::size_t i = 0; i < m_entries.size(); ++i) {
            if (!m_used[i]) {
                m_error = "line " + std::to_string(m_entries[i].line) + ": unknown key '" + m_entries[i].key +
                          "' in " + m_where;
                break;
            }
        }
    }
    if (!m_error.empty()) {
        error = m_error;
        return false;
    }
    return true;
}

}  // namespace fairholm::soundgen
