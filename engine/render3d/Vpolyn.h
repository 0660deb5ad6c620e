#pragma once

#include <cstdint>

#include "engine/sprite/Vsprite.h"
#include "runtime/Array.h"
#include "runtime/Fixed.h"
#include "runtime/Ref.h"

namespace fairholm {

class Vilib;

// A sprite whose picture is a set of flat filled shapes, held as a scan-line edge
// table: for every pixel row, the crossings of the shape outlines with that row,
// sorted by x, each carrying the palette index of the fill to its right.
//
// A picture is built with beginShapes, any number of addLine (and addColor/setColor
// for the palette), then endShape. It is then painted with exact-area anti-aliasing
// of the outlines at any scale, and answers the fill under a point (spanAt, colorAt).
//
// Packed crossing, one 32-bit word:
//   bits 0-12   x     where the outline enters the row, unsigned, 1/16 pixel (0..8191)
//   bits 13-18  fill  palette index of the fill to the right of the crossing
//   bits 19-31  dx    signed change of x to the next row's top, 1/16 pixel (-4095..4095)
//
// The rows lie one after another in the edge array, with exactly one free gap that
// sits directly before the start of the gap row. Row-table entries of the gap row and
// of the rows after it count the gap, and the last entry (index rows) is always the
// capacity of the edge array. Inserting into a row moves only the crossings between
// the gap and that row; a full array grows by 2048 entries.
class Vpolyn : public Vsprite {
public:
    static constexpr int32_t maxPaletteSize = 64;
    static constexpr int32_t growthStep = 2048;
    static constexpr int32_t maxCrossingX = 8191;
    // dx has 13 bits: a larger step (an outline running more than 256 pixels sideways
    // within one row) is limited to the largest step the field holds.
    static constexpr int32_t maxCrossingDx = 4095;
    // Limit of the edge array (16 MB): crossings beyond it are dropped, which only
    // hostile shape data can reach.
    static constexpr int32_t maxCapacity = 1 << 22;
    static constexpr int32_t noMemoEnd = 0x7FFFFFFF;
    // Tallest picture the edge table takes; taller sizes keep their first rows only.
    static constexpr int32_t maxRows = 1 << 16;

    static constexpr int32_t packCrossing(int32_t x, int32_t fill, int32_t dx) {
        return static_cast<int32_t>(static_cast<uint32_t>(x & 0x1FFF) |
                                    static_cast<uint32_t>(fill & 63) << 13 | static_cast<uint32_t>(dx) << 19);
    }
    static constexpr int32_t crossingX(int32_t crossing) { return crossing & 0x1FFF; }
    static constexpr int32_t crossingFill(int32_t crossing) { return (crossing >> 13) & 63; }
    static constexpr int32_t crossingDx(int32_t crossing) { return crossing >> 19; }

    Vpolyn();
    ~Vpolyn() override;

    // Sprite paint contract: draws the shapes (only) into the clip rectangle, which
    // lies within the sprite's screen box.
    void paint(const IntArray& pixels, int32_t stride, int32_t rows, int32_t clipLeft, int32_t clipTop,
               int32_t clipRight, int32_t clipBottom) override;
    // The sprite size, and the same in fixed point as the bounds of point lookups.
    void setSize(int32_t width, int32_t height) override;

    // Index of the first palette entry equal to rgb; a new entry when there is none.
    // A full palette answers 0 and keeps the colour out.
    virtual int32_t addColor(int32_t rgb);
    // Inserts one crossing (x and xNext in 1/16 pixel) into one row. `first` marks
    // the crossing that starts an outline: it sorts before equal-x crossings that lean
    // further right. Rows outside the picture are ignored; x is clamped to 0..8191.
    virtual void addEdge(int32_t x, int32_t row, int32_t xNext, int32_t fill, bool first);
    // Closes the gap (moves it to the end of the array), resets the row cursors and
    // the span memo, and marks the sprite changed. Returns the number of crossings.
    virtual int32_t endShape();
    // Palette colour of the fill under the point (fixed sprite pixels); palette[0]
    // outside 0 <= x < width, 0 <= y < height.
    virtual int32_t colorAt(fixed x, fixed y);
    // Starts a new picture: palette of paletteSize entries, size width x height, every
    // row empty. The tables are created on first use (edge array of `capacity`) and
    // reused afterwards.
    virtual void beginShapes(int32_t width, int32_t height, int32_t capacity, int32_t paletteSize);
    // One straight outline segment (fixed sprite pixels). fill0 lies right of it (on
    // screen) when it runs downward, fill1 when it runs upward. Horizontal segments
    // (both ends in one row) add nothing.
    virtual void addLine(fixed x0, fixed y0, fixed x1, fixed y1, int32_t fill0, int32_t fill1);
    virtual void setColor(int32_t index, int32_t rgb);
    // New zero-filled palette and image table of n entries (1..64); one entry in use.
    virtual void setPaletteSize(int32_t n);
    // Image library of the whole sprite, and the image number of one palette entry.
    virtual void setPaletteImage(int32_t index, Ref<Vilib> library, int32_t image);

