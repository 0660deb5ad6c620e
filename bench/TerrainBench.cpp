#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "bench/SweepReference.h"
#include "bench/TerrainCourse.h"
#include "engine/render3d/RayBatch.h"
#include "engine/render3d/Vphob.h"
#include "engine/render3d/VpolyTerrain.h"
#include "engine/render3d/Vterrain.h"
#include "runtime/Array.h"
#include "runtime/Fixed.h"
#include "runtime/WorkerThread.h"

using namespace fairholm;
using namespace fairholm::bench;
using fx::one;

namespace {

// Keeps a core busy while it lives, as any other program on the machine would: a
// child process spinning until it is killed.
class BusyCore {
public:
    explicit BusyCore(bool on) {
        if (on) {
            m_child = fork();
            if (m_child == 0) {
                uint64_t spins = 0;
                for (;;) {
                    benchmark::DoNotOptimize(++spins);
                }
            }
        }
    }
    ~BusyCore() {
        if (m_child > 0) {
            kill(m_child, SIGKILL);
            waitpid(m_child, nullptr, 0);
        }
    }
    BusyCore(const BusyCore&) = delete;
    BusyCore& operator=(const BusyCore&) = delete;

private:
    pid_t m_child = -1;
};

void BM_DrawTerrain(benchmark::State& state) {
    RayBatch::limitTo(static_cast<RayBatch::Kernel>(state.range(2)));
    const int32_t width = static_cast<int32_t>(state.range(0));
    const int32_t height = static_cast<int32_t>(state.range(1));
    // The helper thread or the owner alone; another core kept busy or not.
    WorkerThread::setThreadsAllowed(state.range(3) != 0);
    const BusyCore busy(state.range(4) != 0);
    Ref<Vterrain> view = make<Vterrain>(width, height, true);
    view->setTerrain(course());
    view->setHorizon(height - (height >= 300 ? 220 : 160));
    view->setSkyColors(static_cast<int32_t>(0xFF005995), static_cast<int32_t>(0xFF3399FF));
    IntArray target = view->backBuffer();
    size_t i = 0;
    int64_t ground = 0;
    for (auto _ : state) {
        const Camera& c = cameras[i++ % cameraCount];
        view->setHeading(c.heading);
        view->placeCamera(c.x, 141986, c.z);
        view->drawTerrain(target, width, height, 0, 0, width, height);
        benchmark::DoNotOptimize(target.data());
        if (i <= cameraCount) {
            for (int32_t x = 0; x < width; ++x) {
                ground += height - view->columnTop()[x];
            }
        }
    }
    // Rows of ground a column, over the cameras.
    state.counters["ground"] = static_cast<double>(ground) / (cameraCount * width);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * width * height);
    RayBatch::limitTo(RayBatch::Kernel::avx512);
    WorkerThread::setThreadsAllowed(true);
}
// Width, height, the widest ray batch kernel to use (RayBatch::Kernel: 5 AVX-512
// registers, 4 AVX2, 1 the four-lane kernel of the build (SSE4.1 on x86), 0 none: the
// one-column caster; the processor may limit it further), the helper thread (1) or the
// owner alone (0), and another core kept busy by a spinning process (1) or not. The time
// that counts is the wall time; the helper must never make a frame slower, a busy core
// or not.
static_assert(static_cast<int>(RayBatch::Kernel::avx512) == 5 &&
                  static_cast<int>(RayBatch::Kernel::avx2) == 4 &&
                  static_cast<int>(RayBatch::Kernel::sse41) == 1,
              "the kernel numbers of the rows below");
BENCHMARK(BM_DrawTerrain)
    ->ArgNames({"width", "height", "kernel", "helper", "busy"})
    ->ArgsProduct({{240}, {320}, {5}, {0, 1}, {0, 1}})
    ->ArgsProduct({{480}, {640}, {5}, {0, 1}, {0, 1}})
    ->ArgsProduct({{1280}, {720}, {5}, {0, 1}, {0, 1}})
    ->Args({240, 320, 4, 0, 0})
    ->Args({240, 320, 1, 0, 0})
    ->Args({240, 320, 0, 0, 0})
    ->Args({1280, 720, 0, 0, 0})
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);

// The sweep over the same course from the same cameras, beside BM_DrawTerrain's rows.
void BM_SweepReference(benchmark::State& state) {
    const int32_t width = static_cast<int32_t>(state.range(0));
    const int32_t height = static_cast<int32_t>(state.range(1));
    static SweepReference sweep;
    std::vector<int32_t> target(static_cast<size_t>(width) * height);
    std::vector<int32_t> sky(height);
    for (int32_t y = 0; y < height; ++y) {
        sky[y] = 0x005995 + y * 0x000101;
    }
    const int32_t horizon = height - (height >= 300 ? 220 : 160);
    size_t i = 0;
    int64_t ground = 0;
    for (auto _ : state) {
        const Camera& c = cameras[i++ % cameraCount];
        // The eye above the ground under it, as placeCamera puts it.
        sweep.draw(target.data(), width, height, horizon, c, course()->heightAt(c.x, c.z) + 141986,
                   sky.data());
        benchmark::DoNotOptimize(target.data());
        if (i <= cameraCount) {
            ground += sweep.groundRows();
        }
    }
    state.counters["lines"] = sweep.lines();
    state.counters["ground"] = static_cast<double>(ground) / (cameraCount * width);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * width * height);
}
BENCHMARK(BM_SweepReference)
    ->ArgNames({"width", "height"})
    ->Args({240, 320})
    ->Args({480, 640})
    ->Args({1280, 720})
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);

void BM_CourseLoad(benchmark::State& state) {
    Ref<VpolyTerrain> terrain = make<VpolyTerrain>();
    loadCourse(*terrain);
    state.counters["crossings"] = terrain->edgeCount();
    for (auto _ : state) {
        loadCourse(*terrain);
        benchmark::DoNotOptimize(terrain->heightAt(100 * one, 100 * one));
    }
}
BENCHMARK(BM_CourseLoad)->Unit(benchmark::kMicrosecond);

void BM_BuildHeightMap(benchmark::State& state) {
    Ref<VpolyTerrain> terrain = course();
    for (auto _ : state) {
        terrain->buildHeightMap();
        benchmark::DoNotOptimize(terrain->defaultHeight());
    }
}
BENCHMARK(BM_BuildHeightMap)->Unit(benchmark::kMicrosecond);

void BM_PhobStep(benchmark::State& state) {
    Vphob::setGravity(-359834);
    Ref<Vphob> ball = make<Vphob>();
    ball->setTerrain(course());
    int64_t steps = 0;
    for (auto _ : state) {
        ball->setPosition(200 * one, 40 * one, 480 * one);
        ball->setVelocity(3 * one, 12 * one, -60 * one);
        ball->wind().set(one, 0, 0);
        for (int i = 0; i < 200; ++i) {
            ball->step(512);
        }
        steps += 200;
        benchmark::DoNotOptimize(ball->position().x);
    }
    state.SetItemsProcessed(steps);
}
BENCHMARK(BM_PhobStep)->Unit(benchmark::kMicrosecond);

}  // namespace
