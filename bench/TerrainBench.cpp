#include <benchmark/benchmark.h>

#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <thread>
#include <vector>

#include "engine/render3d/RayBatch.h"
#include "engine/render3d/Vphob.h"
#include "engine/render3d/VpolyTerrain.h"
#include "engine/render3d/Vswf.h"
#include "engine/render3d/Vterrain.h"
#include "runtime/Array.h"
#include "runtime/Fixed.h"
#include "runtime/ProgramDirectory.h"
#include "runtime/String.h"
#include "runtime/WorkerThread.h"
#include "tools/formats/SwfWriter.h"

using namespace fairholm;
using fx::one;

namespace {

// A hilly 512 x 512 course: a grid of nested oval regions (rough, fairway, hill top,
// bunker...) of 48 palette entries with levels spread over 0..200, about 12000
// crossings once drawn.
struct Oval {
    double cx, cy, rx, ry;
    int fill;
    int outside;
};

std::vector<Oval> courseOvals() {
    std::vector<Oval> ovals;
    uint32_t seed = 2024;
    auto next = [&seed]() {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<double>(seed >> 8) / static_cast<double>(1u << 24);
    };
    const int cells = 8;
    const double cell = 512.0 / cells;
    for (int gy = 0; gy < cells; ++gy) {
        for (int gx = 0; gx < cells; ++gx) {
            const double cx = (gx + 0.5) * cell + (next() - 0.5) * 8;
            const double cy = (gy + 0.5) * cell + (next() - 0.5) * 8;
            double rx = cell * (0.30 + 0.15 * next());
            double ry = cell * (0.30 + 0.15 * next());
            int outside = 0;
            for (int depth = 0; depth < 3; ++depth) {
                const int fill = 1 + static_cast<int>(next() * 46);
                ovals.push_back({cx, cy, rx, ry, fill, outside});
                outside = fill;
                rx *= 0.55;
                ry *= 0.55;
            }
        }
    }
    return ovals;
}

// Region colours: the blue channel is the height level the terrain reads.
uint32_t regionColour(int fill) {
    const uint32_t level = static_cast<uint32_t>((fill * 37) % 200);
    return 0xFF000000u | static_cast<uint32_t>(fill * 5) << 16 | static_cast<uint32_t>(fill * 3) << 8 | level;
}

// The course as a shape file: one shape per oval, its outline with the oval's fill on
// the inside and the surrounding region's fill outside (style 1 is the surrounding
// region, style 2 the oval's own).
std::vector<uint8_t> courseSwf() {
    const int32_t twipsPerPixel = 20;
    SwfWriter swf(512 * twipsPerPixel, 512 * twipsPerPixel);
    const int sides = 32;
    for (const Oval& o : courseOvals()) {
        swf.beginShape(1);
        const int outside = swf.addSolidFill(regionColour(o.outside));
        const int inside = swf.addSolidFill(regionColour(o.fill));
        for (int i = 0; i <= sides; ++i) {
            const double a = 2 * M_PI * i / sides;
            const auto x = static_cast<int32_t>((o.cx + o.rx * std::cos(a)) * twipsPerPixel);
            const auto y = static_cast<int32_t>((o.cy + o.ry * std::sin(a)) * twipsPerPixel);
            if (i == 0) {
                swf.moveTo(x, y);
                // Clockwise on screen: the inside lies left of a downward edge.
                swf.setFills(outside, inside);
            } else {
                swf.lineTo(x, y);
            }
        }
        swf.endShape();
    }
    return swf.finish();
}

// Writes the course file into the program directory once.
const String& courseFile() {
    static Ref<String> name = [] {
        ProgramDirectory::set(std::filesystem::temp_directory_path().c_str());
        const std::vector<uint8_t> bytes = courseSwf();
        std::FILE* f =
            std::fopen((std::filesystem::temp_directory_path() / "fairholm-bench-course").c_str(), "wb");
        if (f) {
            std::fwrite(bytes.data(), 1, bytes.size(), f);
            std::fclose(f);
        }
        return String::copyOf("fairholm-bench-course");
    }();
    return *name;
}

// The game's loading of one course: the shapes, then per palette entry its texture,
// level and surface, then the height grid.
void loadCourse(VpolyTerrain& terrain) {
    Ref<Vswf> reader = make<Vswf>();
    reader->load(Ref<Vpolyn>(&terrain), courseFile(), 512, 512, 12469, 48, 0);
    for (int i = 0; i < 48; ++i) {
        terrain.setPaletteImage(i, nullptr, 1 + i % 7);
        terrain.setColor(i, terrain.paletteColor(i) & 0xFF);
        terrain.setSurfaceProperties(i, 0x4000, 0);
    }
    terrain.buildHeightMap();
}

Ref<VpolyTerrain> course() {
    static Ref<VpolyTerrain> terrain = [] {
        Ref<VpolyTerrain> t = make<VpolyTerrain>();
        loadCourse(*t);
        return t;
    }();
    return terrain;
}

struct Camera {
    fixed x, z;
    angle heading;
};
const Camera cameras[] = {
    {256 * one, 500 * one, 0},
    {40 * one, 40 * one, 12288},
    {300 * one, 200 * one, 24576},
    {128 * one, 400 * one, 3000},
};

// Keeps a core busy while it lives, as any other program on the machine would.
class BusyCore {
public:
    explicit BusyCore(bool on) {
        if (on) {
            m_thread = std::thread([this] {
                uint64_t spins = 0;
                while (!m_stop.load(std::memory_order_relaxed)) {
                    benchmark::DoNotOptimize(++spins);
                }
            });
        }
    }
    ~BusyCore() {
        m_stop.store(true);
        if (m_thread.joinable()) {
            m_thread.join();
        }
    }

private:
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
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
    for (auto _ : state) {
        const Camera& c = cameras[i++ & 3];
        view->setHeading(c.heading);
        view->placeCamera(c.x, 141986, c.z);
        view->drawTerrain(target, width, height, 0, 0, width, height);
        benchmark::DoNotOptimize(target.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * width * height);
    RayBatch::limitTo(RayBatch::Kernel::avx512);
    WorkerThread::setThreadsAllowed(true);
}
// Width, height, the widest ray batch kernel to use (RayBatch::Kernel: 5 AVX-512
// registers, 4 AVX2, 1 the four-lane kernel of the build (SSE4.1 on x86), 0 none: the
// one-column caster; the processor may limit it further), the helper thread (1) or the
// owner alone (0), and another core kept busy by a spinning thread (1) or not. The time
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
    ->Args({240, 320, 4, 1, 0})
    ->Args({240, 320, 1, 1, 0})
    ->Args({240, 320, 0, 1, 0})
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
