#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/sprite/Viewport.h"
#include "platform/win32/WindowInput.h"
#include "runtime/Ref.h"
#include "tests/support/KeyQueue.h"

using namespace fairholm;
using fairholm::testing::drainKeys;

namespace {

uintptr_t pack(int32_t low, int32_t high) {
    return static_cast<uintptr_t>((static_cast<uint32_t>(high) << 16) |
                                  (static_cast<uint32_t>(low) & 0xFFFF));
}

}  // namespace

TEST(WindowInputStylus, TapOnHighResolutionScreenIsHalved) {
    auto game = make<Viewport>();
    WindowInput::button(*game, pack(100, 200), true, true);
    EXPECT_EQ(game->pointerX(), 50);
    EXPECT_EQ(game->pointerY(), 100);
    EXPECT_TRUE(game->isKeyDown(5));
    WindowInput::button(*game, pack(102, 204), true, false);
    EXPECT_EQ(game->pointerX(), 51);
    EXPECT_EQ(game->pointerY(), 102);
    EXPECT_FALSE(game->isKeyDown(5));
    EXPECT_EQ(drainKeys(*game), (std::vector<int32_t>{5}));
}

TEST(WindowInputStylus, TapOnSmallScreenIsOneToOne) {
    auto game = make<Viewport>();
    WindowInput::button(*game, pack(100, 200), false, true);
    EXPECT_EQ(game->pointerX(), 100);
    EXPECT_EQ(game->pointerY(), 200);
    WindowInput::button(*game, pack(100, 200), false, false);
    EXPECT_EQ(drainKeys(*game), (std::vector<int32_t>{5}));
}

TEST(WindowInputStylus, OnlyTheLow32BitsOfTheParameterCount) {
    auto game = make<Viewport>();
    const uintptr_t high =
        sizeof(uintptr_t) > 4 ? static_cast<uintptr_t>(0xABCD) << (sizeof(uintptr_t) * 4) : 0;
    WindowInput::button(*game, pack(0xFFFF, 0xFFFF) | high, false, true);
    EXPECT_EQ(game->pointerX(), 0xFFFF);
    EXPECT_EQ(game->pointerY(), 0xFFFF);
}

TEST(WindowInputSize, HighResolutionWindowAsksForHalfItsSize) {
    auto game = make<Viewport>();
    EXPECT_TRUE(WindowInput::resize(*game, WindowInput::packedLow(pack(480, 536)),
                                    WindowInput::packedHigh(pack(480, 536)), true));
    EXPECT_EQ(game->getWidth(), 240);
    EXPECT_EQ(game->getHeight(), 268);
    EXPECT_EQ(game->backBuffer().length(), 240 * 268);
}

TEST(WindowInputSize, SmallWindowAsksForItsOwnSize) {
    auto game = make<Viewport>();
    EXPECT_TRUE(WindowInput::resize(*game, 240, 320, false));
    EXPECT_EQ(game->getWidth(), 240);
    EXPECT_EQ(game->getHeight(), 320);
}

TEST(WindowInputSize, OddSizesRoundDown) {
    auto game = make<Viewport>();
    EXPECT_TRUE(WindowInput::resize(*game, 481, 641, true));
    EXPECT_EQ(game->getWidth(), 240);
    EXPECT_EQ(game->getHeight(), 320);
}

TEST(WindowInputSize, EmptyWindowKeepsTheGameSize) {
    auto game = make<Viewport>();
    WindowInput::resize(*game, 240, 320, false);
    EXPECT_FALSE(WindowInput::resize(*game, 0, 0, false));
    EXPECT_FALSE(WindowInput::resize(*game, 240, 0, true));
    EXPECT_EQ(game->getWidth(), 240);
    EXPECT_EQ(game->getHeight(), 320);
}
