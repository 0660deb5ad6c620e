#pragma once

#include <cstdint>

#include "engine/sprite/Viewport.h"

namespace fairholm {

// What the game window's procedure takes from the parameters of mouse and size messages:
// packed positions and sizes, halved on high-resolution screens. Free of Windows
// headers, so that the same code runs in the Windows program and in the tests. Keys and
// typed characters go through ShellInput and the key table.
class WindowInput {
public:
    // Left button down or up at the position packed in `lParam` (x in the low 16 bits,
    // y in the high ones): the stylus at that frame-buffer pixel (halved on
    // high-resolution screens).
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
