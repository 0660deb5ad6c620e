#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fairholm::icongen {

// The program's icon, drawn once as a few shapes on a 32-unit square (a flag on a green
// with the cup and a ball, the sky behind) and put out in every form a system asks for:
// pictures of any size (anti-aliased, transparent outside the rounded square), the same
// drawing as SVG, and a Windows icon file.
class Icon {
public:
    // A square picture of `size` pixels, row by row, as 0xAARRGGBB.
    static std::vector<uint32_t> render(int size);
    // The drawing as an SVG document.
    static std::string svg();
    // A Windows .ico file holding 32-bit pictures of the given sizes (at most 256).
    static std::vector<uint8_t> ico(const std::vector<int>& sizes);
};

}  // namespace fairholm::icongen
