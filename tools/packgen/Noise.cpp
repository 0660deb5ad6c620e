#include "tools/packgen/Noise.h"

#include <cmath>

namespace fairholm::packgen {

namespace {

uint32_t mixBits(uint32_t h) {
    h ^= h >> 16;
    h *= 0x7FEB352Du;
    h ^= h >> 15;
    h *= 0x846CA68Bu;
    h ^= h >> 16;
    return h;
}

double smooth(double t) {
    return t * t * (3.0 - 2.0 * t);
}

int wrap(int v, int n) {
    const int r = v % n;
    return r < 0 ? r + n : r;
}

}  // namespace

double Noise::next() {
    m_state = m_state * 1664525u + 1013904223u;
    return (mixBits(m_state) >> 8) / 16777216.0;
}

double Noise::lattice(uint32_t seed, int x, int y) {
    const uint32_t h = mixBits(seed * 0x9E3779B1u ^ mixBits(static_cast<uint32_t>(x) * 0x85EBCA77u) ^
                               mixBits(static_cast<uint32_t>(y) * 0xC2B2AE3Du + 0x27D4EB2Fu));
    return (h >> 8) / 16777216.0;
}

double Noise::tiled(uint32_t seed, double x, double y, int cell, int period) {
    const int cells = period / cell;
    const double fx = x / cell;
    const double fy = y / cell;
    const int ix = static_cast<int>(std::floor(fx));
    const int iy = static_cast<int>(std::floor(fy));
    const double tx = smooth(fx - ix);
    const double ty = smooth(fy - iy);
    const double a = lattice(seed, wrap(ix, cells), wrap(iy, cells));
    const double b = lattice(seed, wrap(ix + 1, cells), wrap(iy, cells));
    const double c = lattice(seed, wrap(ix, cells), wrap(iy + 1, cells));
    const double d = lattice(seed, wrap(ix + 1, cells), wrap(iy + 1, cells));
    return (a + (b - a) * tx) * (1.0 - ty) + (c + (d - c) * tx) * ty;
}

double Noise::fractal(uint32_t seed, double x, double y, int cell, int period, int octaves) {
    double sum = 0.0;
    double weight = 1.0;
    double total = 0.0;
    for (int o = 0; o < octaves && cell >= 1; ++o) {
        sum += tiled(seed + static_cast<uint32_t>(o) * 101u, x, y, cell, period) * weight;
        total += weight;
        weight *= 0.5;
        cell /= 2;
    }
    return total > 0.0 ? sum / total : 0.0;
}

}  // namespace fairholm::packgen
