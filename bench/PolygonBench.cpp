#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "engine/render3d/Vpolyn.h"
#include "engine/render3d/Vswf.h"
#include "runtime/ProgramDirectory.h"
#include "tools/formats/SwfWriter.h"

using namespace fairholm;
namespace fs = std::filesystem;

namespace {

constexpr int32_t kMapSize = 512;
constexpr int32_t kCourseCapacity = 12469;
constexpr int32_t kCoursePalette = 48;

// An ellipse from eight quadratic arcs, `inside` within and `outside` around it.
void ellipse(SwfWriter& w, double cx, double cy, double rx, double ry, int inside, int outside) {
    const double k = 1.0 / std::cos(M_PI / 8);
    const auto at = [&](double a, double scale, int32_t& x, int32_t& y) {
        x = static_cast<int32_t>(std::lround(cx + rx * scale * std::cos(a)));
        y = static_cast<int32_t>(std::lround(cy + ry * scale * std::sin(a)));
    };
    int32_t x = 0, y = 0;
    at(0, 1, x, y);
    w.moveTo(x, y);
    w.setFills(outside, inside);  // clockwise on screen
    for (int i = 0; i < 8; ++i) {
        int32_t qx = 0, qy = 0;
        at(M_PI / 4 * i + M_PI / 8, k, qx, qy);
        at(M_PI / 4 * (i + 1), 1, x, y);
        w.curveTo(qx, qy, x, y);
    }
}

// A course-like map of about 12000 crossings: rough over the whole frame, fairways
// with greens and bunkers inside them, water and trees, laid out without overlaps.
std::vector<uint8_t> courseFile() {
    const int32_t frame = 8192;  // 16 twips per map pixel
    SwfWriter w(frame, frame);
    w.beginShape(3);
    const int rough = w.addSolidFill(0xFF006000);
    const int fairway = w.addSolidFill(0xFF008000);
    const int green = w.addSolidFill(0xFF008080);
    const int bunker = w.addSolidFill(0xFFC0C080);
    const int water = w.addSolidFill(0xFF000080);
    const int trees = w.addSolidFill(0xFF004000);
    w.addPolygon(rough, {{0, 0}, {frame, 0}, {frame, frame}, {0, frame}});
    std::mt19937 rng(1);
    const auto uniform = [&](double lo, double hi) {
        return lo + (hi - lo) * static_cast<double>(rng()) / static_cast<double>(std::mt19937::max());
    };
    const int cells = 9;
    const double cell = static_cast<double>(frame) / cells;
    for (int gy = 0; gy < cells; ++gy) {
        for (int gx = 0; gx < cells; ++gx) {
            const double cx = (gx + 0.5) * cell;
            const double cy = (gy + 0.5) * cell;
            const double rx = uniform(0.30, 0.48) * cell;
            const double ry = uniform(0.30, 0.48) * cell;
            const int kind = (gx + gy * 3) % 4;
            if (kind == 3) {
                ellipse(w, cx, cy, rx, ry, (gx & 1) ? water : trees, rough);
                continue;
            }
            ellipse(w, cx, cy, rx, ry, fairway, rough);
            ellipse(w, cx - rx * 0.3, cy, rx * 0.4, ry * 0.5, green, fairway);
            ellipse(w, cx + rx * 0.55, cy + ry * 0.3, rx * 0.2, ry * 0.3, bunker, fairway);
        }
    }
    w.endShape();
    return w.finish();
}

class Course {
public:
    Course() {
        dir = fs::temp_directory_path() / ("fairholm-bench-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        ProgramDirectory::set(dir.c_str());
        const std::vector<uint8_t> bytes = courseFile();
        fileSize = static_cast<int64_t>(bytes.size());
        std::FILE* f = std::fopen((dir / "course").c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    ~Course() { fs::remove_all(dir); }
    fs::path dir;
    int64_t fileSize = 0;
};

Course& course() {
    static Course c;
    return c;
}

void BM_SwfLoadCourse(benchmark::State& state) {
    course();
    Ref<Vpolyn> map = make<Vpolyn>();
    Ref<Vswf> reader = make<Vswf>();
    for (auto _ : state) {
        reader->load(map, *lit("course"), kMapSize, kMapSize, kCourseCapacity, kCoursePalette, 0);
        benchmark::DoNotOptimize(map->edgeCount());
    }
    state.counters["crossings"] = map->edgeCount();
    state.counters["colours"] = map->paletteUsed();
    state.counters["bytes"] = static_cast<double>(course().fileSize);
}
BENCHMARK(BM_SwfLoadCourse)->Unit(benchmark::kMillisecond);

void BM_PolygonPaintMap(benchmark::State& state) {
    course();
    Ref<Vpolyn> map = make<Vpolyn>();
    make<Vswf>()->load(map, *lit("course"), kMapSize, kMapSize, kCourseCapacity, kCoursePalette, 0);
    const fixed scale = static_cast<fixed>(state.range(0));
    IntArray pixels = newIntArray(kMapSize * kMapSize);
    for (auto _ : state) {
        map->paintShapes(pixels, kMapSize, kMapSize, 0, 0, kMapSize, kMapSize, 0, 0, scale);
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
    const double perFrame = static_cast<double>(kMapSize) * kMapSize;
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * perFrame));
    // Seconds per pixel, shown with an SI prefix (n = nanoseconds).
    state.counters["per_pixel"] = benchmark::Counter(
        perFrame, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["crossings"] = map->edgeCount();
}
BENCHMARK(BM_PolygonPaintMap)->Arg(0x8000)->Arg(0x10000)->Arg(0x4000)->Unit(benchmark::kMicrosecond);

void BM_PolygonColorAtWalk(benchmark::State& state) {
    course();
    Ref<Vpolyn> map = make<Vpolyn>();
    make<Vswf>()->load(map, *lit("course"), kMapSize, kMapSize, kCourseCapacity, kCoursePalette, 0);
    int32_t sum = 0;
    for (auto _ : state) {
        // A row-by-row walk in half-pixel steps, as the map and terrain lookups do.
        for (int32_t y = 0; y < kMapSize << 15; y += 0x10000) {
            for (int32_t x = 0; x < kMapSize << 15; x += 0x4000) {
                sum += map->colorAt(x, y);
            }
        }
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations() * (kMapSize / 2) * (kMapSize * 2));
}
BENCHMARK(BM_PolygonColorAtWalk)->Unit(benchmark::kMicrosecond);

}  // namespace
