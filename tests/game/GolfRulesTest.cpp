// The game's tables and the pure rules behind a stroke.
#include <gtest/gtest.h>

#include "game/Clubs.h"
#include "game/Course.h"
#include "game/Golf.h"
#include "game/Surface.h"

using namespace fairholm;

TEST(GolfTables, ParsAndPacks) {
    int total = 0;
    for (int hole = 0; hole < Course::holeCount; ++hole) {
        constexpr int pattern[3] = {4, 3, 5};
        EXPECT_EQ(Course::parTable[hole], pattern[hole % 3]);
        total += Course::parTable[hole];
    }
    EXPECT_EQ(total, 72);
    EXPECT_STREQ(Course::holePackTable[0], "holes_1-3");
    EXPECT_STREQ(Course::holePackTable[17], "holes_16-18");
    EXPECT_EQ(Course::holePack(3).ptr(), lit("holes_4-6").ptr());
    EXPECT_EQ(Course::holeTable[16].aimZ, 388);
}

TEST(GolfTables, SurfacesFromColours) {
    auto check = [](uint32_t colour, int kind, int height, fixed friction) {
        const Surface s = Surface::classify(colour);
        EXPECT_EQ(s.kind, kind) << std::hex << colour;
        EXPECT_EQ(s.height, height) << std::hex << colour;
        EXPECT_EQ(s.friction, friction) << std::hex << colour;
    };
    check(0x000080, 3, 128, 0x8000);
    check(0x008000, 2, 128, 0x2666);
    check(0x008080, 4, 128, 0x2666);
    check(0x808080, 7, 128, 0x4000);
    check(0x000000, 7, 128, 0x4000);
    check(0xFF000000, 7, 0, 0x4000);  // black with an alpha byte is not the empty word
    check(0x400000, 1, 64, 0x4CCC);
    check(0x200010, 5, 16, 0x4000);
    check(0x302000, 6, 48, 0x5999);
    check(0x112233, 7, 0x33, 0x4000);
}

TEST(GolfShot, CarryAndLaunchSpeeds) {
    EXPECT_EQ(Clubs::carryFor(0, 50 << 16), 4095750);  // half power with the driver: 125 yards
    EXPECT_EQ(Clubs::carryFor(0, Clubs::fullPower), 8191500);
    const Clubs::Launch putt = Clubs::launchFor(Clubs::putter, Clubs::fullPower);
    EXPECT_EQ(putt.vy, 0);
    EXPECT_NEAR(putt.h, 20 * 32768, 40);  // sqrt(12 x 33.33)
    // A drag-free flight with the launch speeds lands at 0.9 x the carry.
    for (int club = 0; club < 10; ++club) {
        const Clubs::Launch l = Clubs::launchFor(club, Clubs::fullPower);
        const double h = l.h / 32768.0, vy = l.vy / 32768.0, g = 359834 / 32768.0;
        const double range = 2 * h * vy / g;
        EXPECT_NEAR(range, 0.9 * Clubs::clubTable[club].carry / 32768.0, 0.05 * range) << club;
    }
}
