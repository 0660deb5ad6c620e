// The checker's rules on small made-up courses: holed, water, out of bounds, rest.

#include <gtest/gtest.h>

#include "CourseTestSupport.h"
#include "game/Clubs.h"
#include "game/Golf.h"
#include "tools/coursecheck/CourseChecker.h"

using namespace fairholm;
using coursecheck::CourseChecker;
using test::yards;

namespace {

// Hole 1's tee (89, 436) and pin (75, 76) on flat fairway, with a pond and a green.
const char* const kFlat = R"(course flat
region land fairway 100
    rect 20 20 490 490
end
region green green 101 in land
    circle 75 76 15
end
region pond water 90 in land
    rect 200 300 300 400
end
)";

class CourseCheckerTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string errors;
        ASSERT_TRUE(folder.compile(kFlat, "flat", errors)) << errors;
        terrain = folder.load("flat");
        ASSERT_TRUE(terrain);
    }
    test::CourseFolder folder;
    Ref<VpolyTerrain> terrain;
};

}  // namespace

TEST_F(CourseCheckerTest, ABallPuttedIntoTheCupIsHoled) {
    CourseChecker checker(terrain);
    const CourseChecker::HoleResult result = checker.playHole(0);
    EXPECT_TRUE(result.holed);
    EXPECT_EQ(result.log.back().shot.outcome, CourseChecker::Outcome::Holed);
}

TEST_F(CourseCheckerTest, ShotsEndInWaterOutOfBoundsOrAtRest) {
    CourseChecker checker(terrain);
    checker.playHole(0);  // sets the pin of hole 1
    const fixed y = terrain->heightAt(yards(250), yards(250));
    // Due south at a third of the meter with the 9-iron: lands in the pond.
    const CourseChecker::Shot wet = checker.simulate(yards(250), y, yards(270), 8, 16384, 40 << 16);
    EXPECT_EQ(wet.outcome, CourseChecker::Outcome::Water);
    EXPECT_EQ(terrain->surfaceAt(wet.x, wet.z), 3);
    // Due east with the driver from near the edge: leaves the map.
    const CourseChecker::Shot away = checker.simulate(yards(450), y, yards(250), 0, 8192, 99 << 16);
    EXPECT_EQ(away.outcome, CourseChecker::Outcome::OutOfBounds);
    EXPECT_GE(away.x, 512 << 15);
    // A short putt north on flat fairway comes to rest a few yards on.
    const CourseChecker::Shot roll = checker.simulate(yards(250), y, yards(250), Clubs::putter, 0, 5 << 16);
    EXPECT_EQ(roll.outcome, CourseChecker::Outcome::Rest);
    EXPECT_LT(roll.z, yards(250));
    EXPECT_GT(roll.z, yards(240));
    EXPECT_NEAR(roll.x, yards(250), 2000);
}

TEST_F(CourseCheckerTest, PenaltiesCostAStrokeAndReplayFromTheLie) {
    CourseChecker checker(terrain);
    const CourseChecker::HoleResult result = checker.playHole(0);
    int32_t counted = 0;
    for (const CourseChecker::Stroke& s : result.log) {
        counted += s.shot.outcome == CourseChecker::Outcome::Water ||
                           s.shot.outcome == CourseChecker::Outcome::OutOfBounds
                       ? 2
                       : 1;
    }
    EXPECT_EQ(counted, result.strokes);
}

TEST_F(CourseCheckerTest, EstimatesFavourTheGreenAndPunishSand) {
    CourseChecker checker(terrain);
    checker.playHole(0);
    EXPECT_LT(checker.estimate(yards(75), yards(80)), checker.estimate(yards(75), yards(120)));
    EXPECT_LT(checker.estimate(yards(75), yards(120)), checker.estimate(yards(75), yards(300)));
}
