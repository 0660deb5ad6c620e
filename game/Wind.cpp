#include "game/Wind.h"

namespace fairholm {

void Wind::step(uint32_t now) {
    const int32_t strengthGap = (m_strengthTarget - m_strength) >> 7;
    if (strengthGap == 0) {
        m_strengthTarget = static_cast<fixed>(now & 0x3FFFF);
    } else {
        m_strength += strengthGap > 0 ? strengthStep : -strengthStep;
    }
    const int32_t directionGap = (m_directionTarget - m_direction) >> 7;
    if (directionGap == 0) {
        m_directionTarget = static_cast<angle>(now & 0x7FFF);
    } else {
        m_direction += directionGap > 0 ? directionStep : -directionStep;
    }
}

void Wind::airVelocity(Vector& air) const {
    const fixed speed = fx::mul(m_strength, 98418);  // 3.0035 x the strength
    air.set(fx::mul(speed, fx::sin(m_direction)), 0, -fx::mul(speed, fx::cos(m_direction)));
}

void Wind::set(fixed strength, angle direction, fixed strengthTarget, angle directionTarget) {
    m_strength = strength;
    m_direction = direction;
    m_strengthTarget = strengthTarget;
    m_directionTarget = directionTarget;
}

}  // namespace fairholm
