#pragma once

#include <cstdint>

namespace fairholm {

// The engine's key codes: what the shells put into a viewport's key queue and key
// state, and what the game reads back. The digit keys are their characters '0' to '9';
// every other typed character arrives as its own code ('#', '*', letters).
namespace key {

enum : int32_t {
    left = 1,
    right = 2,
    up = 3,
    down = 4,
    action = 5,     // Enter, the left soft key, a stylus tap
    softRight = 6,  // the right soft key
    back = 7,       // Escape
    lineFeed = 10,
    fast = 11,  // a desktop key held to fast-forward the ball in play; no handset has it
    space = 32,
};

// The digit key `n` (0 to 9).
constexpr int32_t digit(int32_t n) {
    return '0' + n;
}

// Left, right, up or down.
constexpr bool isDirection(int32_t code) {
    return code >= left && code <= down;
}

}  // namespace key

}  // namespace fairholm
