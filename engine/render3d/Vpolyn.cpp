#include "engine/render3d/Vpolyn.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "engine/sprite/Vilib.h"

namespace fairholm {

namespace {

constexpr int32_t kWholeMask = ~0x7FFF;

void moveWords(int32_t* data, int32_t to, int32_t from, int32_t count) {
    if (count > 0 && to != from) {
        std::memmove(data + to, data + from, sizeof(int32_t) * static_cast<size_t>(count));
    }
}

// Mixes `oldColor` over `newColor`: c (fixed, 0..1.0) is the share of the old colour.
inline int32_t mixColours(int32_t oldColor, int32_t newColor, int32_t c) {
    const int32_t nr = (newColor >> 16) & 0xFF;
    const int32_t ng = (newColor >> 8) & 0xFF;
    const int32_t nb = newColor & 0xFF;
    const int32_t r = nr + ((((oldColor >> 16) & 0xFF) - nr) * c >> 15);
    const int32_t g = ng + ((((oldColor >> 8) & 0xFF) - ng) * c >> 15);
    const int32_t b = nb + (((oldColor & 0xFF) - nb) * c >> 15);
    return static_cast<int32_t>(0xFF000000u + static_cast<uint32_t>(r << 16) + static_cast<uint32_t>(g << 8) +
                                static_cast<uint32_t>(b));
}

}  // namespace

Vpolyn::Vpolyn() = default;

Vpolyn::~Vpolyn() = default;

void Vpolyn::setSize(int32_t width, int32_t height) {
    Vsprite::setSize(width, height);
    m_widthFixed = width << 15;
    m_heightFixed = height << 15;
    ++m_edgeVersion;
}

void Vpolyn::setPaletteSize(int32_t n) {
    n = std::clamp(n, 1, maxPaletteSize);
    m_palette = newIntArray(n);
    m_imageTable = newIntArray(n);
    m_paletteUsed = 1;
}

void Vpolyn::setColor(int32_t index, int32_t rgb) {
    if (index >= 0 && index < m_palette.length()) {
        m_palette[index] = rgb;
    }
}

void Vpolyn::setPaletteImage(int32_t index, Ref<Vilib> library, int32_t image) {
    m_imageLibrary = std::move(library);
    if (index >= 0 && index < m_imageTable.length()) {
        m_imageTable[index] = image;
    }
}

int32_t Vpolyn::addColor(int32_t rgb) {
    const int32_t used = std::min(m_paletteUsed, m_palette.length());
    for (int32_t i = 0; i < used; ++i) {
        if (m_palette[i] == rgb) {
            return i;
        }
    }
    if (used >= m_palette.length()) {
        return 0;
    }
    m_palette[used] = rgb;
    m_paletteUsed = used + 1;
    return used;
}

void Vpolyn::beginShapes(int32_t width, int32_t height, int32_t capacity, int32_t paletteSize) {
    setPaletteSize(paletteSize);
    setSize(width, height);
    const int32_t rows = std::clamp(height, 0, maxRows);
    if (m_rowTable.length() < rows + 1 || m_rowCursors.length() < rows + 1) {
        // First use, or a taller picture than the tables were made for.
        m_rowTable = newIntArray(rows + 1);
        m_rowCursors = newIntArray(rows + 1);
    } else {
        std::fill(m_rowTable.begin(), m_rowTable.begin() + rows + 1, 0);
        std::fill(m_rowCursors.begin(), m_rowCursors.begin() + rows + 1, 0);
    }
    if (m_edges.isEmpty()) {
        m_edges = newIntArray(std::min(capacity, maxCapacity));
    }
    m_capacity = m_edges.length();
    m_gapSize = m_capacity;
    m_memoRow = -1;
    ++m_edgeVersion;
    if (m_rowTable.isEmpty() || m_rowCursors.isEmpty()) {
        // No memory for the tables: a picture without rows.
        m_rowTable.release();
        m_rowCursors.release();
        m_rows = 0;
        m_gapRow = 0;
        return;
    }
    m_rows = rows;
    m_gapRow = rows;
    m_rowTable[rows] = m_capacity;
}

void Vpolyn::addLine(fixed x0, fixed y0, fixed x1, fixed y1, int32_t fill0, int32_t fill1) {
    int32_t ty = y0 >> 15;
    int32_t by = y1 >> 15;
    if (ty == by) {
        return;
    }
    int32_t fill = fill0;
    if (by < ty) {
        std::swap(x0, x1);
        std::swap(ty, by);
        fill = fill1;
    }
    const int32_t xt = x0 >> 11;
    const int32_t xb = x1 >> 11;
    int32_t s = (xb - xt) << 15;
    if (by - ty > 1) {
        s /= by - ty;
    }
    // Rows outside the picture add nothing; start the walk at the first row inside.
    const int32_t first = std::max(ty, 0);
    const int32_t last = std::min(by, m_rows);
    int32_t x = (xt << 15) + (first - ty) * s;
    for (int32_t r = first; r < last; ++r) {
        addEdge(x >> 15, r, (x + s) >> 15, fill, r == ty);
        x += s;
    }
}

bool Vpolyn::openGap(int32_t row, int32_t& position, int32_t& end) {
    int32_t* table = m_rowTable.data();
    if (m_gapSize == 0) {
        if (m_capacity > maxCapacity - growthStep) {
            return false;
        }
        IntArray grown = newIntArray(m_capacity + growthStep);
        if (grown.isEmpty()) {
            return false;
        }
        if (m_capacity > 0) {
            std::memcpy(grown.data(), m_edges.data(), sizeof(int32_t) * static_cast<size_t>(end));
            std::memcpy(grown.data() + end + growthStep, m_edges.data() + end,
                        sizeof(int32_t) * static_cast<size_t>(m_capacity - end));
        }
        for (int32_t r = row + 1; r <= m_rows; ++r) {
            table[r] += growthStep;
        }
        m_edges = std::move(grown);
        m_capacity += growthStep;
        m_gapSize = growthStep;
        m_gapRow = row + 1;
        return true;
    }
    int32_t* edges = m_edges.data();
    if (m_gapRow > row + 1) {
        // The gap lies further down: move the rows between it and this row's end up.
        const int32_t from = table[row + 1];
        moveWords(edges, from + m_gapSize, from, table[m_gapRow] - m_gapSize - from);
        for (int32_t r = row + 1; r < m_gapRow; ++r) {
            table[r] += m_gapSize;
        }
    } else if (m_gapRow < row + 1) {
        // The gap lies further up: move the rows from the gap row to this row's end down.
        const int32_t from = table[m_gapRow];
        moveWords(edges, from - m_gapSize, from, end - from);
        for (int32_t r = m_gapRow; r <= row; ++r) {
            table[r] -= m_gapSize;
        }
        position -= m_gapSize;
        end -= m_gapSize;
    }
    m_gapRow = row + 1;
    return true;
}

void Vpolyn::addEdge(int32_t x, int32_t row, int32_t xNext, int32_t fill, bool first) {
    if (row < 0 || row >= m_rows) {
        return;
    }
    // x beyond the field ("addEdge x out of range") is clamped, as is a negative x.
    x = std::clamp(x, 0, maxCrossingX);
    const int32_t dx =
        static_cast<int32_t>(std::clamp(static_cast<int64_t>(xNext) - x, static_cast<int64_t>(-maxCrossingDx),
                                        static_cast<int64_t>(maxCrossingDx)));

    const int32_t start = m_rowTable[row];
    int32_t end = rowEnd(row);
    int32_t position = start;
    const int32_t* edges = m_edges.data();
    while (position < end) {
        const int32_t c = edges[position];
        const int32_t cx = crossingX(c);
        if (x < cx || (x == cx && first && dx < crossingDx(c))) {
            break;
        }
        ++position;
    }
    if (!openGap(row, position, end)) {
        return;
    }
    int32_t* data = m_edges.data();
    moveWords(data, position + 1, position, end - position);
    data[position] = packCrossing(x, fill, dx);
    --m_gapSize;
    ++m_edgeVersion;
}

int32_t Vpolyn::endShape() {
    if (m_rowTable.isEmpty()) {
        return 0;
    }
    int32_t* table = m_rowTable.data();
    if (m_gapSize != 0 && m_gapRow < m_rows) {
        const int32_t from = table[m_gapRow];
        moveWords(m_edges.data(), from - m_gapSize, from, m_capacity - from);
        for (int32_t r = m_gapRow; r < m_rows; ++r) {
            table[r] -= m_gapSize;
        }
    }
    m_gapRow = m_rows;
    ++m_edgeVersion;
    std::copy(table, table + m_rows, m_rowCursors.begin());
    m_memoRow = -1;
    m_layoutKey += 1;  // the next layout sees a change and repaints
    return m_capacity - m_gapSize;
}

bool Vpolyn::crossingRightOf(int32_t c, fixed x, fixed y) {
    const int32_t xs = x >> 11;
    const int32_t cx = crossingX(c);
    const int32_t dx = crossingDx(c);
    const int32_t ce = cx + dx;
    if (xs < cx && xs <= ce) {
        return true;
    }
    if (xs >= std::min(cx, ce) && xs <= std::max(cx, ce)) {
        // Within the crossing's run along the row: where the outline is at the
        // point's height.
        return x < cx * 2048 + (((y & 0x7FFF) * dx) >> 4);
    }
    return false;
}

bool Vpolyn::rowOverlaps(int32_t row) {
    if (row < 0 || row >= m_rows) {
        return false;
    }
    if (m_rowOverlapsVersion != m_edgeVersion || m_rowOverlaps.length() < m_rows) {
        m_rowOverlaps = newByteArray(m_rows);
        m_rowOverlapsVersion = m_edgeVersion;
        const int32_t* edges = m_edges.data();
        for (int32_t r = 0; r < m_rows && !m_rowOverlaps.isEmpty(); ++r) {
            int32_t reach = INT32_MIN;  // the furthest right a crossing before reaches
            for (int32_t i = m_rowTable[r]; i < rowEnd(r); ++i) {
                const int32_t cx = crossingX(edges[i]);
                const int32_t ce = cx + crossingDx(edges[i]);
                if (std::min(cx, ce) <= reach) {
                    m_rowOverlaps[r] = 1;
                    break;
                }
                reach = std::max(reach, std::max(cx, ce));
            }
        }
    }
    return !m_rowOverlaps.isEmpty() && m_rowOverlaps[row] != 0;
}

int32_t Vpolyn::spanAt(fixed x, fixed y) {
    const int32_t xs = x >> 11;
    const int32_t row = y >> 15;
    m_memoRow = row;
    m_memoStart = 0;
    m_memoEnd = noMemoEnd;
    m_memoIndex = 0;
    if (row < 0 || row >= m_rows) {
        return 0;
    }
    if (rowOverlaps(row)) {
        m_memoEnd = 0;  // no span is remembered: the memo covers nothing
        m_memoIndex = spanIndexAt(x, y);
        return m_memoIndex;
    }
    const int32_t start = m_rowTable[row];
    const int32_t end = rowEnd(row);
    if (start >= end) {
        return 0;  // empty row
    }
    int32_t position = m_rowCursors[row];
    if (position < start || position >= end) {
        position = start;  // a cursor left from before the last change of the table
    }
    const int32_t* edges = m_edges.data();
    int32_t answer = 0;
    // Backward to the nearest crossing that lies wholly left of the point.
    for (;;) {
        const int32_t c = edges[position];
        const int32_t cx = crossingX(c);
        const int32_t ce = cx + crossingDx(c);
        if (cx <= xs && ce < xs) {
            answer = crossingFill(c);
            m_memoStart = std::max(cx, ce);
            ++position;
            break;
        }
        if (position == start) {
            break;
        }
        m_rowCursors[row] = --position;
    }
    // Forward over the crossings left of the point.
    while (position < end) {
        const int32_t c = edges[position];
        const int32_t cx = crossingX(c);
        const int32_t ce = cx + crossingDx(c);
        if (crossingRightOf(c, x, y)) {
            m_memoEnd = std::min(cx, ce);
            break;
        }
        answer = crossingFill(c);
        m_memoStart = std::max(cx, ce);
        m_rowCursors[row] = position;
        ++position;
    }
    m_memoIndex = answer;
    return answer;
}

int32_t Vpolyn::spanIndexAt(fixed x, fixed y) const {
    const int32_t xs = x >> 11;
    const int32_t row = y >> 15;
    if (row < 0 || row >= m_rows) {
        return 0;
    }
    const int32_t start = m_rowTable[row];
    const int32_t end = rowEnd(row);
    if (start >= end) {
        return 0;
    }
    const int32_t* edges = m_edges.data();
    // The first crossing that starts right of the point (the last one when none does).
    int32_t low = start;
    int32_t high = end - 1;
    while (low < high) {
        const int32_t middle = low + (high - low) / 2;
        if (crossingX(edges[middle]) > xs) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    int32_t position = low;
    int32_t answer = 0;
    // From there as spanAt goes from its cursor: back to a crossing wholly left of
    // the point, then forward over the crossings left of it.
    for (;;) {
        const int32_t c = edges[position];
        const int32_t cx = crossingX(c);
        if (cx <= xs && cx + crossingDx(c) < xs) {
            answer = crossingFill(c);
            ++position;
            break;
        }
        if (position == start) {
            break;
        }
        --position;
    }
    while (position < end) {
        if (crossingRightOf(edges[position], x, y)) {
            break;
        }
        answer = crossingFill(edges[position]);
        ++position;
    }
    return answer;
}

int32_t Vpolyn::spanIndexFrom(fixed x, fixed y, int32_t first) const {
    const int32_t row = y >> 15;
    if (row < 0 || row >= m_rows || first < 0) {
        return 0;
    }
    const int32_t start = m_rowTable[row];
    const int32_t end = rowEnd(row);
    int32_t position = start + first;
    if (position >= end) {
        return spanIndexAt(x, y);
    }
    const int32_t* edges = m_edges.data();
    int32_t answer = position > start ? crossingFill(edges[position - 1]) : 0;
    for (; position < end && !crossingRightOf(edges[position], x, y); ++position) {
        answer = crossingFill(edges[position]);
    }
    return answer;
}

int32_t Vpolyn::indexAt(fixed x, fixed y) {
    if (x < 0 || y < 0 || x >= m_widthFixed || y >= m_heightFixed) {
        return 0;
    }
    if (memoCovers(x, y)) {
        return m_memoIndex;
    }
    return spanAt(x, y);
}

int32_t Vpolyn::colorAt(fixed x, fixed y) {
    return paletteColor(indexAt(x, y));
}

void Vpolyn::paint(const IntArray& pixels, int32_t stride, int32_t rows, int32_t clipLeft, int32_t clipTop,
                   int32_t clipRight, int32_t clipBottom) {
    paintShapes(pixels, stride, rows, clipLeft, clipTop, clipRight, clipBottom, m_left, m_top,
                m_effectiveScale);
}

void Vpolyn::paintShapes(const IntArray& target, int32_t stride, int32_t rows, int32_t clipLeft,
                         int32_t clipTop, int32_t clipRight, int32_t clipBottom, int32_t originX,
                         int32_t originY, fixed scale) const {
    if (scale <= 0 || m_rows <= 0 || m_palette.isEmpty() ||
        !clipToBuffer(target.length(), stride, rows, clipLeft, clipTop, clipRight, clipBottom)) {
        return;
    }
    int32_t* pixels = target.data();
    const int32_t inv = scale == 0x8000 ? 0x8000 : 0x40000000 / scale;
    // Fill indices run to 63 whatever the palette size: look them up in a full table.
    int32_t palette[maxPaletteSize] = {};
    std::copy(m_palette.begin(), m_palette.end(), palette);
    const int32_t* edges = m_edges.data();

    for (int32_t y = clipTop; y < clipBottom; ++y) {
        const int64_t sourceRow = (static_cast<int64_t>(y - originY) * inv) >> 15;
        if (sourceRow < 0 || sourceRow >= m_rows) {
            continue;
        }
        const int32_t sr = static_cast<int32_t>(sourceRow);
        int32_t* line = pixels + static_cast<int64_t>(y) * stride;
        int32_t current = palette[0];
        int64_t sx = static_cast<int64_t>(clipLeft - originX) * inv;
        int32_t i = clipLeft;

        // Pixels while sx < limit take `color` (0 leaves them as they are).
        const auto fillTo = [&](int64_t limit, int32_t color) {
            if (sx >= limit) {
                return;
            }
            int64_t n = (limit - sx + inv - 1) / inv;
            n = std::min<int64_t>(n, clipRight - i);
            if (color != 0) {
                std::fill(line + i, line + i + n, color);
            }
            i += static_cast<int32_t>(n);
            sx += n * inv;
        };

        const int32_t end = rowEnd(sr);
        for (int32_t q = rowStart(sr); q < end && i < clipRight; ++q) {
            const int32_t c = edges[q];
            const int32_t x = crossingX(c);
            const int32_t dx = crossingDx(c);
            int32_t a = x * 2048;
            int32_t b = (x + dx) * 2048;
            if (b < a) {
                std::swap(a, b);
            }
            const int32_t w = (dx < 0 ? -dx : dx) * 2048;
            const int32_t wholeA = a & kWholeMask;
            fillTo(wholeA, current);

            const int32_t next = palette[crossingFill(c)];
            const int32_t wholeB = b & kWholeMask;
            while (i < clipRight && sx < b) {
                int32_t coverage;
                if (b <= wholeA + 0x8000) {
                    coverage = (a & 0x7FFF) + (w >> 1);
                } else if (sx < wholeA + 0x8000) {
                    const int32_t e = wholeA + 0x8000 - a;
                    coverage = 0x8000 - ((e * e / w) >> 1);
                } else if (sx < wholeB) {
                    const int32_t t = static_cast<int32_t>(sx & kWholeMask) - a + 0x4000;
                    coverage = 0x8000 - fx::div(t, w);
                } else {
                    const int32_t f = b & 0x7FFF;
                    coverage = (f * f / w) >> 1;
                }
                const int32_t target = line[i];
                const int32_t oldColor = current != 0 ? current : target;
                const int32_t newColor = next != 0 ? next : target;
                line[i] = oldColor == newColor ? oldColor : mixColours(oldColor, newColor, coverage);
                sx += inv;
                ++i;
            }
            current = next;
        }
        if (i < clipRight && current != 0) {
            std::fill(line + i, line + clipRight, current);
        }
    }
}

}  // namespace fairholm
