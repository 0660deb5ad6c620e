// The six course packs generated into the program directory, loaded as the game loads
// them, and every hole played by the course checker.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>

#include "engine/render3d/VpolyTerrain.h"
#include "game/Course.h"
#include "game/Golf.h"
#include "game/Surface.h"
#include "tools/coursec/CourseTerrain.h"
#include "tools/coursecheck/CourseChecker.h"

using namespace fairholm;

namespace {

const char* const kPacks[] = {"holes_1-3",   "holes_4-6",   "holes_7-9",
                              "holes_10-12", "holes_13-15", "holes_16-18"};

Ref<VpolyTerrain> loadPack(const std::string& name) {
    return coursec::CourseTerrain::load(std::string(FAIRHOLM_PROGRAM_DIR) + "/" + name);
}

fixed at(int32_t v) {
    return v << 15;
}

// Surface kind at a point of the line of play, a fraction t along tee -> aim -> pin.
int32_t kindAlong(VpolyTerrain& t, const Course::Hole& h, double f, double side) {
    const double legA = std::hypot(h.aimX - h.teeX, h.aimZ - h.teeZ);
    const double legB = std::hypot(h.pinX - h.aimX, h.pinZ - h.aimZ);
    const double s = f * (legA + legB);
    double x, z, dx, dz;
    if (s <= legA && legA > 0) {
        x = h.teeX + (h.aimX - h.teeX) * s / legA;
        z = h.teeZ + (h.aimZ - h.teeZ) * s / legA;
        dx = (h.aimX - h.teeX) / legA;
        dz = (h.aimZ - h.teeZ) / legA;
    } else {
        x = h.aimX + (h.pinX - h.aimX) * (s - legA) / legB;
        z = h.aimZ + (h.pinZ - h.aimZ) * (s - legA) / legB;
        dx = (h.pinX - h.aimX) / legB;
        dz = (h.pinZ - h.aimZ) / legB;
    }
    x -= dz * side;
    z += dx * side;
    return t.surfaceAt(static_cast<fixed>(x * 32768), static_cast<fixed>(z * 32768));
}

class CoursePack : public ::testing::TestWithParam<int> {};

}  // namespace

TEST_P(CoursePack, LoadsWithinTheRenderersLimits) {
    const std::string name = kPacks[GetParam()];
    Ref<VpolyTerrain> t = loadPack(name);
    ASSERT_TRUE(t) << name;
    EXPECT_LE(t->edgeCount(), 12469) << name;
    EXPECT_GT(t->edgeCount(), 1000) << name;
    EXPECT_LE(t->paletteUsed(), 48) << name;
    // Every kind of ground appears.
    std::array<int, 8> seen{};
    for (int32_t z = 0; z < 512; z += 2) {
        for (int32_t x = 0; x < 512; x += 2) {
            ++seen[static_cast<size_t>(std::clamp(t->surfaceAt(at(x), at(z)), 0, 7))];
        }
    }
    for (int kind = 1; kind <= 7; ++kind) {
        EXPECT_GT(seen[static_cast<size_t>(kind)], 0) << name << " kind " << kind;
    }
}

