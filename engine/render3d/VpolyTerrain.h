#pragma once

#include <cstdint>

#include "engine/render3d/Vpolyn.h"
#include "runtime/Array.h"
#include "runtime/Fixed.h"

namespace fairholm {

// The ground of one course: a 512 x 512 polygon map whose palette entries are kinds
// of ground. Each entry carries a height level (low byte of its colour), a texture
// image number (the image table) and two surface factors. From the map the terrain
// builds a smoothed 256 x 256 height grid (two map pixels per cell; a level is 1/8
// unit), answers the height and the region under any ground point and paints the
// textured, hill-shaded overhead map.
class VpolyTerrain : public Vpolyn {
public:
    static constexpr int32_t gridSize = 256;
    static constexpr int32_t gridCells = gridSize * gridSize;

    VpolyTerrain();
    ~VpolyTerrain() override;

    // The course map: each pixel the texel of its region's texture (two texels per
    // map pixel, repeating every 16 pixels), lit where the ground falls toward the
    // lower right and darkened where it rises.
    void paint(const IntArray& pixels, int32_t stride, int32_t rows, int32_t clipLeft, int32_t clipTop,
               int32_t clipRight, int32_t clipBottom) override;
    // As for the polygon picture, plus new zero-filled friction and bounce tables.
    void setPaletteSize(int32_t n) override;

    // Smooths grid `a` along both axes, `b` is scratch (both gridCells bytes).
    virtual void blur(ByteArray& a, ByteArray& b);
    // Smooths each of the `rows` rows of `source` (1-2-1 inside, 3-1 at the ends,
    // truncating) and writes it transposed: element j of row k goes to j * rows + k.
    virtual void blurRows(ByteArray& destination, const ByteArray& source, int32_t width, int32_t rows);
    // Image number of the region under (x, z) (fixed map pixels); entry 0 outside.
    virtual int32_t surfaceAt(fixed x, fixed z);
    // Builds the height grid from the map and the levels in the palette's low bytes.
    virtual void buildHeightMap();
    virtual void setSurfaceProperties(int32_t index, fixed friction, fixed bounce);
    // Lightens (slope > 0) or darkens each channel by the slope, clamped to +-0.5.
    virtual int32_t shade(int32_t rgb, fixed slope) const {
        if (slope > 16384) {
            slope = 16384;
        } else if (slope < -16384) {
            slope = -16384;
        }
        return shadeChannel(rgb >> 16, slope) << 16 | shadeChannel(rgb >> 8, slope) << 8 |
               shadeChannel(rgb, slope);
    }

    // Ground height at a world point: bilinear over the grid in 1/4096 of a cell; the
    // default height outside 0 <= x, z < 510.
    fixed heightAt(fixed x, fixed z) const { return heightIn(m_grid, m_defaultHeight, x, z); }
    // heightAt over a given grid (gridCells levels, or null for none) and default.
    static fixed heightIn(const uint8_t* grid, fixed defaultHeight, fixed x, fixed z) {
        const int32_t gx = x >> 16;
        const int32_t gz = z >> 16;
        if (static_cast<uint32_t>(gx) > gridSize - 2 || static_cast<uint32_t>(gz) > gridSize - 2 || !grid) {
            return defaultHeight;
        }
        const uint8_t* cell = grid + gz * gridSize + gx;
        const int32_t h00 = cell[0];
        const int32_t h10 = cell[1];
        const int32_t h01 = cell[gridSize];
        const int32_t h11 = cell[gridSize + 1];
        const int32_t fx = (x >> 4) & 0xFFF;
        const int32_t fz = (z >> 4) & 0xFFF;
        // Equal levels need no interpolation; the products below are then 0, so the
        // same formula serves every cell without a branch.
        const int32_t top = (h10 - h00) * fx + (h00 << 12);
        const int32_t bottom = (h11 - h01) * fx + (h01 << 12);
        return top + (((bottom - top) * fz) >> 12);
    }

