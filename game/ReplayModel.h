#pragma once

#include <cstdint>

namespace fairholm {

// What a recorder and a player both expect the game to observe next. Each observation
// the model predicts costs a recording nothing but a count; only the others are
// written. Both sides feed it every observation (predicted or not) in the same order,
// so they always expect the same thing.
//
// The expectations: no key in the queue; each key in the state it was last seen in;
// the stylus, the size request, the loop's go-ahead and the save outcome as last seen;
// and the clock at its last reading plus whatever the game slept since.
class ReplayModel {
public:
    static constexpr int32_t keyCodes = 64;

    int32_t key() const { return 0; }
    bool keyDown(int32_t code) const {
        return code >= 0 && code < keyCodes && ((m_keysDown >> code) & 1) != 0;
    }
    void setKeyDown(int32_t code, bool down) {
        if (code >= 0 && code < keyCodes) {
            const uint64_t bit = uint64_t{1} << code;
            m_keysDown = down ? m_keysDown | bit : m_keysDown & ~bit;
        }
    }

    int32_t pointerX = 0;
    int32_t pointerY = 0;
    uint64_t size = 0;
    bool running = true;
    bool saved = true;
    // The tick count expected at the next reading.
    uint32_t time = 0;
    void slept(uint32_t milliseconds) { time += milliseconds; }

private:
    uint64_t m_keysDown = 0;
};

}  // namespace fairholm
