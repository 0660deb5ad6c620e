#include "tools/coursecheck/SeededRandom.h"

#include <cmath>

namespace fairholm::coursecheck {

uint64_t SeededRandom::mix(uint64_t a, uint64_t b) {
    SeededRandom r(a ^ (b * 0xD6E8FEB86659FD93ull));
    r.next();
    return r.next();
}

uint64_t SeededRandom::next() {
    uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

double SeededRandom::uniform() {
    return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0);
}

double SeededRandom::normal() {
    // Box-Muller; 1 - u keeps the logarithm away from zero.
    constexpr double kTwoPi = 6.28318530717958647692;
    const double u = 1.0 - uniform();
    const double v = uniform();
    return std::sqrt(-2.0 * std::log(u)) * std::cos(kTwoPi * v);
}

}  // namespace fairholm::coursecheck
