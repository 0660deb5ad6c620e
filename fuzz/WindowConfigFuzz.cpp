// libFuzzer target: arbitrary text as the remembered window size; a size read is a sane
// one, and what the shell writes for it reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/WindowConfig.h"

using namespace fairholm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    int32_t width = 0;
    int32_t height = 0;
    std::string error;
    if (!WindowConfig::parse(text, width, height, error)) {
        if (error.empty() || width != 0 || height != 0) {
            std::abort();  // a refused file says why and gives no size
        }
        return 0;
    }
    if (!WindowConfig::isSane(width, height)) {
        std::abort();
    }
    int32_t again = 0;
    int32_t againHeight = 0;
    if (!WindowConfig::parse(WindowConfig::format(width, height), again, againHeight, error) ||
        again != width || againHeight != height) {
        std::abort();
    }
    return 0;
}
