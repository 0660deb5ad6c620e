#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "engine/render3d/VpolyTerrain.h"
#include "engine/sprite/Vilib.h"
#include "runtime/String.h"
#include "tests/engine/render3d/TerrainTestSupport.h"

using namespace fairholm;
using fx::one;

namespace {

// A 512 x 512 map of one region at `level`.
Ref<VpolyTerrain> flatMap(int32_t level) {
    Ref<VpolyTerrain> t = make<VpolyTerrain>();
    t->beginShapes(512, 512, 64, 4);
    t->endShape();
    t->setColor(0, level);
    t->buildHeightMap();
    return t;
}

// Level `left` west of x = `boundary` pixels, `right` from there on (palette 0 and 1).
Ref<VpolyTerrain> splitMap(int32_t boundary, int32_t left, int32_t right) {
    Ref<VpolyTerrain> t = make<VpolyTerrain>();
    t->beginShapes(512, 512, 1024, 4);
    t->addLine(boundary * one, 0, boundary * one, 512 * one, 1, 0);
    t->endShape();
    t->setColor(0, left);
    t->setColor(1, right);
    t->buildHeightMap();
    return t;
}

int32_t cell(const VpolyTerrain& t, int32_t gx, int32_t gz) {
    return t.heightGrid()[gz * 256 + gx];
}

}  // namespace

TEST(VpolyTerrainGrid, FlatMapIsFlatEverywhere) {
    Ref<VpolyTerrain> t = flatMap(10);
    ASSERT_EQ(t->heightGrid().length(), 65536);
    for (int32_t i = 0; i < 65536; ++i) {
        ASSERT_EQ(t->heightGrid()[i], 10) << i;
    }
    EXPECT_EQ(t->heightAt(0, 0), 40960);
    EXPECT_EQ(t->heightAt(123 * one + 4567, 300 * one + 99), 40960);
    EXPECT_EQ(t->heightAt(509 * one, 509 * one), 40960);
    EXPECT_EQ(t->defaultHeight(), 40960);
    EXPECT_EQ(t->heightAt(-1, 100 * one), 40960);
    EXPECT_EQ(t->heightAt(100 * one, 600 * one), 40960);
    EXPECT_EQ(t->heightAt(INT32_MIN, INT32_MAX), 40960);
}

TEST(VpolyTerrainGrid, BoundaryIsFilteredTwicePerAxis) {
    // x = 200 pixels is grid column 100: columns 0..99 level 0, 100.. level 80.
    Ref<VpolyTerrain> t = splitMap(200, 0, 80);
    const int32_t expected[] = {0, 0, 5, 25, 55, 75, 80, 80};
    for (int32_t gz : {0, 17, 128, 255}) {
        for (int32_t i = 0; i < 8; ++i) {
            EXPECT_EQ(cell(*t, 96 + i, gz), expected[i]) << gz << "," << i;
        }
        EXPECT_EQ(cell(*t, 0, gz), 0);
        EXPECT_EQ(cell(*t, 255, gz), 80);
    }
    EXPECT_EQ(t->defaultHeight(), 0);
    // Between columns 99 (25) and 100 (55), half way: 40 levels.
    EXPECT_EQ(t->heightAt(199 * one, 50 * one), 25 * 4096 + 30 * 2048);
}

TEST(VpolyTerrainGrid, HorizontalBoundaryAndDefaultFromTheCorner) {
    Ref<VpolyTerrain> t = make<VpolyTerrain>();
    t->beginShapes(512, 512, 2048, 4);
    // A band from row 100 down, right of x = 0: everything below is region 1.
    t->addLine(0, 100 * one, 0, 512 * one, 1, 0);
    t->endShape();
    t->setColor(0, 40);
    t->setColor(1, 0);
    t->buildHeightMap();
    // Picture row 100 is grid row 50; descending, the truncation gives other steps.
    const int32_t expected[] = {40, 37, 27, 12, 2, 0};
    for (int32_t i = 0; i < 6; ++i) {
        EXPECT_EQ(cell(*t, 7, 47 + i), expected[i]) << i;
    }
    EXPECT_EQ(t->defaultHeight(), 40 * 4096);
}

TEST(VpolyTerrainGrid, LevelsComeFromTheLowByteOfThePalette) {
    Ref<VpolyTerrain> t = splitMap(256, 0x123456, 0x7F000020);
    EXPECT_EQ(cell(*t, 0, 0), 0x56);
    EXPECT_EQ(cell(*t, 255, 0), 0x20);
}

