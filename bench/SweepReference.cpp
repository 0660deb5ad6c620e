#include "bench/SweepReference.h"

#include <cmath>

#include "engine/render3d/VpolyTerrain.h"

namespace fairholm::bench {

using fx::one;

SweepReference::SweepReference() : m_map(side * side) {
    Ref<VpolyTerrain> terrain = course();
    // Beyond the map, the default height, as the terrain view's rays see it.
    m_outside = static_cast<uint32_t>(terrain->defaultHeight() >> 12) << 24;
    for (int ty = 0; ty < side; ++ty) {
        for (int tx = 0; tx < side; ++tx) {
            const fixed x = tx * (one / 2) + one / 4;
            const fixed z = ty * (one / 2) + one / 4;
            const int32_t region = terrain->regionAt(x, z);
            const auto level = static_cast<uint32_t>(terrain->heightAt(x, z) >> 12);
            const uint32_t colour = static_cast<uint32_t>(region * 0x9E3779B1u) >> 8;
            m_map[ty * side + tx] = level << 24 | colour;
        }
    }
}

void SweepReference::draw(int32_t* target, int32_t width, int32_t height, int32_t horizon,
                          const Camera& camera, fixed eye, const int32_t* sky) {
    m_rows.assign(width, height);
    m_height = height;
    const double heading = camera.heading * (2 * M_PI / 65536);
    const double sinH = std::sin(heading);
    const double cosH = std::cos(heading);
    // In texels: the eye, and a line's spread per column at one texel of distance (the
    // view's rays widen by 4 units a column for 2048 forward).
    const double eyeX = camera.x / (one / 2.0);
    const double eyeZ = camera.z / (one / 2.0);
    const double across = 4.0 / 2048.0;
    const double eyeLevel = eye / 4096.0;
    // Rows per level at one texel: the view's rays fall 4 units a row for each step of
    // 2048 forward, in units of 1/4096 of a level and 1/16 of a yard = 1/8 texel.
    const double rowsPerLevel = 4096.0 / (4.0 * 8.0);
    m_lines = 0;
    for (double z = 18, dz = 1; z < 1022; z += dz, dz += 0.035) {
        ++m_lines;
        const double spread = z * across;
        double px = eyeX + z * sinH - (width / 2.0) * spread * cosH;
        double pz = eyeZ - z * cosH - (width / 2.0) * spread * sinH;
        const double stepX = spread * cosH;
        const double stepZ = spread * sinH;
        const double scale = rowsPerLevel / z;
        for (int32_t col = 0; col < width; ++col, px += stepX, pz += stepZ) {
            const auto tx = static_cast<uint32_t>(static_cast<int32_t>(px));
            const auto tz = static_cast<uint32_t>(static_cast<int32_t>(pz));
            const uint32_t texel = (tx | tz) < side ? m_map[tz * side + tx] : m_outside;
            int32_t row = horizon + static_cast<int32_t>((eyeLevel - (texel >> 24)) * scale);
            int32_t& lowest = m_rows[col];
            if (row < lowest) {
                row = row < 0 ? 0 : row;
                const auto colour = static_cast<int32_t>(texel & 0xFFFFFF);
                for (int32_t y = row; y < lowest; ++y) {
                    target[y * width + col] = colour;
                }
                lowest = row;
            }
        }
    }
    for (int32_t col = 0; col < width; ++col) {
        for (int32_t y = 0; y < m_rows[col]; ++y) {
            target[y * width + col] = sky[y];
        }
    }
}

int64_t SweepReference::groundRows() const {
    int64_t rows = 0;
    for (const int32_t top : m_rows) {
        rows += m_height - top;
    }
    return rows;
}

}  // namespace fairholm::bench
