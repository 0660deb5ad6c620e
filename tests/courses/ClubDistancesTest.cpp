// What the human player knows of the clubs, measured on flat ground: carries and runs
// that grow with the club and the power, ground that stops the ball sooner, the wind's
// push; and the strokes it was measured with.

#include <gtest/gtest.h>

#include "CourseTestSupport.h"
#include "game/Clubs.h"
#include "game/Surface.h"
#include "game/Wind.h"
#include "tools/coursecheck/ClubDistances.h"
#include "tools/coursecheck/StrokeSimulator.h"

using namespace fairholm;
using coursecheck::ClubDistances;
using coursecheck::StrokeSimulator;

namespace {

constexpr double kFull = StrokeSimulator::maxPower;

}  // namespace

TEST(ClubDistances, LongerClubsAndFullerSwingsGoFurther) {
    const ClubDistances& d = ClubDistances::learned();
    for (int32_t club = Clubs::driver; club < Clubs::nineIron; ++club) {
        EXPECT_GT(d.carry(club, kFull), d.carry(club + 1, kFull)) << Clubs::name(club);
        EXPECT_GT(d.total(club, Surface::fairway, kFull), d.total(club + 1, Surface::fairway, kFull))
            << Clubs::name(club);
    }
    for (int32_t club = Clubs::driver; club <= Clubs::pitchingWedge; ++club) {
        EXPECT_GT(d.carry(club, kFull), d.carry(club, kFull / 2)) << Clubs::name(club);
        EXPECT_GT(d.carry(club, kFull / 2), d.carry(club, kFull / 4)) << Clubs::name(club);
        // The ball runs on after it lands.
        EXPECT_GT(d.total(club, Surface::fairway, kFull), d.carry(club, kFull)) << Clubs::name(club);
    }
    // A full driver carries about its 250 nominal yards less the drag: 200 or more.
    EXPECT_GT(d.carry(Clubs::driver, kFull), 200);
    EXPECT_LT(d.carry(Clubs::driver, kFull), 250);
    // The putter rolls from the start.
    EXPECT_LT(d.carry(Clubs::putter, kFull), 1);
    EXPECT_GT(d.total(Clubs::putter, Surface::green, kFull), 20);
}

TEST(ClubDistances, SlowGroundStopsTheBallSooner) {
    const ClubDistances& d = ClubDistances::learned();
    for (int32_t club : {Clubs::driver, 4, Clubs::nineIron, Clubs::putter}) {
        const double fairway = d.total(club, Surface::fairway, kFull);
        EXPECT_DOUBLE_EQ(d.total(club, Surface::green, kFull), fairway)
            << Clubs::name(club);  // same friction
        EXPECT_LT(d.total(club, Surface::rough, kFull), fairway) << Clubs::name(club);
        EXPECT_LT(d.total(club, Surface::bunker, kFull), fairway) << Clubs::name(club);
        EXPECT_LT(d.total(club, Surface::heather, kFull), fairway) << Clubs::name(club);
        // Water has no run of its own: read as fairway.
        EXPECT_DOUBLE_EQ(d.total(club, Surface::water, kFull), fairway);
    }
}

TEST(ClubDistances, PowerForADistanceGivesThatDistance) {
    const ClubDistances& d = ClubDistances::learned();
    for (int32_t club : {Clubs::driver, 6, Clubs::pitchingWedge, Clubs::putter}) {
        for (double share : {0.3, 0.6, 0.9}) {
            const double yards = d.total(club, Surface::fairway, share * kFull);
            EXPECT_NEAR(d.total(club, Surface::fairway, d.powerFor(club, Surface::fairway, yards)), yards,
                        0.5)
                << Clubs::name(club) << " " << share;
            const double carry = d.carry(club, share * kFull);
            if (club != Clubs::putter) {
                EXPECT_NEAR(d.carry(club, d.powerForCarry(club, carry)), carry, 0.5) << Clubs::name(club);
            }
        }
        // Beyond the club: the fullest meter a hand can stop; nothing: one meter stop.
        EXPECT_EQ(d.powerFor(club, Surface::fairway, 1000), StrokeSimulator::maxPower);
        EXPECT_EQ(d.powerFor(club, Surface::fairway, 0), StrokeSimulator::meterTick);
    }
}

TEST(ClubDistances, TheWindCarriesTheBallWithIt) {
    const ClubDistances& d = ClubDistances::learned();
    for (int32_t club = Clubs::driver; club <= Clubs::pitchingWedge; ++club) {
        EXPECT_GT(d.tailwindGain(club, kFull), 0.1) << Clubs::name(club);
        EXPECT_LT(d.headwindGain(club, kFull), -0.1) << Clubs::name(club);
        EXPECT_GT(d.crosswindDrift(club, kFull), 0.1) << Clubs::name(club);
        // A shorter stroke is in the air for less time.
        EXPECT_LT(d.crosswindDrift(club, kFull / 4), d.crosswindDrift(club, kFull)) << Clubs::name(club);
    }
    // A putt stays on the ground, where the wind does not blow.
    EXPECT_NEAR(d.crosswindDrift(Clubs::putter, kFull), 0, 0.01);
    EXPECT_NEAR(d.tailwindGain(Clubs::putter, kFull), 0, 0.01);
}

TEST(StrokeSimulator, ALandingComesBeforeTheRestAndTheWindMovesIt) {
    test::CourseFolder folder;
    std::string errors;
    ASSERT_TRUE(
        folder.compile("course flat\nregion land fairway 128\n    rect 10 10 500 500\nend\n", "flat", errors))
        << errors;
    StrokeSimulator simulator(folder.load("flat"));
    const fixed x = test::yards(256), z = test::yards(480);
    const fixed y = simulator.terrain().heightAt(x, z);
    simulator.setPin(test::yards(20), y, test::yards(20));
    const StrokeSimulator::Shot landing = simulator.landing(x, y, z, 6, 0, 80 << 16, Wind());
    const StrokeSimulator::Shot rest = simulator.simulate(x, y, z, 6, 0, 80 << 16, Wind());
    EXPECT_EQ(rest.outcome, StrokeSimulator::Outcome::Rest);
    EXPECT_LT(rest.z, landing.z);  // north, further on
    EXPECT_LT(landing.z, z - test::yards(80));
    EXPECT_GT(rest.frames, landing.frames);
    // A wind blowing east moves the ball east.
    Wind east;
    east.set(6 << 15, 8192, 6 << 15, 8192);
    EXPECT_GT(simulator.landing(x, y, z, 6, 0, 80 << 16, east).x, landing.x + test::yards(1));
    EXPECT_NEAR(landing.x, x, test::yards(0.05));
    // Penalties: water, out of bounds and a ball never at rest; not rest or holed.
    EXPECT_TRUE(StrokeSimulator::isPenalty(StrokeSimulator::Outcome::Water));
    EXPECT_TRUE(StrokeSimulator::isPenalty(StrokeSimulator::Outcome::OutOfBounds));
    EXPECT_TRUE(StrokeSimulator::isPenalty(StrokeSimulator::Outcome::Endless));
    EXPECT_FALSE(StrokeSimulator::isPenalty(StrokeSimulator::Outcome::Rest));
    EXPECT_FALSE(StrokeSimulator::isPenalty(StrokeSimulator::Outcome::Holed));
}
