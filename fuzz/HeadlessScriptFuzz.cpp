// libFuzzer target: arbitrary text as a headless script; every parsed event is checked
// against what the format allows.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/headless/HeadlessScript.h"

using namespace fairholm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    HeadlessScript script;
    std::string error;
    if (!script.parse(text, error)) {
        if (error.empty()) {
            std::abort();  // a refused script always says why
        }
        return 0;
    }
    uint32_t last = 0;
    for (const HeadlessScript::Event& event : script.events()) {
        if (event.time < last) {
            std::abort();  // events are kept in time order
        }
        last = event.time;
    }
    HeadlessScript::keyCode(text.substr(0, 16));
    return 0;
}
