// The bag, the course tables and the wind: the numbers of play.
#include <gtest/gtest.h>

#include "game/Clubs.h"
#include "game/Course.h"
#include "game/Wind.h"

using namespace fairholm;

TEST(ClubsForDistance, TheShortestOfTheNineThatReaches) {
    EXPECT_EQ(Clubs::forDistance(1965960, false), Clubs::nineIron);  // exactly 60 yards
    EXPECT_EQ(Clubs::forDistance(1965959, false), Clubs::pitchingWedge);
    EXPECT_EQ(Clubs::forDistance(1965959, true), Clubs::putter);
    EXPECT_EQ(Clubs::forDistance(0, true), Clubs::putter);
    EXPECT_EQ(Clubs::forDistance(8191501, false), Clubs::driver);  // past the driver's carry
    EXPECT_EQ(Clubs::forDistance(8191500, false), Clubs::driver);
    EXPECT_EQ(Clubs::forDistance(3604261, true), 7);  // just over the 9-iron: the 8-iron
    EXPECT_EQ(Clubs::forDistance(3604260, true), Clubs::nineIron);
    EXPECT_EQ(Clubs::forDistance(6553200, false), 2);  // the 3-iron's own carry
    EXPECT_EQ(Clubs::forDistance(INT32_MAX, false), Clubs::driver);
}

TEST(ClubsNames, TheHudShowsTheLabelFromItsThirdCharacter) {
    EXPECT_STREQ(Clubs::name(Clubs::driver), "1W-250");
    EXPECT_STREQ(Clubs::name(Clubs::pitchingWedge), "PW-60");
    EXPECT_STREQ(Clubs::name(Clubs::putter), "PT-100");
    EXPECT_FALSE(Clubs::isClub(-1));
    EXPECT_FALSE(Clubs::isClub(Clubs::count));
}

TEST(CourseTables, TeesAndParsSoFar) {
    EXPECT_EQ(Course::parThrough(0), 4);
    EXPECT_EQ(Course::parThrough(2), 12);
    EXPECT_EQ(Course::parThrough(Course::lastHole), 72);
    EXPECT_TRUE(Course::isTee(0, 89 << 15, 436 << 15));
    EXPECT_TRUE(Course::isTee(0, (89 << 15) + 32767, 436 << 15));  // anywhere in the tee's yard
    EXPECT_FALSE(Course::isTee(0, 90 << 15, 436 << 15));
}

TEST(WindDrift, StepsTowardsItsTargetsAndDrawsNewOnesFromTheClock) {
    Wind wind;
    wind.set(0, 0, 1000, 300);
    wind.step(0x12345);
    EXPECT_EQ(wind.strength(), Wind::strengthStep);
    EXPECT_EQ(wind.direction(), Wind::directionStep);
    wind.set(1000, 300, 1000 + 127, 300 + 127);  // less than 128 above: both targets reached
    wind.step(0x54321);
    EXPECT_EQ(wind.strength(), 1000);
    EXPECT_EQ(wind.strengthTarget(), 0x54321 & 0x3FFFF);
    EXPECT_EQ(wind.directionTarget(), 0x54321 & 0x7FFF);
    wind.set(5000, 5000, 4999, 4999);  // any way down counts (the gap is shifted arithmetically)
    wind.step(0);
    EXPECT_EQ(wind.strength(), 5000 - Wind::strengthStep);
    EXPECT_EQ(wind.direction(), 5000 - Wind::directionStep);
}

TEST(WindDrift, TheHudRoundsTheStrengthAndTheBallFeelsThreeTimesIt) {
    Wind wind;
    wind.set(24576, 0, 24576, 0);
    EXPECT_EQ(wind.shownStrength(), 1);
    wind.set(16383, 0, 16383, 0);
    EXPECT_EQ(wind.shownStrength(), 0);
    wind.set(fx::one, 16384, fx::one, 16384);  // towards +z
    Vector air;
    wind.airVelocity(air);
    EXPECT_EQ(air.y, 0);
    EXPECT_NEAR(air.z, 98418, 16);
    EXPECT_NEAR(air.x, 0, 16);
}
