#include "engine/render3d/RayBatch.h"

#include <array>
#include <atomic>

#include "engine/render3d/VpolyTerrain.h"
#include "engine/render3d/Vterrain.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define FAIRHOLM_RAY_BATCH 1
#else
#define FAIRHOLM_RAY_BATCH 0
#endif

namespace fairholm {

namespace {

std::atomic<bool> batchDisabled{false};

}  // namespace

bool RayBatch::available() {
#if FAIRHOLM_RAY_BATCH
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2 && !batchDisabled.load(std::memory_order_relaxed);
#else
    return false;
#endif
}

void RayBatch::setDisabled(bool disabled) {
    batchDisabled.store(disabled, std::memory_order_relaxed);
}

RayBatch::RayBatch(const Frame& frame, const IntArray& scratch) : m_frame(frame), m_draws(scratch.data()) {}

RayBatch::~RayBatch() {
    if (m_count > 0) {
        colourDraws();
    }
}

#if FAIRHOLM_RAY_BATCH

namespace {

#define AVX2 __attribute__((target("avx2"))) inline

using Lanes = __m256i;

AVX2 Lanes splat(int32_t v) {
    return _mm256_set1_epi32(v);
}
AVX2 Lanes plus(Lanes a, Lanes b) {
    return _mm256_add_epi32(a, b);
}
AVX2 Lanes minus(Lanes a, Lanes b) {
    return _mm256_sub_epi32(a, b);
}
AVX2 Lanes times(Lanes a, Lanes b) {
    return _mm256_mullo_epi32(a, b);
}
AVX2 Lanes both(Lanes a, Lanes b) {
    return _mm256_and_si256(a, b);
}
AVX2 Lanes either(Lanes a, Lanes b) {
    return _mm256_or_si256(a, b);
}
// a and not b
AVX2 Lanes except(Lanes a, Lanes b) {
    return _mm256_andnot_si256(b, a);
}
AVX2 Lanes less(Lanes a, Lanes b) {
    return _mm256_cmpgt_epi32(b, a);
}
AVX2 Lanes equal(Lanes a, Lanes b) {
    return _mm256_cmpeq_epi32(a, b);
}
// b where the mask is set, a elsewhere.
AVX2 Lanes select(Lanes mask, Lanes a, Lanes b) {
    return _mm256_blendv_epi8(a, b, mask);
}
AVX2 int bitsOf(Lanes mask) {
    return _mm256_movemask_ps(_mm256_castsi256_ps(mask));
}
AVX2 Lanes loadLanes(const int32_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
AVX2 void storeLanes(int32_t* p, Lanes v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}
// Stores the lanes of v in the order of a compaction.
AVX2 void storeInOrder(int32_t* p, Lanes v, Lanes order) {
    storeLanes(p, _mm256_permutevar8x32_epi32(v, order));
}

// For each 8-bit lane mask, the lanes that are set, in order, as byte indices.
constexpr std::array<uint64_t, 256> compactOrders = [] {
    std::array<uint64_t, 256> orders{};
    for (int mask = 0; mask < 256; ++mask) {
        uint64_t order = 0;
        int used = 0;
        for (int lane = 0; lane < 8; ++lane) {
            if (mask & (1 << lane)) {
                order |= static_cast<uint64_t>(lane) << (8 * used++);
            }
        }
        orders[mask] = order;
    }
    return orders;
}();

// The permutation that moves the set lanes of `mask` to the front.
AVX2 Lanes compaction(int mask) {
    return _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(&compactOrders[mask])));
}

// heightAt for eight points: bilinear over the grid in 1/4096 of a cell, `outside`
// beyond 0..510. A cell's four levels come in one word (the terrain's quads).
AVX2 Lanes heightsAt(const uint32_t* quads, Lanes outside, Lanes x, Lanes z) {
    const Lanes gx = _mm256_srai_epi32(x, 16);
    const Lanes gz = _mm256_srai_epi32(z, 16);
    const Lanes limit = splat(VpolyTerrain::gridSize - 1);
    const Lanes beyond = equal(_mm256_min_epu32(_mm256_max_epu32(gx, gz), limit), limit);
    const Lanes cell = except(plus(_mm256_slli_epi32(gz, 8), gx), beyond);
    const Lanes levels = _mm256_i32gather_epi32(reinterpret_cast<const int*>(quads), cell, 4);
    const Lanes byte = splat(0xFF);
    const Lanes h00 = both(levels, byte);
    const Lanes h10 = both(_mm256_srli_epi32(levels, 8), byte);
    const Lanes h01 = both(_mm256_srli_epi32(levels, 16), byte);
    const Lanes h11 = _mm256_srli_epi32(levels, 24);
    const Lanes fraction = splat(0xFFF);
    const Lanes fx = both(_mm256_srai_epi32(x, 4), fraction);
    const Lanes fz = both(_mm256_srai_epi32(z, 4), fraction);
    const Lanes top = plus(times(minus(h10, h00), fx), _mm256_slli_epi32(h00, 12));
    const Lanes bottom = plus(times(minus(h11, h01), fx), _mm256_slli_epi32(h01, 12));
    const Lanes g = plus(top, _mm256_srai_epi32(times(minus(bottom, top), fz), 12));
    return select(beyond, g, outside);
}

// One channel (at `shift`) of a + (((b - a) * f) >> 15).
AVX2 Lanes blendChannel(Lanes a, Lanes b, Lanes f, int shift) {
    const Lanes byte = splat(0xFF);
    const Lanes ca = both(_mm256_srli_epi32(a, shift), byte);
    const Lanes cb = both(_mm256_srli_epi32(b, shift), byte);
    return plus(ca, _mm256_srai_epi32(times(minus(cb, ca), f), 15));
}

// The texel blend per channel; the top byte is left 0 (only the colour is kept).
AVX2 Lanes blendTexels(Lanes a, Lanes b, Lanes f) {
    const Lanes red = blendChannel(a, b, f, 16);
    const Lanes green = blendChannel(a, b, f, 8);
    const Lanes blue = blendChannel(a, b, f, 0);
    return plus(plus(_mm256_slli_epi32(red, 16), _mm256_slli_epi32(green, 8)), blue);
}

// One channel (at `shift`) lightened or darkened by c * slope / 32768, in 0..255.
AVX2 Lanes shadeChannel(Lanes rgb, Lanes slope, int shift) {
    const Lanes c = both(_mm256_srli_epi32(rgb, shift), splat(0xFF));
    const Lanes lit = plus(c, _mm256_srai_epi32(times(c, slope), 15));
    return _mm256_min_epi32(_mm256_max_epi32(lit, _mm256_setzero_si256()), splat(0xFF));
}

// The terrain's shade with the slope clamped to +-0.5; slope 0 keeps the colour.
AVX2 Lanes shade(Lanes rgb, Lanes slope) {
    slope = _mm256_min_epi32(_mm256_max_epi32(slope, splat(-16384)), splat(16384));
    const Lanes red = shadeChannel(rgb, slope, 16);
    const Lanes green = shadeChannel(rgb, slope, 8);
    const Lanes blue = shadeChannel(rgb, slope, 0);
    return either(either(_mm256_slli_epi32(red, 16), _mm256_slli_epi32(green, 8)), blue);
}

#undef AVX2

}  // namespace

