// Loads the generated fonts with the engine's font class, as the game does.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "engine/sprite/Vfont.h"
#include "runtime/ProgramDirectory.h"
#include "runtime/String.h"

using namespace fairholm;

namespace {

struct FontFile {
    const char* name;
    int lineHeight;
};
const FontFile kFonts[] = {{"f10.bin", 10}, {"f13.bin", 13}, {"f16.bin", 16}};

class FontFiles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ProgramDirectory::set(FAIRHOLM_PROGRAM_DIR)); }

    static Ref<Vfont> load(const char* name) {
        Ref<Vfont> font = make<Vfont>();
        EXPECT_TRUE(font->load(*String::copyOf(name))) << name;
        return font;
    }
};

}  // namespace

TEST_F(FontFiles, HeadersDescribePrintableAsciiAtTheirLineHeights) {
    for (const FontFile& f : kFonts) {
        SCOPED_TRACE(f.name);
        Ref<Vfont> font = load(f.name);
        EXPECT_EQ(font->getLineHeight(), f.lineHeight);
        EXPECT_EQ(font->firstChar(), 32);
        EXPECT_EQ(font->lastChar(), 126);
        EXPECT_GE(font->spaceWidth(), 2);
        EXPECT_LE(font->spaceWidth(), 5);
        EXPECT_EQ(font->charWidth(' '), font->spaceWidth());
        for (int c = 33; c <= 126; ++c) {
            EXPECT_GT(font->charWidth(c), 0) << c;
            EXPECT_LE(font->charWidth(c), f.lineHeight + 2) << c;
        }
        EXPECT_EQ(font->charWidth(127), 0);
        EXPECT_EQ(font->charWidth(-23), 0);  // 8-bit characters have no glyph
    }
}

TEST_F(FontFiles, EveryGlyphFitsItsLine) {
    for (const FontFile& f : kFonts) {
        Ref<Vfont> font = load(f.name);
        const ByteArray& data = font->glyphData();
        const IntArray& offsets = font->glyphOffsets();
        ASSERT_EQ(offsets.length(), 126 - 32 + 2);
        EXPECT_EQ(offsets[0], 0);
        EXPECT_EQ(offsets[offsets.length() - 1], data.length());
        for (int c = 33; c <= 126; ++c) {
            const int k = c - 32;
            ASSERT_LT(offsets[k], offsets[k + 1]) << f.name << " " << c;  // every printable glyph has ink
            int pixels = 0;
            for (int i = offsets[k]; i < offsets[k + 1]; ++i) {
                const int n = (data[i] & 0xFF) >> 4;
                pixels += n == 0 ? 16 : n;
            }
            const int width = font->charWidth(c);
            EXPECT_LE((pixels + width - 1) / width, f.lineHeight) << f.name << " " << c;
        }
    }
}

TEST_F(FontFiles, LargerFontsMeasureWider) {
    const Ref<String> text = String::copyOf("Double Eagle!");
    const int small = load("f10.bin")->textWidth(*text);
    const int medium = load("f13.bin")->textWidth(*text);
    const int large = load("f16.bin")->textWidth(*text);
    EXPECT_GT(small, 40);
    EXPECT_LT(small, medium);
    EXPECT_LT(medium, large);
    EXPECT_LT(large, 150);
}

TEST_F(FontFiles, DrawingInksTheLineAndRestsOnABaseline) {
    for (const FontFile& f : kFonts) {
        SCOPED_TRACE(f.name);
        Ref<Vfont> font = load(f.name);
        const int w = 64;
        const int h = f.lineHeight + 4;
        // Row range of the ink of one character drawn at (2, 2) on a black canvas.
        auto inkRows = [&](char c, int& first, int& last, int& full) {
            IntArray fb = newIntArray(w * h);
            font->drawChar(c, fb, w, h, 0, 0, w, h, 2 << 15, 2 << 15, static_cast<int32_t>(0xFFFFFFFF),
                           0x8000);
            first = h;
            last = -1;
            full = 0;
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    const uint32_t p = static_cast<uint32_t>(fb[y * w + x]);
                    if ((p & 0xFFFFFF) != 0) {
                        first = std::min(first, y);
                        last = std::max(last, y);
                    }
                    full += p == 0xFFFFFFFF ? 1 : 0;
                }
            }
        };
        int xTop, xBottom, xFull, gTop, gBottom, gFull, hTop, hBottom, hFull;
        inkRows('x', xTop, xBottom, xFull);
        inkRows('g', gTop, gBottom, gFull);
        inkRows('H', hTop, hBottom, hFull);
        EXPECT_GT(hFull, 6);  // hinted stems are solid ink
        EXPECT_EQ(xBottom, hBottom);
        EXPECT_GT(gBottom, xBottom);
        EXPECT_LT(hTop, xTop);
        EXPECT_GE(hTop, 2);
        EXPECT_LT(gBottom, 2 + f.lineHeight);
    }
}

TEST_F(FontFiles, EveryWordOfTheHelpFitsTheHelpPanel) {
    // The help panel is at most 232 pixels wide; a word wider than that would overflow.
    std::ifstream in(std::string(FAIRHOLM_PROGRAM_DIR) + "/help.txt", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::string word;
    Ref<Vfont> font = load("f16.bin");
    int widest = 0;
    while (text >> word) {
        widest = std::max(widest, font->textWidth(*String::copyOf(word)));
    }
    EXPECT_GT(widest, 40);
    EXPECT_LT(widest, 232);
}
