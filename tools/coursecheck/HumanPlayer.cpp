#include "tools/coursecheck/HumanPlayer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "game/BallRules.h"
#include "game/Clubs.h"
#include "game/Course.h"
#include "game/Surface.h"

namespace fairholm::coursecheck {

namespace {

constexpr double kUnit = 32768.0;
constexpr double kTwoPi = 6.28318530717958647692;
constexpr double kPercent = 65536.0;  // one percent of the meter
constexpr int32_t kMeterTick = StrokeSimulator::meterTick;

double radians(double units) {
    return units * kTwoPi / 32768;
}

// The difference a - b of two headings, the short way round: -16384 .. 16384.
double headingGap(double a, double b) {
    double d = std::fmod(a - b, 32768.0);
    if (d > 16384) {
        d -= 32768;
    } else if (d < -16384) {
        d += 32768;
    }
    return d;
}

double yardsBetween(fixed x0, fixed z0, fixed x1, fixed z1) {
    return std::hypot((x1 - x0) / kUnit, (z1 - z0) / kUnit);
}

}  // namespace

// The wind as the player reads it: strength in HUD units, the direction it blows to.
struct HumanPlayer::Air {
    double strength = 0;
    double direction = 0;
};

// The first water on a line: yards to its near and far edge.
struct HumanPlayer::Water {
    bool seen = false;
    double nearEdge = 0;
    double farEdge = 0;
};

// A stroke as the player means it.
struct HumanPlayer::Plan {
    int32_t club = 0;
    double power = 0;    // 16.16 percent, before the timing error
    double aim = 0;      // angle units, before the aim error
    double heading = 0;  // straight at the target
    double target = 0;   // yards to the target
    bool putt = false;
    bool layUp = false;
};

HumanPlayer::Skill HumanPlayer::Skill::flawless() {
    Skill s;
    s.powerSd = 0;
    s.fullPowerSd = 0;
    s.meterRunChance = 0;
    s.aimSd = 0;
    s.windStrengthSd = 0;
    s.windDirectionSd = 0;
    s.puttDistanceSd = 0;
    s.puttLineSd = 0;
    return s;
}

HumanPlayer::HumanPlayer(Ref<VpolyTerrain> terrain, uint64_t seed)
    : HumanPlayer(std::move(terrain), seed, Skill()) {}

HumanPlayer::HumanPlayer(Ref<VpolyTerrain> terrain, uint64_t seed, const Skill& skill)
    : m_simulator(std::move(terrain)), m_clubs(ClubDistances::learned()), m_seed(seed), m_skill(skill) {}

void HumanPlayer::wait(int32_t frames) {
    for (int32_t i = 0; i < frames; ++i) {
        m_clock += StrokeSimulator::frameMillis + m_random.bits(1);
        m_wind.step(m_clock);
    }
}

int32_t HumanPlayer::kindAlong(fixed x, fixed z, double heading, double yards) const {
    const double a = radians(heading);
    const fixed px = x + static_cast<fixed>(std::lround(std::sin(a) * yards * kUnit));
    const fixed pz = z - static_cast<fixed>(std::lround(std::cos(a) * yards * kUnit));
    if (BallRules::isOutOfBounds(px, pz)) {
        return 0;
    }
    return m_simulator.terrain().surfaceAt(px, pz);
}

HumanPlayer::Water HumanPlayer::waterOnLine(fixed x, fixed z, double heading, double reach) const {
    Water water;
    for (double d = 1; d <= reach; d += 1) {
        const int32_t kind = kindAlong(x, z, heading, d);
        if (kind == 0) {
            return water;
        }
        if (kind == Surface::water) {
            water.seen = true;
            water.nearEdge = d;
            break;
        }
    }
    if (!water.seen) {
        return water;
    }
    water.farEdge = water.nearEdge;
    while (water.farEdge < 600 && kindAlong(x, z, heading, water.farEdge) == Surface::water) {
        water.farEdge += 1;
    }
    return water;
}

double HumanPlayer::windGain(int32_t club, double power, const Air& air, double heading) const {
    const double along = air.strength * std::cos(radians(air.direction - heading));
    return along >= 0 ? along * m_clubs.tailwindGain(club, power)
                      : -along * m_clubs.headwindGain(club, power);
}

double HumanPlayer::windDrift(int32_t club, double power, const Air& air, double heading) const {
    const double across = air.strength * std::sin(radians(air.direction - heading));
    return across * m_clubs.crosswindDrift(club, power);
}

// The power for `yards` to rest with the club of the plan, with the wind read, for the
// run of the ground where the ball would land on the line; one more club when that
// needs more than a full swing.
void HumanPlayer::fit(Plan& plan, fixed x, fixed z, double yards, const Air& air) const {
    const double full = m_skill.fullSwingPower * kPercent;
    // The power to rest at `yards` on ground of a kind, the wind's gain taken off.
    auto powerOn = [&](int32_t kind) {
        double power = m_clubs.powerFor(plan.club, kind, yards);
        for (int32_t i = 0; i < 2; ++i) {
            power = m_clubs.powerFor(plan.club, kind, yards - windGain(plan.club, power, air, plan.heading));
        }
        return power;
    };
    for (int32_t more = 0; more < 2; ++more) {
        // The ground the ball lands on decides its run: the power for one kind of
        // ground, then for the ground that power lands on, until they agree; between two
        // kinds that each send the ball onto the other, halfway.
        int32_t ground = Surface::fairway;
        double power = powerOn(ground);
        for (int32_t i = 0; i < 4; ++i) {
            const int32_t landing = landingKind(plan, x, z, power, air, ground);
            if (landing == ground) {
                break;
            }
            const double next = powerOn(landing);
            if (landingKind(plan, x, z, next, air, landing) == ground) {
                power = (power + next) / 2;
                break;
            }
            ground = landing;
            power = next;
        }
        plan.power = power;
        if (power <= full || plan.club == Clubs::driver || more == 1) {
            break;
        }
        plan.club -= 1;
    }
    plan.power = std::min(plan.power, full);
}

int32_t HumanPlayer::landingKind(const Plan& plan, fixed x, fixed z, double power, const Air& air,
                                 int32_t otherwise) const {
    const double carry = m_clubs.carry(plan.club, power) + windGain(plan.club, power, air, plan.heading);
    const int32_t kind = kindAlong(x, z, plan.heading, carry);
    return kind != 0 ? kind : otherwise;
}

HumanPlayer::Plan HumanPlayer::decide(fixed x, fixed y, fixed z, int32_t offered, bool fromTee,
                                      const Air& air) {
    const Course::Hole& h = Course::hole(m_hole);
    VpolyTerrain& terrain = m_simulator.terrain();
    const fixed pinX = m_simulator.pinX(), pinZ = m_simulator.pinZ();
    const int32_t lie = terrain.surfaceAt(x, z);
    const double toPin = yardsBetween(x, z, pinX, pinZ);
    const double full = m_skill.fullSwingPower * kPercent;

    Plan plan;
    fixed targetX = pinX, targetZ = pinZ;
    if (fromTee && (h.aimX != h.pinX || h.aimZ != h.pinZ)) {
        targetX = h.aimX << 15;
        targetZ = h.aimZ << 15;
    }
    plan.heading = StrokeSimulator::headingTo(x, z, targetX / kUnit, targetZ / kUnit);
    plan.target = yardsBetween(x, z, targetX, targetZ);
    const double rise = (terrain.heightAt(targetX, targetZ) - y) / kUnit;

    // Putts: on the green as offered, and from short grass close to it when nothing but
    // short grass lies on the line.
    bool putt = offered == Clubs::putter;
    double offGreen = 0;  // yards of the line not on the green
    if (lie != Surface::green && (lie == Surface::fringe || lie == Surface::fairway) &&
        toPin <= m_skill.fringePuttYards) {
        putt = true;
        for (double d = 0.5; d < toPin && putt; d += 0.5) {
            const int32_t kind = kindAlong(x, z, plan.heading, d);
            putt = kind == Surface::green || kind == Surface::fringe || kind == Surface::fairway;
            offGreen += kind == Surface::green ? 0 : 0.5;
        }
    }
    if (putt) {
        plan.putt = true;
        plan.club = Clubs::putter;
        plan.aim = plan.heading;
        // The slower grass off the green counts for as much more as it slows the ball.
        const double guess = m_clubs.powerFor(Clubs::putter, Surface::green, toPin);
        const double slower = m_clubs.total(Clubs::putter, Surface::green, guess) /
                              std::max(1.0, m_clubs.total(Clubs::putter, lie, guess));
        plan.target = toPin - offGreen + offGreen * std::max(1.0, slower) + m_skill.puttPast +
                      m_skill.puttElevationYards * rise;
        return plan;
    }

    plan.club = offered;
    const double yards = plan.target + m_skill.elevationYards * rise;
    fit(plan, x, z, yards, air);

    // Water seen on the line, where the stroke planned would land or finish in it.
    const double carry =
        m_clubs.carry(plan.club, plan.power) + windGain(plan.club, plan.power, air, plan.heading);
    const int32_t kind = terrain.surfaceAt(targetX, targetZ);
    const double rest =
        m_clubs.total(plan.club, kind, plan.power) + windGain(plan.club, plan.power, air, plan.heading);
    const Water water = waterOnLine(x, z, plan.heading, rest + m_skill.waterLookBeyond);
    if (water.seen && carry < water.farEdge + m_skill.waterCarryMargin) {
        const double needed = water.farEdge + m_skill.waterCarryMargin;
        const double layUp = water.nearEdge - m_skill.layUpMargin;
        bool carried = false;
        if (plan.target > water.farEdge || layUp < m_skill.layUpMargin) {
            // Over it: the club offered or one more, if a full swing carries it; with
            // no room to lay up, the least club that carries it, or the driver.
            const int32_t first = layUp < m_skill.layUpMargin ? Clubs::pitchingWedge : plan.club;
            const int32_t last = layUp < m_skill.layUpMargin ? Clubs::driver : std::max(0, plan.club - 1);
            for (int32_t club = first; club >= last && !carried; --club) {
                double power = m_clubs.powerForCarry(club, needed);
                power = m_clubs.powerForCarry(club, needed - windGain(club, power, air, plan.heading));
                if (power <= full) {
                    plan.club = club;
                    plan.power = power;
                    carried = true;
                }
            }
            if (!carried && layUp < m_skill.layUpMargin) {
                plan.club = Clubs::driver;
                plan.power = full;
                carried = true;
            }
        }
        if (!carried) {
            // Short of it, with the club the game would give for the lay-up.
            plan.layUp = true;
            plan.club = Clubs::forDistance(static_cast<fixed>(layUp * kUnit), false);
            fit(plan, x, z, layUp, air);
        }
    }
    // Aim off for the crosswind read, by the drift over the distance played.
    const double played = std::max(1.0, m_clubs.total(plan.club, kind, plan.power));
    const double drift = windDrift(plan.club, plan.power, air, plan.heading);
    plan.aim = plan.heading - std::atan2(drift, played) / kTwoPi * 32768;
    return plan;
}

HumanPlayer::Attempt HumanPlayer::playAttempt(int32_t hole, int32_t attempt) {
    m_hole = hole;
    const Course::Hole& h = Course::hole(hole);
    VpolyTerrain& terrain = m_simulator.terrain();
    const fixed pinX = h.pinX << 15, pinZ = h.pinZ << 15;
    m_simulator.setPin(pinX, terrain.heightAt(pinX, pinZ), pinZ);

    m_random = SeededRandom(SeededRandom::mix(SeededRandom::mix(m_seed, static_cast<uint64_t>(hole)),
                                              static_cast<uint64_t>(attempt)));
    m_clock = m_random.bits(32);
    m_wind = Wind();
    m_wind.set(static_cast<fixed>(m_random.bits(18)), static_cast<angle>(m_random.bits(15)),
               static_cast<fixed>(m_random.bits(18)), static_cast<angle>(m_random.bits(15)));

    Attempt result;
    const int32_t par = Course::par(hole);
    fixed x = h.teeX << 15, z = h.teeZ << 15;
    fixed y = terrain.heightAt(x, z);
    bool fromTee = true;
    bool gameAimsAtAimPoint = true;  // the game's first aim, and after water from the tee
    while (result.strokes < par + pickUpOver) {
        // The game aims the player and offers a club.
        const fixed aimX = gameAimsAtAimPoint ? h.aimX << 15 : pinX;
        const fixed aimZ = gameAimsAtAimPoint ? h.aimZ << 15 : pinZ;
        const angle jitter = (static_cast<int32_t>(m_clock & 7) - 5) * 45;
        const angle gameHeading =
            (StrokeSimulator::headingTo(x, z, aimX / kUnit, aimZ / kUnit) + jitter) & 0x7FFF;
        double shown = yardsBetween(x, z, aimX, aimZ);
        if (aimX != pinX || aimZ != pinZ) {
            shown += yardsBetween(aimX, aimZ, pinX, pinZ);
        }
        const fixed distance = static_cast<fixed>(shown * kUnit);
        const int32_t lie = terrain.surfaceAt(x, z);
        const bool onGreen = Clubs::isShortGame(distance) && lie == Surface::green;
        const int32_t offered = Clubs::forDistance(distance, onGreen);

        // The player aims a while, reads the wind and decides.
        wait(static_cast<int32_t>(m_random.between(m_skill.aimSecondsLow, m_skill.aimSecondsHigh) * 1000 /
                                  StrokeSimulator::frameMillis));
        Air air;
        air.strength = std::max(0.0, m_wind.strength() / kUnit + m_skill.windStrengthSd * m_random.normal());
        air.direction = m_wind.direction() + m_skill.windDirectionSd * m_random.normal();
        const Plan plan = decide(x, y, z, offered, fromTee, air);

        // The stroke as made: the aim turned in the game's steps, the meter stopped.
        Stroke stroke;
        stroke.club = plan.club;
        stroke.lie = lie;
        stroke.distance = yardsBetween(x, z, pinX, pinZ);
        stroke.layUp = plan.layUp;
        double power = plan.power;
        double aim = plan.aim;
        if (plan.putt) {
            const double length = plan.target * (1 + m_skill.puttDistanceSd * m_random.normal());
            power = m_clubs.powerFor(Clubs::putter, Surface::green, std::max(0.0, length));
            aim += m_skill.puttLineSd * m_random.normal();
        } else {
            const bool fullSwing = power >= m_skill.fullSwingFrom * kPercent;
            stroke.meterRan = m_random.chance(m_skill.meterRunChance);
            power += (fullSwing ? m_skill.fullPowerSd : m_skill.powerSd) * kPercent * m_random.normal();
            aim += m_skill.aimSd * m_random.normal();
        }
        const int32_t stops = std::max<int32_t>(1, static_cast<int32_t>(std::lround(power / kMeterTick)));
        stroke.meterRan = stroke.meterRan || stops * kMeterTick > StrokeSimulator::maxPower;
        const int32_t turns = static_cast<int32_t>(std::lround(headingGap(aim, gameHeading) / 128));
        stroke.aim = (gameHeading + turns * 128) & 0x7FFF;
        if (stroke.meterRan) {
            // The meter fills, and on the next frame strikes by itself.
            wait(Clubs::fullPower / kMeterTick + 2);
            stroke.power = Clubs::fullPower;
            stroke.aim = (stroke.aim + static_cast<int32_t>(m_clock & 0x7FF) - 0x400) & 0x7FFF;
        } else {
            wait(stops + 1);
            stroke.power = stops * kMeterTick;
        }

        const StrokeSimulator::Shot shot =
            m_simulator.simulate(x, y, z, stroke.club, stroke.aim, stroke.power, m_wind);
        stroke.outcome = shot.outcome;
        stroke.x = shot.x;
        stroke.z = shot.z;
        wait(shot.frames);
        result.log.push_back(stroke);
        result.strokes += 1;
        if (shot.outcome == Outcome::Holed) {
            result.holed = true;
            break;
        }
        if (StrokeSimulator::isPenalty(shot.outcome)) {
            // A penalty stroke, and the stroke again from the same lie; the game aims at
            // the aim point again only after water from the tee.
            result.strokes += 1;
            gameAimsAtAimPoint = fromTee && shot.outcome == Outcome::Water;
        } else {
            x = shot.x;
            y = shot.y;
            z = shot.z;
            fromTee = false;
            gameAimsAtAimPoint = false;
        }
    }
    return result;
}

HumanPlayer::HoleStats HumanPlayer::playHole(int32_t hole, int32_t attempts) {
    std::vector<Attempt> played;
    played.reserve(static_cast<size_t>(std::max(0, attempts)));
    for (int32_t a = 0; a < attempts; ++a) {
        played.push_back(playAttempt(hole, a));
    }
    return summarise(hole, played);
}

HumanPlayer::HoleStats HumanPlayer::summarise(int32_t hole, const std::vector<Attempt>& attempts) {
    HoleStats stats;
    stats.hole = hole;
    stats.par = Course::par(hole);
    stats.attempts = static_cast<int32_t>(attempts.size());
    double sum = 0, squares = 0;
    for (const Attempt& a : attempts) {
        sum += a.strokes;
        squares += double(a.strokes) * a.strokes;
        stats.holed += a.holed;
        stats.scores[static_cast<size_t>(std::clamp(a.strokes - stats.par + 1, 0, 4))] += 1;
        bool water = false, away = false;
        std::array<bool, 8> from{};
        for (const Stroke& s : a.log) {
            const size_t kind = static_cast<size_t>(std::clamp(s.lie, 0, 7));
            stats.strokesFrom[kind] += 1;
            from[kind] = true;
            stats.water += s.outcome == Outcome::Water;
            stats.outOfBounds += s.outcome == Outcome::OutOfBounds;
            stats.lost += s.outcome == Outcome::Endless;
            water = water || s.outcome == Outcome::Water;
            away = away || s.outcome == Outcome::OutOfBounds;
        }
        stats.attemptsInWater += water;
        stats.attemptsOutOfBounds += away;
        for (size_t k = 0; k < from.size(); ++k) {
            stats.attemptsFrom[k] += from[k];
        }
    }
    if (stats.attempts > 0) {
        stats.mean = sum / stats.attempts;
        stats.sd = std::sqrt(std::max(0.0, squares / stats.attempts - stats.mean * stats.mean));
    }
    return stats;
}

std::vector<std::string> HumanPlayer::missedTargets(const std::vector<HoleStats>& holes) {
    return missedTargets(holes, Targets());
}

std::vector<std::string> HumanPlayer::missedTargets(const std::vector<HoleStats>& holes,
                                                    const Targets& targets) {
    std::vector<std::string> missed;
    char line[160];
    double round = 0;
    for (const HoleStats& s : holes) {
        round += s.mean;
        std::string why;
        if (s.mean < s.par - targets.meanBelowPar) {
            std::snprintf(line, sizeof line, "mean %.2f below par - %.1f", s.mean, targets.meanBelowPar);
            why = line;
        } else if (s.mean > s.par + targets.meanOverPar) {
            std::snprintf(line, sizeof line, "mean %.2f above par + %.1f", s.mean, targets.meanOverPar);
            why = line;
        }
        if (s.share(4) > targets.mostAtParPlusThree) {
            std::snprintf(line, sizeof line, "%.0f %% at par + 3 or worse (at most %.0f %%)",
                          100 * s.share(4), 100 * targets.mostAtParPlusThree);
            why += (why.empty() ? "" : ", ") + std::string(line);
        }
        if (!why.empty()) {
            std::snprintf(line, sizeof line, "hole %d (par %d): ", s.hole + 1, s.par);
            missed.push_back(line + why);
        }
    }
    if (holes.size() == static_cast<size_t>(Course::holeCount) &&
        (round < targets.roundLow || round > targets.roundHigh)) {
        std::snprintf(line, sizeof line, "round: mean %.1f outside %.0f .. %.0f", round, targets.roundLow,
                      targets.roundHigh);
        missed.push_back(line);
    }
    return missed;
}

}  // namespace fairholm::coursecheck
