#pragma once

#include <cstdint>

namespace fairholm::coursecheck {

// A small deterministic random source (splitmix64): the same seed gives the same
// numbers on every machine and every run.
class SeededRandom {
public:
    explicit SeededRandom(uint64_t seed) : m_state(seed) {}

    // One seed from several: a seed for each hole and attempt of a base seed.
    static uint64_t mix(uint64_t a, uint64_t b);

    uint64_t next();
    // The low `count` bits (1..32) of the next number.
    uint32_t bits(int32_t count) { return static_cast<uint32_t>(next() >> (64 - count)); }
    // Uniform in [0, 1).
    double uniform();
    // Uniform in [low, high).
    double between(double low, double high) { return low + (high - low) * uniform(); }
    // Standard normal (mean 0, standard deviation 1).
    double normal();
    // True with probability p.
    bool chance(double p) { return uniform() < p; }

private:
    uint64_t m_state;
};

}  // namespace fairholm::coursecheck
