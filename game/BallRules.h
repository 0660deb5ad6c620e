#pragma once

#include <cstdint>

#include "engine/render3d/Vector.h"
#include "engine/render3d/Vphob.h"
#include "engine/render3d/VpolyTerrain.h"
#include "game/Wind.h"
#include "runtime/Fixed.h"

namespace fairholm {

// The rules of a ball in play, one frame at a time: what a ball out of bounds, in the
// cup, in the water or at rest means. The game, the course checker and the headless
// player all judge their balls here.
//
// A ball is out of bounds when x or z leaves 0..512; holed within 0.125 units of the pin
// (three-dimensional, the fast length) at under 11.1 units per time unit; at rest once
// its distance to the pin has stayed within 910 of one value for 30 frames; in the water
// when it stops or rests on water. Out of bounds and water cost a penalty stroke and the
// stroke is played again from the last lie.
class BallRules {
public:
    enum class Verdict {
        Moving,       // still in play
        OutOfBounds,  // left the course
        Holed,        // in the cup
        Water,        // came to a stop in the water
        Rest,         // at rest on land
    };

    static constexpr int32_t maxFrameMillis = 80;
    static constexpr fixed cupRadius = 4095;
    static constexpr fixed holingSpeed = 364000;
    static constexpr fixed stillDrift = 910;
    static constexpr int32_t framesToRest = 30;

    // The ball-body time of a frame that took `elapsed` milliseconds (32 a millisecond):
    // at most 80 ms, and 80 ms for a frame reported as 0 or less.
    static fixed frameTime(int32_t elapsed);
    static bool isOutOfBounds(fixed x, fixed z);
    // The club meets the ball at (x, y, z): the body gets the air of the wind and the
    // launch velocity of the club at the power, along the aim.
    static void strike(Vphob& body, fixed x, fixed y, fixed z, int32_t club, int32_t power, angle aim,
                       const Wind& wind);

    // A new stroke: the stillness count starts again (its reference distance stays).
    void restartStillness() { m_stillFrames = 0; }
    // Judges the body after a frame's step, the pin standing at `pin`.
    Verdict judge(const Vphob& body, const Vector& pin, VpolyTerrain& terrain);

    // A whole stroke played out: frames of `frameMillis` after a first one of
    // `firstMillis`, until a verdict other than Moving or `maxFrames` frames (the
    // verdict is then Moving: a ball that never rests).
    struct Result {
        Verdict verdict = Verdict::Moving;
        fixed x = 0, y = 0, z = 0;  // where the ball ended
        int32_t frames = 0;
    };
    Result playOut(Vphob& body, const Vector& pin, VpolyTerrain& terrain, int32_t firstMillis,
                   int32_t frameMillis, int32_t maxFrames);

    int32_t stillFrames() const { return m_stillFrames; }

private:
    fixed m_stillDistance = 0;
    int32_t m_stillFrames = 0;
    Vector m_toPin;
};

}  // namespace fairholm
