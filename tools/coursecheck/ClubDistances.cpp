#include "tools/coursecheck/ClubDistances.h"

#include <algorithm>
#include <cmath>

#include "engine/render3d/Vphob.h"
#include "engine/render3d/VpolyTerrain.h"
#include "game/Surface.h"
#include "game/Wind.h"
#include "tools/coursec/CourseCompiler.h"
#include "tools/coursec/CourseTerrain.h"

namespace fairholm::coursecheck {

namespace {

constexpr double kUnit = 32768.0;
// Where the measuring strokes start, heading north (aim 0) over the flat map.
constexpr double kStartX = 256, kStartZ = 500;

// A course map of one kind of ground at one level everywhere, dressed and given its
// height grid as the game dresses a loaded pack.
Ref<VpolyTerrain> flatGround(int32_t kind) {
    Ref<VpolyTerrain> terrain = make<VpolyTerrain>();
    terrain->beginShapes(512, 512, 16, 48);
    terrain->setColor(0, static_cast<int32_t>(coursec::CourseCompiler::colourOf(kind, 128)));
    terrain->endShape();
    Vphob::setGravity(coursec::CourseTerrain::gravity);
    Surface::dressTerrain(*terrain, Ref<Vilib>());
    terrain->buildHeightMap();
    return terrain;
}

// A wind of `strength` units blowing towards `direction`, holding steady.
Wind steadyWind(int32_t strength, angle direction) {
    Wind wind;
    wind.set(strength << 15, direction, strength << 15, direction);
    return wind;
}

}  // namespace

const ClubDistances& ClubDistances::learned() {
    static const ClubDistances table;
    return table;
}

ClubDistances::ClubDistances() {
    const fixed x = static_cast<fixed>(kStartX * kUnit), z = static_cast<fixed>(kStartZ * kUnit);
    for (int32_t kind = Surface::rough; kind <= Surface::heather; ++kind) {
        if (kind == Surface::water) {
            continue;
        }
        StrokeSimulator simulator(flatGround(kind));
        const fixed y = simulator.terrain().heightAt(x, z);
        simulator.setPin(8 << 15, y, 8 << 15);  // far from every stroke
        for (int32_t club = 0; club < Clubs::count; ++club) {
            for (int32_t stop = 1; stop <= stops; ++stop) {
                const int32_t power = stop * StrokeSimulator::meterTick;
                const StrokeSimulator::Shot shot = simulator.simulate(x, y, z, club, 0, power, Wind());
                m_total[club][kind][stop] = static_cast<float>((z - shot.z) / kUnit);
                if (kind == Surface::fairway) {
                    m_carry[club][stop] = static_cast<float>(
                        (z - simulator.landing(x, y, z, club, 0, power, Wind()).z) / kUnit);
                }
            }
            if (kind != Surface::fairway) {
                continue;
            }
            // The wind figures, at a quarter, a half, three quarters and all of the meter,
            // from where the ball lands: the wind moves it in the air, not on the ground.
            for (int32_t q = 1; q <= 4; ++q) {
                const int32_t power = q * stops / 4 * StrokeSimulator::meterTick;
                const double calm = (z - simulator.landing(x, y, z, club, 0, power, Wind()).z) / kUnit;
                const StrokeSimulator::Shot behind =
                    simulator.landing(x, y, z, club, 0, power, steadyWind(measuringWind, 0));
                const StrokeSimulator::Shot against =
                    simulator.landing(x, y, z, club, 0, power, steadyWind(measuringWind, 16384));
                const StrokeSimulator::Shot across =
                    simulator.landing(x, y, z, club, 0, power, steadyWind(measuringWind, 8192));
                m_tail[club][q] = static_cast<float>(((z - behind.z) / kUnit - calm) / measuringWind);
                m_head[club][q] = static_cast<float>(((z - against.z) / kUnit - calm) / measuringWind);
                m_cross[club][q] = static_cast<float>((across.x - x) / kUnit / measuringWind);
            }
        }
    }
}

int32_t ClubDistances::row(int32_t kind) {
    return kind >= Surface::rough && kind <= Surface::heather && kind != Surface::water ? kind
                                                                                        : Surface::fairway;
}

double ClubDistances::at(const Row& r, double power) {
    const double s = std::clamp(power / StrokeSimulator::meterTick, 0.0, static_cast<double>(stops));
    const int32_t i = std::min(static_cast<int32_t>(s), stops - 1);
    return r[i] + (r[i + 1] - r[i]) * (s - i);
}

double ClubDistances::inverse(const Row& r, double yards) {
    // The first meter stop that reaches the distance, and the power between it and the
    // stop before in proportion.
    for (int32_t i = 1; i <= stops; ++i) {
        if (r[i] >= yards) {
            const double gap = r[i] - r[i - 1];
            const double s = i - 1 + (gap > 0 ? (yards - r[i - 1]) / gap : 1.0);
            return std::max(1.0, s) * StrokeSimulator::meterTick;
        }
    }
    return StrokeSimulator::maxPower;
}

double ClubDistances::carry(int32_t club, double power) const {
    return at(m_carry[club], power);
}

double ClubDistances::total(int32_t club, int32_t kind, double power) const {
    return at(m_total[club][row(kind)], power);
}

double ClubDistances::powerFor(int32_t club, int32_t kind, double yards) const {
    return inverse(m_total[club][row(kind)], yards);
}

double ClubDistances::powerForCarry(int32_t club, double yards) const {
    return inverse(m_carry[club], yards);
}

double ClubDistances::windFigure(const WindRow& figures, int32_t club, double power) {
    // Figures at quarters of the meter; none at no power.
    const double q = std::clamp(power / StrokeSimulator::maxPower * 4, 0.0, 4.0);
    const int32_t i = std::min(static_cast<int32_t>(q), 3);
    const auto& f = figures[club];
    return f[i] + (f[i + 1] - f[i]) * (q - i);
}

}  // namespace fairholm::coursecheck
