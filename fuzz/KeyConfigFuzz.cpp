// libFuzzer target: arbitrary text as the key configuration, parsed and resolved for a
// host that knows the one-character names; every binding and message is checked against
// what the format allows.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/KeyConfig.h"

using namespace fairholm;

namespace {

int32_t oneCharacterKey(const std::string& name) {
    return name.size() == 1 ? static_cast<unsigned char>(name[0]) : 0;
}

int32_t numberedButton(const std::string& name) {
    return name.size() == 2 && name[0] == 'b' && name[1] >= '0' && name[1] <= '9' ? name[1] - '0' + 20 : -1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    KeyConfig config;
    config.parse(text, "keys.conf");
    int32_t lineCount = 1;
    for (char c : text) {
        lineCount += c == '\n' ? 1 : 0;
    }
    int32_t previous = 0;
    for (const KeyConfig::Line& line : config.lines()) {
        if (line.name.empty() || line.number <= previous || line.number > lineCount) {
            std::abort();  // a binding names something, once a line, in line order
        }
        previous = line.number;
        if (KeyConfig::engineKeyByName(KeyConfig::engineKeyName(line.engineKey)) != line.engineKey) {
            std::abort();  // only engine keys the format names
        }
    }
    const size_t parsed = config.errors().size();
    const KeyBindings bindings = config.resolve(KeyTable::Host::Sdl, oneCharacterKey, numberedButton);
    const auto errors = config.errors();
    if (bindings.keyCount() + bindings.buttonCount() + (errors.size() - parsed) > config.lines().size()) {
        std::abort();  // every line is a binding or a message, never both
    }
    long last = 0;
    for (const std::string& message : errors) {
        if (message.rfind("keys.conf:", 0) != 0 || message.find("the line is skipped") == std::string::npos) {
            std::abort();  // every message names the file and the line
        }
        const long number = std::strtol(message.c_str() + 10, nullptr, 10);
        if (number < last || number < 1 || number > lineCount) {
            std::abort();  // in line order
        }
        last = number;
        for (char c : message) {
            if (static_cast<unsigned char>(c) < 32 || static_cast<unsigned char>(c) > 126) {
                std::abort();  // nothing that could upset a terminal
            }
        }
    }
    return 0;
}
