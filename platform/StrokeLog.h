#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace fairholm {

class Golf;

// A debugging aid of the shells (--log-strokes): a line on standard output each time
// the game's state, stroke count, club or aim has changed, read through the game's
// public getters on the game thread whenever it presents a picture, with a digest of
// the frame being presented. The line the meter stops with (the state leaving the
// swing meter) carries the power of the stroke:
//
//   play state=11 hole=0 strokes=0 club=0 aim=128 power=0 frame=5c0e...
//   play state=12 hole=0 strokes=0 club=0 aim=128 power=56 frame=...  (percent of a full meter)
//   play state=0 hole=0 strokes=1 club=0 aim=128 power=56 frame=...
//
// A recording played back prints the same lines as the game that was recorded.
class StrokeLog {
public:
    explicit StrokeLog(std::FILE* out = stdout) : m_out(out) {}

    // Looks at the game; prints a line when anything watched changed. Game thread.
    void sample(const Golf& game);

    // The line that says where a game ended, `time` milliseconds into it.
    static std::string endLine(const Golf& game, uint32_t time);

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
