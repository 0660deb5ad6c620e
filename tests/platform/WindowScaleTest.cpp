// How the desktop window shows the game: the game's size for a window, the whole factor,
// the centred picture and the mapping of window points to game pixels and back.
#include <gtest/gtest.h>

#include "platform/WindowScale.h"

using namespace fairholm;
using Size = WindowScale::Size;
using Rect = WindowScale::Rect;

TEST(WindowScale, FitKeepsTheFirstSizeAndEnlargesByWholeSteps) {
    const WindowScale scale = WindowScale::fit({480, 640});
    EXPECT_EQ(scale.mode(), WindowScale::Mode::Fit);
    EXPECT_EQ(scale.logicalSize(), (Size{240, 320}));
    const Size game{240, 320};
    EXPECT_EQ(scale.gameSize({480, 640}, game), game);
    EXPECT_EQ(scale.factor({480, 640}, game), 2);
    EXPECT_EQ(scale.picture({480, 640}, game), (Rect{0, 0, 480, 640}));
    // 960 x 1280: four times.
    EXPECT_EQ(scale.gameSize({960, 1280}, game), game);
    EXPECT_EQ(scale.factor({960, 1280}, game), 4);
    EXPECT_EQ(scale.picture({960, 1280}, game), (Rect{0, 0, 960, 1280}));
    // The smaller of the two factors, centred; odd leftovers go to the right and bottom.
    EXPECT_EQ(scale.factor({1100, 1340}, game), 4);
    EXPECT_EQ(scale.picture({1100, 1340}, game), (Rect{70, 30, 960, 1280}));
    EXPECT_EQ(scale.factor({2000, 700}, game), 2);
    EXPECT_EQ(scale.picture({2000, 700}, game), (Rect{760, 30, 480, 640}));
    EXPECT_EQ(scale.picture({481, 641}, game), (Rect{0, 0, 480, 640}));
    EXPECT_EQ(scale.picture({479, 639}, game), (Rect{119, 159, 240, 320}));
    // Just larger than the game: factor 1 with bars.
    EXPECT_EQ(scale.gameSize({300, 400}, game), game);
    EXPECT_EQ(scale.picture({300, 400}, game), (Rect{30, 40, 240, 320}));
}

TEST(WindowScale, FitFollowsAWindowSmallerThanTheGameAndReturnsToItsSize) {
    const WindowScale scale = WindowScale::fit({480, 640});
    const Size game{240, 320};
    // Narrower or lower than the game: the game is the window's size, nothing cropped.
    EXPECT_EQ(scale.gameSize({200, 400}, game), (Size{200, 400}));
    EXPECT_EQ(scale.gameSize({300, 319}, game), (Size{300, 319}));
    EXPECT_EQ(scale.picture({200, 400}, {200, 400}), (Rect{0, 0, 200, 400}));
    // Large enough again: back to its own size.
    EXPECT_EQ(scale.gameSize({240, 320}, {200, 400}), game);
    EXPECT_EQ(scale.gameSize({1000, 1000}, {200, 400}), game);
    // No side ever below one pixel.
    EXPECT_EQ(scale.gameSize({0, -5}, game), (Size{1, 1}));
}

TEST(WindowScale, FitInFullScreenKeepsTheGame) {
    const WindowScale scale = WindowScale::fit({480, 640});
    const Size game{240, 320};
    EXPECT_EQ(scale.gameSize({1920, 1080}, game, true), game);
    EXPECT_EQ(scale.factor({1920, 1080}, game), 3);
    EXPECT_EQ(scale.picture({1920, 1080}, game), (Rect{600, 60, 720, 960}));
    // A game the window has followed stays so in full screen too.
    EXPECT_EQ(scale.gameSize({1920, 1080}, {200, 150}, true), (Size{200, 150}));
    // A screen too small for the game: factor 1, centred, the picture reaching beyond.
    EXPECT_EQ(scale.picture({200, 300}, game), (Rect{-20, -10, 240, 320}));
}

TEST(WindowScale, FirstSizeIsHalfAWindowFrom480PixelsWide) {
    EXPECT_EQ(WindowScale::firstGameSize({480, 640}), (Size{240, 320}));
    EXPECT_EQ(WindowScale::firstGameSize({479, 640}), (Size{479, 640}));
    EXPECT_EQ(WindowScale::firstGameSize({176, 220}), (Size{176, 220}));
    EXPECT_EQ(WindowScale::firstGameSize({960, 1280}), (Size{480, 640}));
    EXPECT_EQ(WindowScale::fit({320, 240}).logicalSize(), (Size{320, 240}));
}