// One batch of rays: the state of eight columns' rays, lane by lane.
struct RayBatch::Rays {
    Lanes column, dX, dZ, active, px, pz, h, m, ri, s, hs, d, missed, row;
    Lanes g;  // ground height at (px, pz)
};

__attribute__((target("avx2"))) inline void RayBatch::begin(Rays& r, const int32_t* columns, int32_t count) {
    const Frame& f = m_frame;
    const int32_t k = f.bottom - f.horizon;
    alignas(32) int32_t start[4][lanes] = {};
    enum { X, DX, DZ, ACTIVE };
    for (int32_t i = 0; i < count && i < lanes; ++i) {
        const int32_t x = columns[i];
        const int32_t u = (x - f.stride / 2) * 4;
        start[X][i] = x;
        start[DX][i] = ((u * f.cosHeading) >> 15) - ((-f.sinHeading) >> 4);
        start[DZ][i] = ((u * f.sinHeading) >> 15) + ((-f.cosHeading) >> 4);
        start[ACTIVE][i] = -1;
    }
    r.column = loadLanes(start[X]);
    r.dX = loadLanes(start[DX]);
    r.dZ = loadLanes(start[DZ]);
    r.active = loadLanes(start[ACTIVE]);
    r.px = plus(splat(f.cameraX), times(splat(Vterrain::firstStep), r.dX));
    r.pz = plus(splat(f.cameraZ), times(splat(Vterrain::firstStep), r.dZ));
    r.h = splat(f.cameraY - 576 * k);
    r.m = splat(1);
    r.ri = splat(4);
    r.s = splat(576);
    r.hs = splat(-4 * k);
    r.d = splat(Vterrain::firstStep);
    r.missed = splat(-1);
    r.row = splat(f.bottom);
}

