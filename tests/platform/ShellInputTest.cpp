// The one key table and input translation of the desktop shells.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "engine/sprite/EngineKey.h"
#include "engine/sprite/Viewport.h"
#include "platform/KeyTable.h"
#include "platform/ShellInput.h"
#include "tests/support/KeyQueue.h"

using namespace fairholm;
using fairholm::testing::drainKeys;
using Host = KeyTable::Host;

namespace {

bool anyKeyHeld(const Viewport& game) {
    for (int32_t code = 0; code <= Viewport::lastKeyCode; ++code) {
        if (game.isKeyDown(code)) {
            return true;
        }
    }
    return false;
}

// SDL keycodes of keys without a character (SDL_SCANCODE_TO_KEYCODE).
constexpr int32_t sdl(int32_t scancode) {
    return scancode | (1 << 30);
}

}  // namespace

TEST(KeyTable, WindowsVirtualKeys) {
    EXPECT_EQ(KeyTable::engineKey(Host::Win32, 37), key::left);
    EXPECT_EQ(KeyTable::engineKey(Host::Win32, 39), key::right);
    EXPECT_EQ(KeyTable::engineKey(Host::Win32, 38), key::up);
    EXPECT_EQ(KeyTable::engineKey(Host::Win32, 40), key::down);
    EXPECT_EQ(KeyTable::engineKey(Host::Win32, 13), key::action);
    EXPECT_EQ(KeyTable::engineKey(Host::Win32, 112), key::action);
    EXPECT_EQ(KeyTable::engineKey(Host::Win32, 113), key::softRight);
    EXPECT_EQ(KeyTable::engineKey(Host::Win32, 27), key::back);
    EXPECT_EQ(KeyTable::engineKey(Host::Win32, 9), key::fast);  // Tab, held to fast-forward
    EXPECT_EQ(KeyTable::engineKey(Host::Sdl, 9), key::fast);
    EXPECT_EQ(KeyTable::findWeb("Tab")->engineKey, key::fast);
    for (int32_t digit = 0; digit <= 9; ++digit) {
        EXPECT_EQ(KeyTable::engineKey(Host::Win32, '0' + digit), key::digit(digit));
        EXPECT_EQ(KeyTable::engineKey(Host::Win32, 0x60 + digit), key::digit(digit));  // the keypad
    }
    for (int32_t other : {0, 8, 16, 32, 36, 41, 47, 58, 65, 111, 114, 123, 255, 0x10000, -1}) {
        EXPECT_EQ(KeyTable::engineKey(Host::Win32, other), 0) << other;
    }
}

TEST(KeyTable, SdlKeycodes) {
    EXPECT_EQ(KeyTable::engineKey(Host::Sdl, sdl(80)), key::left);
    EXPECT_EQ(KeyTable::engineKey(Host::Sdl, sdl(79)), key::right);
    EXPECT_EQ(KeyTable::engineKey(Host::Sdl, sdl(82)), key::up);
    EXPECT_EQ(KeyTable::engineKey(Host::Sdl, sdl(81)), key::down);
    EXPECT_EQ(KeyTable::engineKey(Host::Sdl, 13), key::action);
    EXPECT_EQ(KeyTable::engineKey(Host::Sdl, sdl(88)), key::action);  // keypad Enter
    EXPECT_EQ(KeyTable::engineKey(Host::Sdl, sdl(58)), key::action);  // F1
    EXPECT_EQ(KeyTable::engineKey(Host::Sdl, sdl(59)), key::softRight);
    EXPECT_EQ(KeyTable::engineKey(Host::Sdl, 27), key::back);
    EXPECT_EQ(KeyTable::engineKey(Host::Sdl, sdl(98)), '0');
    EXPECT_EQ(KeyTable::engineKey(Host::Sdl, sdl(89)), '1');
    EXPECT_EQ(KeyTable::engineKey(Host::Sdl, sdl(97)), '9');
    EXPECT_EQ(KeyTable::engineKey(Host::Sdl, '5'), '5');
    // Letters, space and F3 come as characters or not at all.
    for (int32_t other : {int32_t{'a'}, int32_t{' '}, int32_t{'#'}, sdl(60), sdl(99), -1}) {
        EXPECT_EQ(KeyTable::engineKey(Host::Sdl, other), 0) << other;
    }
}

