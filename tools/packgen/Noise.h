#pragma once

#include <cstdint>

namespace fairholm::packgen {

// Deterministic pseudo-random numbers and tiling value noise: the same seed gives the
// same pictures on every machine.
class Noise {
public:
    explicit Noise(uint32_t seed) : m_state(seed * 2654435761u + 0x9E3779B9u) {}

    // Uniform in [0, 1).
    double next();
    // Uniform in [lo, hi).
    double range(double lo, double hi) { return lo + (hi - lo) * next(); }

    // A hash of a lattice point to [0, 1).
    static double lattice(uint32_t seed, int x, int y);
    // Smooth value noise in [0, 1) on a lattice of `cell` texels that repeats every
    // `period` texels (a multiple of `cell`).
    static double tiled(uint32_t seed, double x, double y, int cell, int period);
    // Several octaves of tiled noise, each half the cell of the one before, normalised
    // to [0, 1).
    static double fractal(uint32_t seed, double x, double y, int cell, int period, int octaves);

private:
    uint32_t m_state;
};

}  // namespace fairholm::packgen
