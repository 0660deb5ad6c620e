// The human player: the same seed plays the same strokes, people score worse than the
// perfect checker and worse with their errors than without, and the hazards they meet
// are counted where they are met, on small made-up courses.

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "CourseTestSupport.h"
#include "game/Clubs.h"
#include "game/Course.h"
#include "game/Surface.h"
#include "tools/coursec/CourseTerrain.h"
#include "tools/coursecheck/CourseChecker.h"
#include "tools/coursecheck/HumanPlayer.h"
#include "tools/coursecheck/StrokeSimulator.h"

using namespace fairholm;
using coursecheck::HumanPlayer;

namespace {

using Outcome = HumanPlayer::Outcome;

// Hole 2 (par 3) runs south from its tee (178, 95) to the pin (187, 252); hole 1 (par 4)
// north from (89, 436) to (75, 76).

// Hole 2's green as an island: water from the tee box to the green and round it.
const char* const kIsland = R"(course island
region pond water 120
    rect 120 60 260 300
end
region tee tee 128 in pond
    rect 170 88 186 102
end
region green green 128 in pond
    circle 187 252 14
end
)";

// The same hole over rough, far from every edge but the top one (95 yards behind the tee).
const char* const kDry = R"(course dry
region land rough 128
    rect 20 20 490 490
end
region tee tee 128 in land
    rect 170 88 186 102
end
region green green 128 in land
    circle 187 252 14
end
)";

// Hole 1 over fairway, its drives landing in sand.
const char* const kSandy = R"(course sandy
region land fairway 128
    rect 20 20 200 490
end
region sand bunker 128 in land
    rect 30 110 190 330
end
region tee tee 128 in land
    rect 80 428 98 444
end
region green green 128 in land
    circle 75 76 14
end
)";

// Hole 1 over fairway with a pond across it where drives come down (196 to 246 yards
// out), too wide for any club to carry.
const char* const kPondAcross = R"(course across
region land fairway 128
    rect 20 20 200 490
end
region pond water 118 in land
    rect 30 190 190 240
end
region tee tee 128 in land
    rect 80 428 98 444
end
region green green 128 in land
    circle 75 76 14
end
)";

class HumanPlayerCourse : public ::testing::Test {
protected:
    Ref<VpolyTerrain> compile(const char* source, const std::string& name) {
        std::string errors;
        EXPECT_TRUE(folder.compile(source, name, errors)) << errors;
        return folder.load(name);
    }
    test::CourseFolder folder;
};

// Penalties and strokes from each kind of ground recounted from the attempts' logs.
void expectCountsMatchLogs(const HumanPlayer::HoleStats& stats,
                           const std::vector<HumanPlayer::Attempt>& attempts) {
    int32_t water = 0, away = 0, lost = 0, strokes = 0, inWater = 0, outside = 0;
    std::array<int32_t, 8> from{};
    std::array<int32_t, 8> attemptsFrom{};
    for (const HumanPlayer::Attempt& a : attempts) {
        int32_t counted = 0;
        std::array<bool, 8> seen{};
        bool wet = false, off = false;
        for (const HumanPlayer::Stroke& s : a.log) {
            counted += coursecheck::StrokeSimulator::isPenalty(s.outcome) ? 2 : 1;
            water += s.outcome == Outcome::Water;
            away += s.outcome == Outcome::OutOfBounds;
            lost += s.outcome == Outcome::Endless;
            wet = wet || s.outcome == Outcome::Water;
            off = off || s.outcome == Outcome::OutOfBounds;
            from[static_cast<size_t>(s.lie)] += 1;
            seen[static_cast<size_t>(s.lie)] = true;
        }
        EXPECT_EQ(counted, a.strokes);
        EXPECT_LE(a.strokes, Course::par(stats.hole) + HumanPlayer::pickUpOver + 1);
        EXPECT_EQ(a.holed, !a.log.empty() && a.log.back().outcome == Outcome::Holed);
        strokes += a.strokes;
        inWater += wet;
        outside += off;
        for (size_t k = 0; k < seen.size(); ++k) {
            attemptsFrom[k] += seen[k];
        }
    }
    EXPECT_EQ(stats.water, water);
    EXPECT_EQ(stats.outOfBounds, away);
    EXPECT_EQ(stats.lost, lost);
    EXPECT_EQ(stats.attemptsInWater, inWater);
    EXPECT_EQ(stats.attemptsOutOfBounds, outside);
    EXPECT_EQ(stats.strokesFrom, from);
    EXPECT_EQ(stats.attemptsFrom, attemptsFrom);
    // Every stroke is played from somewhere; with the penalties they make the score.
    int32_t played = 0;
    for (int32_t n : stats.strokesFrom) {
        played += n;
    }
    EXPECT_EQ(played + stats.water + stats.outOfBounds + stats.lost, strokes);
    EXPECT_NEAR(stats.mean * stats.attempts, strokes, 1e-6);
}