TEST(VpolyTerrainGrid, BothPictureRowsOfAGridRowCount) {
    // A crossing only in picture row 3 (the second row of grid row 1).
    Ref<VpolyTerrain> t = make<VpolyTerrain>();
    t->beginShapes(512, 512, 64, 4);
    t->addEdge(64 * 16, 3, 64 * 16, 1, true);
    t->endShape();
    t->setColor(0, 0);
    t->setColor(1, 200);
    t->buildHeightMap();
    // Unsmoothed the row would be 0 up to column 32, then 200; the blur spreads it, but
    // only rows near grid row 1 and columns from about 30 on are raised.
    EXPECT_EQ(cell(*t, 10, 1), 0);
    EXPECT_GT(cell(*t, 40, 1), 0);
    EXPECT_GT(cell(*t, 40, 0), 0);
    EXPECT_EQ(cell(*t, 40, 6), 0);
}

TEST(VpolyTerrainGrid, HeightAtTheFarEdge) {
    Ref<VpolyTerrain> t = flatMap(0);
    const ByteArray& grid = t->editHeightGrid();
    for (int32_t gz = 0; gz < 256; ++gz) {
        grid[gz * 256 + 255] = 80;
    }
    // 509.9 units: cell 254 at 0.95 of the way to cell 255.
    const fixed x = 509 * one + 29491;
    const int32_t fraction = (x >> 4) & 0xFFF;
    EXPECT_EQ(fraction, 3891);
    EXPECT_EQ(t->heightAt(x, 100 * one), 80 * fraction);
    EXPECT_EQ(t->heightAt(510 * one, 100 * one), t->defaultHeight());
    EXPECT_EQ(t->heightAt(510 * one - 1, 100 * one), 80 * 4095);
    EXPECT_EQ(t->heightAt(100 * one, 510 * one), t->defaultHeight());
}

TEST(VpolyTerrainGrid, BilinearInBothDirections) {
    Ref<VpolyTerrain> t = flatMap(0);
    const ByteArray& grid = t->editHeightGrid();
    grid[10 * 256 + 10] = 8;
    grid[10 * 256 + 11] = 16;
    grid[11 * 256 + 10] = 24;
    grid[11 * 256 + 11] = 48;
    EXPECT_EQ(t->heightAt(20 * one, 20 * one), 8 << 12);
    // A quarter across, half down: top 10, bottom 30, middle 20.
    EXPECT_EQ(t->heightAt(20 * one + one / 2, 21 * one), 20 << 12);
    EXPECT_EQ(t->heightAt(21 * one, 20 * one), 12 << 12);
}

// The terrain view takes steps at once over a window whose highest ground lies below
// the ray: no point of a window may be higher than it says, and a peak must show in
// every window holding it, and in the highest entry, as soon as it is edited in.
TEST(VpolyTerrainGrid, HeightWindowsHoldTheHighestGroundAround) {
    Ref<VpolyTerrain> t = flatMap(30);
    const ByteArray& grid = t->editHeightGrid();
    uint32_t seed = 7;
    for (int32_t i = 1; i < VpolyTerrain::gridCells; ++i) {
        seed = seed * 1664525u + 1013904223u;
        grid[i] = static_cast<uint8_t>((seed >> 24) % 60);
    }
    const int32_t side = VpolyTerrain::windowSide;
    const int32_t* windows = t->heightWindows();
    ASSERT_NE(windows, nullptr);
    // Random points over the map and a border of 20 cells beyond it.
    for (int32_t i = 0; i < 200000; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const fixed x = static_cast<fixed>(seed % (296u << 16)) - (20 << 16);
        seed = seed * 1664525u + 1013904223u;
        const fixed z = static_cast<fixed>(seed % (296u << 16)) - (20 << 16);
        const int32_t bx = (x >> 19), bz = (z >> 19);
        // Each of the (up to) four windows holding the point.
        for (int32_t wz = bz - 1; wz <= bz; ++wz) {
            for (int32_t wx = bx - 1; wx <= bx; ++wx) {
                if (wx >= -1 && wx < side - 1 && wz >= -1 && wz < side - 1) {
                    ASSERT_LE(t->heightAt(x, z), windows[(wz + 1) * side + wx + 1]) << x << "," << z;
                }
            }
        }
        ASSERT_LE(t->heightAt(x, z), windows[side * side]);
    }
    // Levels are under 60 and the default height is 30: the windows inside the map
    // stay under 60, those reaching beyond it hold at least the default.
    EXPECT_LT(windows[10 * side + 10], 60 << 12);
    EXPECT_GE(windows[0], t->defaultHeight());
    EXPECT_GE(windows[side * side - 1], t->defaultHeight());

    // A peak at grid point (100, 44), a corner of cells 99 and 100 across and 43 and
    // 44 down: windows 11 and 12 across (cells 88..103, 96..111) and 4 and 5 down
    // (cells 32..47, 40..55) hold it.
    t->editHeightGrid()[44 * 256 + 100] = 200;
    windows = t->heightWindows();
    for (int32_t wz = -1; wz < side - 1; ++wz) {
        for (int32_t wx = -1; wx < side - 1; ++wx) {
            const bool holds = (wx == 11 || wx == 12) && (wz == 4 || wz == 5);
            EXPECT_EQ(windows[(wz + 1) * side + wx + 1] == 200 << 12, holds) << wx << "," << wz;
        }
    }
    EXPECT_EQ(windows[side * side], 200 << 12);
}

