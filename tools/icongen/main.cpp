// icongen <output folder>
//
// Writes the program's icon in every form the installations use: fairholm.svg (the
// drawing), fairholm-N.png for N = 16, 22, 24, 32, 48, 64, 128, 256 and fairholm.ico
// (16, 32 and 48 pixels, the Windows game's).

#include <png.h>

#include <cstdio>
#include <string>
#include <vector>

#include "runtime/Version.h"
#include "tools/icongen/Icon.h"

namespace {

bool writeFile(const std::string& path, const void* bytes, size_t length) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    const bool written = out && std::fwrite(bytes, 1, length, out) == length;
    return out && std::fclose(out) == 0 && written;
}

bool writePng(const std::string& path, int size) {
    const std::vector<uint32_t> argb = fairholm::icongen::Icon::render(size);
    std::vector<uint8_t> rgba;
    rgba.reserve(argb.size() * 4);
    for (uint32_t p : argb) {
        rgba.insert(rgba.end(), {static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8),
                                 static_cast<uint8_t>(p), static_cast<uint8_t>(p >> 24)});
    }
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(size);
    image.height = static_cast<png_uint_32>(size);
    image.format = PNG_FORMAT_RGBA;
    return png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr) != 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (fairholm::answerVersion(argc, argv, "icongen")) {
        return 0;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: icongen <output folder>\n");
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    const std::string svg = fairholm::icongen::Icon::svg();
    bool ok = writeFile(folder + "fairholm.svg", svg.data(), svg.size());
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        ok = writePng(folder + "fairholm-" + std::to_string(size) + ".png", size) && ok;
    }
    const std::vector<uint8_t> ico = fairholm::icongen::Icon::ico({16, 32, 48});
    ok = writeFile(folder + "fairholm.ico", ico.data(), ico.size()) && ok;
    if (!ok) {
        std::fprintf(stderr, "icongen: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