TEST(KeyTable, WebCodesAndGamepads) {
    ASSERT_NE(KeyTable::findWeb("ArrowLeft"), nullptr);
    EXPECT_EQ(KeyTable::findWeb("ArrowLeft")->engineKey, key::left);
    EXPECT_EQ(KeyTable::findWeb("NumpadEnter")->engineKey, key::action);
    EXPECT_EQ(KeyTable::findWeb("Numpad7")->engineKey, '7');
    EXPECT_TRUE(KeyTable::findWeb("Escape")->queuedOnRelease);
    EXPECT_EQ(KeyTable::findWeb("KeyA"), nullptr);
    EXPECT_EQ(KeyTable::findWeb(nullptr), nullptr);
    // The web shell's host code is the row's index.
    EXPECT_EQ(KeyTable::find(Host::Web, KeyTable::webKey("Numpad7")), KeyTable::findWeb("Numpad7"));
    EXPECT_EQ(KeyTable::engineKey(Host::Web, KeyTable::webKey("F2")), key::softRight);
    EXPECT_EQ(KeyTable::webKey("KeyA"), -1);
    EXPECT_EQ(KeyTable::find(Host::Web, -1), nullptr);
    EXPECT_EQ(KeyTable::find(Host::Web, KeyTable::rowCount), nullptr);
    EXPECT_EQ(KeyTable::buttonKey(Host::Sdl, 13), key::left);  // the d-pad
    EXPECT_EQ(KeyTable::buttonKey(Host::Web, 14), key::left);
    EXPECT_EQ(KeyTable::buttonKey(Host::Sdl, 6), key::action);  // Start
    EXPECT_EQ(KeyTable::buttonKey(Host::Web, 9), key::action);
    EXPECT_EQ(KeyTable::buttonKey(Host::Sdl, 5), 0);  // Guide
}

TEST(KeyTable, EveryRowIsNamedOnceAndEveryHostCodeMeansOneKey) {
    std::set<std::string> names;
    for (int32_t i = 0; i < KeyTable::rowCount; ++i) {
        const KeyTable::Row& row = KeyTable::rows[i];
        EXPECT_TRUE(names.insert(row.name).second) << row.name;
        EXPECT_GT(row.engineKey, 0);
        EXPECT_EQ(KeyTable::find(Host::Sdl, row.sdl), row.sdl < 0 ? nullptr : &row) << row.name;
        EXPECT_EQ(KeyTable::find(Host::Win32, row.win32), row.win32 < 0 ? nullptr : &row) << row.name;
        if (row.web) {
            EXPECT_EQ(KeyTable::findWeb(row.web), &row) << row.name;
        }
    }
}

TEST(ShellInputKeys, UnknownKeysAreIgnored) {
    auto game = make<Viewport>();
    ShellInput input;
    input.keyDown(*game, Host::Win32, 65);
    input.keyUp(*game, Host::Win32, 65);
    input.keyDown(*game, Host::Sdl, 'a');
    input.keyUp(*game, Host::Sdl, 'a');
    EXPECT_TRUE(drainKeys(*game).empty());
    EXPECT_FALSE(anyKeyHeld(*game));
}

TEST(ShellInputKeys, EnterQueuesOncePressAndRelease) {
    for (Host host : {Host::Win32, Host::Sdl}) {
        auto game = make<Viewport>();
        ShellInput input;
        input.keyDown(*game, host, 13);
        EXPECT_TRUE(game->isKeyDown(key::action));
        input.keyUp(*game, host, 13);
        EXPECT_FALSE(game->isKeyDown(key::action));
        EXPECT_EQ(drainKeys(*game), (std::vector<int32_t>{key::action}));
    }
}

// A keyboard reports both the press and the release of F1, F2 and Escape: each press
// acts once. A handset's soft key that reports only its release still reaches the game.
TEST(ShellInputKeys, SoftKeysAndEscapeActOnceWhenPressedAndReleased) {
    for (Host host : {Host::Win32, Host::Sdl}) {
        auto game = make<Viewport>();
        ShellInput input;
        const int32_t codes[3] = {host == Host::Win32 ? 112 : sdl(58), host == Host::Win32 ? 113 : sdl(59),
                                  27};
        for (int32_t code : codes) {
            input.keyDown(*game, host, code);
            input.keyUp(*game, host, code);
        }
        EXPECT_EQ(drainKeys(*game), (std::vector<int32_t>{5, 6, 7}));
        EXPECT_FALSE(anyKeyHeld(*game));
        // Auto-repeat presses again; the release adds nothing.
        input.keyDown(*game, host, 27);
        input.keyDown(*game, host, 27);
        input.keyUp(*game, host, 27);
        EXPECT_EQ(drainKeys(*game), (std::vector<int32_t>{7, 7}));
    }
}

