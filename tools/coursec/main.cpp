// coursec <pack.course> <output file> [--overview <picture.png>] [--hole-overviews <prefix>]
// coursec --review-pack <golf.bin>   (stand-in pictures for looking at the courses)
//
// Compiles a course pack description into the SWF shape file the game loads, reads it
// back with the engine's loader, checks the holes and prints the pack's figures.

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "runtime/Version.h"
#include "tools/coursec/CourseCompiler.h"
#include "tools/coursec/CourseFigures.h"
#include "tools/coursec/CourseOverview.h"
#include "tools/coursec/CourseSource.h"

int main(int argc, char** argv) {
    if (fairholm::answerVersion(argc, argv, "coursec")) {
        return 0;
    }
    using namespace fairholm::coursec;
    if (argc == 3 && std::strcmp(argv[1], "--review-pack") == 0) {
        return CourseOverview::writeReviewPack(argv[2]) ? 0 : 1;
    }
    const char* usage =
        "usage: coursec <pack.course> <output file> [--overview <picture.png>] [--hole-overviews <prefix>]\n";
    if (argc < 3) {
        std::fputs(usage, stderr);
        return 2;
    }
    const char* overview = nullptr;
    const char* holeOverviews = nullptr;
    for (int i = 3; i < argc; i += 2) {
        const bool hasValue = i + 1 < argc;
        if (hasValue && std::strcmp(argv[i], "--overview") == 0) {
            overview = argv[i + 1];
        } else if (hasValue && std::strcmp(argv[i], "--hole-overviews") == 0) {
            holeOverviews = argv[i + 1];
        } else {
            std::fputs(usage, stderr);
            return 2;
        }
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "coursec: cannot read %s\n", argv[1]);
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    CourseSource source;
    std::string error;
    if (!source.parse(text.str(), error)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], error.c_str());
        return 1;
    }
    CourseCompiler compiler(source);
    if (!compiler.check(error)) {
        std::fprintf(stderr, "%s: errors:\n%s", argv[1], error.c_str());
        return 1;
    }
    const std::vector<std::uint8_t> bytes = compiler.build();
    std::FILE* out = std::fopen(argv[2], "wb");
    const bool written = out != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    if (out == nullptr || std::fclose(out) != 0 || !written) {
        std::fprintf(stderr, "coursec: cannot write %s\n", argv[2]);
        return 1;
    }
    CourseFigures figures;
    if (!figures.measure(argv[2])) {
        std::fprintf(stderr, "coursec: cannot read back %s\n", argv[2]);
        return 1;
    }
    std::string problems;
    if (figures.crossings() > CourseCompiler::crossingBudget) {
        problems += "the map needs " + std::to_string(figures.crossings()) + " crossings, more than " +
                    std::to_string(CourseCompiler::crossingBudget) + "\n";
    }
    figures.checkHoles(source, problems);
    std::fputs(figures.report(source.name()).c_str(), stdout);
    if (!problems.empty()) {
        std::remove(argv[2]);
        std::fprintf(stderr, "%s: errors:\n%s", argv[1], problems.c_str());
        return 1;
    }
    if (overview && !CourseOverview::write(argv[2], source.holes(), overview)) {
        std::fprintf(stderr, "coursec: cannot write the overview %s\n", overview);
        return 1;
    }
    if (holeOverviews && !CourseOverview::writeHoles(argv[2], source.holes(), holeOverviews)) {
        std::fprintf(stderr, "coursec: cannot write the hole overviews %s*.png\n", holeOverviews);
        return 1;
    }
    return 0;
}
