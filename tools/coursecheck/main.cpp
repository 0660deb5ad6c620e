// coursecheck [--verbose] [--effort N] <program directory> [pack...]
// coursecheck --human [--attempts N] [--seed S] [--effort N] <program directory> [pack...]
//
// Plays every hole of the course packs found in the program directory with the game's
// physics and rules and prints a table of strokes against par. Exits with 1 when a
// hole cannot be completed within par + 2.
//
// With --human each hole is also played N times (200 unless given) by a person of
// club-golfer skill (HumanPlayer, seeded by S, 1 unless given), and the table shows the
// perfect player's strokes beside the person's mean, its spread, how often the hole went
// to par + 3 or worse and how often the ball found water, went out of bounds, or was
// played from a bunker or the rough; then the targets of the course design each hole
// misses.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "game/Clubs.h"
#include "game/Course.h"
#include "game/Surface.h"
#include "runtime/Version.h"
#include "tools/coursec/CourseTerrain.h"
#include "tools/coursecheck/CourseChecker.h"
#include "tools/coursecheck/HumanPlayer.h"

namespace {

using namespace fairholm;

// The perfect player's strokes beside the person's figures, one row a hole.
void printHumanRow(const coursecheck::CourseChecker::HoleResult& perfect,
                   const coursecheck::HumanPlayer::HoleStats& human) {
    std::printf("| %d | %d | %d%s | %.2f | %.2f | %.1f | %.1f | %.1f | %.1f | %.1f |\n", human.hole + 1,
                human.par, perfect.strokes, perfect.holed ? "" : " (not holed)", human.mean, human.sd,
                100 * human.share(4), 100 * human.waterShare(), 100 * human.outOfBoundsShare(),
                100 * human.shareFrom(Surface::bunker), 100 * human.shareFrom(Surface::rough));
}

}  // namespace

int main(int argc, char** argv) {
    if (fairholm::answerVersion(argc, argv, "coursecheck")) {
        return 0;
    }
    bool verbose = false, human = false;
    int effort = 1, attempts = coursecheck::HumanPlayer::defaultAttempts;
    uint64_t seed = 1;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--verbose") == 0) {
            verbose = true;
        } else if (std::strcmp(argv[i], "--effort") == 0 && i + 1 < argc) {
            effort = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--human") == 0) {
            human = true;
        } else if (std::strcmp(argv[i], "--attempts") == 0 && i + 1 < argc) {
            attempts = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--seed") == 0 && i + 1 < argc) {
            seed = std::strtoull(argv[++i], nullptr, 10);
        } else {
            args.push_back(argv[i]);
        }
    }
    if (args.empty()) {
        std::fprintf(stderr,
                     "usage: coursecheck [--verbose] [--effort N] <program directory> [pack...]\n"
                     "       coursecheck --human [--attempts N] [--seed S] <program directory> [pack...]\n");
        return 2;
    }
    const std::string dir = args[0] + "/";
    int failures = 0, total = 0, totalPar = 0;
    double humanTotal = 0, humanVariance = 0;
    std::vector<coursecheck::HumanPlayer::HoleStats> humanHoles;
    if (human) {
        std::printf(
            "| Hole | Par | Perfect | Human mean | SD | %% par+3 or worse | Water %% | OOB %% | Bunker %% | "
            "Rough %% |\n"
            "|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    } else {
        std::printf("| Hole | Par | Strokes | Strokes played |\n|---:|---:|---:|---|\n");
    }
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
        total += result.strokes;
        totalPar += result.par;
        if (!result.holed || result.strokes > result.par + 2) {
            ++failures;
        }
        if (human) {
            coursecheck::HumanPlayer player(terrain, seed);
            humanHoles.push_back(player.playHole(hole, attempts));
            printHumanRow(result, humanHoles.back());
            humanTotal += humanHoles.back().mean;
            humanVariance += humanHoles.back().sd * humanHoles.back().sd;
            std::fflush(stdout);
            continue;
        }
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
    }
    if (human) {
        std::printf("| Round | %d | %d | %.2f | %.2f | | | | | |\n", totalPar, total, humanTotal,
                    std::sqrt(humanVariance));
        const std::vector<std::string> missed = coursecheck::HumanPlayer::missedTargets(humanHoles);
        std::printf("\nTargets for people (%d attempts a hole, seed %llu): %s\n", attempts,
                    static_cast<unsigned long long>(seed), missed.empty() ? "all met" : "missed by");
        for (const std::string& line : missed) {
            std::printf("  %s\n", line.c_str());
        }
        return failures == 0 ? 0 : 1;
    }
    std::printf("| Total | %d | %d | |\n", totalPar, total);
    return failures == 0 ? 0 : 1;
}
