#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/render3d/VpolyTerrain.h"
#include "game/Wind.h"
#include "runtime/Fixed.h"
#include "runtime/Ref.h"
#include "tools/coursecheck/ClubDistances.h"
#include "tools/coursecheck/SeededRandom.h"
#include "tools/coursecheck/StrokeSimulator.h"

namespace fairholm::coursecheck {

// Plays the holes of a course pack as a person of club-golfer skill plays the game:
// with the game's own strokes (StrokeSimulator: clubs, launch, ball body, rules of
// play) in a wandering wind, deciding each stroke from what a person can know, and
// making the mistakes a person makes. Where the course checker measures what a perfect
// player scores, this measures how hard a hole is for people.
//
// A stroke, as the game and the player make it:
//
// - The game aims the player: at the hole's aim point from the tee (and after water
//   from the tee), otherwise at the pin, with its camera jitter ((ticks & 7) - 5) x 45,
//   and offers the club for the distance (Clubs::forDistance: the putter on the green
//   in the short game, the wedge elsewhere).
// - The player takes some seconds to aim (the wind wanders meanwhile), reads the wind
//   from the HUD with an error, and decides: the target is the aim point from the tee
//   (doglegs and par 5s, as the game's first aim) and the pin otherwise; the club is
//   the one offered, one more when the stroke needs more than a full swing of it, the
//   putter from the fringe or fairway close to the green with nothing but short grass
//   on the line, and less club to lay up short of water it sees on the line (the
//   surfaces of the terrain along the aim line) when the stroke planned would land or
//   finish in it; a carry over water on the way to the target is taken on when some
//   full swing of the club (or one more) carries it with a margin. The power comes from
//   the player's knowledge of their clubs (ClubDistances: carry and run on flat ground,
//   for the ground at the target), corrected for the wind read and the rise or fall to
//   the target; the aim line is turned off the target for the crosswind read.
// - The player turns the aim in the game's steps of 128 from the game's heading to the
//   line they mean, with an aim error, and stops the meter (16 ms frames, 49152 of
//   power each) with a timing error; a meter let run full strikes at full power with
//   the game's aim error (ticks & 0x7FF) - 0x400. Putts err in length (in proportion
//   to it) and in line.
//
// The wind is the game's Wind, started for each attempt at a random strength (0 to 8)
// and direction with random targets, stepped every frame of a clock that the seed
// starts and that runs 16 or 17 ms a frame: through the aiming, the meter and every
// flight. The jitter and the full meter's aim error are taken from that clock as the
// game takes them from its tick count. Everything follows from the seed: the same seed,
// hole and attempt play the same strokes.
class HumanPlayer {
public:
    using Outcome = StrokeSimulator::Outcome;

    // How well the player plays: the errors (all zero in `flawless`) and how they
    // decide. The values given are those of a club golfer.
    struct Skill {
        // Meter timing error, standard deviation in percent of the meter: swings meant
        // below `fullSwingFrom` percent, and full swings (harder to time).
        double powerSd = 3.0;
        double fullPowerSd = 4.5;
        double fullSwingFrom = 80;
        // The fullest a player means to stop the meter (percent): a little short of the
        // end, which would strike by itself with a wild aim.
        double fullSwingPower = 92;
        // Chance on each stroke but a putt of letting the meter run full.
        double meterRunChance = 0.02;
        // Aim error of strokes, standard deviation in angle units (32768 a circle;
        // 91 is one degree), before the aim is turned to the game's steps of 128.
        double aimSd = 150;
        // Wind misread: strength (units of the HUD) and direction (angle units).
        double windStrengthSd = 0.75;
        double windDirectionSd = 1024;
        // Putts: length error as a fraction of the length, line error in angle units.
        double puttDistanceSd = 0.12;
        double puttLineSd = 200;

        // Decisions. Yards a carry over water must clear its far edge by.
        double waterCarryMargin = 8;
        // Yards short of the water a lay-up is played to.
        double layUpMargin = 12;
        // Yards beyond the planned stroke's rest in which water on the line counts.
        double waterLookBeyond = 5;
        // From the fringe or fairway this close to the pin (yards) a player putts.
        double fringePuttYards = 20;
        // Yards past the hole a putt is struck for.
        double puttPast = 0.5;
        // Yards added to a stroke per yard the target lies above the ball; for putts.
        double elevationYards = 1;
        double puttElevationYards = 3;
        // Seconds spent aiming each stroke (uniform between the two).
        double aimSecondsLow = 2;
        double aimSecondsHigh = 6;

        // The same decisions without any error of execution or reading.
        static Skill flawless();
    };

    // A hole is picked up once par + pickUpOver strokes are played (the score is then
    // what was played, penalties included).
    static constexpr int32_t pickUpOver = 6;
    static constexpr int32_t defaultAttempts = 200;

