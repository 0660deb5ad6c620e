#include "bench/TerrainCourse.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "engine/render3d/Vpolyn.h"
#include "engine/render3d/Vswf.h"
#include "runtime/ProgramDirectory.h"
#include "runtime/String.h"
#include "tools/formats/SwfWriter.h"

namespace fairholm::bench {

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

}  // namespace

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

const Camera cameras[cameraCount] = {
    {256 * one, 500 * one, 0},
    {40 * one, 40 * one, 12288},
    {300 * one, 200 * one, 24576},
    {128 * one, 400 * one, 3000},
};

}  // namespace fairholm::bench