TEST(VpolyTerrainGrid, BlurRowsTransposes) {
    Ref<VpolyTerrain> t = make<VpolyTerrain>();
    ByteArray src = newByteArray(6);
    ByteArray dst = newByteArray(6);
    // Two rows of three: (0, 4, 8) and (100, 100, 0).
    const uint8_t values[] = {0, 4, 8, 100, 100, 0};
    for (int32_t i = 0; i < 6; ++i) {
        src[i] = values[i];
    }
    t->blurRows(dst, src, 3, 2);
    // Column k of the result is row k smoothed.
    EXPECT_EQ(dst[0], 1);
    EXPECT_EQ(dst[2], 4);
    EXPECT_EQ(dst[4], 7);
    EXPECT_EQ(dst[1], 100);
    EXPECT_EQ(dst[3], 75);
    EXPECT_EQ(dst[5], 25);
    // Sizes beyond the arrays are refused.
    ByteArray small = newByteArray(4);
    t->blurRows(small, src, 3, 2);
    EXPECT_EQ(small[0], 0);
}

TEST(VpolyTerrainGrid, WithoutShapesOrPalette) {
    Ref<VpolyTerrain> t = make<VpolyTerrain>();
    EXPECT_EQ(t->heightAt(5 * one, 5 * one), 0);
    t->buildHeightMap();
    EXPECT_EQ(t->heightAt(5 * one, 5 * one), 0);
    EXPECT_EQ(t->surfaceAt(5 * one, 5 * one), 0);
    EXPECT_EQ(t->frictionOf(3), 0);
}

TEST(VpolyTerrainShade, LightensDarkensAndClamps) {
    Ref<VpolyTerrain> t = make<VpolyTerrain>();
    EXPECT_EQ(t->shade(0x808080, 16384), 0xC0C0C0);
    EXPECT_EQ(t->shade(0x808080, -16384), 0x404040);
    EXPECT_EQ(t->shade(0x808080, 2 * one), 0xC0C0C0);
    EXPECT_EQ(t->shade(0x808080, -2 * one), 0x404040);
    EXPECT_EQ(t->shade(0xFFF0E0, 16384), 0xFFFFFF);
    EXPECT_EQ(t->shade(0x102030, 0), 0x102030);
    // The top byte is dropped.
    EXPECT_EQ(t->shade(static_cast<int32_t>(0xFF204060), 8192), 0x285078);
    EXPECT_EQ(t->shade(0x000001, -16384), 0x000000);
}

TEST(VpolyTerrainSurface, RegionsImagesAndTables) {
    Ref<VpolyTerrain> t = splitMap(100, 0, 0);
    t->setPaletteImage(0, nullptr, 7);
    t->setPaletteImage(1, nullptr, 3);
    t->setSurfaceProperties(1, one, fx::half);
    EXPECT_EQ(t->surfaceAt(50 * one, 50 * one), 7);
    EXPECT_EQ(t->surfaceAt(150 * one, 50 * one), 3);
    EXPECT_EQ(t->surfaceAt(-one, 50 * one), 7);
    EXPECT_EQ(t->surfaceAt(150 * one, -1), 7);
    EXPECT_EQ(t->surfaceAt(512 * one, 50 * one), 7);
    EXPECT_EQ(t->regionAt(150 * one, 50 * one), 1);
    EXPECT_EQ(t->regionAt(150 * one, 600 * one), 0);
    EXPECT_EQ(t->frictionOf(1), one);
    EXPECT_EQ(t->bounceOf(1), fx::half);
    EXPECT_EQ(t->frictionOf(0), 0);
    EXPECT_EQ(t->frictionOf(-1), 0);
    EXPECT_EQ(t->frictionOf(64), 0);
    t->setSurfaceProperties(9, one, one);
    t->setSurfaceProperties(-1, one, one);
    EXPECT_EQ(t->frictionTable().length(), 4);
    t->setPaletteSize(48);
    EXPECT_EQ(t->frictionTable().length(), 48);
    EXPECT_EQ(t->bounceTable().length(), 48);
    EXPECT_EQ(t->frictionOf(1), 0);
}

namespace {

using test::PackFile;

}  // namespace

