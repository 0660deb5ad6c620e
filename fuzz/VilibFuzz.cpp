// Loads arbitrary bytes as an image pack and draws every picture every way.
#include <cstddef>
#include <cstdint>

#include "engine/sprite/Vdisplay.h"
#include "engine/sprite/Vilib.h"
#include "fuzz/FuzzFile.h"
#include "tests/support/QuietPlatform.h"

using namespace fairholm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::writeInput("fuzz.bin", data, size);
    Ref<Vdisplay> display = make<Vdisplay>(make<fairholm::testing::QuietPlatform>());
    Ref<Vilib> pack = make<Vilib>(display, *lit("fuzz"));
    IntArray fb = newIntArray(64 * 48);
    const int32_t frames = pack->count() < 8 ? pack->count() : 8;
    for (int32_t frame = -1; frame <= frames; ++frame) {
        Ref<Vpicture> picture = pack->getPicture(frame);
        const int32_t w = picture ? picture->width() : 4;
        const int32_t h = picture ? picture->height() : 4;
        // Direct path (exact clip), then cached paths at several scales and opacities.
        pack->drawImage(frame, fb, 64, 48, 3, 2, 3 + w, 2 + h, 3 << 15, 2 << 15, 0x8000, 0, 0x8000);
        pack->drawImage(frame, fb, 64, 48, 0, 0, 64, 48, -(5 << 15), 7 << 15, 0x6000, 3, 0x4000);
        pack->drawImage(frame, fb, 64, 48, 10, 10, 40, 40, 10 << 15, 10 << 15, 0x18000, 9, 0x8000);
        if (Ref<Vpicture> loaded = pack->loadPicture(frame)) {
            loaded->drawShadow(fb, 64, 48, 0, 0, 64, 48, 2 << 15, 1 << 15, 0x8000, 0, 0x8000);
            loaded->drawShadow(fb, 64, 48, 5, 5, 60, 40, -(3 << 15), 4 << 15, 0x3000, 2, 0x80);
        }
    }
    pack->evict(1 << 20);
    return 0;
}
