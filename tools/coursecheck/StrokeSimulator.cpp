#include "tools/coursecheck/StrokeSimulator.h"

#include <cmath>

#include "engine/render3d/Vphob.h"
#include "game/BallRules.h"

namespace fairholm::coursecheck {

void StrokeSimulator::setPin(fixed x, fixed y, fixed z) {
    m_pinX = x;
    m_pinY = y;
    m_pinZ = z;
}

StrokeSimulator::Shot StrokeSimulator::simulate(fixed x, fixed y, fixed z, int32_t club, angle aim,
                                                int32_t power, const Wind& wind) const {
    Ref<Vphob> body = make<Vphob>();
    body->setTerrain(m_terrain);
    BallRules::strike(*body, x, y, z, club, power, aim, wind);
    BallRules rules;
    const BallRules::Result end =
        rules.playOut(*body, Vector(m_pinX, m_pinY, m_pinZ), *m_terrain, frameMillis, frameMillis, maxFrames);
    Shot shot;
    shot.x = end.x;
    shot.y = end.y;
    shot.z = end.z;
    shot.frames = end.frames;
    switch (end.verdict) {
        case BallRules::Verdict::Holed:
            shot.outcome = Outcome::Holed;
            break;
        case BallRules::Verdict::Water:
            shot.outcome = Outcome::Water;
            break;
        case BallRules::Verdict::OutOfBounds:
            shot.outcome = Outcome::OutOfBounds;
            break;
        case BallRules::Verdict::Rest:
            shot.outcome = Outcome::Rest;
            break;
        case BallRules::Verdict::Moving:
            shot.outcome = Outcome::Endless;
            break;
    }
    return shot;
}

StrokeSimulator::Shot StrokeSimulator::landing(fixed x, fixed y, fixed z, int32_t club, angle aim,
                                               int32_t power, const Wind& wind) const {
    Ref<Vphob> body = make<Vphob>();
    body->setTerrain(m_terrain);
    BallRules::strike(*body, x, y, z, club, power, aim, wind);
    Shot shot;
    while (shot.frames < maxFrames && !body->onGround()) {
        body->step(BallRules::frameTime(frameMillis));
        ++shot.frames;
        if (BallRules::isOutOfBounds(body->position().x, body->position().z)) {
            shot.outcome = Outcome::OutOfBounds;
            break;
        }
    }
    shot.x = body->position().x;
    shot.y = body->position().y;
    shot.z = body->position().z;
    return shot;
}

angle StrokeSimulator::headingTo(fixed fromX, fixed fromZ, double toX, double toZ) {
    constexpr double kPi = 3.14159265358979323846;
    const double dx = toX - fromX / 32768.0, dz = toZ - fromZ / 32768.0;
    return static_cast<angle>(std::lround(std::atan2(dx, -dz) / (2 * kPi) * 32768)) & 0x7FFF;
}

}  // namespace fairholm::coursecheck