std::vector<HumanPlayer::Attempt> playAll(HumanPlayer& player, int32_t hole, int32_t attempts) {
    std::vector<HumanPlayer::Attempt> played;
    for (int32_t a = 0; a < attempts; ++a) {
        played.push_back(player.playAttempt(hole, a));
    }
    return played;
}

}  // namespace

TEST_F(HumanPlayerCourse, TheSameSeedPlaysTheSameStrokes) {
    Ref<VpolyTerrain> terrain = compile(kDry, "dry");
    ASSERT_TRUE(terrain);
    HumanPlayer first(terrain, 7), again(terrain, 7), other(terrain, 8);
    int32_t differing = 0;
    for (int32_t a = 0; a < 12; ++a) {
        const HumanPlayer::Attempt x = first.playAttempt(1, a);
        const HumanPlayer::Attempt y = again.playAttempt(1, a);
        const HumanPlayer::Attempt z = other.playAttempt(1, a);
        ASSERT_EQ(x.strokes, y.strokes);
        ASSERT_EQ(x.log.size(), y.log.size());
        for (size_t i = 0; i < x.log.size(); ++i) {
            EXPECT_EQ(x.log[i].club, y.log[i].club);
            EXPECT_EQ(x.log[i].power, y.log[i].power);
            EXPECT_EQ(x.log[i].aim, y.log[i].aim);
            EXPECT_EQ(x.log[i].x, y.log[i].x);
            EXPECT_EQ(x.log[i].z, y.log[i].z);
        }
        differing += x.log.front().power != z.log.front().power || x.log.front().aim != z.log.front().aim;
    }
    // Another seed plays other strokes.
    EXPECT_GE(differing, 6);
    // An attempt does not depend on what was played before it.
    EXPECT_EQ(first.playAttempt(1, 3).log.front().power,
              HumanPlayer(terrain, 7).playAttempt(1, 3).log.front().power);
    // The hole's figures come out the same for the seed.
    const HumanPlayer::HoleStats s = HumanPlayer(terrain, 7).playHole(1, 20);
    const HumanPlayer::HoleStats t = HumanPlayer(terrain, 7).playHole(1, 20);
    EXPECT_EQ(s.mean, t.mean);
    EXPECT_EQ(s.scores, t.scores);
    EXPECT_EQ(s.strokesFrom, t.strokesFrom);
}

TEST_F(HumanPlayerCourse, AnIslandGreenCatchesBallsInTheWater) {
    Ref<VpolyTerrain> island = compile(kIsland, "island");
    Ref<VpolyTerrain> dry = compile(kDry, "dry");
    ASSERT_TRUE(island && dry);
    HumanPlayer wet(island, 3);
    const std::vector<HumanPlayer::Attempt> attempts = playAll(wet, 1, 40);
    const HumanPlayer::HoleStats stats = HumanPlayer::summarise(1, attempts);
    expectCountsMatchLogs(stats, attempts);
    EXPECT_GT(stats.waterShare(), 0.1);
    EXPECT_GE(stats.water, stats.attemptsInWater);
    EXPECT_EQ(stats.strokesFrom[Surface::rough], 0);  // there is none

    // The same hole over rough: no water, so no penalties, and fewer strokes.
    const HumanPlayer::HoleStats land = HumanPlayer(dry, 3).playHole(1, 40);
    EXPECT_EQ(land.water, 0);
    EXPECT_EQ(land.attemptsInWater, 0);
    EXPECT_LT(land.mean, stats.mean);
}