    struct Stroke {
        int32_t club = 0;
        int32_t lie = 0;        // surface kind played from (the tee box reads as tee/fringe)
        double distance = 0;    // yards to the pin before the stroke
        int32_t power = 0;      // 16.16 percent as struck
        angle aim = 0;          // as struck
        bool meterRan = false;  // the meter was let run full
        bool layUp = false;     // played short of water seen on the line
        Outcome outcome = Outcome::Rest;
        fixed x = 0, z = 0;  // where the ball ended
    };
    struct Attempt {
        int32_t strokes = 0;  // penalties included
        bool holed = false;
        std::vector<Stroke> log;
    };
    // One hole played `attempts` times.
    struct HoleStats {
        int32_t hole = 0;  // 0..17
        int32_t par = 0;
        int32_t attempts = 0;
        int32_t holed = 0;  // attempts holed (the others were picked up)
        double mean = 0;    // strokes
        double sd = 0;
        // Attempts at par - 1 or better, par, par + 1, par + 2, par + 3 or worse.
        std::array<int32_t, 5> scores{};
        // Penalty strokes over all attempts: water, out of bounds, a ball never at rest.
        int32_t water = 0;
        int32_t outOfBounds = 0;
        int32_t lost = 0;
        // Attempts with at least one ball in the water, out of bounds.
        int32_t attemptsInWater = 0;
        int32_t attemptsOutOfBounds = 0;
        // Strokes played from each surface kind (index 1..7), over all attempts, and the
        // attempts with at least one stroke from it.
        std::array<int32_t, 8> strokesFrom{};
        std::array<int32_t, 8> attemptsFrom{};

        double share(int32_t scoreBucket) const {
            return attempts ? double(scores[scoreBucket]) / attempts : 0;
        }
        double waterShare() const { return attempts ? double(attemptsInWater) / attempts : 0; }
        double outOfBoundsShare() const { return attempts ? double(attemptsOutOfBounds) / attempts : 0; }
        double shareFrom(int32_t kind) const { return attempts ? double(attemptsFrom[kind]) / attempts : 0; }
    };

    // What the redesigned course aims for, for people: every hole's mean within
    // par - 0.2 .. par + 1.2, at most 40 % of attempts at par + 3 or worse, and a round
    // (the 18 means added up) of 72 to 80.
    struct Targets {
        double meanBelowPar = 0.2;
        double meanOverPar = 1.2;
        double mostAtParPlusThree = 0.40;
        double roundLow = 72;
        double roundHigh = 80;
    };

    // A club golfer (Skill's values), or a player of the given skill.
    explicit HumanPlayer(Ref<VpolyTerrain> terrain, uint64_t seed = 1);
    HumanPlayer(Ref<VpolyTerrain> terrain, uint64_t seed, const Skill& skill);

    // One attempt at hole `hole` (0..17), from its own seed (the player's, the hole's
    // and the attempt's).
    Attempt playAttempt(int32_t hole, int32_t attempt);
    // Attempts 0 .. attempts - 1 of the hole, summed up.
    HoleStats playHole(int32_t hole, int32_t attempts = defaultAttempts);
    static HoleStats summarise(int32_t hole, const std::vector<Attempt>& attempts);

    // The targets each hole misses, one line a hole ("hole 7 (par 4): mean 5.62 above
    // par + 1.2"), and the round's when all 18 holes are given; empty when all are met.
    static std::vector<std::string> missedTargets(const std::vector<HoleStats>& holes);
    static std::vector<std::string> missedTargets(const std::vector<HoleStats>& holes,
                                                  const Targets& targets);

    const Skill& skill() const { return m_skill; }

private:
    struct Plan;
    struct Water;
    struct Air;

    Plan decide(fixed x, fixed y, fixed z, int32_t offered, bool fromTee, const Air& air);
    void fit(Plan& plan, fixed x, fixed z, double yards, const Air& air) const;
    int32_t landingKind(const Plan& plan, fixed x, fixed z, double power, const Air& air,
                        int32_t otherwise) const;
    Water waterOnLine(fixed x, fixed z, double heading, double reach) const;
    double windGain(int32_t club, double power, const Air& air, double heading) const;
    double windDrift(int32_t club, double power, const Air& air, double heading) const;
    int32_t kindAlong(fixed x, fixed z, double heading, double yards) const;
    void wait(int32_t frames);

    StrokeSimulator m_simulator;
    const ClubDistances& m_clubs;
    uint64_t m_seed;
    Skill m_skill;
    int32_t m_hole = 0;
    // The attempt in play: its random source, clock and wind.
    SeededRandom m_random{0};
    uint32_t m_clock = 0;
    Wind m_wind;
};

}  // namespace fairholm::coursecheck
