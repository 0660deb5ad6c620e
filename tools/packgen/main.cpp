// packgen: makes the pictures of the image pack "golf" from the sources in a pictures
// folder and writes the pack, optionally with a contact sheet of all pictures.
//
//   packgen <pictures folder> <font folder> <golf.bin> [--sheet <contact-sheet.png>]
//
// With --sheet it also writes male-strip.png and female-strip.png beside the sheet.
// For trying pictures out: PACKGEN_LOOSE keeps golfer frames that leave their canvas,
// PACKGEN_PREVIEW="<first> <count> <scale> <png>" writes an enlarged strip of pictures,
// PACKGEN_BOUNDS lists the visible extent of every picture.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include "runtime/Version.h"
#include "tools/packgen/ContactSheet.h"
#include "tools/packgen/PackBuilder.h"

int main(int argc, char** argv) {
    if (fairholm::answerVersion(argc, argv, "packgen")) {
        return 0;
    }
    if (argc != 4 && !(argc == 6 && std::string(argv[4]) == "--sheet")) {
        std::fprintf(stderr, "usage: packgen <pictures folder> <font folder> <golf.bin> [--sheet <png>]\n");
        return 2;
    }
    fairholm::packgen::PackBuilder builder(argv[1], argv[2]);
    builder.setLoose(std::getenv("PACKGEN_LOOSE") != nullptr);
    std::string error;
    if (!builder.build(error) || !builder.writePack(argv[3], error)) {
        std::fprintf(stderr, "packgen: %s\n", error.c_str());
        return 1;
    }
    if (argc == 6 &&
        !fairholm::packgen::ContactSheet::write(builder.pictures(), builder.font("labels"), argv[5], error)) {
        std::fprintf(stderr, "packgen: %s\n", error.c_str());
        return 1;
    }
    if (const char* preview = std::getenv("PACKGEN_PREVIEW")) {
        int first = 0, count = 0, scale = 0;
        char path[512] = {0};
        if (std::sscanf(preview, "%d %d %d %511s", &first, &count, &scale, path) == 4) {
            fairholm::packgen::ContactSheet::writeStrip(builder.pictures(), first, count, scale, path);
        }
    }
    if (std::getenv("PACKGEN_BOUNDS") != nullptr) {
        for (const auto& p : builder.pictures()) {
            int l = p.width, t = p.height, r = -1, b = -1;
            for (int y = 0; y < p.height; ++y) {
                for (int x = 0; x < p.width; ++x) {
                    if ((p.argb[static_cast<size_t>(y * p.width + x)] >> 24) > 16) {
                        l = std::min(l, x), t = std::min(t, y), r = std::max(r, x), b = std::max(b, y);
                    }
                }
            }
            std::printf("%-16s %3d x %3d  opaque %3d..%3d x %3d..%3d\n", p.label.c_str(), p.width, p.height,
                        l, r, t, b);
        }
    }
    // The golfers' animation strips beside the sheet.
    if (argc == 6) {
        const std::string sheet = argv[5];
        const std::string stem = sheet.substr(0, sheet.rfind('/') + 1);
        for (const auto& [first, name] :
             {std::pair{13, "male-strip.png"}, std::pair{36, "female-strip.png"}}) {
            if (!fairholm::packgen::ContactSheet::writeStrip(builder.pictures(), first, 23, 3, stem + name)) {
                std::fprintf(stderr, "packgen: cannot write %s%s\n", stem.c_str(), name);
                return 1;
            }
        }
    }
    return 0;
}
