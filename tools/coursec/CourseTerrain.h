#pragma once

#include <string>

#include "engine/render3d/VpolyTerrain.h"
#include "engine/sprite/Vilib.h"
#include "game/Clubs.h"
#include "runtime/Ref.h"

namespace fairholm::coursec {

// A compiled course pack loaded the way the game loads one: read by the shape loader
// into a 512 x 512 terrain (12469 crossings reserved, 48 palette entries), every
// palette colour classified into a surface (texture image, height level, friction,
// no bounce), the height grid built and the ball's gravity set.
class CourseTerrain {
public:
    // The loaded terrain, or an empty handle when the file cannot be read. `textures`
    // (may be empty) becomes the terrain's image library.
    static Ref<VpolyTerrain> load(const std::string& path, Ref<Vilib> textures = Ref<Vilib>());

    // Gravity the game gives the ball body when it loads a course.
    static constexpr int32_t gravity = -Clubs::gravity;
};

}  // namespace fairholm::coursec