TEST_F(HumanPlayerCourse, DrivesIntoSandAreBunkerLies) {
    Ref<VpolyTerrain> sandy = compile(kSandy, "sandy");
    ASSERT_TRUE(sandy);
    HumanPlayer player(sandy, 5);
    const std::vector<HumanPlayer::Attempt> attempts = playAll(player, 0, 30);
    const HumanPlayer::HoleStats stats = HumanPlayer::summarise(0, attempts);
    expectCountsMatchLogs(stats, attempts);
    EXPECT_GE(stats.shareFrom(Surface::bunker), 0.9);
    EXPECT_GE(stats.strokesFrom[Surface::bunker], 27);
    // Every attempt starts from the tee box.
    EXPECT_GE(stats.strokesFrom[Surface::fringe], stats.attempts);
    EXPECT_EQ(stats.attemptsFrom[Surface::fringe], stats.attempts);
    EXPECT_EQ(stats.shareFrom(Surface::rough), 0);
}

TEST_F(HumanPlayerCourse, AWildPlayerGoesOutOfBounds) {
    Ref<VpolyTerrain> dry = compile(kDry, "dry");
    ASSERT_TRUE(dry);
    // Aimed anywhere: the balls struck north from a tee 95 yards below the map's top
    // edge leave the course.
    HumanPlayer::Skill wild;
    wild.aimSd = 16384;
    HumanPlayer player(dry, 11, wild);
    const std::vector<HumanPlayer::Attempt> attempts = playAll(player, 1, 40);
    const HumanPlayer::HoleStats stats = HumanPlayer::summarise(1, attempts);
    expectCountsMatchLogs(stats, attempts);
    EXPECT_GT(stats.outOfBoundsShare(), 0.1);
    EXPECT_GE(stats.outOfBounds, stats.attemptsOutOfBounds);
    EXPECT_GT(stats.shareFrom(Surface::rough), 0.5);
    // Aimed at the pin, nobody goes out.
    const HumanPlayer::HoleStats tame = HumanPlayer(dry, 11).playHole(1, 40);
    EXPECT_EQ(tame.outOfBounds, 0);
    EXPECT_LT(tame.mean, stats.mean);
}

TEST_F(HumanPlayerCourse, WaterSeenOnTheLineIsLaidUpShortOf) {
    Ref<VpolyTerrain> across = compile(kPondAcross, "across");
    ASSERT_TRUE(across);
    HumanPlayer player(across, 2);
    const std::vector<HumanPlayer::Attempt> attempts = playAll(player, 0, 30);
    const HumanPlayer::HoleStats stats = HumanPlayer::summarise(0, attempts);
    expectCountsMatchLogs(stats, attempts);
    int32_t layUps = 0;
    for (const HumanPlayer::Attempt& a : attempts) {
        // The drive would finish in the pond: less club, short of it.
        EXPECT_TRUE(a.log.front().layUp);
        EXPECT_GT(a.log.front().club, Clubs::driver);
        for (const HumanPlayer::Stroke& s : a.log) {
            layUps += s.layUp;
        }
    }
    EXPECT_GE(layUps, 30);
    EXPECT_LT(stats.waterShare(), 0.3);
}

