#include "game/Course.h"

#include "runtime/Assert.h"

namespace fairholm {

const Course::Hole Course::holeTable[holeCount] = {
    {89, 436, 75, 76, 75, 76},     {178, 95, 187, 252, 187, 252},  {291, 461, 472, 56, 300, 167},
    {89, 441, 94, 71, 94, 71},     {193, 150, 190, 332, 190, 332}, {282, 450, 459, 57, 303, 251},
    {175, 449, 88, 134, 161, 202}, {272, 268, 279, 380, 279, 380}, {426, 444, 307, 61, 411, 304},
    {88, 436, 92, 94, 92, 94},     {176, 196, 184, 386, 184, 386}, {447, 465, 236, 67, 427, 183},
    {75, 447, 150, 138, 90, 215},  {191, 252, 190, 428, 203, 432}, {289, 460, 462, 62, 288, 169},
    {90, 402, 84, 97, 84, 97},     {165, 152, 175, 385, 175, 388}, {442, 457, 199, 56, 452, 216},
};

const uint8_t Course::parTable[holeCount] = {4, 3, 5, 4, 3, 5, 4, 3, 5, 4, 3, 5, 4, 3, 5, 4, 3, 5};

const char* const Course::holePackTable[holeCount] = {
    "holes_1-3",   "holes_1-3",   "holes_1-3",   "holes_4-6",   "holes_4-6",   "holes_4-6",
    "holes_7-9",   "holes_7-9",   "holes_7-9",   "holes_10-12", "holes_10-12", "holes_10-12",
    "holes_13-15", "holes_13-15", "holes_13-15", "holes_16-18", "holes_16-18", "holes_16-18",
};

const Course::Hole& Course::hole(int32_t index) {
    FAIRHOLM_ASSERT(isHole(index));
    return holeTable[index];
}

int32_t Course::par(int32_t index) {
    FAIRHOLM_ASSERT(isHole(index));
    return parTable[index];
}

int32_t Course::parThrough(int32_t index) {
    int32_t total = 0;
    for (int32_t i = 0; i <= index && i < holeCount; ++i) {
        total += parTable[i];
    }
    return total;
}

Ref<String> Course::holePack(int32_t index) {
    FAIRHOLM_ASSERT(isHole(index));
    return lit(holePackTable[index]);
}

bool Course::isTee(int32_t index, fixed x, fixed z) {
    const Hole& h = hole(index);
    return (x >> 15) == h.teeX && (z >> 15) == h.teeZ;
}

}  // namespace fairholm
