#pragma once

#include <cstddef>
#include <cstdint>

namespace fairholm {

// The CRC-32 of zlib and PNG (polynomial 0xEDB88320, reflected, inverted), which the
// game's own files end with so that a damaged one is known as such.
class Crc32 {
public:
    static uint32_t of(const uint8_t* bytes, size_t length);
};

}  // namespace fairholm