TEST(ShellInputKeys, ReleaseOnlySoftKeyStillReachesTheGame) {
    auto game = make<Viewport>();
    ShellInput input;
    input.keyUp(*game, Host::Win32, 113);
    EXPECT_EQ(drainKeys(*game), (std::vector<int32_t>{6}));
    EXPECT_FALSE(game->isKeyDown(6));
    // A press of the other soft key in between does not count for this one.
    input.keyDown(*game, Host::Win32, 112);
    input.keyUp(*game, Host::Win32, 113);
    input.keyUp(*game, Host::Win32, 112);
    EXPECT_EQ(drainKeys(*game), (std::vector<int32_t>{5, 6}));
    // Enter and the arrows are never queued on release alone.
    input.keyUp(*game, Host::Win32, 13);
    input.keyUp(*game, Host::Win32, 37);
    EXPECT_TRUE(drainKeys(*game).empty());
}

TEST(ShellInputKeys, ArrowIsHeldUntilReleased) {
    auto game = make<Viewport>();
    ShellInput input;
    input.keyDown(*game, Host::Win32, 38);
    EXPECT_TRUE(game->isKeyDown(key::up));
    input.keyDown(*game, Host::Win32, 38);  // auto-repeat
    EXPECT_TRUE(game->isKeyDown(key::up));
    input.keyUp(*game, Host::Win32, 38);
    EXPECT_FALSE(game->isKeyDown(key::up));
    EXPECT_EQ(drainKeys(*game), (std::vector<int32_t>{3, 3}));
}

TEST(ShellInputCharacters, DigitQueuesOnceThroughItsKey) {
    auto game = make<Viewport>();
    ShellInput input;
    input.keyDown(*game, Host::Win32, '7');
    ShellInput::character(*game, '7');
    input.keyUp(*game, Host::Win32, '7');
    EXPECT_EQ(drainKeys(*game), (std::vector<int32_t>{55}));
    EXPECT_FALSE(game->isKeyDown(55));
}

TEST(ShellInputCharacters, LettersSpaceHashAndStarArePressedAndReleased) {
    auto game = make<Viewport>();
    for (uint32_t code : {uint32_t{'a'}, uint32_t{' '}, uint32_t{'#'}, uint32_t{'*'}, 10u}) {
        ShellInput::character(*game, code);
    }
    EXPECT_EQ(drainKeys(*game), (std::vector<int32_t>{97, 32, 35, 42, 10}));
    EXPECT_FALSE(anyKeyHeld(*game));
}

TEST(ShellInputCharacters, EnterEscapeNulAndCodesAbove127AreIgnored) {
    auto game = make<Viewport>();
    for (uint32_t code : {0u, 13u, 27u, 128u, 200u, 255u, 0x20ACu}) {
        ShellInput::character(*game, code);
    }
    EXPECT_TRUE(drainKeys(*game).empty());
    EXPECT_FALSE(anyKeyHeld(*game));
    ShellInput::character(*game, 127);
    EXPECT_EQ(drainKeys(*game), (std::vector<int32_t>{127}));
}

TEST(ShellInputStylus, TouchAndLiftSetThePointerAndTheActionKey) {
    auto game = make<Viewport>();
    ShellInput::stylus(*game, 50, 100, true);
    EXPECT_EQ(game->pointerX(), 50);
    EXPECT_EQ(game->pointerY(), 100);
    EXPECT_TRUE(game->isKeyDown(key::action));
    ShellInput::stylus(*game, 51, 102, false);
    EXPECT_EQ(game->pointerX(), 51);
    EXPECT_FALSE(game->isKeyDown(key::action));
    EXPECT_EQ(drainKeys(*game), (std::vector<int32_t>{key::action}));
}

TEST(ShellInputButtons, GamepadButtonsPressAndRelease) {
    auto game = make<Viewport>();
    ShellInput input;
    input.button(*game, Host::Sdl, 2, true);  // X: the club menu
    EXPECT_TRUE(game->isKeyDown('1'));
    input.button(*game, Host::Sdl, 2, false);
    input.button(*game, Host::Sdl, 5, true);  // Guide: nothing
    EXPECT_EQ(drainKeys(*game), (std::vector<int32_t>{'1'}));
    EXPECT_FALSE(anyKeyHeld(*game));
}