    // Palette index of the region under (x, z): the span memo when it covers the
    // point, a lookup inside the map, 0 outside.
    int32_t regionAt(fixed x, fixed z) {
        if (x < 0 || z < 0 || x >= widthFixed() || z >= heightFixed()) {
            return 0;
        }
        return memoCovers(x, z) ? memoIndex() : spanAt(x, z);
    }
    // Image number of a palette index; 0 for an index without an entry.
    int32_t imageOf(int32_t index) const {
        const IntArray& images = imageTable();
        return index >= 0 && index < images.length() ? images[index] : 0;
    }
    // Region index of every cell of the map, one byte each, row after row
    // (regionCellWidth() per row, regionCellRows() rows, then padding); a cell is
    // 1 / 2^regionCellShift of a pixel wide and a pixel high. A cell that no outline
    // crosses holds the palette index regionAt gives at any of its points (below
    // firstMixedCell). A cell that an outline's crossing touches is mixed: it holds
    // firstMixedCell + k when crossing k of its row is the first that touches it
    // (spanIndexFrom answers from there), or mixedCell when k is too large for a byte
    // (spanIndexAt answers). Rebuilt after the map changes; null when the map is too
    // large for it.
    static constexpr int32_t regionCellShift = 1;
    static constexpr uint8_t firstMixedCell = 64;
    static constexpr uint8_t mixedCell = 0xFF;
    static constexpr int32_t regionCellPadding = 4;
    static constexpr int64_t maxRegionCells = 1 << 22;
    const uint8_t* regionCells();
    int32_t regionCellWidth() const { return m_regionCellWidth; }
    int32_t regionCellRows() const { return m_regionCellRows; }

    // Forgets the span memo (before a batch of lookups).
    void resetSpanMemo() { setMemoRow(-1); }
    // Friction and bounce of a palette index; 0 for an index without an entry.
    fixed frictionOf(int32_t index) const {
        return index >= 0 && index < m_frictionTable.length() ? m_frictionTable[index] : 0;
    }
    fixed bounceOf(int32_t index) const {
        return index >= 0 && index < m_bounceTable.length() ? m_bounceTable[index] : 0;
    }

    fixed defaultHeight() const { return m_defaultHeight; }
    const ByteArray& heightGrid() const { return m_heightGrid; }
    // The grid for changing levels by hand; tables derived from it (the quads and the
    // windows) follow at their next use. Call it before each round of changes. Levels
    // next to each other must differ by 127 at most, as in every grid buildHeightMap
    // makes (its blur keeps them within about 96): heightAt's interpolation between
    // rows wraps beyond that, and the windows no longer bound it.
    const ByteArray& editHeightGrid() {
        ++m_gridVersion;
        return m_heightGrid;
    }
    // The four levels of every grid cell in one word, h(gx, gz) | h(gx + 1, gz) << 8 |
    // h(gx, gz + 1) << 16 | h(gx + 1, gz + 1) << 24 at gz * gridSize + gx, for cells
    // 0..254 each way (the rest 0); null without a grid.
    const uint32_t* heightQuads();
    // The highest ground (as heightAt gives it, the default height beyond the grid)
    // over 16 x 16 cells: at (bz + 1) * windowSide + bx + 1 the window of cells from
    // 8 bx to 8 bx + 15 and 8 bz to 8 bz + 15, for bx and bz in -1..31; entry
    // windowSide * windowSide is the highest anywhere. Follows the grid like the quads
    // (null without a grid).
    static constexpr int32_t windowShift = 3;
    static constexpr int32_t windowSide = (gridSize >> windowShift) + 1;
    const int32_t* heightWindows();
    // The grid's levels (null before the first buildHeightMap).
    const uint8_t* gridLevels() const { return m_grid; }
    const IntArray& frictionTable() const { return m_frictionTable; }
    const IntArray& bounceTable() const { return m_bounceTable; }

private:
    // One channel (the low byte of c) changed by c * slope / 32768, kept in 0..255.
    static int32_t shadeChannel(int32_t c, fixed slope) {
        c &= 0xFF;
        const int32_t lit = c + ((c * slope) >> 15);
        return lit < 0 ? 0 : (lit > 255 ? 255 : lit);
    }

    IntArray m_frictionTable;
    IntArray m_bounceTable;
    ByteArray m_heightGrid;
    const uint8_t* m_grid = nullptr;
    fixed m_defaultHeight = 0;

    uint32_t m_gridVersion = 0;
    IntArray m_heightQuads;
    uint32_t m_quadVersion = 0;
    IntArray m_heightWindows;
    uint32_t m_windowVersion = 0;

    ByteArray m_regionCells;
    int32_t m_regionCellWidth = 0;
    int32_t m_regionCellRows = 0;
    uint32_t m_regionCellVersion = 0;
};

}  // namespace fairholm
