#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fairholm::packgen {

// Writes 8-bit RGBA PNG files through libpng.
class PngWriter {
public:
    // `argb` holds width × height straight 0xAARRGGBB words, row-major.
    static bool write(const std::string& path, int width, int height, const std::vector<uint32_t>& argb);
};

}  // namespace fairholm::packgen
