// libFuzzer target: arbitrary bytes as the ground's levels and a camera over (or
// beyond, or under) it. Every ray batch kernel this machine runs must draw the frame,
// its column tops and depth tags exactly as the one-column caster does, however steep
// or spiky the ground: steps the batches take at once over low ground must land where
// the caster's steps land.
//
// Bytes 0-1: the camera's x, 2-3: its z (each -64..576 yards), 4-5: the heading,
// 6: the eye above the ground (-2..30 yards), 7: the horizon, 8: the frame's size,
// 9: how the levels repeat and which half of the levels they take; the rest are the
// levels.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/render3d/RayBatch.h"
#include "engine/render3d/VpolyTerrain.h"
#include "engine/render3d/Vterrain.h"
#include "runtime/Array.h"
#include "runtime/Fixed.h"

using namespace fairholm;
using fx::one;

namespace {

constexpr RayBatch::Kernel batchKernels[] = {RayBatch::Kernel::sse41, RayBatch::Kernel::neon,
                                             RayBatch::Kernel::simd128, RayBatch::Kernel::avx2,
                                             RayBatch::Kernel::avx512};

// One map of one region, its levels set by hand.
Ref<VpolyTerrain> ground(const uint8_t* levels, size_t count, uint8_t repeat) {
    Ref<VpolyTerrain> terrain = make<VpolyTerrain>();
    terrain->beginShapes(512, 512, 64, 4);
    terrain->endShape();
    terrain->setColor(0, count > 0 ? levels[0] : 0);
    terrain->buildHeightMap();
    if (count > 0) {
        const ByteArray& grid = terrain->editHeightGrid();
        // Runs of 1 to 255 points per level: single spikes up to wide plateaus. Levels
        // side by side differ by 127 at most, as in every grid the terrain builds (its
        // blur sees to that; the interpolation needs it), in the lower or upper half.
        const int32_t run = 1 + (repeat & 0x7F) * 2;
        const int32_t base = repeat & 0x80;
        for (int32_t i = 0; i < VpolyTerrain::gridCells; ++i) {
            grid[i] = static_cast<uint8_t>(base + (levels[(i / run) % count] & 0x7F));
        }
    }
    return terrain;
}

// Draws the frame with the kernel (none: the one-column caster): pixels, then the
// column tops.
std::vector<int32_t> draw(RayBatch::Kernel kernel, const Ref<VpolyTerrain>& terrain, const uint8_t* camera) {
    RayBatch::limitTo(kernel);
    const int32_t width = 8 + (camera[8] & 0x7) * 24;
    const int32_t height = 8 + (camera[8] >> 3) * 6;
    Ref<Vterrain> view = make<Vterrain>(width, height, true);
    view->setTerrain(terrain);
    view->setHorizon(static_cast<int32_t>(camera[7]) - 64);
    view->setSkyColors(static_cast<int32_t>(0xFF005995), static_cast<int32_t>(0xFF3399FF));
    const auto word = [camera](int i) { return static_cast<int32_t>(camera[i] << 8 | camera[i + 1]); };
    view->setHeading(static_cast<angle>(word(4)));
    view->placeCamera(word(0) * 640 / 65536 * one - 64 * one, (camera[6] * 32 / 256 - 2) * one,
                      word(2) * 640 / 65536 * one - 64 * one);
    IntArray screen = newIntArray(width * height);
    view->drawTerrain(screen, width, height, 0, 0, width, height);
    std::vector<int32_t> frame(screen.begin(), screen.begin() + screen.length());
    const ShortArray& tops = view->columnTop();
    frame.insert(frame.end(), tops.begin(), tops.begin() + tops.length());
    return frame;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    uint8_t camera[10] = {};
    std::memcpy(camera, data, size < sizeof camera ? size : sizeof camera);
    const size_t count = size > sizeof camera ? size - sizeof camera : 0;
    const Ref<VpolyTerrain> terrain = ground(data + sizeof camera, count, camera[9]);
    const std::vector<int32_t> expected = draw(RayBatch::Kernel::none, terrain, camera);
    for (RayBatch::Kernel kernel : batchKernels) {
        RayBatch::limitTo(kernel);
        if (RayBatch::kernel() != kernel) {
            continue;
        }
        if (draw(kernel, terrain, camera) != expected) {
            __builtin_trap();
        }
    }
    RayBatch::limitTo(RayBatch::Kernel::avx512);
    return 0;
}
