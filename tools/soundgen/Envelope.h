#pragma once

#include "tools/soundgen/Params.h"

namespace fairholm::soundgen {

// Amplitude shape of an effect layer over its length: a smooth rise over `attack`
// seconds, full level for `hold` seconds, then an exponential fall with time
// constant `decay` (none when 0), and a smooth fade to silence over the last
// `release` seconds of the layer.
class Envelope {
public:
    Envelope() = default;
    Envelope(double attack, double hold, double decay, double release, double length);

    // Reads attack, hold, decay and release from the block's settings; attack
    // defaults to defaultAttack.
    static Envelope read(Params& params, double length, double defaultAttack);

    // Level 0..1 at time t seconds from the start of the layer.
    double at(double t) const;

private:
    double m_attack = 0.0;
    double m_hold = 0.0;
    double m_decay = 0.0;
    double m_release = 0.0;
    double m_length = 0.0;
};

}  // namespace fairholm::soundgen
