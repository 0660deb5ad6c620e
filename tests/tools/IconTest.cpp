// The program's icon: one drawing as pictures of every size, as SVG and as the Windows
// game's .ico, which is kept in the source tree and must match the drawing.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/icongen/Icon.h"

using fairholm::icongen::Icon;

TEST(Icon, PicturesAreTransparentOutsideTheRoundedSquareAndOpaqueInside) {
    for (int size : {16, 32, 48, 256}) {
        const std::vector<uint32_t> p = Icon::render(size);
        ASSERT_EQ(p.size(), static_cast<size_t>(size * size));
        for (size_t corner : {size_t{0}, static_cast<size_t>(size - 1), p.size() - size, p.size() - 1}) {
            // Rounded off: at most a sliver of the corner pixel is covered.
            EXPECT_LE(p[corner] >> 24, 0x30u) << size;
            if (size >= 32) {
                EXPECT_EQ(p[corner] >> 24, 0u) << size;
            }
        }
        EXPECT_EQ(p[static_cast<size_t>(size / 2) * size + 1] >> 24, 0xFFu)
            << size;  // the left edge's middle
        // Sky at the top, grass at the bottom, the flag's red near the top middle.
        const uint32_t top = p[static_cast<size_t>(size / 8) * size + size / 8] & 0xFFFFFF;
        const uint32_t bottom = p[static_cast<size_t>(size * 3 / 4) * size + size / 8] & 0xFFFFFF;
        EXPECT_GT(top & 0xFF, (top >> 16) & 0xFF) << size;
        EXPECT_GT((bottom >> 8) & 0xFF, bottom & 0xFF) << size;
        const uint32_t red = p[static_cast<size_t>(size * 7 / 32) * size + size * 17 / 32] & 0xFFFFFF;
        EXPECT_GT((red >> 16) & 0xFF, 0xC0u) << size;
        EXPECT_LT((red >> 8) & 0xFF, 0x40u) << size;
    }
}

TEST(Icon, SvgDrawsTheSameShapes) {
    const std::string svg = Icon::svg();
    EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
    EXPECT_NE(svg.find("viewBox=\"0 0 32 32\""), std::string::npos);
    for (const char* colour : {"#3399FF", "#2EA03C", "#E02020", "#FFFFFF"}) {
        EXPECT_NE(svg.find(colour), std::string::npos) << colour;
    }
    EXPECT_NE(svg.find("</svg>"), std::string::npos);
}

TEST(Icon, TheWindowsGamesIconIsTheDrawing) {
    const std::vector<uint8_t> ico = Icon::ico({16, 32, 48});
    ASSERT_GE(ico.size(), 6u + 3 * 16);
    EXPECT_EQ(ico[2], 1);  // an icon
    EXPECT_EQ(ico[4], 3);  // three pictures
    EXPECT_EQ(ico[6 + 16], 32);
    std::ifstream kept(FAIRHOLM_SOURCE_DIR "/platform/win32/fairholm.ico", std::ios::binary);
    const std::vector<uint8_t> file((std::istreambuf_iterator<char>(kept)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(file == ico)
        << "platform/win32/fairholm.ico differs from the drawing: copy icongen's fairholm.ico there";
}
