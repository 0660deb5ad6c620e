#include "game/BallRules.h"

#include "game/Clubs.h"
#include "game/Surface.h"

namespace fairholm {

fixed BallRules::frameTime(int32_t elapsed) {
    if (elapsed <= 0 || elapsed > maxFrameMillis) {
        elapsed = maxFrameMillis;
    }
    return elapsed * 32;
}

bool BallRules::isOutOfBounds(fixed x, fixed z) {
    // Negative or at least 512 units: one of the top 8 bits is set.
    return ((static_cast<uint32_t>(x) | static_cast<uint32_t>(z)) & 0xFF000000u) != 0;
}

void BallRules::strike(Vphob& body, fixed x, fixed y, fixed z, int32_t club, int32_t power, angle aim,
                       const Wind& wind) {
    wind.airVelocity(body.wind());
    const Clubs::Launch launch = Clubs::launchFor(club, power);
    body.setPosition(x, y, z);
    body.setRolling(launch.vy == 0);
    body.setVelocity(fx::mul(fx::sin(aim), launch.h), launch.vy, -fx::mul(fx::cos(aim), launch.h));
}

BallRules::Verdict BallRules::judge(const Vphob& body, const Vector& pin, VpolyTerrain& terrain) {
    const Vector& position = body.position();
    if (isOutOfBounds(position.x, position.z)) {
        return Verdict::OutOfBounds;
    }
    m_toPin.set(pin);
    m_toPin.subtract(position);
    const fixed distance = m_toPin.fastLength();
    if (distance < cupRadius && body.velocity().fastLength() < holingSpeed) {
        return Verdict::Holed;
    }

    const fixed drift = distance - m_stillDistance;
    if ((drift < 0 ? -drift : drift) < stillDrift) {
        m_stillFrames += 1;
    } else {
        m_stillFrames = 0;
        m_stillDistance = distance;
    }
    const bool still = m_stillFrames >= framesToRest;
    const Vector& velocity = body.velocity();
    const bool stopped = body.onGround() && velocity.x == 0 && velocity.y == 0 && velocity.z == 0;
    if (!stopped && !still) {
        return Verdict::Moving;
    }
    // The water test runs as soon as the body stops on the ground; land needs stillness.
    if (terrain.surfaceAt(position.x, position.z) == Surface::water) {
        return Verdict::Water;
    }
    return still ? Verdict::Rest : Verdict::Moving;
}

BallRules::Result BallRules::playOut(Vphob& body, const Vector& pin, VpolyTerrain& terrain,
                                     int32_t firstMillis, int32_t frameMillis, int32_t maxFrames) {
    Result result;
    int32_t millis = firstMillis;
    for (int32_t frame = 1; frame <= maxFrames; ++frame, millis = frameMillis) {
        body.step(frameTime(millis));
        result.verdict = judge(body, pin, terrain);
        const Vector& p = body.position();
        result.x = p.x;
        result.y = p.y;
        result.z = p.z;
        result.frames = frame;
        if (result.verdict != Verdict::Moving) {
            break;
        }
    }
    return result;
}

}  // namespace fairholm
