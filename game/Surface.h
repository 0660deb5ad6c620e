#pragma once

#include <cstdint>

#include "engine/render3d/VpolyTerrain.h"
#include "engine/sprite/Vilib.h"
#include "runtime/Fixed.h"
#include "runtime/Ref.h"

namespace fairholm {

// What a course colour means for play. Every palette entry of a course pack is read as
// a surface kind, a height value (0 to 255, replacing the colour in the height grid)
// and the friction of the ground; the kind is also the number of the picture that
// textures that ground.
struct Surface {
    enum Kind : int32_t {
        rough = 1,
        fairway = 2,
        water = 3,   // the only water test of play
        green = 4,   // the putting surface: the only green test of the club choice
        fringe = 5,  // tee and fringe
        bunker = 6,
        heather = 7,
    };

    int32_t kind;
    int32_t height;
    fixed friction;

    // The surface of a palette colour 0xRRGGBB, by which of its channels are set.
    static Surface classify(uint32_t colour);
    // "rough", "fairway", ... for reports; "?" for a number that is no kind.
    static const char* name(int32_t kind);
    // Gives every palette entry of a freshly loaded course its surface: the texture of
    // its kind from `textures`, its height value and its friction (no bounce).
    static void dressTerrain(VpolyTerrain& terrain, const Ref<Vilib>& textures);
};

}  // namespace fairholm
