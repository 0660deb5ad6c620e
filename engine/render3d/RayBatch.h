#pragma once

#include <cstdint>

#include "runtime/Array.h"
#include "runtime/Fixed.h"

namespace fairholm {

class VpolyTerrain;

// The terrain view's column rays, a register's lanes at a time (eight on AVX2, four on
// SSE4.1, NEON and WebAssembly's SIMD128), in two passes.
//
// The march: each lane follows one column's ray through exactly the steps and hits of
// the one-column caster. Where a hit draws, the lane notes the point (x, z, ground
// height, distance, step) and the rows it covers in a list of draws. A lane whose ray
// has ended idles until its batch's last ray ends. Where the ray's next eight
// full-length steps all pass over ground lower than the ray (the terrain's height
// windows tell), they are taken at once: misses at full length change nothing but the
// ray's place, so it lands where the steps would have taken it, in the same state. A
// ray climbing above the highest ground anywhere ends. A cast keeps several batches in
// flight, so that while one waits for its height fetches the others go on.
//
// The colouring: the list is coloured in passes over the whole list (regions, then
// texel fetches, then blending and hill shading, then the writes down each draw's
// rows), which keeps many fetches under way at once. The colour of a hit never
// changes a ray's course, so the split gives the frame of the one-column caster bit
// for bit.
//
// The kernel is written once (RayBatchKernel.inc) over a few operations on lanes, which
// each instruction set has in a file of its own (RayBatchLanes*.inc). On x86 it is
// built for SSE4.1, for AVX2 and for AVX2 with AVX-512's thirty-two registers, and the
// processor picks at run time; on arm64 it is built for NEON, and for the browser with
// SIMD128 when the compiler targets it.
class RayBatch {
public:
    // The instruction sets a batch runs on, narrowest first: four lanes (SSE4.1 on
    // x86, NEON on arm64, SIMD128 in WebAssembly; a build has at most one of them),
    // eight on AVX2, or AVX2 with AVX-512's extra registers (F, VL and BW) for more
    // batches in flight.
    enum class Kernel { none, sse41, neon, simd128, avx2, avx512 };
    // What one redraw shares.
    struct Frame {
        int32_t* target = nullptr;
        int32_t stride = 0;
        int32_t top = 0;     // first row that may be written
        int32_t bottom = 0;  // row below the last
        int32_t horizon = 0;
        fixed cameraX = 0;
        fixed cameraY = 0;
        fixed cameraZ = 0;
        fixed cosHeading = 0;
        fixed sinHeading = 0;
        const VpolyTerrain* terrain = nullptr;  // with a height grid
        const uint8_t* cells = nullptr;         // its region cells
        const uint32_t* quads = nullptr;        // its height quads
        const int32_t* windows = nullptr;       // its height windows
        const int32_t* texels = nullptr;        // the TextureAtlas table of its palette
        uint64_t unfiltered = 0;                // bit i: entry i's texture is not filtered
        Kernel kernel = Kernel::none;           // the kernel to cast with (not none)
    };

    // The kernel casts use: the widest this build and processor run, within the
    // limit; none where there is none (x86 without SSE4.1, WebAssembly without SIMD128,
    // other processors), and the caller then casts one column at a time.
    static Kernel kernel();
    static bool available() { return kernel() != Kernel::none; }
    // The widest kernel to use (all by default); lets tests and benchmarks compare the
    // kernels and the one-column caster on one machine. The four-lane kernels are one
    // width: a limit of any of them means the four-lane kernel of this build.
    static void limitTo(Kernel widest);

    // Needs available(); `scratch` (at least scratchSize entries) holds the list of
    // draws.
    RayBatch(const Frame& frame, const IntArray& scratch);
    RayBatch(const RayBatch&) = delete;
    RayBatch& operator=(const RayBatch&) = delete;
    // Colours what is still listed.
    ~RayBatch();

    // How many columns one cast of a kernel takes at most (up to maxColumnsPerCast).
    static int32_t columnsPerCast(Kernel kernel);
    static constexpr int32_t maxColumnsPerCast = 32;
    // Casts the rays of up to columnsPerCast() columns (`count`, x positions in
    // `columns`) and writes each one's highest terrain row (bottom when nothing was
    // drawn) to `rows`.
    void cast(const int32_t* columns, int32_t count, int32_t* rows);

    // The list of draws: one array per field, `capacity` entries plus the widest
    // batch's worth of padding each.
    enum Field {
        PointX,
        PointZ,
        Ground,
        Distance,
        StepZ,
        Column,
        RowLow,
        RowHigh,
        Texture,
        Texel,
        Right,
        Below,
        Slope,
        Pixel,
        Offset,
        Mixed,
        fields
    };
    static constexpr int32_t lanes = 8;  // the widest kernel's
    static constexpr int32_t capacity = 1024;
    static constexpr int32_t fieldStride = capacity + lanes;
    static constexpr int32_t scratchSize = fields * fieldStride;
    // In the Texture field: the first texel's offset, plus this flag for filtering.
    static constexpr int32_t filtered = 1 << 30;
    struct Draws {
        const Frame* frame = nullptr;
        int32_t* data = nullptr;
        int32_t count = 0;
        int32_t* field(Field f) const { return data + f * fieldStride; }
    };

private:
    void colourDraws();

    Frame m_frame;
    Draws m_draws;
};

}  // namespace fairholm
