#pragma once

#include <cstdint>
#include <string>

namespace fairholm {

// Writes frame buffers as PNG files (8-bit RGB). Pixels are 0xRRGGBB in the low 24
// bits; the top byte (the engine's depth tag) is ignored.
class PngWriter {
public:
    static bool write(const std::string& path, const int32_t* pixels, int32_t width, int32_t height,
                      int32_t stride);
};

}  // namespace fairholm