TEST(HumanPlayerTargets, NameTheHolesAndTheRoundThatMissThem) {
    std::vector<HumanPlayer::HoleStats> round;
    for (int32_t hole = 0; hole < Course::holeCount; ++hole) {
        HumanPlayer::HoleStats s;
        s.hole = hole;
        s.par = Course::par(hole);
        s.attempts = 10;
        s.scores = {1, 5, 3, 1, 0};
        s.mean = s.par + 0.3;
        round.push_back(s);
    }
    // 18 holes at par + 0.3: a round of 77.4, every target met.
    EXPECT_EQ(HumanPlayer::missedTargets(round), std::vector<std::string>{});
    round[1].mean = 3 + 1.5;
    round[4].mean = 3 - 0.5;
    round[6].scores = {0, 2, 2, 1, 5};  // half at par + 3 or worse
    const std::vector<std::string> expected = {
        "hole 2 (par 3): mean 4.50 above par + 1.2",
        "hole 5 (par 3): mean 2.50 below par - 0.2",
        "hole 7 (par 4): 50 % at par + 3 or worse (at most 40 %)",
    };
    EXPECT_EQ(HumanPlayer::missedTargets(round), expected);
    // A round of 70.2 is too easy; the round is judged only when all 18 holes are given.
    for (HumanPlayer::HoleStats& s : round) {
        s.mean = s.par - 0.1;
        s.scores = {3, 5, 2, 0, 0};
    }
    EXPECT_EQ(HumanPlayer::missedTargets(round),
              std::vector<std::string>{"round: mean 70.2 outside 72 .. 80"});
    round.pop_back();
    EXPECT_TRUE(HumanPlayer::missedTargets(round).empty());
}

namespace {

// The six packs of the program directory, each loaded once.
Ref<VpolyTerrain> realPack(const std::string& name) {
    static std::map<std::string, Ref<VpolyTerrain>> loaded;
    Ref<VpolyTerrain>& t = loaded[name];
    if (!t) {
        t = coursec::CourseTerrain::load(std::string(FAIRHOLM_PROGRAM_DIR) + "/" + name);
    }
    return t;
}

double humanRound(const HumanPlayer::Skill& skill, int32_t attempts) {
    double round = 0;
    for (int32_t hole = 0; hole < Course::holeCount; ++hole) {
        Ref<VpolyTerrain> t = realPack(Course::holePackTable[hole]);
        EXPECT_TRUE(t) << Course::holePackTable[hole];
        if (!t) {
            return 0;
        }
        round += HumanPlayer(t, 1, skill).playHole(hole, attempts).mean;
    }
    return round;
}

}  // namespace

TEST(HumanPlayerRealCourse, PeopleScoreWorseThanThePerfectPlayer) {
    int32_t perfect = 0;
    for (int32_t hole = 0; hole < Course::holeCount; ++hole) {
        Ref<VpolyTerrain> t = realPack(Course::holePackTable[hole]);
        ASSERT_TRUE(t);
        perfect += coursecheck::CourseChecker(t).playHole(hole).strokes;
    }
    const double human = humanRound(HumanPlayer::Skill(), 50);
    EXPECT_GT(human, perfect + 10) << "perfect " << perfect;
    EXPECT_LT(human, 72 + 18 * HumanPlayer::pickUpOver);
}

TEST(HumanPlayerRealCourse, ErrorsCostStrokes) {
    const double flawless = humanRound(HumanPlayer::Skill::flawless(), 50);
    const double human = humanRound(HumanPlayer::Skill(), 50);
    EXPECT_GT(flawless, 0);
    EXPECT_LT(flawless + 2, human) << "flawless " << flawless << ", club golfer " << human;
}

TEST(HumanPlayerRealCourse, TheCourseMeetsItsTargetsForPeople) {
    std::vector<HumanPlayer::HoleStats> round;
    std::string table = "hole par  mean    sd  par+3\n";
    for (int32_t hole = 0; hole < Course::holeCount; ++hole) {
        Ref<VpolyTerrain> t = realPack(Course::holePackTable[hole]);
        ASSERT_TRUE(t) << Course::holePackTable[hole];
        const HumanPlayer::HoleStats s = HumanPlayer(t, 1).playHole(hole);
        char row[64];
        std::snprintf(row, sizeof row, "%4d %3d %5.2f %5.2f %5.1f%%\n", hole + 1, s.par, s.mean, s.sd,
                      100 * s.share(4));
        table += row;
        round.push_back(s);
    }
    std::printf("%s", table.c_str());
    EXPECT_EQ(HumanPlayer::missedTargets(round), std::vector<std::string>{}) << table;
}
