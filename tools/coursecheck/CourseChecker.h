#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/render3d/VpolyTerrain.h"
#include "runtime/Fixed.h"
#include "runtime/Ref.h"
#include "tools/coursecheck/StrokeSimulator.h"

namespace fairholm::coursecheck {

// Plays the holes of a course pack with the game's own ball physics, clubs, launch
// and rules (Clubs, Course, BallRules), without the user interface, choosing every
// stroke as a good player would: it tries clubs, aims and powers with the simulation
// and plays the one that leaves the fewest strokes to come.
//
// Strokes are played out by the StrokeSimulator in frames of 16 ms, the game's frame
// period; out of bounds and water cost a penalty stroke and the stroke is replayed from
// the last lie. The air is calm.
//
// The player is human in two ways: the aim turns in steps of 128 from the heading the
// game gives it (with the camera's jitter), and the power meter is stopped within two
// 16 ms frames of the intended power. Strokes are chosen by their mean result over
// those frames and then played with a miss from a fixed sequence.
class CourseChecker {
public:
    using Outcome = StrokeSimulator::Outcome;
    using Shot = StrokeSimulator::Shot;
    struct Stroke {
        int32_t club = 0;
        angle aim = 0;
        int32_t power = 0;  // 16.16 percent
        Shot shot;
        int32_t surfaceBefore = 0;
        double distanceBefore = 0;  // yards to the pin
    };
    struct HoleResult {
        int32_t hole = 0;  // 0..17
        int32_t par = 0;
        int32_t strokes = 0;
        bool holed = false;
        std::vector<Stroke> log;
    };

    // The frame the game's run loop aims at, in milliseconds.
    static constexpr int32_t frameMillis = StrokeSimulator::frameMillis;
    // A shot that has not ended after this many frames never comes to rest.
    static constexpr int32_t maxFrames = StrokeSimulator::maxFrames;
    // A hole is given up after par + this many strokes.
    static constexpr int32_t giveUpOver = 4;
    // How many meter frames (16 ms each) early or late the player may stop the meter.
    static constexpr int32_t missFrames = 2;

    // `effort` scales the number of candidate strokes tried (1 = the full search).
    CourseChecker(Ref<VpolyTerrain> terrain, int32_t effort = 1);

    // Plays hole `hole` (0..17) from its tee.
    HoleResult playHole(int32_t hole);

    // One stroke from (x, y, z) in calm air, judged against the pin of the hole played last.
    Shot simulate(fixed x, fixed y, fixed z, int32_t club, angle aim, int32_t power);

    // Strokes still expected from a lie: the measure the search minimises.
    double estimate(fixed x, fixed z);

    // A readable line for one stroke.
    static std::string describe(const Stroke& stroke);

private:
    double score(const Shot& shot, fixed fromX, fixed fromZ);
    Stroke chooseStroke(fixed x, fixed y, fixed z, const std::vector<angle>& headings);

    Ref<VpolyTerrain> m_terrain;
    StrokeSimulator m_simulator;
    int32_t m_effort;
    fixed m_pinX = 0, m_pinY = 0, m_pinZ = 0;
    uint32_t m_sequence = 0;  // strokes played: drives the jitter and the meter misses
};

}  // namespace fairholm::coursecheck
