// libFuzzer target: arbitrary bytes as a shape file, drawn into a small picture, then
// looked up and painted.
#include <cstddef>
#include <cstdint>

#include "engine/render3d/Vpolyn.h"
#include "engine/render3d/Vswf.h"
#include "fuzz/FuzzFile.h"

using namespace fairholm;

// Keeps the lookups from being optimised away.
volatile int32_t lookupSink = 0;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::writeInput("input", data, size);

    // The first byte picks the picture size, the palette size and the turn.
    const int32_t side = 16 + (size > 0 ? data[0] % 64 : 0);
    const int32_t palette = size > 1 ? data[1] % 70 : 4;
    const angle turn = size > 2 ? data[2] << 7 : 0;
    Ref<Vpolyn> picture = make<Vpolyn>();
    Ref<Vswf> reader = make<Vswf>();
    reader->load(picture, *lit("input"), side, side, 32, palette, turn);

    IntArray pixels = newIntArray(side * side);
    picture->paintShapes(pixels, side, side, 0, 0, side, side, 0, 0, 0x8000);
    picture->paintShapes(pixels, side, side, 0, 0, side, side, 3, -2, 0x3000);
    int32_t sum = 0;
    for (int32_t y = -2; y < side + 2; ++y) {
        for (int32_t x = -2; x < side + 2; ++x) {
            sum += picture->colorAt((x << 15) + 0x3000, (y << 15) + 0x5000);
        }
    }
    lookupSink = sum;
    return 0;
}
