#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

#include "tools/fontgen/FontRasterizer.h"

using namespace fairholm::fontgen;

namespace {

RasterFont renderFont(int pixelSize, int lineHeight) {
    RasterFont font;
    std::string error;
    EXPECT_TRUE(FontRasterizer::render(FAIRHOLM_DEJAVU_SANS, pixelSize, lineHeight, 32, 126, font, error))
        << error;
    return font;
}

const GlyphCell& cell(const RasterFont& font, char c) {
    return font.glyphs.at(static_cast<std::size_t>(c - font.firstChar));
}

// Rows of a cell that hold any ink.
std::pair<int, int> inkRows(const GlyphCell& g) {
    int first = g.rows;
    int last = -1;
    for (int y = 0; y < g.rows; ++y) {
        for (int x = 0; x < g.width; ++x) {
            if (g.coverage[static_cast<std::size_t>(y * g.width + x)] != 0) {
                first = std::min(first, y);
                last = std::max(last, y);
            }
        }
    }
    return {first, last};
}

}  // namespace

TEST(FontRasterizer, EveryPrintableCharacterHasACellOfTheLineHeight) {
    for (const auto& [size, line] : {std::pair{9, 10}, std::pair{11, 13}, std::pair{14, 16}}) {
        SCOPED_TRACE(line);
        const RasterFont font = renderFont(size, line);
        ASSERT_EQ(font.glyphs.size(), 95u);
        EXPECT_EQ(font.lineHeight, line);
        EXPECT_EQ(font.sizeMetric, size);
        EXPECT_GE(font.spaceWidth, 2);
        EXPECT_LE(font.spaceWidth, 5);
        EXPECT_TRUE(cell(font, ' ').empty());
        for (int c = 33; c <= 126; ++c) {
            const GlyphCell& g = cell(font, static_cast<char>(c));
            EXPECT_EQ(g.code, c);
            ASSERT_FALSE(g.empty()) << c;
            EXPECT_EQ(g.rows, line);
            EXPECT_GE(g.width, 1);
            EXPECT_LE(g.width, line + 2);
            EXPECT_EQ(g.coverage.size(), static_cast<std::size_t>(g.width * g.rows));
            EXPECT_LE(*std::max_element(g.coverage.begin(), g.coverage.end()), 15);
            // Hinted stems reach (nearly) full ink; thin diagonal marks at least half.
            const int darkest = *std::max_element(g.coverage.begin(), g.coverage.end());
            EXPECT_GE(darkest, std::isalnum(c) ? 12 : 7) << c;
        }
    }
}

TEST(FontRasterizer, GlyphsSitOnOneBaselineInsideTheLine) {
    const RasterFont font = renderFont(11, 13);
    const auto x = inkRows(cell(font, 'x'));
    const auto g = inkRows(cell(font, 'g'));
    const auto d = inkRows(cell(font, 'd'));
    const auto H = inkRows(cell(font, 'H'));
    EXPECT_EQ(x.second, H.second);  // both rest on the baseline
    EXPECT_GT(g.second, x.second);  // the descender goes below it
    EXPECT_LT(d.first, x.first);    // the ascender rises above x-height
    EXPECT_GE(d.first, 0);
    EXPECT_LE(g.second, 12);
    // Proportional: M is wider than i.
    EXPECT_GT(cell(font, 'M').width, cell(font, 'i').width + 2);
}

TEST(FontRasterizer, RenderingIsRepeatable) {
    const RasterFont a = renderFont(9, 10);
    const RasterFont b = renderFont(9, 10);
    ASSERT_EQ(a.glyphs.size(), b.glyphs.size());
    for (std::size_t i = 0; i < a.glyphs.size(); ++i) {
        EXPECT_EQ(a.glyphs[i].coverage, b.glyphs[i].coverage);
        EXPECT_EQ(a.glyphs[i].width, b.glyphs[i].width);
    }
}

TEST(FontRasterizer, RefusesMissingFontsAndNonsenseSizes) {
    RasterFont font;
    std::string error;
    EXPECT_FALSE(FontRasterizer::render("/nonexistent/font.ttf", 11, 13, 32, 126, font, error));
    EXPECT_EQ(error, "cannot read the font /nonexistent/font.ttf");
    EXPECT_FALSE(FontRasterizer::render(FAIRHOLM_DEJAVU_SANS, 0, 13, 32, 126, font, error));
    EXPECT_FALSE(FontRasterizer::render(FAIRHOLM_DEJAVU_SANS, 11, 13, 126, 32, font, error));
    EXPECT_FALSE(FontRasterizer::render(FAIRHOLM_DEJAVU_SANS, 11, 13, 32, 200, font, error));
    // A file that is not a font.
    EXPECT_FALSE(
        FontRasterizer::render(FAIRHOLM_SOURCE_DIR "/assets/help.txt", 11, 13, 32, 126, font, error));
}
