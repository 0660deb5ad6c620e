#pragma once

#include <cstdint>

#include "runtime/Fixed.h"
#include "runtime/Ref.h"
#include "runtime/String.h"

namespace fairholm {

// The course: 18 holes on a 512 x 512 yard square (pars 4, 3, 5 repeating), each with
// its tee, pin and first aim point in whole yards, and the course pack that draws it
// (three holes to a pack).
class Course {
public:
    struct Hole {
        int32_t teeX, teeZ, pinX, pinZ, aimX, aimZ;
    };

    static constexpr int32_t holeCount = 18;
    static constexpr int32_t lastHole = holeCount - 1;
    static const Hole holeTable[holeCount];
    static const uint8_t parTable[holeCount];
    static const char* const holePackTable[holeCount];

    static bool isHole(int32_t index) { return index >= 0 && index < holeCount; }
    static const Hole& hole(int32_t index);
    static int32_t par(int32_t index);
    // The pars of holes 0 to `index` added up.
    static int32_t parThrough(int32_t index);
    // The interned name of the hole's course pack.
    static Ref<String> holePack(int32_t index);
    // Whether the ground point (fixed units) lies on the hole's tee yard.
    static bool isTee(int32_t index, fixed x, fixed z);
};

}  // namespace fairholm
