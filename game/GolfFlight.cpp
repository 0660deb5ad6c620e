// The ball in play: one frame of flight at a time, then the rules of where it ends —
// out of bounds, in the water, in the cup or at rest.

#include "game/Golf.h"

namespace fairholm {

namespace {

// A position is off the course when it is negative or at least 512 units.
bool isOutOfBounds(fixed v) {
    return (static_cast<uint32_t>(v) & 0xFF000000u) != 0;
}

}  // namespace

bool Golf::stepBall() {
    int32_t elapsed = elapsedMillis();
    if (elapsed <= 0 || elapsed > 80) {
        elapsed = 80;
    }
    m_ballBody->step(elapsed * 32);
    const Vector& position = *m_ballBody->getPosition();
    const fixed x = position.x;
    const fixed y = position.y;
    const fixed z = position.z;

    if (isOutOfBounds(x) || isOutOfBounds(z)) {
        m_strokes += 1;
        if (m_state == BallInFlight) {
            openMap(MapBrowse);
        }
        showMessage(lit("Out of bounds"));
        m_ballSprite->setWorldPosition(m_lastLie->x, m_lastLie->y, m_lastLie->z);
        aimAtPin();
        m_state = MapBrowse;
        return true;
    }

    const fixed ground = groundHeight(x, z);
    m_ballSprite->setWorldPosition(x, y, z);
    m_aimMarker->setWorldPosition(x, ground, z);
    m_ballMarker->setPositionFixed(x, z);
    m_shadowMarker->setPositionFixed(x, z + ((y - ground) >> 1));

    Vector& toPin = *m_toPin;
    toPin.set(m_pinSprite->getWorldX(), m_pinSprite->getWorldY(), m_pinSprite->getWorldZ());
    toPin.subtract(position);
    const fixed distance = toPin.fastLength();

    if (distance < 4095 && m_ballBody->velocity().fastLength() < 364000) {
        playSound(lit("incup"));
        m_ballBody->setVelocity(0, 0, 0);
        m_ballSprite->removeFromParent();
        m_aimMarker->removeFromParent();
        m_ballMarker->removeFromParent();
        m_shadowMarker->removeFromParent();
        finishHole();
        return false;
    }

    const fixed drift = distance - m_stillDistance;
    if ((drift < 0 ? -drift : drift) < 910) {
        m_stillFrames += 1;
    } else {
        m_stillFrames = 0;
        m_stillDistance = distance;
    }
    const bool still = m_stillFrames >= 30;
    const Vector& velocity = m_ballBody->velocity();
    const bool stopped = m_ballBody->onGround() && velocity.x == 0 && velocity.y == 0 && velocity.z == 0;
    if (!stopped && !still) {
        return true;
    }
    if (m_terrain->surfaceAt(x, z) != 3) {
        return !still;
    }

    // In the water: a penalty stroke, and the shot is replayed from the last lie.
    playSound(lit("water"));
    m_strokes += 1;
    if (m_state == BallInFlight) {
        openMap(WaterSplash);
    }
    m_ballSprite->setWorldPosition(m_lastLie->x, m_lastLie->y, m_lastLie->z);
    const Hole& hole = holeTable[m_holeIndex];
    if ((m_lastLie->x >> 15) == hole.teeX && (m_lastLie->z >> 15) == hole.teeZ) {
        aimAt(hole.aimX << 15, hole.aimZ << 15);
    } else {
        aimAtPin();
    }
    m_shadowMarker->setPosition(-1000, -1000);
    m_state = WaterSplash;
    return true;
}

}  // namespace fairholm