// The next point of every ray still going and the ground height there.
__attribute__((target("avx2"), always_inline)) inline void RayBatch::advance(Rays& r) {
    r.px = plus(r.px, both(r.dX, r.active));
    r.pz = plus(r.pz, both(r.dZ, r.active));
    r.h = plus(r.h, both(r.hs, r.active));
    r.g = heightsAt(m_frame.quads, splat(m_frame.terrain->defaultHeight()), r.px, r.pz);
}

__attribute__((target("avx2"), always_inline)) inline void RayBatch::step(Rays& r) {
    const Frame& f = m_frame;
    const Lanes one = splat(1);
    const Lanes topRow = splat(f.top);
    const Lanes lastStep = splat(Vterrain::lastStep);
    const Lanes g = r.g;
    const Lanes above = minus(g, r.h);
    const Lanes miss = less(above, one);

    // A miss widens the row span; the second miss in a row doubles the step.
    const Lanes missing = both(miss, r.active);
    r.s = plus(r.s, both(r.ri, missing));
    const Lanes doubling = both(both(missing, r.missed), less(r.m, splat(32)));
    r.dX = plus(r.dX, both(r.dX, doubling));
    r.dZ = plus(r.dZ, both(r.dZ, doubling));
    r.ri = plus(r.ri, both(r.ri, doubling));
    r.m = plus(r.m, both(r.m, doubling));
    r.hs = plus(r.hs, both(r.hs, doubling));
    r.missed = select(r.active, r.missed, miss);

    // A hit draws unless a fast step overshot by more than the row span.
    const Lanes hit = except(r.active, miss);
    const Lanes draw = both(hit, either(less(r.m, splat(2)), except(splat(-1), less(r.s, above))));
    const Lanes overshoot = except(hit, draw);

    if (bitsOf(draw) != 0) {
        // Climb row by row while the ground is above the ray; a column that reaches
        // the top of the clip is finished.
        const Lanes rowHigh = r.row;
        Lanes climbing = draw;
        Lanes stopped = _mm256_setzero_si256();
        for (;;) {
            Lanes up = both(climbing, less(r.h, g));
            if (bitsOf(up) == 0) {
                break;
            }
            r.row = plus(r.row, up);  // up is -1 in the climbing lanes
            const Lanes atTop = both(up, less(r.row, topRow));
            r.row = minus(r.row, atTop);
            stopped = either(stopped, atTop);
            climbing = except(climbing, atTop);
            up = except(up, atTop);
            r.hs = plus(r.hs, both(r.ri, up));
            r.h = plus(r.h, both(r.s, up));
        }
        r.s = plus(r.s, both(r.ri, climbing));

        // List the draws that cover rows, for colouring.
        const int drawn = bitsOf(both(draw, less(r.row, rowHigh)));
        if (drawn != 0) {
            const Lanes order = compaction(drawn);
            storeInOrder(field(PointX) + m_count, r.px, order);
            storeInOrder(field(PointZ) + m_count, r.pz, order);
            storeInOrder(field(Ground) + m_count, g, order);
            storeInOrder(field(Distance) + m_count, r.d, order);
            storeInOrder(field(StepZ) + m_count, r.dZ, order);
            storeInOrder(field(Column) + m_count, r.column, order);
            storeInOrder(field(RowLow) + m_count, r.row, order);
            storeInOrder(field(RowHigh) + m_count, rowHigh, order);
            m_count += __builtin_popcount(static_cast<unsigned>(drawn));
            if (m_count > capacity - lanes) {
                colourDraws();
            }
        }
        r.d = select(stopped, r.d, lastStep);
        r.active = except(r.active, stopped);
    }

    // Overshot: step back and halve the step.
    r.px = minus(r.px, both(r.dX, overshoot));
    r.pz = minus(r.pz, both(r.dZ, overshoot));
    r.h = minus(r.h, both(r.hs, overshoot));
    r.d = minus(r.d, both(r.m, overshoot));
    r.m = select(overshoot, r.m, _mm256_srai_epi32(r.m, 1));
    r.dX = select(overshoot, r.dX, _mm256_srai_epi32(r.dX, 1));
    r.dZ = select(overshoot, r.dZ, _mm256_srai_epi32(r.dZ, 1));
    r.hs = select(overshoot, r.hs, _mm256_srai_epi32(r.hs, 1));
    r.ri = select(overshoot, r.ri, _mm256_srai_epi32(r.ri, 1));

    r.d = plus(r.d, both(r.m, r.active));
    r.active = both(r.active, less(r.d, lastStep));
}

