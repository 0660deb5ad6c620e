#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "engine/sprite/Viewport.h"
#include "platform/win32/WindowInput.h"
#include "runtime/Ref.h"

using namespace fairholm;

namespace {

std::vector<int32_t> drain(Viewport& game) {
    std::vector<int32_t> keys;
    for (int32_t key = game.nextKey(); key != 0; key = game.nextKey()) {
        keys.push_back(key);
    }
    return keys;
}

bool anyKeyHeld(const Viewport& game) {
    for (int32_t code = 0; code <= Viewport::lastKeyCode; ++code) {
        if (game.isKeyDown(code)) {
            return true;
        }
    }
    return false;
}

uintptr_t pack(int32_t low, int32_t high) {
    return static_cast<uintptr_t>((static_cast<uint32_t>(high) << 16) |
                                  (static_cast<uint32_t>(low) & 0xFFFF));
}

}  // namespace

TEST(WindowInputKeys, MapsTheKeyTable) {
    EXPECT_EQ(WindowInput::engineKey(37), 1);
    EXPECT_EQ(WindowInput::engineKey(39), 2);
    EXPECT_EQ(WindowInput::engineKey(38), 3);
    EXPECT_EQ(WindowInput::engineKey(40), 4);
    EXPECT_EQ(WindowInput::engineKey(13), 5);
    EXPECT_EQ(WindowInput::engineKey(112), 5);
    EXPECT_EQ(WindowInput::engineKey(113), 6);
    EXPECT_EQ(WindowInput::engineKey(27), 7);
    for (uint32_t digit = '0'; digit <= '9'; ++digit) {
        EXPECT_EQ(WindowInput::engineKey(digit), static_cast<int32_t>(digit));
    }
}

TEST(WindowInputKeys, OtherKeysAreIgnored) {
    for (uint32_t key :
         {0u, 8u, 9u, 16u, 32u, 36u, 41u, 47u, 58u, 65u, 96u, 111u, 114u, 123u, 255u, 0x10000u}) {
        EXPECT_EQ(WindowInput::engineKey(key), 0) << key;
    }
    auto game = make<Viewport>();
    WindowInput::keyDown(*game, 65);
    WindowInput::keyUp(*game, 65);
    EXPECT_TRUE(drain(*game).empty());
    EXPECT_FALSE(anyKeyHeld(*game));
}

TEST(WindowInputKeys, EnterQueuesOncePressAndRelease) {
    auto game = make<Viewport>();
    WindowInput::keyDown(*game, 13);
    EXPECT_TRUE(game->isKeyDown(5));
    WindowInput::keyUp(*game, 13);
    EXPECT_FALSE(game->isKeyDown(5));
    EXPECT_EQ(drain(*game), (std::vector<int32_t>{5}));
}

TEST(WindowInputKeys, SoftKeysAndEscapeAreQueuedAgainOnRelease) {
    auto game = make<Viewport>();
    WindowInput::keyDown(*game, 112);
    WindowInput::keyUp(*game, 112);
    WindowInput::keyDown(*game, 113);
    WindowInput::keyUp(*game, 113);
    WindowInput::keyDown(*game, 27);
    WindowInput::keyUp(*game, 27);
    EXPECT_EQ(drain(*game), (std::vector<int32_t>{5, 5, 6, 6, 7, 7}));
    EXPECT_FALSE(anyKeyHeld(*game));
}

TEST(WindowInputKeys, ReleaseOnlySoftKeyStillReachesTheGame) {
    auto game = make<Viewport>();
    WindowInput::keyUp(*game, 113);
    EXPECT_EQ(drain(*game), (std::vector<int32_t>{6}));
    EXPECT_FALSE(game->isKeyDown(6));
}

TEST(WindowInputKeys, ArrowIsHeldUntilReleased) {
    auto game = make<Viewport>();
    WindowInput::keyDown(*game, 38);
    EXPECT_TRUE(game->isKeyDown(3));
    WindowInput::keyDown(*game, 38);  // auto-repeat
    EXPECT_TRUE(game->isKeyDown(3));
    WindowInput::keyUp(*game, 38);
    EXPECT_FALSE(game->isKeyDown(3));
    EXPECT_EQ(drain(*game), (std::vector<int32_t>{3, 3}));
}

TEST(WindowInputCharacters, DigitQueuesOnceThroughItsKey) {
    auto game = make<Viewport>();
    WindowInput::keyDown(*game, '7');
    WindowInput::character(*game, '7');
    WindowInput::keyUp(*game, '7');
    EXPECT_EQ(drain(*game), (std::vector<int32_t>{55}));
    EXPECT_FALSE(game->isKeyDown(55));
}

TEST(WindowInputCharacters, LetterIsPressedAndReleased) {
    auto game = make<Viewport>();
    WindowInput::character(*game, 'a');
    EXPECT_EQ(drain(*game), (std::vector<int32_t>{97}));
    EXPECT_FALSE(anyKeyHeld(*game));
}

TEST(WindowInputCharacters, SpaceHashAndStarAreQueuedAndNotHeld) {
    auto game = make<Viewport>();
    WindowInput::character(*game, ' ');
    WindowInput::character(*game, '#');
    WindowInput::character(*game, '*');
    WindowInput::character(*game, 10);
    EXPECT_EQ(drain(*game), (std::vector<int32_t>{32, 35, 42, 10}));
    EXPECT_FALSE(anyKeyHeld(*game));
}

TEST(WindowInputCharacters, EnterEscapeNulAndCodesAbove127AreIgnored) {
    auto game = make<Viewport>();
    for (uint32_t code : {0u, 13u, 27u, 128u, 200u, 255u, 0x20ACu}) {
        WindowInput::character(*game, code);
    }
    EXPECT_TRUE(drain(*game).empty());
    EXPECT_FALSE(anyKeyHeld(*game));
    WindowInput::character(*game, 127);
    EXPECT_EQ(drain(*game), (std::vector<int32_t>{127}));
}

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
    EXPECT_EQ(drain(*game), (std::vector<int32_t>{5}));
}

TEST(WindowInputStylus, TapOnSmallScreenIsOneToOne) {
    auto game = make<Viewport>();
    WindowInput::button(*game, pack(100, 200), false, true);
    EXPECT_EQ(game->pointerX(), 100);
    EXPECT_EQ(game->pointerY(), 200);
    WindowInput::button(*game, pack(100, 200), false, false);
    EXPECT_EQ(drain(*game), (std::vector<int32_t>{5}));
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
