#include "platform/headless/HeadlessScript.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "engine/sprite/EngineKey.h"

namespace fairholm {

namespace {

bool parseInt(const std::string& text, int32_t& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (*end != 0 || parsed < INT32_MIN || parsed > INT32_MAX) {
        return false;
    }
    value = static_cast<int32_t>(parsed);
    return true;
}

}  // namespace

int32_t HeadlessScript::keyCode(const std::string& name) {
    static const struct {
        const char* name;
        int32_t code;
    } names[] = {{"left", key::left},    {"right", key::right},     {"up", key::up},
                 {"down", key::down},    {"action", key::action},   {"enter", key::action},
                 {"soft1", key::action}, {"soft2", key::softRight}, {"back", key::back},
                 {"escape", key::back},  {"space", key::space},     {"hash", '#'},
                 {"star", '*'},          {"fast", key::fast}};
    for (const auto& entry : names) {
        if (name == entry.name) {
            return entry.code;
        }
    }
    if (name.size() == 3 && name.front() == '\'' && name.back() == '\'') {
        return static_cast<unsigned char>(name[1]);
    }
    int32_t code;
    if (parseInt(name, code) && code > 0 && code < 128) {
        return code;
    }
    return -1;
}

bool HeadlessScript::parse(const std::string& source, std::string& error) {
    m_events.clear();
    std::istringstream lines(source);
    std::string line;
    int lineNumber = 0;
    while (std::getline(lines, line)) {
        ++lineNumber;
        const auto fail = [&](const std::string& why) {
            error = "line " + std::to_string(lineNumber) + ": " + why;
            return false;
        };
        // A '#' after whitespace starts a comment; "char #" keeps its argument.
        std::istringstream words(line);
        std::vector<std::string> tokens;
        for (std::string word; words >> word;) {
            if (word[0] == '#' && !(tokens.size() == 3 && tokens[2] == "char")) {
                break;
            }
            tokens.push_back(word);
        }
        if (tokens.empty()) {
            continue;
        }
        int32_t time;
        if (tokens.size() < 3 || tokens[0] != "at" || !parseInt(tokens[1], time) || time < 0) {
            return fail("expected 'at TIME VERB ...'");
        }
        Event event;
        event.time = static_cast<uint32_t>(time);
        const std::string& verb = tokens[2];
        const size_t args = tokens.size() - 3;
        if (verb == "key" || verb == "press" || verb == "release") {
            if (args != 1 || (event.a = keyCode(tokens[3])) < 0) {
                return fail("unknown key");
            }
            event.verb = verb == "key" ? Verb::Key : verb == "press" ? Verb::Press : Verb::Release;
        } else if (verb == "char") {
            if (args != 1 || tokens[3].size() != 1) {
                return fail("char takes one character");
            }
            event.verb = Verb::Char;
            event.a = static_cast<unsigned char>(tokens[3][0]);
        } else if (verb == "tap" || verb == "resize") {
            if (args != 2 || !parseInt(tokens[3], event.a) || !parseInt(tokens[4], event.b)) {
                return fail(verb + " takes two numbers");
            }
            if (verb == "resize" && (event.a <= 0 || event.b <= 0 || event.a > 4096 || event.b > 4096)) {
                return fail("resize takes a size from 1 to 4096");
            }
            event.verb = verb == "tap" ? Verb::Tap : Verb::Resize;
        } else if (verb == "dump") {
            if (args != 1) {
                return fail("dump takes a file name");
            }
            event.verb = Verb::Dump;
            event.text = tokens[3];
        } else if (verb == "stop") {
            event.verb = Verb::Stop;
        } else {
            return fail("unknown verb '" + verb + "'");
        }
        m_events.push_back(event);
    }
    std::stable_sort(m_events.begin(), m_events.end(),
                     [](const Event& x, const Event& y) { return x.time < y.time; });
    return true;
}

}  // namespace fairholm
