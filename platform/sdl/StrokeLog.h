#pragma once

#include <cstdint>
#include <cstdio>

namespace fairholm {

class Golf;

// A debugging aid of the desktop shell (--log-strokes): a line on standard output each
// time the game's state, stroke count, club or aim has changed, read through the game's
// public getters on the game thread whenever it presents a picture. The line the meter
// stops with (the state leaving the swing meter) carries the power of the stroke:
//
//   play state=11 hole=0 strokes=0 club=0 aim=128 power=0
//   play state=12 hole=0 strokes=0 club=0 aim=128 power=56   (percent of a full meter)
//   play state=0 hole=0 strokes=1 club=0 aim=128 power=56
class StrokeLog {
public:
    explicit StrokeLog(std::FILE* out = stdout) : m_out(out) {}

    // Looks at the game; prints a line when anything watched changed. Game thread.
    void sample(const Golf& game);

private:
    std::FILE* m_out;
    bool m_started = false;
    int32_t m_state = 0;
    int32_t m_hole = 0;
    int32_t m_strokes = 0;
    int32_t m_club = 0;
    int32_t m_aim = 0;
};

}  // namespace fairholm
