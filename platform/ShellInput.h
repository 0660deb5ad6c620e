#pragma once

#include <cstdint>

#include "engine/sprite/Viewport.h"
#include "platform/KeyTable.h"

namespace fairholm {

// What every desktop shell does with the input its window receives: host keys become
// engine keys through the key table, typed characters, stylus taps (the left mouse
// button) and gamepad buttons reach the game's key queue, key state and pointer.
//
// One per window: it remembers which table keys are down, so that a key that reports
// its release without a press (a handset's soft keys and back do) still reaches the
// game once, while a keyboard key, which reports both, acts once.
class ShellInput {
public:
    // Key down: the engine key is pressed (and queued). Auto-repeat presses again.
    void keyDown(Viewport& game, KeyTable::Host host, int32_t hostKey);
    // Key up: released; a soft key or back released without having been pressed is
    // queued first.
    void keyUp(Viewport& game, KeyTable::Host host, int32_t hostKey);
    // A typed character, pressed and released at once. Enter, Escape and the digits come
    // through their keys instead; NUL and codes above 127 are no engine keys.
    static void character(Viewport& game, uint32_t code);
    // The stylus at frame-buffer pixel (x, y), touching or lifted: the pointer is set and
    // the action key pressed or released.
    static void stylus(Viewport& game, int32_t x, int32_t y, bool down);
    // A gamepad button pressed or released.
    static void button(Viewport& game, KeyTable::Host host, int32_t button, bool down);

private:
    bool isHeld(const KeyTable::Row& row) const;
    void setHeld(const KeyTable::Row& row, bool held);

    uint64_t m_held = 0;  // a bit per key-table row
};

}  // namespace fairholm
