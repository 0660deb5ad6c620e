#pragma once

#include <atomic>
#include <cstdint>

#include "engine/render3d/Vector.h"
#include "engine/render3d/VpolyTerrain.h"
#include "runtime/Fixed.h"
#include "runtime/Ref.h"
#include "runtime/V.h"

namespace fairholm {

// A point body moving over a polygon terrain: the golf ball. It integrates gravity,
// air drag with wind and, at ground contact, the ground's push, sliding friction,
// the rebound and the impact friction of the region under it.
//
// Time is fixed point: 1.0 is the game's time unit (1024 ms); `step` advances in
// sub-steps of at most 512 (16 ms).
class Vphob : public V {
public:
    static constexpr fixed maxSubStep = 512;

    Vphob();
    ~Vphob() override;

    // Ground test at the current position and contact set-up (normal, slide
    // direction, friction, bounce); true when touching or below the ground.
    virtual bool checkGround();
    // Sets `acceleration` from gravity, drag, wind and the ground's reaction.
    virtual void computeAcceleration();
    // A counted handle to the position vector itself.
    virtual Ref<Vector> getPosition();
    virtual void setTerrain(Ref<VpolyTerrain> terrain);
    virtual void setPosition(fixed x, fixed y, fixed z);
    virtual void setVelocity(fixed x, fixed y, fixed z);
    // Advances the body by `time` in sub-steps of at most 512.
    virtual void step(fixed time);

    // Vertical acceleration shared by every body of the process (0 until set).
    static fixed gravity() { return s_gravity.load(std::memory_order_relaxed); }
    static void setGravity(fixed g) { s_gravity.store(g, std::memory_order_relaxed); }

    Vector& acceleration() const { return *m_acceleration; }
    Vector& normal() const { return *m_normal; }
    Vector& slideDirection() const { return *m_slideDirection; }
    Vector& position() const { return *m_position; }
    Vector& velocity() const { return *m_velocity; }
    Vector& wind() const { return *m_wind; }
    fixed bounce() const { return m_bounce; }
    fixed friction() const { return m_friction; }
    int32_t drag() const { return m_drag; }
    void setDrag(int32_t drag) { m_drag = drag; }
    // A ball struck along the ground (a putt) rolls: at ground contact it takes the
    // friction of the contact's impulse, never the loss of a skidding impact, which
    // would make a harder putt stop sooner. Kept until changed.
    void setRolling(bool rolling) { m_rolling = rolling; }
    bool rolling() const { return m_rolling; }
    bool onGround() const { return m_onGround != 0; }
    fixed heightAboveGround() const { return m_heightAboveGround; }
    const Ref<VpolyTerrain>& terrain() const { return m_terrain; }

private:
    static std::atomic<fixed> s_gravity;

    Ref<Vector> m_acceleration;
    fixed m_bounce = 0;
    Ref<Vector> m_normal;
    Ref<Vector> m_slideDirection;
    int32_t m_drag = 1;
    Ref<Vector> m_force;
    fixed m_friction = 0;
    Ref<VpolyTerrain> m_terrain;
    uint8_t m_onGround = 0;
    bool m_rolling = false;
    fixed m_heightAboveGround = 0;
    Ref<Vector> m_position;
    Ref<Vector> m_scratchA;
    Ref<Vector> m_scratchB;
    Ref<Vector> m_velocity;
    Ref<Vector> m_wind;
};

}  // namespace fairholm