TEST_P(CoursePack, TeesPinsAndFairwaysWhereTheHoleTableSays) {
    const std::string name = kPacks[GetParam()];
    Ref<VpolyTerrain> t = loadPack(name);
    ASSERT_TRUE(t);
    for (int32_t hole = 3 * GetParam(); hole < 3 * GetParam() + 3; ++hole) {
        ASSERT_EQ(Course::holePackTable[hole], name);
        const Course::Hole& h = Course::holeTable[hole];
        EXPECT_EQ(t->surfaceAt(at(h.teeX), at(h.teeZ)), 5) << "hole " << hole + 1;
        EXPECT_EQ(t->surfaceAt(at(h.pinX), at(h.pinZ)), 4) << "hole " << hole + 1;
        // Level around the tee: within half a yard over the two yards around it.
        const fixed tee = t->heightAt(at(h.teeX), at(h.teeZ));
        for (int dz = -2; dz <= 2; ++dz) {
            for (int dx = -2; dx <= 2; ++dx) {
                EXPECT_LE(std::abs(t->heightAt(at(h.teeX + dx), at(h.teeZ + dz)) - tee), 16384)
                    << "hole " << hole + 1;
            }
        }
        // A green of believable size with gentle slopes: green all around the pin for
        // 5 yards and the ground within 3 yards of the pin no steeper than 1 in 10.
        for (int a = 0; a < 16; ++a) {
            const double r = 5, u = std::cos(a * 3.14159 / 8), v = std::sin(a * 3.14159 / 8);
            const fixed x = static_cast<fixed>((h.pinX + r * u) * 32768);
            const fixed z = static_cast<fixed>((h.pinZ + r * v) * 32768);
            EXPECT_EQ(t->surfaceAt(x, z), 4) << "hole " << hole + 1;
        }
        const fixed pin = t->heightAt(at(h.pinX), at(h.pinZ));
        for (int d = -3; d <= 3; ++d) {
            EXPECT_LE(std::abs(t->heightAt(at(h.pinX + d), at(h.pinZ)) - pin), std::abs(d) * 3277 + 4096)
                << "hole " << hole + 1 << ", " << d << " yards east";
            EXPECT_LE(std::abs(t->heightAt(at(h.pinX), at(h.pinZ + d)) - pin), std::abs(d) * 3277 + 4096)
                << "hole " << hole + 1 << ", " << d << " yards south";
        }
        // Par 4 and 5: fairway to drive to, near the line of play where a drive comes
        // down (150 to 250 yards out), and fairway again on the way to the green.
        if (Course::parTable[hole] > 3) {
            const double length =
                std::hypot(h.aimX - h.teeX, h.aimZ - h.teeZ) + std::hypot(h.pinX - h.aimX, h.pinZ - h.aimZ);
            auto fairwayNear = [&](double from, double to) {
                int found = 0;
                for (double yards = from; yards <= to; yards += 5) {
                    for (double side = -24; side <= 24; side += 4) {
                        found += kindAlong(*t, h, yards / length, side) == 2;
                    }
                }
                return found;
            };
            EXPECT_GE(fairwayNear(150, 250), 20) << "hole " << hole + 1;
            EXPECT_GE(fairwayNear(250, length - 30), 10) << "hole " << hole + 1;
        }
    }
}

TEST(CoursePacks, WaterOnAtLeastFiveHolesAndNeverOnTeesOrGreens) {
    int holesWithWater = 0;
    for (int p = 0; p < 6; ++p) {
        Ref<VpolyTerrain> t = loadPack(kPacks[p]);
        ASSERT_TRUE(t);
        for (int32_t hole = 3 * p; hole < 3 * p + 3; ++hole) {
            const Course::Hole& h = Course::holeTable[hole];
            bool water = false;
            for (int k = 0; k <= 60 && !water; ++k) {
                for (double side = -60; side <= 60 && !water; side += 4) {
                    water = kindAlong(*t, h, k / 60.0, side) == 3;
                }
            }
            holesWithWater += water;
        }
    }
    EXPECT_GE(holesWithWater, 5);
}

TEST_P(CoursePack, EveryHoleIsPlayableWithinParPlusTwo) {
    const std::string name = kPacks[GetParam()];
    Ref<VpolyTerrain> t = loadPack(name);
    ASSERT_TRUE(t);
    coursecheck::CourseChecker checker(t);
    for (int32_t hole = 3 * GetParam(); hole < 3 * GetParam() + 3; ++hole) {
        const coursecheck::CourseChecker::HoleResult result = checker.playHole(hole);
        std::string log;
        for (const auto& stroke : result.log) {
            log += coursecheck::CourseChecker::describe(stroke) + "\n";
        }
        EXPECT_TRUE(result.holed) << "hole " << hole + 1 << "\n" << log;
        EXPECT_LE(result.strokes, result.par + 2) << "hole " << hole + 1 << "\n" << log;
        EXPECT_GE(result.strokes, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Packs, CoursePack, ::testing::Range(0, 6),
                         [](const ::testing::TestParamInfo<int>& info) {
                             std::string n = kPacks[info.param];
                             std::replace(n.begin(), n.end(), '-', '_');
                             return n;
                         });
