// The ball in play: one frame of flight at a time, then what the rules make of where it
// is — out of bounds, in the water, in the cup or at rest.

#include "game/Course.h"
#include "game/Golf.h"

namespace fairholm {

bool Golf::stepBall() {
    m_ballBody->step(BallRules::frameTime(elapsedMillis()));
    keepShotFrame();
    const Vector& position = *m_ballBody->getPosition();
    const Vector pin(m_pinSprite->getWorldX(), m_pinSprite->getWorldY(), m_pinSprite->getWorldZ());
    const BallRules::Verdict verdict = m_ballRules.judge(*m_ballBody, pin, *m_terrain);
    if (verdict != BallRules::Verdict::Moving) {
        m_keepingShot = false;
    }

    if (verdict == BallRules::Verdict::OutOfBounds) {
        m_round.addPenalty();
        if (m_state == BallInFlight) {
            openMap(MapBrowse);
        }
        showMessage(lit("Out of bounds"));
        m_ballSprite->setWorldPosition(m_lastLie->x, m_lastLie->y, m_lastLie->z);
        aimAtPin();
        m_state = MapBrowse;
        return true;
    }

    const fixed x = position.x;
    const fixed y = position.y;
    const fixed z = position.z;
    const fixed ground = groundHeight(x, z);
    m_ballSprite->setWorldPosition(x, y, z);
    m_aimMarker->setWorldPosition(x, ground, z);
    m_ballMarker->setPositionFixed(x, z);
    m_shadowMarker->setPositionFixed(x, z + ((y - ground) >> 1));

    switch (verdict) {
        case BallRules::Verdict::Holed:
            playSound(lit("incup"));
            m_ballBody->setVelocity(0, 0, 0);
            m_ballSprite->removeFromParent();
            m_aimMarker->removeFromParent();
            m_ballMarker->removeFromParent();
            m_shadowMarker->removeFromParent();
            finishHole();
            return false;
        case BallRules::Verdict::Water:
            break;
        case BallRules::Verdict::Rest:
            return false;
        default:
            return true;
    }

    // In the water: a penalty stroke, and the shot is played again from the last lie,
    // towards the hole's aim point when that was the tee.
    playSound(lit("water"));
    m_round.addPenalty();
    if (m_state == BallInFlight) {
        openMap(WaterSplash);
    }
    if (m_comfort) {
        showMessage(lit("Water hazard: penalty stroke"));
    }
    m_ballSprite->setWorldPosition(m_lastLie->x, m_lastLie->y, m_lastLie->z);
    const int32_t hole = m_round.hole();
    if (Course::isTee(hole, m_lastLie->x, m_lastLie->z)) {
        const Course::Hole& h = Course::hole(hole);
        aimAt(h.aimX << 15, h.aimZ << 15);
    } else {
        aimAtPin();
    }
    m_shadowMarker->setPosition(-1000, -1000);
    m_state = WaterSplash;
    return true;
}

}  // namespace fairholm
