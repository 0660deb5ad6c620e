#include <gtest/gtest.h>

#include <vector>

#include "engine/sprite/Vfont.h"
#include "tests/engine/sprite/TempProgramDir.h"
#include "tools/formats/FontWriter.h"

using namespace fairholm;
using fairholm::formats::FontWriter;

namespace {

class FontTest : public fairholm::test::TempProgramDir {
protected:
    Ref<Vfont> load(const FontWriter& writer) { return loadBytes(writer.bytes()); }
    Ref<Vfont> loadBytes(const std::vector<uint8_t>& bytes) {
        writeFile("f.bin", bytes);
        Ref<Vfont> font = make<Vfont>();
        loaded = font->load(*lit("f.bin"));
        return font;
    }
    // A font with the glyph 'A' given by its run bytes.
    Ref<Vfont> glyph(int width, std::vector<uint8_t> runs) {
        FontWriter writer(4, 10, 9, 'A', 'C');
        writer.setGlyphRuns('A', width, std::move(runs));
        return load(writer);
    }
    bool loaded = false;
};

constexpr uint32_t white = 0xFFFFFFFFu;
constexpr uint32_t ground = 0x00808080u;

IntArray canvas(int32_t w, int32_t h, uint32_t value = ground) {
    IntArray a = newIntArray(w * h);
    for (auto& p : a) {
        p = static_cast<int32_t>(value);
    }
    return a;
}

uint32_t at(const IntArray& a, int32_t i) {
    return static_cast<uint32_t>(a[i]);
}

}  // namespace

TEST_F(FontTest, HeaderAndWidths) {
    FontWriter writer(5, 13, 11, 32, 'z');
    writer.setGlyph('a', 3, {15, 15, 15});
    writer.setGlyph(' ', 9, {15});  // the space keeps spaceWidth anyway
    Ref<Vfont> font = load(writer);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(font->getLineHeight(), 13);
    EXPECT_EQ(font->sizeMetric(), 11);
    EXPECT_EQ(font->charWidth(32), 5);
    EXPECT_EQ(font->charWidth(32 + 256), 5);
    EXPECT_EQ(font->charWidth('a'), 3);
    EXPECT_EQ(font->charWidth('b'), 0);  // no glyph
    EXPECT_EQ(font->charWidth('z' + 1), 0);
    EXPECT_EQ(font->charWidth(-31), 0);
    EXPECT_EQ(font->textWidth(*lit("")), 0);
    EXPECT_EQ(font->textWidth(*lit("a a")), 11);
}

TEST_F(FontTest, MissingFileLeavesTheFontEmpty) {
    Ref<Vfont> font = make<Vfont>();
    EXPECT_FALSE(font->load(*lit("nothing.bin")));
    EXPECT_EQ(font->charWidth('A'), 0);
    EXPECT_EQ(font->getLineHeight(), 0);
    IntArray fb = canvas(4, 4);
    font->drawChar('A', fb, 4, 4, 0, 0, 4, 4, 0, 0, -1, 0x8000);
    font->drawChar(0, fb, 4, 4, 0, 0, 4, 4, 0, 0, -1, 0x8000);
    EXPECT_EQ(at(fb, 0), ground);
}

TEST_F(FontTest, RunBytesFillRowsFromTheTopLeft) {
    // 0x3F: three full pixels; 0x30: three empty; 0x1F: one full.
    Ref<Vfont> font = glyph(3, {0x3F, 0x30, 0x1F});
    IntArray fb = canvas(5, 5, 0);
    font->drawChar('A', fb, 5, 5, 0, 0, 5, 5, 1 << 15, 1 << 15, static_cast<int32_t>(white), 0x8000);
    for (int32_t x = 1; x <= 3; ++x) {
        EXPECT_EQ(at(fb, 5 + x), white) << x;
    }
    EXPECT_EQ(at(fb, 3 * 5 + 1), white);
    EXPECT_EQ(at(fb, 3 * 5 + 2), 0u);
    EXPECT_EQ(at(fb, 2 * 5 + 1), 0u);  // the empty row (its shadows aside)
}