TEST(VpolyTerrainMap, TexturedAndHillShaded) {
    // Texture 1: columns alternate two greys, so texel x shows in the map.
    test::PackPicture stripes = test::solidPicture(32, 32, 0x808080);
    for (int32_t y = 0; y < 32; ++y) {
        for (int32_t x = 1; x < 32; x += 2) {
            stripes.colours[static_cast<size_t>(y * 32 + x)] = 0x404040;
        }
    }
    PackFile file("vpolyterrain_map",
                  {test::solidPicture(32, 32, 0x000000), stripes, test::solidPicture(32, 32, 0xF80000)});
    Ref<VpolyTerrain> t = splitMap(40, 0, 0);
    t->setPaletteImage(0, file.pack(), 1);
    t->setPaletteImage(1, file.pack(), 2);
    t->layout(0, 0, one);
    IntArray target = newIntArray(64 * 8);
    t->paint(target, 64, 8, 0, 0, 64, 8);
    // Two texels per map pixel: pixel 0 shows texel 0, pixel 1 texel 2.
    EXPECT_EQ(target[0] & 0xFFFFFF, 0x808080);
    EXPECT_EQ(target[1] & 0xFFFFFF, 0x808080);
    EXPECT_EQ(target[39] & 0xFFFFFF, 0x808080);
    EXPECT_EQ(target[40] & 0xFFFFFF, 0xF80000);
    EXPECT_EQ(target[63 + 7 * 64] & 0xFFFFFF, 0xF80000);

    // At scale 2 every map pixel covers two target pixels: texels 0 and 1 alternate.
    t->setScale(2 * one);
    t->layout(0, 0, one);
    t->paint(target, 64, 8, 0, 0, 64, 8);
    EXPECT_EQ(target[0] & 0xFFFFFF, 0x808080);
    EXPECT_EQ(target[1] & 0xFFFFFF, 0x404040);
    EXPECT_EQ(target[64 + 2] & 0xFFFFFF, 0x808080);
    EXPECT_EQ(target[64 + 15] & 0xFFFFFF, 0x404040);

    // A ridge: ground falling toward the lower right is lit, rising is darkened.
    t->setScale(one);
    t->layout(0, 0, one);
    const ByteArray& grid = t->editHeightGrid();
    for (int32_t gz = 0; gz < 256; ++gz) {
        for (int32_t gx = 0; gx < 256; ++gx) {
            grid[gz * 256 + gx] = static_cast<uint8_t>(gx < 8 ? 8 * gx : 128 - 8 * (gx - 8));
        }
    }
    t->paint(target, 64, 8, 0, 0, 40, 8);
    // Rising 8 levels per cell of 2 units: (h - h(+1, +1)) / 2 = -8192 (slope -1/4).
    EXPECT_EQ(target[2 * 64 + 4] & 0xFFFFFF, t->shade(0x808080, -8192));
    EXPECT_EQ(target[2 * 64 + 4] & 0xFFFFFF, 0x606060);
    EXPECT_EQ(target[2 * 64 + 30] & 0xFFFFFF, t->shade(0x808080, 8192));
    EXPECT_EQ(target[2 * 64 + 30] & 0xFFFFFF, 0xA0A0A0);
}

TEST(VpolyTerrainMap, MissingTexturesPaintBlack) {
    Ref<VpolyTerrain> t = flatMap(10);
    t->layout(0, 0, one);
    IntArray target = newIntArray(16 * 4);
    for (int32_t i = 0; i < 64; ++i) {
        target[i] = 0x123456;
    }
    t->paint(target, 16, 4, 0, 0, 16, 4);
    EXPECT_EQ(target[5], 0);
    // Clip beyond the target is cut.
    t->paint(target, 16, 4, -4, -4, 100, 100);
    EXPECT_EQ(target[63], 0);
}

TEST(VpolyTerrainMap, PlacedAndScaledOnTheScreen) {
    PackFile file("vpolyterrain_placed",
                  {test::solidPicture(32, 32, 0x000000), test::solidPicture(32, 32, 0x808080),
                   test::solidPicture(32, 32, 0xF80000)});
    // Region 1 (red) from x = 8 on; the map is shown at (10, 5) at half size.
    Ref<VpolyTerrain> t = splitMap(8, 0, 0);
    t->setPaletteImage(0, file.pack(), 1);
    t->setPaletteImage(1, file.pack(), 2);
    t->setPosition(10, 5);
    t->setScale(fx::half);
    t->layout(0, 0, one);
    EXPECT_EQ(t->left(), 10);
    EXPECT_EQ(t->right(), 10 + 256);
    IntArray target = newIntArray(64 * 16);
    t->paint(target, 64, 16, 10, 5, 64, 16);
    EXPECT_EQ(target[0], 0);
    EXPECT_EQ(target[5 * 64 + 10] & 0xFFFFFF, 0x808080);
    EXPECT_EQ(target[5 * 64 + 13] & 0xFFFFFF, 0x808080);
    EXPECT_EQ(target[5 * 64 + 14] & 0xFFFFFF, 0xF80000);
    EXPECT_EQ(target[15 * 64 + 63] & 0xFFFFFF, 0xF80000);
}
