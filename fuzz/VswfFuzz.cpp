// libFuzzer target: arbitrary bytes as a shape file, drawn into a small picture, then
// looked up and painted.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "engine/render3d/Vpolyn.h"
#include "engine/render3d/Vswf.h"
#include "runtime/ProgramDirectory.h"

using namespace fairholm;

namespace {

const std::string& workDirectory() {
    static const std::string dir = [] {
        char pattern[] = "/tmp/fairholm-fuzz-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        return std::string(made ? made : "/tmp");
    }();
    return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& dir = workDirectory();
    ProgramDirectory::set(dir.c_str());
    const std::string path = dir + "/input";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        return 0;
    }
    if (size > 0) {
        std::fwrite(data, 1, size, f);
    }
    std::fclose(f);

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
    return sum == 0x12345678 ? 0 : 0;
}
