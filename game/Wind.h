#pragma once

#include <cstdint>

#include "engine/render3d/Vector.h"
#include "runtime/Fixed.h"

namespace fairholm {

// The wind over the course: a strength from 0 to almost 8 units and a direction it blows
// towards (a ground direction, 0 along -z). Both drift a step a frame towards targets
// drawn from the tick count, a new target whenever the old one is reached; a struck
// ball flies through the air they give.
class Wind {
public:
    // Strength and direction steps of one frame.
    static constexpr fixed strengthStep = 128;
    static constexpr angle directionStep = 2;

    // One frame of drift; `now` is the millisecond tick count.
    void step(uint32_t now);

    fixed strength() const { return m_strength; }
    angle direction() const { return m_direction; }
    fixed strengthTarget() const { return m_strengthTarget; }
    angle directionTarget() const { return m_directionTarget; }
    // The strength rounded to a whole number, as the HUD shows it.
    int32_t shownStrength() const { return (m_strength + 16384) >> 15; }
    // The air's velocity for a struck ball: 3.0035 x the strength towards the direction.
    void airVelocity(Vector& air) const;

    void set(fixed strength, angle direction, fixed strengthTarget, angle directionTarget);

private:
    fixed m_strength = 0;
    fixed m_strengthTarget = 0;
    angle m_direction = 0;
    angle m_directionTarget = 0;
};

}  // namespace fairholm
