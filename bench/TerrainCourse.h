#pragma once

#include "engine/render3d/VpolyTerrain.h"
#include "runtime/Fixed.h"
#include "runtime/Ref.h"

// The course the terrain benchmarks draw (TerrainBench natively, TerrainWasmBench in
// node) and the cameras they draw it from.
namespace fairholm::bench {

// The game's loading of the course: the shapes, then per palette entry its texture,
// level and surface, then the height grid.
void loadCourse(VpolyTerrain& terrain);

// The course, loaded once.
Ref<VpolyTerrain> course();

struct Camera {
    fixed x, z;
    angle heading;
};
// The frames drawn in turn: four places and headings over the course.
constexpr int cameraCount = 4;
extern const Camera cameras[cameraCount];

}  // namespace fairholm::bench
