#include "engine/render3d/VpolyTerrain.h"

#include <algorithm>

#include "engine/sprite/Vilib.h"
#include "engine/sprite/Vpicture.h"

namespace fairholm {

namespace {

constexpr int32_t textureTexels = 32 * 32;

// Stands in for a texture the image library cannot give.
const int32_t missingTexture[textureTexels] = {};

}  // namespace

VpolyTerrain::VpolyTerrain() = default;

VpolyTerrain::~VpolyTerrain() = default;

void VpolyTerrain::setPaletteSize(int32_t n) {
    Vpolyn::setPaletteSize(n);
    const int32_t size = paletteSize();
    m_frictionTable = newIntArray(size);
    m_bounceTable = newIntArray(size);
}

void VpolyTerrain::setSurfaceProperties(int32_t index, fixed friction, fixed bounce) {
    if (index >= 0 && index < m_frictionTable.length() && index < m_bounceTable.length()) {
        m_frictionTable[index] = friction;
        m_bounceTable[index] = bounce;
    }
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
    if (cells > source.length() || cells > destination.length() || source.sharesBlockWith(destination)) {
        return;
    }
    const uint8_t* src = source.data();
    uint8_t* dst = destination.data();
    for (int32_t k = 0; k < rows; ++k) {
        const uint8_t* s = src + static_cast<int64_t>(k) * width;
        uint8_t* d = dst + k;
        d[0] = static_cast<uint8_t>((3 * s[0] + s[1]) >> 2);
        for (int32_t j = 1; j < width - 1; ++j) {
            d[static_cast<int64_t>(j) * rows] = static_cast<uint8_t>((s[j - 1] + 2 * s[j] + s[j + 1]) >> 2);
        }
        d[static_cast<int64_t>(width - 1) * rows] =
            static_cast<uint8_t>((3 * s[width - 1] + s[width - 2]) >> 2);
    }
}

int32_t VpolyTerrain::surfaceAt(fixed x, fixed z) {
    return imageOf(indexAt(x, z));
}

void VpolyTerrain::buildHeightMap() {
    if (m_heightGrid.isEmpty()) {
        m_heightGrid = newByteArray(gridCells);
        m_grid = m_heightGrid.data();
        if (m_heightGrid.isEmpty()) {
            return;
        }
    }
    uint8_t* grid = m_heightGrid.data();
    const IntArray& crossings = edges();
    const int32_t stored = crossings.length();
    const int32_t pictureRows = edgeRows();
    const uint8_t background = static_cast<uint8_t>(paletteColor(0));
    for (int32_t gz = 0; gz < gridSize; ++gz) {
        uint8_t* cells = grid + gz * gridSize;
        int32_t c = 0;
        uint8_t v = background;
        for (int32_t row = 2 * gz; row < 2 * gz + 2; ++row) {
            if (row >= pictureRows) {
                break;
            }
            int32_t i = rowStart(row);
            int32_t end = rowEnd(row);
            if (i < 0) {
                i = 0;
            }
            if (end > stored) {
                end = stored;
            }
            for (; i < end; ++i) {
                const int32_t crossing = crossings[i];
                const int32_t column = (crossingX(crossing) >> 5) & 255;
                if (column > c) {
                    for (; c < column; ++c) {
                        cells[c] = v;
                    }
                }
                v = static_cast<uint8_t>(paletteColor(crossingFill(crossing)));
            }
        }
        for (; c < gridSize; ++c) {
            cells[c] = v;
        }
    }
    ByteArray scratch = newByteArray(gridCells);
    if (!scratch.isEmpty()) {
        blur(m_heightGrid, scratch);
        blur(m_heightGrid, scratch);
    }
    m_defaultHeight = grid[0] * 4096;
    ++m_gridVersion;
}

const uint32_t* VpolyTerrain::heightQuads() {
    if (!m_grid) {
        return nullptr;
    }
    if (m_heightQuads.isEmpty() || m_quadVersion != m_gridVersion) {
        if (m_heightQuads.isEmpty()) {
            m_heightQuads = newIntArray(gridCells);
            if (m_heightQuads.isEmpty()) {
                return nullptr;
            }
        }
        uint32_t* quads = reinterpret_cast<uint32_t*>(m_heightQuads.data());
        for (int32_t gz = 0; gz < gridSize - 1; ++gz) {
            const uint8_t* upper = m_grid + gz * gridSize;
            const uint8_t* lower = upper + gridSize;
            for (int32_t gx = 0; gx < gridSize - 1; ++gx) {
                quads[gz * gridSize + gx] =
                    static_cast<uint32_t>(upper[gx]) | static_cast<uint32_t>(upper[gx + 1]) << 8 |
                    static_cast<uint32_t>(lower[gx]) << 16 | static_cast<uint32_t>(lower[gx + 1]) << 24;
            }
        }
        m_quadVersion = m_gridVersion;
    }
    return reinterpret_cast<const uint32_t*>(m_heightQuads.data());
}

const int32_t* VpolyTerrain::heightWindows() {
    if (!m_grid) {
        return nullptr;
    }
    if (m_heightWindows.isEmpty() || m_windowVersion != m_gridVersion) {
        if (m_heightWindows.isEmpty()) {
            m_heightWindows = newIntArray(windowSide * windowSide + 1);
            if (m_heightWindows.isEmpty()) {
                return nullptr;
            }
        }
        // The highest corner of each block of 8 x 8 cells (bilinear heights never rise
        // above a cell's corners), blocks -1..32 each way; the grid's cells are
        // 0..gridSize - 2, the default height holds elsewhere.
        constexpr int32_t block = 1 << windowShift;
        constexpr int32_t blocks = windowSide + 1;
        int32_t highest[blocks][blocks];
        for (int32_t by = 0; by < blocks; ++by) {
            for (int32_t bx = 0; bx < blocks; ++bx) {
                int32_t top = 0;
                bool beyond = false;
                for (int32_t cz = (by - 1) * block; cz < by * block; ++cz) {
                    for (int32_t cx = (bx - 1) * block; cx < bx * block; ++cx) {
                        if (cx < 0 || cz < 0 || cx > gridSize - 2 || cz > gridSize - 2) {
                            beyond = true;
                            continue;
                        }
                        const uint8_t* cell = m_grid + cz * gridSize + cx;
                        top = std::max({top, int32_t{cell[0]}, int32_t{cell[1]}, int32_t{cell[gridSize]},
                                        int32_t{cell[gridSize + 1]}});
                    }
                }
                highest[by][bx] = beyond ? std::max(top * 4096, m_defaultHeight) : top * 4096;
            }
        }
        int32_t* windows = m_heightWindows.data();
        int32_t anywhere = m_defaultHeight;
        for (int32_t by = 0; by < windowSide; ++by) {
            for (int32_t bx = 0; bx < windowSide; ++bx) {
                const int32_t top = std::max(
                    {highest[by][bx], highest[by][bx + 1], highest[by + 1][bx], highest[by + 1][bx + 1]});
                windows[by * windowSide + bx] = top;
                anywhere = std::max(anywhere, top);
            }
        }
        windows[windowSide * windowSide] = anywhere;
        m_windowVersion = m_gridVersion;
    }
    return m_heightWindows.data();
}

void VpolyTerrain::paint(const IntArray& pixels, int32_t stride, int32_t rows, int32_t clipLeft,
                         int32_t clipTop, int32_t clipRight, int32_t clipBottom) {
    const fixed scale = m_effectiveScale;
    if (scale <= 0 ||
        !clipToBuffer(pixels.length(), stride, rows, clipLeft, clipTop, clipRight, clipBottom)) {
        return;
    }
    const fixed inv = static_cast<fixed>(0x40000000 / scale);
    const int32_t px = m_left;
    const int32_t py = m_top;
    resetSpanMemo();
    Vilib* library = imageLibrary().ptr();
    IntArray texturePixels;
    const int32_t* texels = missingTexture;
    int32_t* target = pixels.data();
    for (int32_t y = clipTop; y < clipBottom; ++y) {
        const fixed my = (y - py) * inv;
        const int32_t textureRow = ((my >> 14) & 31) * 32;
        int32_t* out = target + static_cast<int64_t>(y) * stride;
        fixed mx = (clipLeft - px) * inv;
        for (int32_t x = clipLeft; x < clipRight; ++x, mx += inv) {
            if (!memoCovers(mx, my)) {
                const int32_t image = imageOf(indexAt(mx, my));
                texels = missingTexture;
                texturePixels.release();
                if (library) {
                    Ref<Vpicture> picture = library->loadPicture(image);
                    if (picture && picture->pixels().length() >= textureTexels) {
                        texturePixels = picture->pixels();
                        texels = texturePixels.data();
                    }
                }
            }
            int32_t colour = texels[((mx >> 14) & 31) + textureRow];
            const fixed slope = (heightAt(mx, my) - heightAt(mx + fx::one, my + fx::one)) >> 1;
            if (slope != 0) {
                colour = shade(colour, slope);
            }
            out[x] = colour;
        }
    }
}

const uint8_t* VpolyTerrain::regionCells() {
    if (!m_regionCells.isEmpty() && m_regionCellVersion == edgeVersion()) {
        return m_regionCells.data();
    }
    // Whole cells that hold every in-bounds point (the last one may be partial).
    const int32_t cellShift = 15 - regionCellShift;
    const int64_t width = (static_cast<int64_t>(widthFixed()) + (1 << cellShift) - 1) >> cellShift;
    const int64_t rows = (static_cast<int64_t>(heightFixed()) + 32767) >> 15;
    m_regionCells.release();
    m_regionCellWidth = 0;
    m_regionCellRows = 0;
    if (width <= 0 || rows <= 0 || width * rows > maxRegionCells) {
        return nullptr;
    }
    m_regionCells = newByteArray(static_cast<int32_t>(width * rows) + regionCellPadding);
    if (m_regionCells.isEmpty()) {
        return nullptr;
    }
    m_regionCellWidth = static_cast<int32_t>(width);
    m_regionCellRows = static_cast<int32_t>(rows);
    m_regionCellVersion = edgeVersion();

    // A row's crossings are sorted by x. Left of a cell that no crossing touches lie
    // exactly the crossings that start left of it, all wholly left of the cell, so the
    // region there is the fill of the last of them (0 before the first).
    const int32_t crossingShift = 4 - regionCellShift;  // crossings are in 1/16 pixel
    const IntArray& crossings = edges();
    const int32_t stored = crossings.length();
    const int32_t pictureRows = std::min(edgeRows(), m_regionCellRows);
    for (int32_t row = 0; row < pictureRows; ++row) {
        uint8_t* cells = m_regionCells.data() + static_cast<int64_t>(row) * m_regionCellWidth;
        const int32_t start = std::max(rowStart(row), 0);
        const int32_t end = std::min(rowEnd(row), stored);
        int32_t next = 0;
        uint8_t fill = 0;
        for (int32_t i = start; i < end; ++i) {
            const int32_t cell = std::min(crossingX(crossings[i]) >> crossingShift, m_regionCellWidth - 1);
            if (cell >= next) {
                std::fill(cells + next, cells + cell + 1, fill);
                next = cell + 1;
            }
            fill = static_cast<uint8_t>(crossingFill(crossings[i]));
        }
        std::fill(cells + next, cells + m_regionCellWidth, fill);
        const bool overlapping = rowOverlaps(row);
        for (int32_t i = start; i < end; ++i) {
            const int32_t c = crossings[i];
            const int32_t x0 = crossingX(c);
            const int32_t x1 = x0 + crossingDx(c);
            const int32_t from = std::max(std::min(x0, x1), 0) >> crossingShift;
            const int32_t to = std::min(std::max(x0, x1) >> crossingShift, m_regionCellWidth - 1);
            // Where crossings overlap along the row only the full lookup answers exactly.
            const int32_t k = i - start;
            const uint8_t mark = !overlapping && k < mixedCell - firstMixedCell
                                     ? static_cast<uint8_t>(firstMixedCell + k)
                                     : mixedCell;
            for (int32_t cell = from; cell <= to; ++cell) {
                // The crossings come in order: the first to touch a cell names it.
                if (cells[cell] < firstMixedCell) {
                    cells[cell] = mark;
                }
            }
        }
    }
    return m_regionCells.data();
}

}  // namespace fairholm
