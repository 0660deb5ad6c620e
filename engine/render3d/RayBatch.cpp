#include "engine/render3d/RayBatch.h"

#include <array>
#include <atomic>
#include <cstring>

#include "engine/render3d/TextureAtlas.h"
#include "engine/render3d/VpolyTerrain.h"
#include "engine/render3d/Vterrain.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define FAIRHOLM_RAY_BATCH_X86 1
#elif defined(__aarch64__)
#include <arm_neon.h>
#define FAIRHOLM_RAY_BATCH_NEON 1
#elif defined(__wasm_simd128__)
#include <wasm_simd128.h>
#define FAIRHOLM_RAY_BATCH_SIMD128 1
#endif

namespace fairholm {

namespace {

std::atomic<RayBatch::Kernel> kernelLimit{RayBatch::Kernel::avx512};

}  // namespace

#if FAIRHOLM_RAY_BATCH_X86

// Four lanes of SSE4.1, for x86 processors without AVX2.
namespace sse41 {
#define KERNEL_TARGET "sse4.1"
constexpr int32_t batches = 4;
#include "engine/render3d/RayBatchLanesSse41.inc"

#include "engine/render3d/RayBatchKernel.inc"
#undef KERNEL_TARGET
}  // namespace sse41

// Eight lanes of AVX2, sixteen registers.
namespace avx2 {
#define KERNEL_TARGET "avx2"
constexpr int32_t batches = 2;
#include "engine/render3d/RayBatchLanesAvx2.inc"

#include "engine/render3d/RayBatchKernel.inc"
#undef KERNEL_TARGET
}  // namespace avx2

// The same with AVX-512's thirty-two registers: room for four batches in flight.
namespace avx512 {
#define KERNEL_TARGET "avx2,avx512f,avx512vl,avx512bw"
constexpr int32_t batches = 4;
#include "engine/render3d/RayBatchLanesAvx2.inc"

#include "engine/render3d/RayBatchKernel.inc"
#undef KERNEL_TARGET
}  // namespace avx512

#elif FAIRHOLM_RAY_BATCH_NEON

// Four lanes of NEON, thirty-two registers.
namespace neon {
constexpr int32_t batches = 4;
#include "engine/render3d/RayBatchLanesNeon.inc"

#include "engine/render3d/RayBatchKernel.inc"
}  // namespace neon

#elif FAIRHOLM_RAY_BATCH_SIMD128

// Four lanes of WebAssembly's SIMD128.
namespace simd128 {
constexpr int32_t batches = 4;
#include "engine/render3d/RayBatchLanesWasm.inc"

#include "engine/render3d/RayBatchKernel.inc"
}  // namespace simd128

#endif

namespace {

// Whether this build has the kernel and this processor runs it.
bool runs(RayBatch::Kernel kernel) {
    switch (kernel) {
        case RayBatch::Kernel::none:
            return true;
#if FAIRHOLM_RAY_BATCH_X86
        case RayBatch::Kernel::sse41: {
            static const bool sse41 = __builtin_cpu_supports("sse4.1");
            return sse41;
        }
        case RayBatch::Kernel::avx2: {
            static const bool avx2 = __builtin_cpu_supports("avx2");
            return avx2;
        }
        case RayBatch::Kernel::avx512: {
            static const bool avx512 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("avx512f") &&
                                       __builtin_cpu_supports("avx512vl") &&
                                       __builtin_cpu_supports("avx512bw");
            return avx512;
        }
#elif FAIRHOLM_RAY_BATCH_NEON
        case RayBatch::Kernel::neon:
            return true;
#elif FAIRHOLM_RAY_BATCH_SIMD128
        case RayBatch::Kernel::simd128:
            return true;
#endif
        default:
            return false;
    }
}

// Kernels of one width have one rank: the four-lane ones stand in for each other.
int rank(RayBatch::Kernel kernel) {
    switch (kernel) {
        case RayBatch::Kernel::none:
            return 0;
        case RayBatch::Kernel::sse41:
        case RayBatch::Kernel::neon:
        case RayBatch::Kernel::simd128:
            return 1;
        case RayBatch::Kernel::avx2:
            return 2;
        case RayBatch::Kernel::avx512:
            return 3;
    }
    return 0;
}

constexpr RayBatch::Kernel widestFirst[] = {RayBatch::Kernel::avx512, RayBatch::Kernel::avx2,
                                            RayBatch::Kernel::sse41, RayBatch::Kernel::neon,
                                            RayBatch::Kernel::simd128};

}  // namespace

RayBatch::Kernel RayBatch::kernel() {
    const int limit = rank(kernelLimit.load(std::memory_order_relaxed));
    for (Kernel k : widestFirst) {
        if (rank(k) <= limit && runs(k)) {
            return k;
        }
    }
    return Kernel::none;
}

void RayBatch::limitTo(Kernel widest) {
    kernelLimit.store(widest, std::memory_order_relaxed);
}

int32_t RayBatch::columnsPerCast(Kernel kernel) {
    switch (kernel) {
#if FAIRHOLM_RAY_BATCH_X86
        case Kernel::sse41:
            return sse41::batches * sse41::lanes;
        case Kernel::avx2:
            return avx2::batches * avx2::lanes;
        case Kernel::avx512:
            return avx512::batches * avx512::lanes;
#elif FAIRHOLM_RAY_BATCH_NEON
        case Kernel::neon:
            return neon::batches * neon::lanes;
#elif FAIRHOLM_RAY_BATCH_SIMD128
        case Kernel::simd128:
            return simd128::batches * simd128::lanes;
#endif
        default:
            return 1;
    }
}

RayBatch::RayBatch(const Frame& frame, const IntArray& scratch) : m_frame(frame) {
    m_draws.frame = &m_frame;
    m_draws.data = scratch.data();
}

RayBatch::~RayBatch() {
    if (m_draws.count > 0) {
        colourDraws();
    }
}

void RayBatch::cast(const int32_t* columns, int32_t count, int32_t* rows) {
    (void)columns;  // (where the build has no kernel)
    (void)count;
    (void)rows;
    switch (m_frame.kernel) {
#if FAIRHOLM_RAY_BATCH_X86
        case Kernel::sse41:
            sse41::cast(m_draws, columns, count, rows);
            break;
        case Kernel::avx2:
            avx2::cast(m_draws, columns, count, rows);
            break;
        case Kernel::avx512:
            avx512::cast(m_draws, columns, count, rows);
            break;
#elif FAIRHOLM_RAY_BATCH_NEON
        case Kernel::neon:
            neon::cast(m_draws, columns, count, rows);
            break;
#elif FAIRHOLM_RAY_BATCH_SIMD128
        case Kernel::simd128:
            simd128::cast(m_draws, columns, count, rows);
            break;
#endif
        default:
            break;
    }
}

void RayBatch::colourDraws() {
    switch (m_frame.kernel) {
#if FAIRHOLM_RAY_BATCH_X86
        case Kernel::sse41:
            sse41::colour(m_draws);
            break;
        case Kernel::avx2:
            avx2::colour(m_draws);
            break;
        case Kernel::avx512:
            avx512::colour(m_draws);
            break;
#elif FAIRHOLM_RAY_BATCH_NEON
        case Kernel::neon:
            neon::colour(m_draws);
            break;
#elif FAIRHOLM_RAY_BATCH_SIMD128
        case Kernel::simd128:
            simd128::colour(m_draws);
            break;
#endif
        default:
            break;
    }
    m_draws.count = 0;
}

}  // namespace fairholm