TEST(WindowScale, FixedDividesTheWindowAtEveryResizeAndShowsExactlyN) {
    const WindowScale scale = WindowScale::fixed(3);
    EXPECT_EQ(scale.mode(), WindowScale::Mode::Fixed);
    EXPECT_EQ(scale.gameSize({480, 640}, {}), (Size{160, 213}));
    EXPECT_EQ(scale.factor({480, 640}, {160, 213}), 3);
    // 640 - 639 leaves one pixel: the picture sits on the top row of it.
    EXPECT_EQ(scale.picture({480, 640}, {160, 213}), (Rect{0, 0, 480, 639}));
    EXPECT_EQ(scale.gameSize({1000, 800}, {160, 213}), (Size{333, 266}));
    EXPECT_EQ(scale.picture({1000, 800}, {333, 266}), (Rect{0, 1, 999, 798}));
    // Full screen follows as well.
    EXPECT_EQ(scale.gameSize({1920, 1080}, {160, 213}, true), (Size{640, 360}));
    // Before the game has taken a new size, its old one is drawn at N, centred.
    EXPECT_EQ(scale.picture({1000, 800}, {160, 213}), (Rect{260, 80, 480, 639}));
    EXPECT_EQ(scale.gameSize({2, 2}, {}), (Size{1, 1}));
    EXPECT_EQ(WindowScale::fixed(0).factor({100, 100}, {100, 100}), 1);
    EXPECT_EQ(WindowScale::fixed(99).factor({100, 100}, {1, 1}), WindowScale::maxFactor);
}

TEST(WindowScale, TopLeftIsTheHandsetsWay) {
    const WindowScale high = WindowScale::topLeft(true);
    EXPECT_EQ(high.mode(), WindowScale::Mode::TopLeft);
    EXPECT_EQ(high.gameSize({960, 1280}, {240, 320}), (Size{480, 640}));
    EXPECT_EQ(high.gameSize({301, 401}, {240, 320}), (Size{150, 200}));
    EXPECT_EQ(high.gameSize({960, 1280}, {240, 320}, true), (Size{240, 320}));
    EXPECT_EQ(high.factor({960, 1280}, {240, 320}), 2);
    EXPECT_EQ(high.picture({960, 1280}, {240, 320}), (Rect{0, 0, 480, 640}));
    const WindowScale low = WindowScale::topLeft(false);
    EXPECT_EQ(low.gameSize({320, 240}, {176, 220}), (Size{320, 240}));
    EXPECT_EQ(low.picture({320, 240}, {320, 240}), (Rect{0, 0, 320, 240}));
    // Points are halved and nothing more, as the shell always did.
    int32_t x = 1000;
    int32_t y = -3;
    EXPECT_TRUE(high.toGame({480, 640}, {240, 320}, x, y));
    EXPECT_EQ(x, 500);
    EXPECT_EQ(y, -2);
    x = 10;
    y = 20;
    high.toWindow({480, 640}, {240, 320}, x, y);
    EXPECT_EQ(x, 20);
    EXPECT_EQ(y, 40);
}

TEST(WindowScale, PointsMapThroughTheFactorAndOffsetAndBarsAreOutside) {
    const WindowScale scale = WindowScale::fit({480, 640});
    const Size window{1100, 1340};
    const Size game{240, 320};
    int32_t x = 70;
    int32_t y = 30;
    EXPECT_TRUE(scale.toGame(window, game, x, y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    x = 70 + 4 * 100 + 3;
    y = 30 + 4 * 200 + 2;
    EXPECT_TRUE(scale.toGame(window, game, x, y));
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 200);
    x = 70 + 959;
    y = 30 + 1279;
    EXPECT_TRUE(scale.toGame(window, game, x, y));
    EXPECT_EQ(x, 239);
    EXPECT_EQ(y, 319);
    // On the bars: outside, clamped to the nearest picture pixel.
    x = 69;
    y = 500;
    EXPECT_FALSE(scale.toGame(window, game, x, y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, (500 - 30) / 4);
    x = 1099;
    y = 1339;
    EXPECT_FALSE(scale.toGame(window, game, x, y));
    EXPECT_EQ(x, 239);
    EXPECT_EQ(y, 319);
    x = 500;
    y = 29;
    EXPECT_FALSE(scale.toGame(window, game, x, y));
    EXPECT_EQ(y, 0);
    x = -100000;
    y = 100000;
    EXPECT_FALSE(scale.toGame(window, game, x, y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 319);
    // And back: every game pixel's corner maps to itself.
    for (int32_t gx : {0, 1, 119, 239}) {
        for (int32_t gy : {0, 7, 319}) {
            int32_t wx = gx;
            int32_t wy = gy;
            scale.toWindow(window, game, wx, wy);
            EXPECT_EQ(wx, 70 + 4 * gx);
            EXPECT_EQ(wy, 30 + 4 * gy);
            EXPECT_TRUE(scale.toGame(window, game, wx, wy));
            EXPECT_EQ(wx, gx);
            EXPECT_EQ(wy, gy);
        }
    }
}
