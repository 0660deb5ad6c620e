// The terrain view's frame time in a plain loop, for where Google Benchmark is not
// (the browser build's node, through scripts/bench-web.sh): TerrainBench's course and
// cameras at 240 x 320, drawn with the widest ray batch kernel of the build and with
// the one-column caster in interleaved rounds. Prints the median time of a frame for
// each and their ratio, and fails when the two draw different frames.
//
//   TerrainWasmBench [ROUNDS] [FRAMES] [KERNEL]   (15 rounds of 40 frames each; the
//   widest kernel to use as a RayBatch::Kernel number, all by default)

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench/TerrainCourse.h"
#include "engine/render3d/RayBatch.h"
#include "engine/render3d/Vterrain.h"
#include "runtime/Array.h"
#include "runtime/WorkerThread.h"

using namespace fairholm;
using namespace fairholm::bench;

namespace {

constexpr int32_t width = 240;
constexpr int32_t height = 320;

const char* kernelName(RayBatch::Kernel kernel) {
    switch (kernel) {
        case RayBatch::Kernel::none:
            return "one-column caster";
        case RayBatch::Kernel::sse41:
            return "sse41";
        case RayBatch::Kernel::neon:
            return "neon";
        case RayBatch::Kernel::simd128:
            return "simd128";
        case RayBatch::Kernel::avx2:
            return "avx2";
        case RayBatch::Kernel::avx512:
            return "avx512";
    }
    return "?";
}

// A view of the course as TerrainBench sets it up.
Ref<Vterrain> benchView() {
    Ref<Vterrain> view = make<Vterrain>(width, height, true);
    view->setTerrain(course());
    view->setHorizon(height - 220);
    view->setSkyColors(static_cast<int32_t>(0xFF005995), static_cast<int32_t>(0xFF3399FF));
    return view;
}

void drawFrame(Vterrain& view, const IntArray& target, int frame) {
    const Camera& c = cameras[frame % cameraCount];
    view.setHeading(c.heading);
    view.placeCamera(c.x, 141986, c.z);
    view.drawTerrain(target, width, height, 0, 0, width, height);
}

// Microseconds a frame over `frames` frames with the kernel.
double timeFrames(RayBatch::Kernel kernel, Vterrain& view, const IntArray& target, int frames) {
    RayBatch::limitTo(kernel);
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < frames; ++i) {
        drawFrame(view, target, i);
    }
    const auto end = std::chrono::steady_clock::now();
    RayBatch::limitTo(RayBatch::Kernel::avx512);
    return std::chrono::duration<double, std::micro>(end - start).count() / frames;
}

// Every camera's frame with the kernel.
std::vector<int32_t> framesOf(RayBatch::Kernel kernel) {
    RayBatch::limitTo(kernel);
    Ref<Vterrain> view = benchView();
    IntArray target = view->backBuffer();
    std::vector<int32_t> pixels;
    for (int i = 0; i < cameraCount; ++i) {
        drawFrame(*view, target, i);
        pixels.insert(pixels.end(), target.begin(), target.begin() + target.length());
    }
    RayBatch::limitTo(RayBatch::Kernel::avx512);
    return pixels;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    const int frames = argc > 2 ? std::max(1, std::atoi(argv[2])) : 40;
    // The owner alone, as in the browser.
    WorkerThread::setThreadsAllowed(false);
    if (argc > 3) {
        RayBatch::limitTo(static_cast<RayBatch::Kernel>(std::atoi(argv[3])));
    }
    const RayBatch::Kernel kernel = RayBatch::kernel();
    RayBatch::limitTo(RayBatch::Kernel::avx512);
    if (kernel == RayBatch::Kernel::none) {
        std::printf("no ray batch kernel in this build\n");
    } else if (framesOf(kernel) != framesOf(RayBatch::Kernel::none)) {
        std::printf("%s draws other frames than the one-column caster\n", kernelName(kernel));
        return 1;
    }

    Ref<Vterrain> view = benchView();
    IntArray target = view->backBuffer();
    // A round of each first, unmeasured: the course is loaded and the textures made.
    timeFrames(kernel, *view, target, frames);
    timeFrames(RayBatch::Kernel::none, *view, target, frames);
    std::vector<double> batched;
    std::vector<double> columns;
    for (int round = 0; round < rounds; ++round) {
        // Interleaved, the order swapped every round.
        if (round % 2 == 0) {
            batched.push_back(timeFrames(kernel, *view, target, frames));
            columns.push_back(timeFrames(RayBatch::Kernel::none, *view, target, frames));
        } else {
            columns.push_back(timeFrames(RayBatch::Kernel::none, *view, target, frames));
            batched.push_back(timeFrames(kernel, *view, target, frames));
        }
    }
    const double batchedMedian = median(batched);
    const double columnsMedian = median(columns);
    std::printf("%dx%d, median of %d rounds of %d frames\n", width, height, rounds, frames);
    std::printf("%-18s %9.1f us a frame\n", kernelName(kernel), batchedMedian);
    std::printf("%-18s %9.1f us a frame\n", kernelName(RayBatch::Kernel::none), columnsMedian);
    std::printf("one-column / %s: %.2fx\n", kernelName(kernel), columnsMedian / batchedMedian);
    WorkerThread::setThreadsAllowed(true);
    return 0;
}
