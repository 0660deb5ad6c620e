#include "tools/soundgen/Envelope.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace fairholm::soundgen {

namespace {
// Smooth 0..1 step: sin^2 of a quarter turn; no corner at either end.
double smoothStep(double x) {
    const double s = std::sin(0.5 * std::numbers::pi * std::clamp(x, 0.0, 1.0));
    return s * s;
}
}  // namespace

Envelope::Envelope(double attack, double hold, double decay, double release, double length)
    : m_attack(attack), m_hold(hold), m_decay(decay), m_release(release), m_length(length) {}

Envelope Envelope::read(Params& params, double length, double defaultAttack) {
    const double attack = params.number("attack", defaultAttack, 0.0, 10.0);
    const double hold = params.number("hold", 0.0, 0.0, 10.0);
    const double decay = params.number("decay", 0.0, 0.0, 10.0);
    const double release = params.number("release", 0.005, 0.0, 10.0);
    return Envelope(attack, hold, decay, release, length);
}

double Envelope::at(double t) const {
    if (t < 0.0 || t >= m_length) {
        return 0.0;
    }
    double level = 1.0;
    if (t < m_attack) {
        level = smoothStep(t / m_attack);
    } else {
        const double after = t - m_attack - m_hold;
        if (after > 0.0 && m_decay > 0.0) {
            level = std::exp(-after / m_decay);
        }
    }
    const double left = m_length - t;
    if (left < m_release) {
        level *= smoothStep(left / m_release);
    }
    return level;
}

}  // namespace fairholm::soundgen
