#include "engine/render3d/RayBatch.h"

#include <array>
#include <atomic>

#include "engine/render3d/TextureAtlas.h"
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

std::atomic<RayBatch::Kernel> kernelLimit{RayBatch::Kernel::avx512};

}  // namespace

#if FAIRHOLM_RAY_BATCH

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

#endif

namespace {

// The widest kernel this processor runs.
RayBatch::Kernel widestKernel() {
#if FAIRHOLM_RAY_BATCH
    static const RayBatch::Kernel widest =
        __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
                __builtin_cpu_supports("avx512bw")
            ? RayBatch::Kernel::avx512
            : (__builtin_cpu_supports("avx2") ? RayBatch::Kernel::avx2 : RayBatch::Kernel::none);
    return widest;
#else
    return RayBatch::Kernel::none;
#endif
}

}  // namespace

RayBatch::Kernel RayBatch::kernel() {
    const Kernel limit = kernelLimit.load(std::memory_order_relaxed);
    const Kernel widest = widestKernel();
    return limit < widest ? limit : widest;
}

void RayBatch::limitTo(Kernel widest) {
    kernelLimit.store(widest, std::memory_order_relaxed);
}

int32_t RayBatch::columnsPerCast(Kernel kernel) {
#if FAIRHOLM_RAY_BATCH
    return (kernel == Kernel::avx512 ? avx512::batches : avx2::batches) * lanes;
#else
    (void)kernel;
    return 1;
#endif
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
#if FAIRHOLM_RAY_BATCH
    if (m_frame.kernel == Kernel::avx512) {
        avx512::cast(m_draws, columns, count, rows);
    } else {
        avx2::cast(m_draws, columns, count, rows);
    }
#else
    (void)columns;
    (void)count;
    (void)rows;
#endif
}

void RayBatch::colourDraws() {
#if FAIRHOLM_RAY_BATCH
    if (m_frame.kernel == Kernel::avx512) {
        avx512::colour(m_draws);
    } else {
        avx2::colour(m_draws);
    }
#endif
    m_draws.count = 0;
}

}  // namespace fairholm
