#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fairholm::fontgen {

// One character as a cell of coverage levels 0 (empty) to 15 (full ink), `width`
// pixels wide and `rows` high, row-major from the top-left. The cell's width is
// also the character's advance. A cell without ink has no rows.
struct GlyphCell {
    int code = 0;
    int width = 0;
    int rows = 0;
    std::vector<std::uint8_t> coverage;

    bool empty() const { return rows == 0; }
};

// A whole font rendered for one size: the cells of firstChar..lastChar in order.
struct RasterFont {
    int spaceWidth = 0;
    int lineHeight = 0;
    int sizeMetric = 0;
    int firstChar = 0;
    int lastChar = 0;
    std::vector<GlyphCell> glyphs;
};

// Renders an outline font with FreeType, hinted for the pixel size, into cells of
// one line height. The baseline sits as low as the deepest descender allows, so
// every glyph of the range fits inside the line; ink that would stick out above
// the line is cut off.
class FontRasterizer {
public:
    // pixelSize is the em size in pixels; false with a message when the font file
    // cannot be read or the sizes make no sense.
    static bool render(const std::string& fontPath, int pixelSize, int lineHeight, int firstChar,
                       int lastChar, RasterFont& out, std::string& error);
};

}  // namespace fairholm::fontgen
