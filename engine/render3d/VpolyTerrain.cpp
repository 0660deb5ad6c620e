#include "engine/render3d/VpolyTerrain.h"

namespace fairholm {

VpolyTerrain::VpolyTerrain() = default;

VpolyTerrain::~VpolyTerrain() = default;

void VpolyTerrain::setPaletteSize(int32_t n) {
    m_frictionTable = newIntArray(n);
    m_bounceTable = newIntArray(n);
}

void VpolyTerrain::blur(ByteArray& a, ByteArray& b) {
    blurRows(b, a, gridSize, gridSize);
    blurRows(a, b, gridSize, gridSize);
}

void VpolyTerrain::blurRows(ByteArray& destination, const ByteArray& source, int32_t width, int32_t rows) {
    if (width < 2 || rows < 1) {
        return;
    }
    const int64_t cells = static_cast<int64_t>(width) * rows;
    if (cells > source.length() || cells > destination.length()) {
        return;
    }
    const uint8_t* src = source.data();
    uint8_t* dst = destination.data();
    for (int32_t k = 0; k < rows; ++k) {
        const uint8_t* s = src + k * width;
        dst[k] = static_cast<uint8_t>((3 * s[0] + s[1]) >> 2);
        for (int32_t j = 1; j < width - 1; ++j) {
            dst[j * rows + k] = static_cast<uint8_t>((s[j - 1] + 2 * s[j] + s[j + 1]) >> 2);
        }
        dst[(width - 1) * rows + k] = static_cast<uint8_t>((3 * s[width - 1] + s[width - 2]) >> 2);
    }
}

int32_t VpolyTerrain::surfaceAt(fixed, fixed) {
    return 0;
}

int32_t VpolyTerrain::regionAt(fixed, fixed) {
    return 0;
}

void VpolyTerrain::buildHeightMap() {
    if (m_heightGrid.isEmpty()) {
        m_heightGrid = newByteArray(gridCells);
        m_grid = m_heightGrid.data();
        if (m_heightGrid.isEmpty()) {
            return;
        }
    }
    ByteArray scratch = newByteArray(gridCells);
    if (scratch.isEmpty()) {
        return;
    }
    blur(m_heightGrid, scratch);
    blur(m_heightGrid, scratch);
    m_defaultHeight = m_heightGrid[0] * 4096;
}

void VpolyTerrain::setSurfaceProperties(int32_t index, fixed friction, fixed bounce) {
    if (index >= 0 && index < m_frictionTable.length() && index < m_bounceTable.length()) {
        m_frictionTable[index] = friction;
        m_bounceTable[index] = bounce;
    }
}

fixed VpolyTerrain::frictionOf(int32_t index) const {
    return index >= 0 && index < m_frictionTable.length() ? m_frictionTable[index] : 0;
}

fixed VpolyTerrain::bounceOf(int32_t index) const {
    return index >= 0 && index < m_bounceTable.length() ? m_bounceTable[index] : 0;
}

}  // namespace fairholm
