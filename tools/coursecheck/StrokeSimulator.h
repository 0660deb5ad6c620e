#pragma once

#include <cstdint>

#include "engine/render3d/VpolyTerrain.h"
#include "game/Wind.h"
#include "runtime/Fixed.h"
#include "runtime/Ref.h"

namespace fairholm::coursecheck {

// One stroke played out as the game plays it, without the user interface: the club
// meets the ball (BallRules::strike, with the air of a wind), and the ball body flies,
// bounces and rolls over the terrain in frames of 16 ms, the game's frame period, until
// the rules of play (BallRules) say where it ended: at rest, in the cup, in the water,
// out of bounds, or never at rest within a minute. The course checker and the human
// player both strike every ball here.
class StrokeSimulator {
public:
    enum class Outcome { Rest, Holed, Water, OutOfBounds, Endless };

    struct Shot {
        Outcome outcome = Outcome::Rest;
        fixed x = 0, y = 0, z = 0;  // where the ball ended (the lie for the next stroke)
        int32_t frames = 0;
    };

    // The frame the game's run loop aims at, in milliseconds.
    static constexpr int32_t frameMillis = 16;
    // A shot that has not ended after this many frames never comes to rest.
    static constexpr int32_t maxFrames = 60 * 60;
    // One frame of the power meter at 16 ms: it fills at 3072 per millisecond.
    static constexpr int32_t meterTick = 3072 * frameMillis;
    // The fullest meter a player can stop by hand (the next frame would fill it, and a
    // full meter strikes by itself with an aim error).
    static constexpr int32_t maxPower = (100 * 65536 - 1) / meterTick * meterTick;

    explicit StrokeSimulator(Ref<VpolyTerrain> terrain) : m_terrain(std::move(terrain)) {}

    // The pin the rules judge the ball against (fixed units).
    void setPin(fixed x, fixed y, fixed z);
    fixed pinX() const { return m_pinX; }
    fixed pinY() const { return m_pinY; }
    fixed pinZ() const { return m_pinZ; }

    // One stroke from (x, y, z) with the club at the power (16.16 percent) along the aim,
    // through the air of `wind` (a default Wind is calm).
    Shot simulate(fixed x, fixed y, fixed z, int32_t club, angle aim, int32_t power, const Wind& wind) const;

    // Where the same stroke first touches the ground (or leaves the course): its carry.
    // A putt rolls from the start and touches down after its first frame.
    Shot landing(fixed x, fixed y, fixed z, int32_t club, angle aim, int32_t power, const Wind& wind) const;

    // The heading (32768 a full circle, 0 along -z) from a point (fixed units) to a
    // point in yards.
    static angle headingTo(fixed fromX, fixed fromZ, double toX, double toZ);

    // Whether an outcome costs a penalty stroke and a replay from the last lie.
    static bool isPenalty(Outcome outcome) { return outcome != Outcome::Rest && outcome != Outcome::Holed; }

    VpolyTerrain& terrain() const { return *m_terrain; }
    const Ref<VpolyTerrain>& terrainRef() const { return m_terrain; }

private:
    Ref<VpolyTerrain> m_terrain;
    fixed m_pinX = 0, m_pinY = 0, m_pinZ = 0;
};

}  // namespace fairholm::coursecheck
