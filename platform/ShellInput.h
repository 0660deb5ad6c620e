#pragma once

#include <cstdint>

#include "engine/sprite/Viewport.h"
#include "platform/KeyTable.h"

namespace fairholm {

// What every desktop shell does with the input its window receives: host keys become
// engine keys through the key table, typed characters, stylus taps (the left mouse
// button) and gamepad buttons reach the game's key queue, key state and pointer.
class ShellInput {
public:
    // Key down: the engine key is pressed (and queued). Auto-repeat presses again.
    static void keyDown(Viewport& game, KeyTable::Host host, int32_t hostKey);
    // Key up: released, and for the soft keys and back queued once more first.
    static void keyUp(Viewport& game, KeyTable::Host host, int32_t hostKey);
    // A typed character, pressed and released at once. Enter, Escape and the digits come
    // through their keys instead; NUL and codes above 127 are no engine keys.
    static void character(Viewport& game, uint32_t code);
    // The stylus at frame-buffer pixel (x, y), touching or lifted: the pointer is set and
    // the action key pressed or released.
    static void stylus(Viewport& game, int32_t x, int32_t y, bool down);
    // A gamepad button pressed or released.
    static void button(Viewport& game, KeyTable::Host host, int32_t button, bool down);
};

}  // namespace fairholm
