#include "runtime/V.h"

#include <cstdio>

namespace fairholm {

void V::trace(const String& message, int32_t a, int32_t b) const {
    std::printf("%s %d %d\n", message.chars(), a, b);
}

void V::trace(const String& message, int32_t a) const {
    std::printf("%s %d\n", message.chars(), a);
}

void V::trace(const String& message) const {
    std::printf("%s\n", message.chars());
    std::fflush(stdout);
}

}  // namespace fairholm
