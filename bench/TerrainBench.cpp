#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <vector>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

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
        const Camera& c = cameras[i++ & 3];
        view->setHeading(c.heading);
        view->placeCamera(c.x, 141986, c.z);
        view->drawTerrain(target, width, height, 0, 0, width, height);
        benchmark::DoNotOptimize(target.data());
        if (i <= 4) {
            for (int32_t x = 0; x < width; ++x) {
                ground += height - view->columnTop()[x];
            }
        }
    }
    // Rows of ground a column, over the four cameras.
    state.counters["ground"] = static_cast<double>(ground) / (4.0 * width);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * width * height);
    RayBatch::limitTo(RayBatch::Kernel::avx512);
    WorkerThread::setThreadsAllowed(true);
}
// Width, height, the widest ray batch kernel to use (2 AVX-512 registers, 1 AVX2, 0
// none: the one-column caster; the processor may limit it further), the helper thread
// (1) or the owner alone (0), and another core kept busy by a spinning process (1) or
// not. The time that counts is the wall time; the helper must never make a frame
// slower, a busy core or not.
BENCHMARK(BM_DrawTerrain)
    ->ArgNames({"width", "height", "kernel", "helper", "busy"})
    ->ArgsProduct({{240}, {320}, {2}, {0, 1}, {0, 1}})
    ->ArgsProduct({{480}, {640}, {2}, {0, 1}, {0, 1}})
    ->ArgsProduct({{1280}, {720}, {2}, {0, 1}, {0, 1}})
    ->Args({240, 320, 1, 0, 0})
    ->Args({240, 320, 0, 0, 0})
    ->Args({1280, 720, 0, 0, 0})
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);

// The other common way of drawing a height field, as a yardstick: the front-to-back
// sweep with a y-buffer. Lines of equal distance cross the view from the nearest to
// the farthest; on each, every column takes the height and colour of the map at its
// point (the nearest texel, no filtering or shading), projects the height to a row and
// fills from there down to the highest row it has filled so far (beyond the map:
// the default height). Nearer ground hides
// what lies behind it without a test. It reads one word a sample from a colour map of
// 1024 x 1024 texels over the course (half a yard each: the resolution of our
// textures) with the level in the top byte, and has the same eye, heading, horizon,
// frame, reach (from 4.5 to 255.5 grid cells, 2 yards each) and sky as BM_DrawTerrain.
// The lines start a texel apart and each is 0.035 texel farther from the next than the
// last: about 212 lines, 8 texels apart at the far end.
class SweepReference {
public:
    static constexpr int side = 1024;

    SweepReference() : m_map(side * side) {
        Ref<VpolyTerrain> terrain = course();
        // Beyond the map, the default height, as our rays see it.
        m_outside = static_cast<uint32_t>(terrain->defaultHeight() >> 12) << 24;
        for (int ty = 0; ty < side; ++ty) {
            for (int tx = 0; tx < side; ++tx) {
                const fixed x = tx * (one / 2) + one / 4;
                const fixed z = ty * (one / 2) + one / 4;
                const int32_t region = terrain->regionAt(x, z);
                const auto level = static_cast<uint32_t>(terrain->heightAt(x, z) >> 12);
                const uint32_t colour = static_cast<uint32_t>(region * 0x9E3779B1u) >> 8;
                m_map[ty * side + tx] = level << 24 | colour;
            }
        }
    }

    void draw(int32_t* target, int32_t width, int32_t height, int32_t horizon, const Camera& c, fixed eye,
              const int32_t* sky) {
        m_rows.assign(width, height);
        m_height = height;
        const double heading = c.heading * (2 * M_PI / 65536);
        const double sinH = std::sin(heading);
        const double cosH = std::cos(heading);
        // In texels: the eye, a line's forward direction and its spread per column at
        // one texel of distance (our rays widen by 4 units a column for 2048 forward).
        const double eyeX = c.x / (one / 2.0);
        const double eyeZ = c.z / (one / 2.0);
        const double across = 4.0 / 2048.0;
        const double eyeLevel = eye / 4096.0;
        // Rows per level at one texel: our rays fall 4 units a row for each step of
        // 2048 forward, in units of 1/4096 of a level and 1/16 of a yard = 1/8 texel.
        const double rowsPerLevel = 4096.0 / (4.0 * 8.0);
        m_lines = 0;
        for (double z = 18, dz = 1; z < 1022; z += dz, dz += 0.035) {
            ++m_lines;
            const double spread = z * across;
            double px = eyeX + z * sinH - (width / 2.0) * spread * cosH;
            double pz = eyeZ - z * cosH - (width / 2.0) * spread * sinH;
            const double stepX = spread * cosH;
            const double stepZ = spread * sinH;
            const double scale = rowsPerLevel / z;
            for (int32_t col = 0; col < width; ++col, px += stepX, pz += stepZ) {
                const auto tx = static_cast<uint32_t>(static_cast<int32_t>(px));
                const auto tz = static_cast<uint32_t>(static_cast<int32_t>(pz));
                const uint32_t texel = (tx | tz) < side ? m_map[tz * side + tx] : m_outside;
                int32_t row = horizon + static_cast<int32_t>((eyeLevel - (texel >> 24)) * scale);
                int32_t& lowest = m_rows[col];
                if (row < lowest) {
                    row = row < 0 ? 0 : row;
                    const auto colour = static_cast<int32_t>(texel & 0xFFFFFF);
                    for (int32_t y = row; y < lowest; ++y) {
                        target[y * width + col] = colour;
                    }
                    lowest = row;
                }
            }
        }
        for (int32_t col = 0; col < width; ++col) {
            for (int32_t y = 0; y < m_rows[col]; ++y) {
                target[y * width + col] = sky[y];
            }
        }
    }
    int32_t lines() const { return m_lines; }
    // The rows of ground drawn in the last frame, over all columns.
    int64_t groundRows() const {
        int64_t rows = 0;
        for (const int32_t top : m_rows) {
            rows += static_cast<int64_t>(m_rows.size() > 0 ? m_height - top : 0);
        }
        return rows;
    }

private:
    std::vector<uint32_t> m_map;
    uint32_t m_outside = 0;
    std::vector<int32_t> m_rows;
    int32_t m_lines = 0;
    int32_t m_height = 0;
};

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
        const Camera& c = cameras[i++ & 3];
        // The eye above the ground under it, as placeCamera puts it.
        sweep.draw(target.data(), width, height, horizon, c, course()->heightAt(c.x, c.z) + 141986,
                   sky.data());
        benchmark::DoNotOptimize(target.data());
        if (i <= 4) {
            ground += sweep.groundRows();
        }
    }
    state.counters["lines"] = sweep.lines();
    state.counters["ground"] = static_cast<double>(ground) / (4.0 * width);
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