__attribute__((target("avx2"))) void RayBatch::cast(const int32_t* columns, int32_t count, int32_t* rows) {
    // Several batches at once: while one waits for its heights the others go on.
    Rays rays[batches];
    int going = 0;
    for (int32_t b = 0; b < batches; ++b) {
        begin(rays[b], columns + b * lanes, count - b * lanes);
        going |= bitsOf(rays[b].active);
    }
    while (going != 0) {
        // Every batch's height fetches first, then what follows from them.
        for (Rays& r : rays) {
            advance(r);
        }
        going = 0;
        for (Rays& r : rays) {
            step(r);
            going |= bitsOf(r.active);
        }
    }
    alignas(32) int32_t highest[columnsPerCast];
    for (int32_t b = 0; b < batches; ++b) {
        storeLanes(highest + b * lanes, rays[b].row);
    }
    for (int32_t i = 0; i < count && i < columnsPerCast; ++i) {
        rows[i] = highest[i];
    }
}

__attribute__((target("avx2"))) void RayBatch::colourDraws() {
    const Frame& f = m_frame;
    const VpolyTerrain& terrain = *f.terrain;
    const uint32_t* const quads = f.quads;
    const int32_t* const cells = reinterpret_cast<const int32_t*>(f.cells);
    const int32_t* const texels = f.texels;
    int32_t* const target = f.target;
    const int32_t stride = f.stride;
    const Lanes strideLanes = splat(stride);
    const Lanes laneNumbers = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    const Lanes outside = splat(terrain.defaultHeight());
    const Lanes mapWidth = splat(terrain.widthFixed());
    const Lanes mapHeight = splat(terrain.heightFixed());
    const Lanes cellWidth = splat(terrain.regionCellWidth());
    const Lanes none = splat(-1);
    const Lanes one = splat(1);
    const Lanes oneUnit = splat(fx::one);
    const Lanes texelMask = splat(31);
    const Lanes unfilteredLow = splat(static_cast<int32_t>(f.unfiltered));
    const Lanes unfilteredHigh = splat(static_cast<int32_t>(f.unfiltered >> 32));

    // The last group reads a full lane's worth: repeat the last draw.
    for (int32_t which = 0; which < fields; ++which) {
        int32_t* values = field(static_cast<Field>(which));
        for (int32_t i = m_count; i < m_count + lanes; ++i) {
            values[i] = values[m_count - 1];
        }
    }
    // First the region under every draw's point: its cell's, or (where an outline
    // crosses the cell) the lookup's. The cells are fetched for all draws, the lookups
    // done after for the few listed as mixed, so that no branch waits on a fetch.
    int32_t* const regions = field(Texture);
    int32_t* const mixedDraws = field(Mixed);
    int32_t mixedCount = 0;
    for (int32_t first = 0; first < m_count; first += lanes) {
        const Lanes px = loadLanes(field(PointX) + first);
        const Lanes pz = loadLanes(field(PointZ) + first);
        const Lanes inMap =
            both(both(less(none, px), less(none, pz)), both(less(px, mapWidth), less(pz, mapHeight)));
        const Lanes cellIndex =
            both(plus(times(_mm256_srai_epi32(pz, 15), cellWidth),
                      _mm256_srai_epi32(px, 15 - VpolyTerrain::regionCellShift)),
                 inMap);
        const Lanes region = both(both(_mm256_i32gather_epi32(cells, cellIndex, 1), splat(0xFF)), inMap);
        storeLanes(regions + first, region);
        const int mixed = bitsOf(equal(region, splat(VpolyTerrain::mixedCell)));
        storeInOrder(mixedDraws + mixedCount, plus(splat(first), laneNumbers), compaction(mixed));
        mixedCount += __builtin_popcount(static_cast<unsigned>(mixed));
    }
    for (int32_t k = 0; k < mixedCount; ++k) {
        const int32_t i = mixedDraws[k];
        regions[i] = terrain.spanIndexAt(field(PointX)[i], field(PointZ)[i]);
    }
    // Then each draw's texture, and whether to filter: slow steps are, on every
    // texture but the green's.
    for (int32_t first = 0; first < m_count; first += lanes) {
        const Lanes region = loadLanes(regions + first);
        const Lanes plain = both(either(_mm256_srlv_epi32(unfilteredLow, region),
                                        _mm256_srlv_epi32(unfilteredHigh, minus(region, splat(32)))),
                                 one);
        const Lanes filter = except(less(loadLanes(field(StepZ) + first), splat(32768)), equal(plain, one));
        storeLanes(field(Texture) + first, either(_mm256_slli_epi32(region, 10), both(filter, splat(filtered))));
    }

    // Then what the colours are made of: the texel and its right and lower
    // neighbours, and the slope. Only fetches here, so that many are under way at once.
    for (int32_t first = 0; first < m_count; first += lanes) {
        const Lanes px = loadLanes(field(PointX) + first);
        const Lanes pz = loadLanes(field(PointZ) + first);
        const Lanes base = both(loadLanes(field(Texture) + first), splat(filtered - 1));
        const Lanes tx = both(_mm256_srai_epi32(px, 14), texelMask);
        const Lanes tz = _mm256_slli_epi32(both(_mm256_srai_epi32(pz, 14), texelMask), 5);
        storeLanes(field(Texel) + first, _mm256_i32gather_epi32(texels, plus(base, plus(tx, tz)), 4));
        storeLanes(field(Right) + first,
                   _mm256_i32gather_epi32(texels, plus(base, plus(both(plus(tx, one), texelMask), tz)), 4));
        storeLanes(field(Below) + first,
                   _mm256_i32gather_epi32(texels, plus(base, plus(tx, both(plus(tz, splat(32)), splat(31 * 32)))),
                                          4));
        const Lanes g = loadLanes(field(Ground) + first);
        storeLanes(field(Slope) + first,
                   _mm256_srai_epi32(minus(g, heightsAt(quads, outside, plus(px, oneUnit), plus(pz, oneUnit))), 1));
    }

    // The colours: the texel, blended with its right and lower neighbours when
    // filtered, shaded by the slope, with the depth tag.
    for (int32_t first = 0; first < m_count; first += lanes) {
        const Lanes px = loadLanes(field(PointX) + first);
        const Lanes pz = loadLanes(field(PointZ) + first);
        const Lanes filter = equal(both(loadLanes(field(Texture) + first), splat(filtered)), splat(filtered));
        Lanes colour = loadLanes(field(Texel) + first);
        Lanes blended =
            blendTexels(colour, loadLanes(field(Right) + first), _mm256_slli_epi32(both(px, splat(0x3FFF)), 1));
        blended = blendTexels(blended, loadLanes(field(Below) + first), _mm256_slli_epi32(both(pz, splat(0x3FFF)), 1));
        colour = shade(select(filter, colour, blended), loadLanes(field(Slope) + first));
        const Lanes distance = loadLanes(field(Distance) + first);
        storeLanes(field(Pixel) + first,
                   either(both(colour, splat(0xFFFFFF)), _mm256_slli_epi32(_mm256_srai_epi32(distance, 5), 24)));
        // Where the colour goes: the draw's highest row, and how many rows below it.
        const Lanes low = loadLanes(field(RowLow) + first);
        storeLanes(field(Offset) + first, plus(times(low, strideLanes), loadLanes(field(Column) + first)));
        storeLanes(field(RowLow) + first, minus(minus(loadLanes(field(RowHigh) + first), low), one));
    }

    // Each colour into its highest row (every listed draw covers one), then down
    // the further rows of the few that cover more (RowLow now counts those).
    const int32_t* pixels = field(Pixel);
    const int32_t* offsets = field(Offset);
    for (int32_t i = 0; i < m_count; ++i) {
        target[offsets[i]] = pixels[i];
    }
    const int32_t* further = field(RowLow);
    for (int32_t first = 0; first < m_count; first += lanes) {
        int more = bitsOf(less(_mm256_setzero_si256(), loadLanes(further + first)));
        for (; more != 0; more &= more - 1) {
            const int32_t i = first + __builtin_ctz(static_cast<unsigned>(more));
            if (i >= m_count) {
                break;
            }
            int32_t* out = target + offsets[i];
            for (int32_t r = further[i]; r > 0; --r) {
                out += stride;
                *out = pixels[i];
            }
        }
    }
    m_count = 0;
}

#else

void RayBatch::cast(const int32_t*, int32_t, int32_t*) {}
void RayBatch::colourDraws() {
    m_count = 0;
}

#endif

}  // namespace fairholm
