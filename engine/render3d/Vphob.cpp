#include "engine/render3d/Vphob.h"

namespace fairholm {

std::atomic<fixed> Vphob::s_gravity{0};

Vphob::Vphob()
    : m_acceleration(make<Vector>()),
      m_normal(make<Vector>()),
      m_slideDirection(make<Vector>()),
      m_force(make<Vector>()),
      m_position(make<Vector>()),
      m_scratchA(make<Vector>()),
      m_scratchB(make<Vector>()),
      m_velocity(make<Vector>()),
      m_wind(make<Vector>()) {}

Vphob::~Vphob() = default;

bool Vphob::checkGround() {
    Vector& p = *m_position;
    if (!m_terrain) {
        // No ground at all: the body is always in the air.
        m_heightAboveGround = p.y;
        return false;
    }
    VpolyTerrain& ground = *m_terrain;
    const fixed x = p.x;
    const fixed z = p.z;
    const fixed g = ground.heightAt(x, z);
    m_heightAboveGround = p.y - g;
    if (m_heightAboveGround >= 0) {
        return false;
    }
    m_heightAboveGround = 0;
    p.y = g;

    const int32_t region = ground.regionAt(x, z);
    m_friction = ground.frictionOf(region);
    m_bounce = ground.bounceOf(region);

    m_scratchA->set(fx::one, ground.heightAt(x + fx::one, z) - g, 0);
    m_scratchB->set(0, ground.heightAt(x, z - fx::one) - g, -fx::one);
    m_normal->cross(*m_scratchA, *m_scratchB);
    m_normal->normalize();

    m_slideDirection->cross(*m_normal, *m_velocity);
    m_slideDirection->cross(*m_slideDirection, *m_normal);
    m_slideDirection->negate();
    m_slideDirection->normalize();
    return true;
}

void Vphob::computeAcceleration() {
    Vector& force = *m_force;
    const fixed g = gravity();
    if (m_drag == 0) {
        force.set(0, g, 0);
    } else {
        force.set(*m_velocity);
        if (m_heightAboveGround > fx::one) {
            force.subtract(*m_wind);
        }
        force.negate();
        const int32_t n = m_velocity->fastLength() >> 15;
        force.scale(m_drag * n * n);
        force.translate(0, g, 0);
    }
    if (m_onGround) {
        Vector& push = *m_scratchA;
        push.set(force);
        push.negate();
        const fixed d = push.dot(*m_normal);
        push.set(*m_normal);
        push.scale(d);
        const fixed m = push.length();
        push.addScaled(*m_slideDirection, fx::mul(m_friction, m));
        force.add(push);
    }
    m_acceleration->set(force);
}

Ref<Vector> Vphob::getPosition() {
    return m_position;
}

void Vphob::setTerrain(Ref<VpolyTerrain> terrain) {
    m_terrain = std::move(terrain);
}

void Vphob::setPosition(fixed x, fixed y, fixed z) {
    m_position->set(x, y, z);
}

void Vphob::setVelocity(fixed x, fixed y, fixed z) {
    m_velocity->set(x, y, z);
}

void Vphob::step(fixed time) {
    Vector& velocity = *m_velocity;
    Vector& normal = *m_normal;
    while (time != 0) {
        const fixed dt = time < maxSubStep ? time : maxSubStep;
        time -= dt;
        computeAcceleration();
        velocity.addScaled(*m_acceleration, dt);
        m_position->addScaled(velocity, dt);
        m_onGround = checkGround() ? 1 : 0;
        if (!m_onGround) {
            continue;
        }
        if (m_friction == fx::one && m_bounce == 0) {
            velocity.set(0, 0, 0);
            continue;
        }
        const fixed vn = velocity.dot(normal);
        if (vn >= 0) {
            continue;
        }
        const fixed k = -fx::mul(fx::one + m_bounce, vn);
        velocity.addScaled(normal, k);
        const fixed vt = velocity.dot(*m_slideDirection);
        if (vt != 0) {
            const fixed g = gravity();
            const fixed s = !m_rolling && vt < g + (g >> 3) ? -vt : k;
            velocity.addScaled(*m_slideDirection, fx::mul(m_friction, s));
        }
    }
}

}  // namespace fairholm
