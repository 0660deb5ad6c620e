// shapegen <description> <output file>
//
// Turns a text description of filled polygons into an SWF file of shape definitions.

#include <cstdio>
#include <fstream>
#include <sstream>

#include "runtime/Version.h"
#include "tools/shapegen/ShapeScript.h"

int main(int argc, char** argv) {
    if (fairholm::answerVersion(argc, argv, "shapegen")) {
        return 0;
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: shapegen <description> <output file>\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "shapegen: cannot read %s\n", argv[1]);
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    fairholm::shapegen::ShapeScript script;
    std::string error;
    if (!script.parse(text.str(), error)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 1;
    }
    const std::vector<std::uint8_t> bytes = script.build();
    std::FILE* out = std::fopen(argv[2], "wb");
    const bool written = out != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    if (out == nullptr || std::fclose(out) != 0 || !written) {
        std::fprintf(stderr, "shapegen: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