TEST_F(FontTest, SixteenPixelRunsAndSkips) {
    Ref<Vfont> font = glyph(4, {0x0F});
    IntArray fb = canvas(5, 5, 0);
    font->drawChar('A', fb, 5, 5, 0, 0, 5, 5, 0, 0, static_cast<int32_t>(white), 0x4000);
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 4; ++x) {
            EXPECT_NE(at(fb, y * 5 + x), 0u);
        }
    }
    Ref<Vfont> skip = glyph(4, {0x00, 0x1F});
    IntArray fb2 = canvas(5, 6, 0);
    skip->drawChar('A', fb2, 5, 6, 0, 0, 5, 6, 0, 0, static_cast<int32_t>(white), 0x8000);
    EXPECT_EQ(at(fb2, 4 * 5), white);  // the pixel after 16 skipped ones: row 4
    EXPECT_EQ(at(fb2, 0), 0u);
}

TEST_F(FontTest, CoverageBlendsAndDropShadow) {
    // Full, half (8), level 4, each one pixel, in a 3-wide glyph.
    Ref<Vfont> font = glyph(3, {0x1F, 0x18, 0x14});
    IntArray fb = canvas(4, 2);
    const uint32_t ink = 0x0A0000FFu;
    font->drawChar('A', fb, 4, 2, 0, 0, 4, 2, 0, 0, static_cast<int32_t>(ink), 0x8000);
    EXPECT_EQ(at(fb, 0), ink);  // all 32 bits, tag included
    EXPECT_EQ(at(fb, 1), 0x004040BFu);
    // Level 4: each channel p + ((c - p) * 4 >> 4).
    const uint32_t blue = 0x80 + (((0xFF - 0x80) * 4) >> 4);
    const uint32_t other = 0x80 + (((0x00 - 0x80) * 4) >> 4);
    EXPECT_EQ(at(fb, 2), (other << 16) | (other << 8) | blue);
    // Shadows one down and right: half under full and half ink, three quarters under 4.
    EXPECT_EQ(at(fb, 4 + 1), 0x00404040u);
    EXPECT_EQ(at(fb, 4 + 2), 0x00404040u);
    EXPECT_EQ(at(fb, 4 + 3), 0x00606060u);
}

TEST_F(FontTest, NoShadowOnTheClipEdgeOrAtReducedOpacity) {
    Ref<Vfont> font = glyph(2, {0x2F});
    IntArray fb = canvas(3, 2);
    font->drawChar('A', fb, 3, 2, 0, 0, 2, 2, 0, 0, -1, 0x8000);
    EXPECT_EQ(at(fb, 3 + 1), 0x00404040u);  // under column 0
    EXPECT_EQ(at(fb, 3 + 2), ground);       // column 1 is the clip's last column
    IntArray half = canvas(3, 2);
    font->drawChar('A', half, 3, 2, 0, 0, 3, 2, 0, 0, static_cast<int32_t>(0xFFFEFEFEu), 0x4000);
    EXPECT_EQ(at(half, 0), 0x00BFBFBFu);  // 15 -> 7: half blend
    EXPECT_EQ(at(half, 3 + 1), ground);
}

TEST_F(FontTest, ClipAndBufferEdgesAreRespected) {
    Ref<Vfont> font = glyph(4, {0x0F, 0x0F});
    IntArray fb = canvas(3, 3);
    font->drawChar('A', fb, 3, 3, 1, 1, 2, 2, -(1 << 15), -(1 << 15), -1, 0x8000);
    for (int32_t i = 0; i < 9; ++i) {
        EXPECT_EQ(at(fb, i), i == 4 ? white : ground) << i;
    }
    font->drawChar('A', fb, 3, 3, -10, -10, 50, 50, 1 << 15, 1 << 15, -1, 0x8000);
    EXPECT_EQ(at(fb, 8), white);
}

