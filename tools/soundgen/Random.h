#pragma once

#include <cstdint>

namespace fairholm::soundgen {

// Small deterministic generator (SplitMix64): the same seed always gives the same
// sequence, on every machine, so generated sounds are reproducible byte for byte.
class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Uniform in [0, 1).
    double unit() { return static_cast<double>(next() >> 11) * (1.0 / 9007199254740992.0); }

    // Uniform in [lo, hi).
    double range(double lo, double hi) { return lo + (hi - lo) * unit(); }

    // Uniform in [-1, 1): white noise.
    double noise() { return 2.0 * unit() - 1.0; }

private:
    std::uint64_t m_state;
};

// FNV-1a of a name: the default seed of a sound.
inline std::uint64_t seedFromName(const char* name) {
    std::uint64_t h = 0xCBF29CE484222325ull;
    for (; *name != 0; ++name) {
        h = (h ^ static_cast<unsigned char>(*name)) * 0x100000001B3ull;
    }
    return h;
}

}  // namespace fairholm::soundgen
