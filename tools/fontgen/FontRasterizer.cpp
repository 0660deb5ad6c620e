#include "tools/fontgen/FontRasterizer.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_DRIVER_H
#include FT_MODULE_H

#include <algorithm>

#include "tools/formats/FontWriter.h"

namespace fairholm::fontgen {

namespace {

// Owns the FreeType library and face for one render.
class Face {
public:
    ~Face() {
        if (m_face != nullptr) {
            FT_Done_Face(m_face);
        }
        if (m_library != nullptr) {
            FT_Done_FreeType(m_library);
        }
    }
    bool open(const std::string& path) {
        if (FT_Init_FreeType(&m_library) != 0) {
            return false;
        }
        // The classic TrueType interpreter applies the font's hints in both
        // directions: stems snap to whole pixels, which keeps small text crisp.
        FT_UInt version = TT_INTERPRETER_VERSION_35;
        FT_Property_Set(m_library, "truetype", "interpreter-version", &version);
        return FT_New_Face(m_library, path.c_str(), 0, &m_face) == 0;
    }
    FT_Face get() const { return m_face; }

private:
    FT_Library m_library = nullptr;
    FT_Face m_face = nullptr;
};

}  // namespace

bool FontRasterizer::render(const std::string& fontPath, int pixelSize, int lineHeight, int firstChar,
                            int lastChar, RasterFont& out, std::string& error) {
    if (pixelSize < 4 || pixelSize > 64 || lineHeight < 4 || lineHeight > 96 || firstChar < 1 ||
        lastChar > 126 || firstChar > lastChar) {
        error = "bad font sizes or character range";
        return false;
    }
    Face face;
    if (!face.open(fontPath)) {
        error = "cannot read the font " + fontPath;
        return false;
    }
    FT_Face f = face.get();
    if (FT_Set_Pixel_Sizes(f, 0, static_cast<FT_UInt>(pixelSize)) != 0) {
        error = "the font has no size " + std::to_string(pixelSize);
        return false;
    }
    // First pass: the deepest descender fixes the baseline.
    int deepest = 0;
    for (int c = firstChar; c <= lastChar; ++c) {
        if (FT_Load_Char(f, static_cast<FT_ULong>(c), FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL) != 0) {
            error = "cannot render character " + std::to_string(c);
            return false;
        }
        const FT_GlyphSlot g = f->glyph;
        if (g->bitmap.rows > 0) {
            deepest = std::max(deepest, static_cast<int>(g->bitmap.rows) - g->bitmap_top);
        }
    }
    const int baseline = std::max(1, lineHeight - deepest);

    out = RasterFont();
    out.lineHeight = lineHeight;
    out.sizeMetric = pixelSize;
    out.firstChar = firstChar;
    out.lastChar = lastChar;
    FT_Load_Char(f, ' ', FT_LOAD_DEFAULT | FT_LOAD_TARGET_NORMAL);
    out.spaceWidth = static_cast<int>((f->glyph->advance.x + 32) >> 6);

    for (int c = firstChar; c <= lastChar; ++c) {
        FT_Load_Char(f, static_cast<FT_ULong>(c), FT_LOAD_RENDER | FT_LOAD_TARGET_NORMAL);
        const FT_GlyphSlot g = f->glyph;
        const FT_Bitmap& bm = g->bitmap;
        GlyphCell cell;
        cell.code = c;
        const int advance = static_cast<int>((g->advance.x + 32) >> 6);
        if (bm.rows == 0 || bm.width == 0 || bm.pixel_mode != FT_PIXEL_MODE_GRAY) {
            out.glyphs.push_back(cell);  // no ink: the space and its like
            continue;
        }
        // Ink left of the pen moves right into the cell; ink past the advance widens it.
        const int left = std::max(0, static_cast<int>(g->bitmap_left));
        cell.width = std::max(advance, left + static_cast<int>(bm.width));
        cell.rows = lineHeight;
        cell.coverage.assign(static_cast<std::size_t>(cell.width * cell.rows), 0);
        const int top = baseline - g->bitmap_top;
        for (int y = 0; y < static_cast<int>(bm.rows); ++y) {
            const int row = top + y;
            if (row < 0 || row >= lineHeight) {
                continue;
            }
            const unsigned char* src = bm.buffer + static_cast<std::ptrdiff_t>(y) * bm.pitch;
            for (int x = 0; x < static_cast<int>(bm.width); ++x) {
                cell.coverage[static_cast<std::size_t>(row * cell.width + left + x)] =
                    formats::FontWriter::coverageLevel(src[x]);
            }
        }
        out.glyphs.push_back(std::move(cell));
    }
    return true;
}

}  // namespace fairholm::fontgen
