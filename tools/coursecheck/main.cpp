// coursecheck [--verbose] [--effort N] <program directory> [pack...]
//
// Plays every hole of the course packs found in the program directory with the game's
// physics and rules and prints a table of strokes against par. Exits with 1 when a
// hole cannot be completed within par + 2.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "game/Clubs.h"
#include "game/Course.h"
#include "tools/coursec/CourseTerrain.h"
#include "tools/coursecheck/CourseChecker.h"

int main(int argc, char** argv) {
    using namespace fairholm;
    bool verbose = false;
    int effort = 1;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--verbose") == 0) {
            verbose = true;
        } else if (std::strcmp(argv[i], "--effort") == 0 && i + 1 < argc) {
            effort = std::atoi(argv[++i]);
        } else {
            args.push_back(argv[i]);
        }
    }
    if (args.empty()) {
        std::fprintf(stderr, "usage: coursecheck [--verbose] [--effort N] <program directory> [pack...]\n");
        return 2;
    }
    const std::string dir = args[0] + "/";
    int failures = 0, total = 0, totalPar = 0;
    std::printf("| Hole | Par | Strokes | Strokes played |\n|---:|---:|---:|---|\n");
    Ref<VpolyTerrain> terrain;
    std::string loaded;
    for (int32_t hole = 0; hole < Course::holeCount; ++hole) {
        const std::string pack = Course::holePackTable[hole];
        if (args.size() > 1 && std::find(args.begin() + 1, args.end(), pack) == args.end()) {
            continue;
        }
        if (pack != loaded) {
            terrain = coursec::CourseTerrain::load(dir + pack);
            loaded = pack;
            if (!terrain) {
                std::fprintf(stderr, "coursecheck: cannot read %s%s\n", dir.c_str(), pack.c_str());
                return 1;
            }
        }
        coursecheck::CourseChecker checker(terrain, effort);
        const coursecheck::CourseChecker::HoleResult result = checker.playHole(hole);
        std::string clubs;
        for (const auto& stroke : result.log) {
            clubs += (clubs.empty() ? "" : ", ") + std::string(Clubs::name(stroke.club));
            if (stroke.shot.outcome == coursecheck::CourseChecker::Outcome::Water) {
                clubs += " (water)";
            } else if (stroke.shot.outcome == coursecheck::CourseChecker::Outcome::OutOfBounds) {
                clubs += " (out of bounds)";
            }
        }
        std::printf("| %d | %d | %d%s | %s |\n", hole + 1, result.par, result.strokes,
                    result.holed ? "" : " (not holed)", clubs.c_str());
        if (verbose) {
            for (const auto& stroke : result.log) {
                std::printf("    %s\n", coursecheck::CourseChecker::describe(stroke).c_str());
            }
        }
        std::fflush(stdout);
        total += result.strokes;
        totalPar += result.par;
        if (!result.holed || result.strokes > result.par + 2) {
            ++failures;
        }
    }
    std::printf("| Total | %d | %d | |\n", totalPar, total);
    return failures == 0 ? 0 : 1;
}
