// A round's scoring and the saved record it is kept in.
#include <gtest/gtest.h>

#include <vector>

#include "game/Course.h"
#include "game/Round.h"
#include "game/SavedState.h"

using namespace fairholm;

TEST(RoundScoring, AnnouncementsByStrokesUnderPar) {
    EXPECT_STREQ(Round::announcementFor(4, 4, false), "Par");
    EXPECT_STREQ(Round::announcementFor(4, 3, false), "Birdie!");
    EXPECT_STREQ(Round::announcementFor(3, 1, false), "Eagle!");         // a hole in one on a par 3
    EXPECT_STREQ(Round::announcementFor(4, 1, false), "Double Eagle!");  // and on a par 4
    EXPECT_STREQ(Round::announcementFor(5, 1, false), "Score");          // four under has no name
    EXPECT_STREQ(Round::announcementFor(4, 5, false), "Score");          // a bogey
    EXPECT_STREQ(Round::announcementFor(3, 9, false), "Score");
    EXPECT_STREQ(Round::announcementFor(5, 3, true), "Game Over");  // the last hole, whatever the score
    EXPECT_STREQ(Round::announcementFor(5, 5, true), "Game Over");
}

TEST(RoundScoring, ARoundOfParsStaysLevelAndEndsAfterTheEighteenth) {
    Round round;
    round.start(0, 0);
    for (int32_t hole = 0; hole < Course::holeCount; ++hole) {
        round.startHole();
        for (int32_t s = 0; s < Course::par(hole); ++s) {
            round.addStroke();
        }
        const Round::HoleScore score = round.finishHole();
        EXPECT_EQ(score.hole, hole);
        EXPECT_EQ(score.overPar, 0);
        EXPECT_EQ(score.relative, 0) << hole;
        EXPECT_EQ(score.total, Course::parThrough(hole));
        EXPECT_EQ(score.roundOver, hole == Course::lastHole);
    }
    EXPECT_EQ(round.hole(), 0);
    EXPECT_EQ(round.total(), 0);
}

TEST(RoundScoring, PenaltiesCountAsStrokesAndTheTotalCarriesOn) {
    Round round;
    round.start(0, 0);
    round.startHole();
    round.addStroke();
    round.addStroke();
    round.addStroke();  // a birdie on hole 1
    Round::HoleScore score = round.finishHole();
    EXPECT_STREQ(score.announcement, "Birdie!");
    EXPECT_EQ(score.overPar, -1);
    EXPECT_EQ(score.relative, -1);
    EXPECT_EQ(round.hole(), 1);

    round.startHole();
    round.addStroke();
    round.addPenalty();  // water
    round.addStroke();
    round.addStroke();
    EXPECT_EQ(round.strokes(), 4);
    EXPECT_EQ(round.penalties(), 1);
    score = round.finishHole();
    EXPECT_EQ(score.overPar, 1);
    EXPECT_EQ(score.total, 7);
    EXPECT_EQ(score.relative, 0);
    EXPECT_STREQ(score.announcement, "Score");
    round.startHole();
    EXPECT_EQ(round.strokes(), 0);
    EXPECT_EQ(round.penalties(), 0);
}

TEST(RoundScoring, AResumedRoundCountsFromItsSavedTotal) {
    Round round;
    round.start(16, 70);
    round.startHole();
    EXPECT_EQ(round.par(), 3);
    round.addStroke();
    round.addStroke();
    Round::HoleScore score = round.finishHole();
    EXPECT_EQ(score.total, 72);
    EXPECT_EQ(score.relative, 72 - Course::parThrough(16));
    EXPECT_FALSE(score.roundOver);
    round.startHole();
    round.addStroke();
    score = round.finishHole();
    EXPECT_STREQ(score.announcement, "Game Over");
    EXPECT_TRUE(score.roundOver);
    EXPECT_EQ(score.total, 73);
    EXPECT_EQ(round.hole(), 0);
    EXPECT_EQ(round.total(), 0);
}

TEST(SavedRecord, SixBytesOfThreeLittleEndianShorts) {
    ByteArray record = newByteArray(SavedState::size);
    SavedState::store(record, 5, 260, SavedState::soundOff | SavedState::femaleGolfer);
    const uint8_t expected[] = {5, 0, 4, 1, 3, 0};
    for (int i = 0; i < SavedState::size; ++i) {
        EXPECT_EQ(record[i], expected[i]) << i;
    }
    EXPECT_EQ(SavedState::getShort(record, SavedState::totalOffset), 260);
    EXPECT_EQ(SavedState::getShort(record, SavedState::flagsOffset), 3);
}

TEST(SavedRecord, ShortsAreUnsignedAndKeepTheLowSixteenBits) {
    ByteArray record = newByteArray(SavedState::size);
    SavedState::setShort(record, 0, -1);
    EXPECT_EQ(SavedState::getShort(record, 0), 0xFFFF);
    SavedState::setShort(record, 2, 0x12345);
    EXPECT_EQ(SavedState::getShort(record, 2), 0x2345);
    EXPECT_EQ(record[2], 0x45);
    EXPECT_EQ(record[3], 0x23);
    EXPECT_EQ(record[4], 0);  // the neighbour is untouched
}

TEST(SavedRecord, SanitizingKeepsRealPositionsAndKnownOptions) {
    ByteArray record = newByteArray(SavedState::size);
    const auto check = [&](std::vector<uint8_t> bytes, std::vector<uint8_t> expected) {
        for (int i = 0; i < SavedState::size; ++i) {
            record[i] = bytes[i];
        }
        SavedState::sanitize(record);
        for (int i = 0; i < SavedState::size; ++i) {
            EXPECT_EQ(record[i], expected[i]) << "byte " << i << " of a record from " << int(bytes[0]);
        }
    };
    check({17, 0, 0x0F, 0x27, 3, 0}, {17, 0, 0x0F, 0x27, 3, 0});  // hole 18, 9999 strokes
    check({18, 0, 5, 0, 1, 0}, {0, 0, 0, 0, 1, 0});
    check({3, 0, 0x10, 0x27, 2, 0}, {0, 0, 0, 0, 2, 0});  // 10000 strokes
    check({3, 0, 9, 0, 4, 0}, {3, 0, 9, 0, 0, 0});
    check({3, 0, 9, 0, 0, 0x80}, {3, 0, 9, 0, 0, 0});
    check({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, {0, 0, 0, 0, 0, 0});
    EXPECT_TRUE(SavedState::isRealPosition(record));
    ByteArray shortRecord = newByteArray(2);
    EXPECT_FALSE(SavedState::isRealPosition(shortRecord));
    SavedState::sanitize(shortRecord);  // nothing to do, nothing overrun
}