TEST_F(FontTest, GlyphDataEndsItAndTruncatedFilesReadZeros) {
    FontWriter writer(4, 10, 9, 'A', 'B');
    writer.setGlyphRuns('A', 2, {0x1F, 0x1F, 0x1F});
    writer.setGlyphRuns('B', 2, {0x2F});
    std::vector<uint8_t> bytes = writer.bytes();
    bytes.resize(bytes.size() - 3);  // 'A' keeps its first byte, 'B' loses its data
    Ref<Vfont> font = loadBytes(bytes);
    ASSERT_TRUE(loaded);
    IntArray fb = canvas(3, 3, 0);
    font->drawChar('A', fb, 3, 3, 0, 0, 3, 3, 0, 0, -1, 0x8000);
    EXPECT_EQ(at(fb, 0), white);
    EXPECT_EQ(at(fb, 1), 0u);  // zero bytes: empty runs
    font->drawChar('B', fb, 3, 3, 0, 0, 3, 3, 1 << 15, 0, -1, 0x8000);
    EXPECT_EQ(at(fb, 1), 0u);
}

TEST_F(FontTest, HostileHeadersAreRefused) {
    // lastChar below firstChar by more than one, or a huge range.
    std::vector<uint8_t> backwards{4, 10, 9, 'Z', 'A', 0};
    loadBytes(backwards);
    EXPECT_FALSE(loaded);
    // A huge range is read as far as the file goes: the metrics stay, no glyph has data.
    std::vector<uint8_t> huge{4, 10, 9, 0, 0x8F, 0xFF, 0xFF, 0x7F};
    Ref<Vfont> font = loadBytes(huge);
    EXPECT_TRUE(loaded);
    EXPECT_EQ(font->getLineHeight(), 10);
    EXPECT_EQ(font->charWidth('A'), 0);
    EXPECT_EQ(font->charWidth(' '), 4);
    std::vector<uint8_t> cut{4, 10};
    loadBytes(cut);
    EXPECT_FALSE(loaded);
    // Glyph lengths that claim far more than the data, and a zero width.
    std::vector<uint8_t> liar{4, 10, 9, 'A', 'B', 0x8F, 0xFF, 0x7F, 3, 5, 0, 2, 0x0F, 0x0F};
    font = loadBytes(liar);
    ASSERT_TRUE(loaded);
    IntArray fb = canvas(8, 8, 0);
    font->drawChar('A', fb, 8, 8, 0, 0, 8, 8, 0, 0, -1, 0x8000);
    font->drawChar('B', fb, 8, 8, 0, 0, 8, 8, 0, 0, -1, 0x8000);
    EXPECT_EQ(at(fb, 0), white);
}

TEST_F(FontTest, MoreGlyphsThanCharactersKeepsTheFirst256) {
    FontWriter writer(4, 10, 9, 32, 32 + 299);
    writer.setGlyph('A', 2, {15, 15});
    writer.setGlyph(32 + 255, 3, {15, 15, 15});
    writer.setGlyph(32 + 257, 5, {15, 15, 15, 15, 15});
    writer.setGlyph(32 + 299, 6, {15});
    Ref<Vfont> font = load(writer);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(font->charWidth('A'), 2);
    EXPECT_EQ(font->charWidth(32 + 255), 3);  // the last glyph kept
    EXPECT_EQ(font->charWidth(32 + 257), 0);
    EXPECT_EQ(font->charWidth(32 + 299), 0);
    IntArray fb = canvas(4, 2, 0);
    font->drawChar('A', fb, 4, 2, 0, 0, 4, 2, 0, 0, -1, 0x8000);
    EXPECT_EQ(at(fb, 0), white);
    EXPECT_EQ(at(fb, 1), white);
}

TEST(FontWriterRuns, CoverageBecomesRunBytes) {
    EXPECT_EQ(FontWriter::encodeRuns({15, 15, 15, 0, 0, 0, 15, 0, 0}),
              (std::vector<uint8_t>{0x3F, 0x30, 0x1F}));
    std::vector<uint8_t> sixteen(17, 15);
    EXPECT_EQ(FontWriter::encodeRuns(sixteen), (std::vector<uint8_t>{0x0F, 0x1F}));
    EXPECT_EQ(FontWriter::coverageLevel(255), 15);
    EXPECT_EQ(FontWriter::coverageLevel(0), 0);
}
