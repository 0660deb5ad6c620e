#pragma once

#include <cstdint>
#include <utility>

#include "engine/sprite/Viewport.h"
#include "platform/KeyBindings.h"
#include "platform/KeyTable.h"

namespace fairholm {

// What every desktop shell does with the input its window receives: host keys become
// engine keys through the key table, typed characters, stylus taps (the left mouse
// button) and gamepad buttons reach the game's key queue, key state and pointer.
//
// One per window: it remembers which table keys are down, so that a key that reports
// its release without a press (a handset's soft keys and back do) still reaches the
// game once, while a keyboard key, which reports both, acts once.
//
// The player's key configuration (KeyBindings, in the shell's host codes) comes first:
// a key or button it names means its engine key there (or nothing), pressed on its
// press and released on its release; only the table's own rows queue a release alone.
class ShellInput {
public:
    // The bindings for keys and buttons of their host; none until a shell sets them.
    void setBindings(KeyBindings bindings) { m_bindings = std::move(bindings); }
    const KeyBindings& bindings() const { return m_bindings; }
    // Whether the bindings name this key (its typed character is then not the game's).
    bool isBound(KeyTable::Host host, int32_t hostKey) const;

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
    void button(Viewport& game, KeyTable::Host host, int32_t button, bool down) const;

private:
    bool isHeld(const KeyTable::Row& row) const;
    void setHeld(const KeyTable::Row& row, bool held);

    uint64_t m_held = 0;  // a bit per key-table row
    KeyBindings m_bindings;
};

}  // namespace fairholm