    // Palette index under the point (fixed sprite pixels). Walks the row from its row
    // cursor and records the span around the point in the span memo.
    int32_t spanAt(fixed x, fixed y);
    // Palette index under the point as spanAt finds it, read-only (no cursor, no
    // memo), so that several threads may ask at once: the search starts at the row's
    // first crossing right of the point.
    int32_t spanIndexAt(fixed x, fixed y) const;
    // The same, for a point whose row's crossings before crossing `first` (counted
    // from the row's start) all lie wholly left of it: the walk starts there.
    int32_t spanIndexFrom(fixed x, fixed y, int32_t first) const;
    // Palette index under the point: 0 outside the bounds, the memo when it covers the
    // point, spanAt otherwise.
    int32_t indexAt(fixed x, fixed y);

    // The painting behind paint(): the picture's top-left pixel at (originX, originY)
    // of the target, drawn at `scale` (fixed, 0x8000 = 1:1) into the clip rectangle
    // (limited to the buffer).
    void paintShapes(const IntArray& pixels, int32_t stride, int32_t rows, int32_t clipLeft, int32_t clipTop,
                     int32_t clipRight, int32_t clipBottom, int32_t originX, int32_t originY,
                     fixed scale) const;

    // Palette and image table.
    const IntArray& palette() const { return m_palette; }
    int32_t paletteSize() const { return m_palette.length(); }
    int32_t paletteUsed() const { return m_paletteUsed; }
    int32_t paletteColor(int32_t index) const {
        return index >= 0 && index < m_palette.length() ? m_palette[index] : 0;
    }
    const IntArray& imageTable() const { return m_imageTable; }
    const Ref<Vilib>& imageLibrary() const { return m_imageLibrary; }

    // Bounds of point lookups (fixed).
    fixed widthFixed() const { return m_widthFixed; }
    fixed heightFixed() const { return m_heightFixed; }

    // Edge table: crossings of row r are edges()[rowStart(r)] .. edges()[rowEnd(r) - 1].
    const IntArray& edges() const { return m_edges; }
    int32_t edgeRows() const { return m_rows; }
    int32_t capacity() const { return m_capacity; }
    int32_t gapRow() const { return m_gapRow; }
    int32_t gapSize() const { return m_gapSize; }
    int32_t edgeCount() const { return m_capacity - m_gapSize; }
    int32_t rowStart(int32_t row) const { return m_rowTable[row]; }
    int32_t rowEnd(int32_t row) const { return m_rowTable[row + 1] - (row + 1 == m_gapRow ? m_gapSize : 0); }

    // Changes with every change of the edge table or the bounds, so that tables derived
    // from the picture know when to rebuild.
    uint32_t edgeVersion() const { return m_edgeVersion; }
    // Whether crossings of the row overlap along it (outlines that cross each other or
    // turn within the row). There the lookup starts from where the point lies in the
    // row, not from the row's cursor, and keeps no span memo: its answer then depends on
    // the point alone, whatever was looked up before.
    bool rowOverlaps(int32_t row);

    // Span memo: the result of the last spanAt. Set the row to -1 to forget it.
    int32_t memoRow() const { return m_memoRow; }
    void setMemoRow(int32_t row) { m_memoRow = row; }
    int32_t memoStart() const { return m_memoStart; }
    int32_t memoEnd() const { return m_memoEnd; }
    int32_t memoIndex() const { return m_memoIndex; }
    // True when the memo answers for the point; memoIndex() is then its palette index.
    bool memoCovers(fixed x, fixed y) const {
        const int32_t xs = x >> 11;
        return m_memoRow == (y >> 15) && m_memoStart <= xs && xs < m_memoEnd;
    }

private:
    // True when the crossing lies right of the point (fixed pixels) in its row.
    static bool crossingRightOf(int32_t crossing, fixed x, fixed y);
    // Makes room for one crossing at the end of `row` (moving the gap there), growing
    // the array when it is full. `position` and `end` follow the moved crossings.
    bool openGap(int32_t row, int32_t& position, int32_t& end);

    IntArray m_palette;
    int32_t m_paletteUsed = 0;
    IntArray m_imageTable;
    Ref<Vilib> m_imageLibrary;
    fixed m_widthFixed = 0;
    fixed m_heightFixed = 0;

    int32_t m_rows = 0;  // rows of the edge table (the height of the last beginShapes)
    IntArray m_rowTable;
    ByteArray m_rowOverlaps;
    uint32_t m_rowOverlapsVersion = 0xFFFFFFFF;
    IntArray m_rowCursors;
    IntArray m_edges;
    int32_t m_capacity = 0;
    int32_t m_gapRow = 0;
    int32_t m_gapSize = 0;

    uint32_t m_edgeVersion = 0;

    int32_t m_memoRow = -1;
    int32_t m_memoStart = 0;
    int32_t m_memoEnd = 0;
    int32_t m_memoIndex = 0;
};

}  // namespace fairholm
