#pragma once

#include <cstdint>

#include "engine/sprite/Viewport.h"

namespace fairholm {

// What the game window's procedure does with keys, typed characters, the stylus (the
// left mouse button) and size changes: the platform's codes become engine key codes for
// the game's key queue and key state. Free of Windows headers, so that the translation is
// the same code in the Windows program and in the tests.
class WindowInput {
public:
    // Virtual-key codes of the keys the game knows.
    static constexpr uint32_t vkReturn = 13;
    static constexpr uint32_t vkEscape = 27;
    static constexpr uint32_t vkLeft = 37;
    static constexpr uint32_t vkUp = 38;
    static constexpr uint32_t vkRight = 39;
    static constexpr uint32_t vkDown = 40;
    static constexpr uint32_t vkF1 = 112;
    static constexpr uint32_t vkF2 = 113;

    // Engine key code of a virtual key: 1 left, 2 right, 3 up, 4 down, 5 Enter and F1
    // (left soft key), 6 F2 (right soft key), 7 Escape, the digits unchanged; 0 for
    // every other key.
    static int32_t engineKey(uint32_t virtualKey);

    // The soft keys and Escape are queued again when they are released, so that a key
    // that only reports its release still reaches the game.
    static bool queuedOnRelease(uint32_t virtualKey);

    // Key down: the key's engine code is pressed.
    static void keyDown(Viewport& game, uint32_t virtualKey);
    // Key up: pressed once more for F1, F2 and Escape, then released.
    static void keyUp(Viewport& game, uint32_t virtualKey);
    // A typed character: pressed and released at once. Enter, Escape and the digits
    // come through their keys instead; codes above 127 are no engine keys.
    static void character(Viewport& game, uint32_t code);

    // Left button down or up at the position packed in `lParam` (x in the low 16 bits,
    // y in the high ones): the pointer is set in frame-buffer pixels (halved on
    // high-resolution screens) and the action key (5) is pressed or released.
    static void button(Viewport& game, uintptr_t lParam, bool highResolution, bool down);

    // Width and height packed in a size message's `lParam`.
    static int32_t packedLow(uintptr_t lParam) { return static_cast<int32_t>(lParam & 0xFFFF); }
    static int32_t packedHigh(uintptr_t lParam) { return static_cast<int32_t>((lParam >> 16) & 0xFFFF); }

    // The game's own size for a window (client area) of the given size: half of it on
    // high-resolution screens. A zero size (a minimised window) asks for nothing and
    // answers false.
    static bool resize(Viewport& game, int32_t windowWidth, int32_t windowHeight, bool highResolution);
};

}  // namespace fairholm
