#include "platform/KeyConfig.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "engine/sprite/EngineKey.h"
#include "platform/ConfigFile.h"

namespace fairholm {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

bool sameName(const std::string& a, const char* b) {
    const size_t length = std::strlen(b);
    if (a.size() != length) {
        return false;
    }
    for (size_t i = 0; i < length; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// A name as it goes into a message: at most 40 characters, control bytes and bytes
// above 126 as '?'.
std::string shown(const std::string& name) {
    std::string out;
    for (size_t i = 0; i < name.size() && i < 40; ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        out += c < 32 || c > 126 ? '?' : static_cast<char>(c);
    }
    if (name.size() > 40) {
        out += "...";
    }
    return "\"" + out + "\"";
}

std::string trimmed(const std::string& text, size_t begin, size_t end) {
    while (begin < end && isBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

const struct {
    const char* name;
    int32_t key;
} engineNames[] = {
    {"left", key::left}, {"right", key::right},       {"up", key::up},
    {"down", key::down}, {"action", key::action},     {"softright", key::softRight},
    {"back", key::back}, {"fast", key::fast},         {"#", '#'},
    {"*", '*'},          {"none", KeyBindings::none},
};

const char* const engineKeyList = "left right up down action softright back fast 0-9 # * none";

}  // namespace

int32_t KeyConfig::engineKeyByName(const std::string& name) {
    if (name.size() == 1 && name[0] >= '0' && name[0] <= '9') {
        return name[0];
    }
    for (const auto& entry : engineNames) {
        if (sameName(name, entry.name)) {
            return entry.key;
        }
    }
    return -1;
}

std::string KeyConfig::engineKeyName(int32_t engineKey) {
    if (engineKey >= '0' && engineKey <= '9') {
        return std::string(1, static_cast<char>(engineKey));
    }
    for (const auto& entry : engineNames) {
        if (entry.key == engineKey) {
            return entry.name;
        }
    }
    return std::to_string(engineKey);
}

void KeyConfig::error(int32_t line, const std::string& what) {
    m_problems.push_back(
        {line, m_fileName + ":" + std::to_string(line) + ": " + what + "; the line is skipped"});
}

std::vector<std::string> KeyConfig::errors() const {
    std::vector<std::string> messages;
    for (const Problem& problem : m_problems) {
        messages.push_back(problem.text);
    }
    return messages;
}

void KeyConfig::parse(const std::string& text, const std::string& fileName) {
    m_fileName = fileName;
    m_lines.clear();
    m_problems.clear();
    int32_t number = 0;
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find('\n', begin);
        if (end == std::string::npos) {
            end = text.size();
        }
        ++number;
        const std::string line = text.substr(begin, end - begin);
        begin = end + 1;

        size_t at = 0;
        while (at < line.size() && isBlank(line[at])) {
            ++at;
        }
        if (at == line.size() || line[at] == '#') {
            continue;
        }
        size_t word = at;
        while (word < line.size() && !isBlank(line[word]) && line[word] != '"') {
            ++word;
        }
        const std::string keyword = line.substr(at, word - at);
        Line binding;
        binding.number = number;
        if (sameName(keyword, "button")) {
            binding.button = true;
        } else if (!sameName(keyword, "key")) {
            error(number, "expected \"key NAME = ENGINE-KEY\" or \"button NAME = ENGINE-KEY\", not " +
                              shown(keyword));
            continue;
        }
        at = word;
        while (at < line.size() && isBlank(line[at])) {
            ++at;
        }
        size_t equals;
        if (at < line.size() && line[at] == '"') {
            const size_t close = line.find('"', at + 1);
            if (close == std::string::npos) {
                error(number, "the quoted name has no closing '\"'");
                continue;
            }
            binding.name = line.substr(at + 1, close - at - 1);
            equals = close + 1;
            while (equals < line.size() && isBlank(line[equals])) {
                ++equals;
            }
            if (equals >= line.size() || line[equals] != '=') {
                error(number, "expected '=' after the name " + shown(binding.name));
                continue;
            }
        } else {
            equals = line.find('=', at);
            if (equals == std::string::npos) {
                error(number, "no '=' between the name and the engine key");
                continue;
            }
            binding.name = trimmed(line, at, equals);
        }
        if (binding.name.empty()) {
            error(number, binding.button ? "no button name" : "no key name");
            continue;
        }
        at = equals + 1;
        while (at < line.size() && isBlank(line[at])) {
            ++at;
        }
        size_t valueEnd = at;
        while (valueEnd < line.size() && !isBlank(line[valueEnd])) {
            ++valueEnd;
        }
        const std::string value = line.substr(at, valueEnd - at);
        at = valueEnd;
        while (at < line.size() && isBlank(line[at])) {
            ++at;
        }
        if (value.empty()) {
            error(number, std::string("no engine key after '=' (one of: ") + engineKeyList + ")");
            continue;
        }
        if (at < line.size() && line[at] != '#') {
            error(number, "unexpected text after the engine key " + shown(value));
            continue;
        }
        binding.engineKey = engineKeyByName(value);
        if (binding.engineKey < 0) {
            error(number, "unknown engine key " + shown(value) + " (one of: " + engineKeyList + ")");
            continue;
        }
        m_lines.push_back(std::move(binding));
    }
}

bool KeyConfig::load(const std::string& path, bool mustExist) {
    m_fileName = path;
    m_lines.clear();
    m_problems.clear();
    std::string text;
    const ConfigFile::Status status = ConfigFile::read(path, maxBytes, text);
    if (status == ConfigFile::Status::Missing) {
        if (mustExist) {
            m_problems.push_back({0, path + ": not there; the default keys apply"});
        }
        return false;
    }
    if (status != ConfigFile::Status::Read) {
        m_problems.push_back(
            {0, path + ": " + ConfigFile::describe(status, maxBytes) + "; the default keys apply"});
        return false;
    }
    parse(text, path);
    return true;
}

KeyBindings KeyConfig::resolve(KeyTable::Host host, const Namer& hostKey, const Namer& hostButton) {
    KeyBindings bindings(host);
    std::vector<std::pair<int32_t, std::string>> unknown;
    for (const Line& line : m_lines) {
        int32_t code = -1;
        if (line.button) {
            for (int32_t i = 0; i < KeyTable::buttonCount && code < 0; ++i) {
                const KeyTable::ButtonRow& row = KeyTable::buttons[i];
                if (sameName(line.name, row.name)) {
                    code = host == KeyTable::Host::Web ? row.web : row.sdl;
                }
            }
            if (code < 0 && hostButton) {
                code = hostButton(line.name);
            }
        } else {
            for (int32_t i = 0; i < KeyTable::rowCount && code < 0; ++i) {
                const KeyTable::Row& row = KeyTable::rows[i];
                if (sameName(line.name, row.name)) {
                    code = host == KeyTable::Host::Sdl     ? row.sdl
                           : host == KeyTable::Host::Win32 ? row.win32
                                                           : -1;
                }
            }
            if (code <= 0 && hostKey) {
                code = hostKey(line.name);
            }
        }
        if (code < 0 || (!line.button && code == 0)) {
            unknown.emplace_back(line.number, std::string(line.button ? "no gamepad button" : "no key") +
                                                  " is called " + shown(line.name));
            continue;
        }
        if (line.button) {
            bindings.bindButton(code, line.engineKey);
        } else {
            bindings.bindKey(code, line.engineKey);
        }
    }
    for (const auto& [number, what] : unknown) {
        error(number, what);
    }
    // In line order; where a line has two, the one found first comes first.
    std::stable_sort(m_problems.begin(), m_problems.end(),
                     [](const Problem& a, const Problem& b) { return a.line < b.line; });
    return bindings;
}

std::string KeyConfig::describeDefaults(size_t width, const char* indent) {
    std::vector<std::string> items;
    for (int32_t i = 0; i < KeyTable::rowCount; ++i) {
        const KeyTable::Row& row = KeyTable::rows[i];
        if (row.engineKey >= '0' && row.engineKey <= '9') {
            continue;  // the digits, below
        }
        items.push_back(std::string(row.name) + " " + engineKeyName(row.engineKey) + ",");
    }
    items.emplace_back("0-9 and Keypad0-Keypad9 their digit;");
    items.emplace_back("buttons:");
    for (int32_t i = 0; i < KeyTable::buttonCount; ++i) {
        const KeyTable::ButtonRow& row = KeyTable::buttons[i];
        items.push_back(std::string(row.name) + " " + engineKeyName(row.engineKey) +
                        (i + 1 < KeyTable::buttonCount ? "," : "."));
    }
    std::string text;
    std::string line = indent;
    for (const std::string& item : items) {
        if (line.size() > std::strlen(indent) && line.size() + 1 + item.size() > width) {
            text += line + "\n";
            line = indent;
        }
        if (line.size() > std::strlen(indent)) {
            line += ' ';
        }
        line += item;
    }
    return text + line + "\n";
}

const char* KeyConfig::formatHelp() {
    return "  one binding a line, '#' starts a comment:\n"
           "    key Space = action      key W = up      key F1 = none (unbinds F1)\n"
           "    button A = action       key \"Keypad =\" = back (quotes for names with = or \")\n"
           "  keys by SDL's names or the names above; engine keys: left right up down\n"
           "  action softright back fast 0-9 # * none. A broken line is reported and skipped.\n";
}

}  // namespace fairholm
