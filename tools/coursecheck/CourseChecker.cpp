#include "tools/coursecheck/CourseChecker.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "game/Clubs.h"
#include "game/Course.h"
#include "game/Surface.h"

namespace fairholm::coursecheck {

namespace {

constexpr double kUnit = 32768.0;
// One frame of the power meter at 16 ms: 3072 per millisecond.
constexpr int32_t kMeterTick = StrokeSimulator::meterTick;
// The fullest meter a player can stop by hand (the next frame would fill it and add an
// aim error).
constexpr int32_t kMaxPower = StrokeSimulator::maxPower;

}  // namespace

CourseChecker::CourseChecker(Ref<VpolyTerrain> terrain, int32_t effort)
    : m_terrain(std::move(terrain)), m_simulator(m_terrain), m_effort(std::max(1, effort)) {}

CourseChecker::Shot CourseChecker::simulate(fixed x, fixed y, fixed z, int32_t club, angle aim,
                                            int32_t power) {
    return m_simulator.simulate(x, y, z, club, aim, power, Wind());  // calm air
}

double CourseChecker::estimate(fixed x, fixed z) {
    const double d = std::hypot((m_pinX - x) / kUnit, (m_pinZ - z) / kUnit);
    const int32_t kind = m_terrain->surfaceAt(x, z);
    if (kind == 4) {
        return 1 + 0.8 * std::min(1.0, d / 10) + std::max(0.0, d - 10) / 40;
    }
    double strokes = 2 + d / 220;
    if (d < 30 && (kind == 2 || kind == 5)) {
        strokes -= 0.1;
    }
    if (kind == 1) {
        strokes += 0.15;
    } else if (kind == 6) {
        strokes += 0.35;
    } else if (kind == 7) {
        strokes += 0.3;
    } else if (kind == 3) {
        strokes += 2;
    }
    return strokes;
}

double CourseChecker::score(const Shot& shot, fixed fromX, fixed fromZ) {
    switch (shot.outcome) {
        case Outcome::Holed:
            return 0;
        case Outcome::Rest:
            return estimate(shot.x, shot.z);
        case Outcome::Water:
        case Outcome::OutOfBounds:
            return 2 + estimate(fromX, fromZ);
        case Outcome::Endless:
            break;
    }
    return 100;
}

CourseChecker::Stroke CourseChecker::chooseStroke(fixed x, fixed y, fixed z,
                                                  const std::vector<angle>& headings) {
    const double d = std::hypot((m_pinX - x) / kUnit, (m_pinZ - z) / kUnit);
    const int32_t kind = m_terrain->surfaceAt(x, z);
    struct Plan {
        int32_t club;
        int32_t aimSteps;    // turns of 128 either side of the first heading
        double powerLow;     // fraction of the full meter
        int32_t powerTicks;  // meter frames between candidate powers
    };
    std::vector<Plan> plans;
    const bool putt = kind == 4 || (d < 25 && (kind == 2 || kind == 5));
    if (putt) {
        plans.push_back({Clubs::putter, 8, 0.0, 1});
    }
    if (kind != 4) {
        for (int32_t club = 0; club <= Clubs::pitchingWedge; ++club) {
            const double carry = Clubs::clubTable[club].carry / 32766.0;
            const double reach = std::min(d, 250.0);
            if ((carry >= reach * 0.5 && carry <= d * 1.5 + 40) || (club == Clubs::pitchingWedge && d < 90)) {
                plans.push_back({club, 24, club == Clubs::pitchingWedge ? 0.1 : 0.4, 4});
            }
        }
    }

    // The camera's jitter when the game aims the player: ((tick & 7) - 5) * 45.
    const angle jitter = static_cast<angle>(((m_sequence * 5 + 3) & 7) - 5) * 45;
    struct Candidate {
        int32_t club;
        angle aim;
        int32_t power;
        double score;
    };
    std::vector<Candidate> coarse;
    for (const Plan& plan : plans) {
        const int32_t ticks = std::max(1, plan.powerTicks / m_effort);
        const int32_t first = std::max(1, static_cast<int32_t>(plan.powerLow * kMaxPower / kMeterTick));
        for (angle heading : headings) {
            for (int32_t a = -plan.aimSteps; a <= plan.aimSteps; ++a) {
                const angle aim = (heading + jitter + a * 128) & 0x7FFF;
                for (int32_t t = first; t * kMeterTick <= kMaxPower; t += ticks) {
                    const Shot shot = simulate(x, y, z, plan.club, aim, t * kMeterTick);
                    coarse.push_back({plan.club, aim, t * kMeterTick, score(shot, x, z)});
                }
            }
        }
    }
    // A good player stops the meter within two frames of the intended power: every
    // candidate is judged by its mean over those frames, and the best few are searched
    // frame by frame around their power.
    std::stable_sort(coarse.begin(), coarse.end(),
                     [](const Candidate& a, const Candidate& b) { return a.score < b.score; });
    auto robust = [&](int32_t club, angle aim, int32_t power) {
        double sum = 0;
        for (int32_t e = -missFrames; e <= missFrames; ++e) {
            const int32_t p = std::clamp(power + e * kMeterTick, kMeterTick, kMaxPower);
            sum += score(simulate(x, y, z, club, aim, p), x, z);
        }
        return sum / (2 * missFrames + 1);
    };
    Candidate chosen{};
    double chosenScore = 1e9;
    const size_t finalists = std::min<size_t>(coarse.size(), 10 * static_cast<size_t>(m_effort));
    for (size_t i = 0; i < finalists; ++i) {
        const Candidate c = coarse[i];
        const int32_t spread = c.club == Clubs::putter ? 1 : 3;
        for (int32_t t = -spread; t <= spread; ++t) {
            const int32_t power = c.power + t * kMeterTick;
            if (power < kMeterTick || power > kMaxPower) {
                continue;
            }
            const double s = robust(c.club, c.aim, power);
            if (s < chosenScore) {
                chosenScore = s;
                chosen = {c.club, c.aim, power, s};
            }
        }
    }
    // The stroke as played: the meter stops up to two frames early or late.
    static const int32_t misses[] = {0, 1, -2, 0, -1, 2, 1, -1, 0, 2, -2, 1, -1};
    const int32_t played =
        std::clamp(chosen.power + misses[m_sequence % 13] * kMeterTick, kMeterTick, kMaxPower);
    ++m_sequence;
    Stroke stroke;
    stroke.club = chosen.club;
    stroke.aim = chosen.aim;
    stroke.power = played;
    stroke.shot = simulate(x, y, z, chosen.club, chosen.aim, played);
    stroke.surfaceBefore = kind;
    stroke.distanceBefore = d;
    return stroke;
}

CourseChecker::HoleResult CourseChecker::playHole(int32_t hole) {
    const Course::Hole& h = Course::hole(hole);
    HoleResult result;
    result.hole = hole;
    result.par = Course::par(hole);
    m_sequence = static_cast<uint32_t>(hole) * 3;
    m_pinX = h.pinX << 15;
    m_pinZ = h.pinZ << 15;
    m_pinY = m_terrain->heightAt(m_pinX, m_pinZ);
    m_simulator.setPin(m_pinX, m_pinY, m_pinZ);
    fixed x = h.teeX << 15, z = h.teeZ << 15;
    fixed y = m_terrain->heightAt(x, z);
    bool fromTee = true;
    while (result.strokes < result.par + giveUpOver) {
        std::vector<angle> headings{StrokeSimulator::headingTo(x, z, h.pinX, h.pinZ)};
        if (fromTee && (h.aimX != h.pinX || h.aimZ != h.pinZ)) {
            headings.push_back(StrokeSimulator::headingTo(x, z, h.aimX, h.aimZ));
        }
        Stroke stroke = chooseStroke(x, y, z, headings);
        result.strokes += 1;
        result.log.push_back(stroke);
        if (stroke.shot.outcome == Outcome::Holed) {
            result.holed = true;
            break;
        }
        if (stroke.shot.outcome == Outcome::Rest) {
            x = stroke.shot.x;
            y = stroke.shot.y;
            z = stroke.shot.z;
            fromTee = false;
        } else {
            result.strokes += 1;  // the penalty; the stroke is replayed from the same lie
        }
    }
    return result;
}

std::string CourseChecker::describe(const Stroke& stroke) {
    static const char* const outcomes[] = {"rests", "holed", "water", "out of bounds", "never rests"};
    char line[200];
    std::snprintf(line, sizeof line, "%.0f yd from %s: %s at %.1f %% -> %s", stroke.distanceBefore,
                  Surface::name(stroke.surfaceBefore), Clubs::name(stroke.club), stroke.power / 65536.0,
                  outcomes[static_cast<int>(stroke.shot.outcome)]);
    return line;
}

}  // namespace fairholm::coursecheck
