// Stroke play for two to four players: turns in the order of honours, the stroke limit,
// the table and its winners, and the saved round read back or refused as a whole.
#include <gtest/gtest.h>

#include <vector>

#include "game/Course.h"
#include "game/Match.h"
#include "game/MatchFile.h"
#include "runtime/Crc32.h"

using namespace fairholm;

namespace {

// Plays the current hole out for every player with the strokes given in turn order.
void playHole(Match& m, std::initializer_list<int32_t> strokesInTurn) {
    for (const int32_t strokes : strokesInTurn) {
        for (int32_t s = 0; s < strokes; ++s) {
            m.addStroke();
        }
        m.finishTurn();
    }
}

std::vector<int32_t> order(const Match& m) {
    std::vector<int32_t> players;
    for (int32_t t = 0; t < m.players(); ++t) {
        players.push_back(m.orderAt(t));
    }
    return players;
}

}  // namespace

TEST(Match, PlayersTakeTurnsInTheOrderOfHonours) {
    Match m;
    m.start(4);
    EXPECT_EQ(m.players(), 4);
    EXPECT_EQ(m.player(2).name, "Player 3");
    EXPECT_EQ(order(m), (std::vector<int32_t>{0, 1, 2, 3}));
    // Hole 1: players 0..3 take 5, 4, 6, 4: the two 4s go first, in the order they had.
    EXPECT_EQ(m.current(), 0);
    playHole(m, {5, 4, 6, 4});
    EXPECT_EQ(m.hole(), 1);
    EXPECT_EQ(order(m), (std::vector<int32_t>{1, 3, 0, 2}));
    EXPECT_EQ(m.current(), 1);
    // Hole 2 in that order: players 1, 3, 0, 2 take 3, 4, 2, 3.
    playHole(m, {3, 4, 2, 3});
    EXPECT_EQ(order(m), (std::vector<int32_t>{0, 1, 2, 3}));
    EXPECT_EQ(m.player(3).strokes[0], 4);
    EXPECT_EQ(m.player(3).strokes[1], 4);
    EXPECT_EQ(m.player(0).total(), 7);
    EXPECT_EQ(m.player(0).relative(), 7 - Course::par(0) - Course::par(1));
    // Clamped to two to four players.
    m.start(1);
    EXPECT_EQ(m.players(), 2);
    m.start(9);
    EXPECT_EQ(m.players(), 4);
}

TEST(Match, ABallIsPickedUpAtParPlusFive) {
    Match m;
    m.start(2);
    const int32_t limit = Course::par(0) + Match::pickUpOver;
    EXPECT_EQ(Match::strokeLimit(0), limit);
    for (int32_t s = 1; s < limit; ++s) {
        m.addStroke();
        EXPECT_FALSE(m.mustPickUp()) << s;
    }
    m.addPenalty();
    EXPECT_TRUE(m.mustPickUp());
    m.addPenalty();  // a penalty on the last stroke does not score more than the limit
    m.finishTurn();
    EXPECT_EQ(m.player(0).strokes[0], limit);
    EXPECT_EQ(m.current(), 1);
}

TEST(Match, EighteenHolesEndTheRoundWithATableAndItsWinners) {
    Match m;
    m.start(3);
    for (int32_t hole = 0; hole < Match::holeCount; ++hole) {
        ASSERT_FALSE(m.roundOver());
        // Player 2 always scores par, players 0 and 1 one over on odd holes.
        std::vector<int32_t> byPlayer = {Course::par(hole) + (hole % 2), Course::par(hole) + (hole % 2),
                                         Course::par(hole)};
        for (int32_t t = 0; t < m.players(); ++t) {
            for (int32_t s = 0; s < byPlayer[static_cast<size_t>(m.current())]; ++s) {
                m.addStroke();
            }
            EXPECT_EQ(m.finishTurn(), t == m.players() - 1);
        }
    }
    EXPECT_TRUE(m.roundOver());
    EXPECT_FALSE(m.finishTurn()) << "nothing is played after the round";
    const auto table = m.standings();
    EXPECT_EQ(table[0].player, 2);
    EXPECT_EQ(table[0].relative, 0);
    EXPECT_EQ(table[0].place, 1);
    EXPECT_EQ(table[1].place, 2);
    EXPECT_EQ(table[2].place, 2) << "a tie shares the place";
    EXPECT_EQ(table[1].total, table[2].total);
    EXPECT_EQ(table[1].relative, 9);
    EXPECT_EQ(m.winners(), 1u << 2);
}

TEST(MatchFile, ARoundIsReadBackAsItWasSaved) {
    Match m;
    m.start(4);
    m.player(1).name = "Ann";
    m.player(2).female = true;
    playHole(m, {5, 4, 6, 4});
    playHole(m, {3, 4});  // half of hole 2
    const std::vector<uint8_t> bytes = MatchFile::write(m);
    EXPECT_LE(bytes.size(), MatchFile::maxBytes);
    Match read;
    ASSERT_TRUE(MatchFile::read(bytes.data(), bytes.size(), read));
    EXPECT_EQ(read.players(), 4);
    EXPECT_EQ(read.hole(), 1);
    EXPECT_EQ(read.turn(), 2);
    EXPECT_EQ(read.current(), m.current());
    EXPECT_EQ(order(read), order(m));
    EXPECT_EQ(read.player(1).name, "Ann");
    EXPECT_TRUE(read.player(2).female);
    for (int32_t p = 0; p < 4; ++p) {
        EXPECT_EQ(read.player(p).strokes, m.player(p).strokes) << p;
    }
    EXPECT_EQ(MatchFile::write(read), bytes);
    // The round goes on from there exactly as the saved one would.
    playHole(read, {2, 3});
    playHole(m, {2, 3});
    EXPECT_EQ(MatchFile::write(read), MatchFile::write(m));
}

TEST(MatchFile, ABrokenFileIsRefusedAsAWhole) {
    Match m;
    m.start(2);
    playHole(m, {4, 5});
    const std::vector<uint8_t> good = MatchFile::write(m);
    Match untouched;
    untouched.start(3);
    const std::vector<uint8_t> before = MatchFile::write(untouched);
    const auto refused = [&](const std::vector<uint8_t>& bytes) {
        Match target = untouched;
        const bool read = MatchFile::read(bytes.data(), bytes.size(), target);
        return !read && MatchFile::write(target) == before;
    };
    // Every cut, and every flipped bit, of a good file.
    for (size_t cut = 0; cut < good.size(); ++cut) {
        EXPECT_TRUE(refused(std::vector<uint8_t>(good.begin(), good.begin() + static_cast<long>(cut))))
            << cut;
    }
    for (size_t at = 0; at < good.size(); ++at) {
        for (int bit = 0; bit < 8; ++bit) {
            std::vector<uint8_t> bad = good;
            bad[at] ^= static_cast<uint8_t>(1 << bit);
            EXPECT_TRUE(refused(bad)) << at << ':' << bit;
        }
    }
    EXPECT_FALSE(MatchFile::read(nullptr, 0, untouched));
}

// A file whose checksum matches but whose round cannot be: each is refused.
TEST(MatchFile, ARoundNoGameCanBeInIsRefused) {
    // The bytes with their checksum made anew.
    const auto resealed = [](std::vector<uint8_t> bytes) {
        bytes.resize(bytes.size() - 4);
        const uint32_t crc = Crc32::of(bytes.data(), bytes.size());
        for (int shift = 0; shift < 32; shift += 8) {
            bytes.push_back(static_cast<uint8_t>(crc >> shift));
        }
        return bytes;
    };
    Match m;
    m.start(2);
    playHole(m, {4, 5});
    const std::vector<uint8_t> good = MatchFile::write(m);
    Match target;
    ASSERT_TRUE(MatchFile::read(good.data(), good.size(), target));
    const auto refused = [&](size_t at, uint8_t value) {
        std::vector<uint8_t> bad = good;
        bad[at] = value;
        bad = resealed(bad);
        return !MatchFile::read(bad.data(), bad.size(), target);
    };
    EXPECT_TRUE(refused(4, 2)) << "another version";
    EXPECT_TRUE(refused(5, 1)) << "one player";
    EXPECT_TRUE(refused(5, 5)) << "five players";
    EXPECT_TRUE(refused(6, 19)) << "a hole after the last";
    EXPECT_TRUE(refused(6, 0)) << "hole 1 again, with hole 1's scores kept";
    EXPECT_TRUE(refused(6, 2)) << "hole 3, hole 2 not played";
    EXPECT_TRUE(refused(7, 2)) << "a turn past the players";
    EXPECT_TRUE(refused(8, 1)) << "a player twice in the order";
    EXPECT_TRUE(refused(8, 7)) << "no such player in the order";
    EXPECT_TRUE(refused(12, 2)) << "unknown flags";
    EXPECT_TRUE(refused(13, 17)) << "a name too long";
    EXPECT_TRUE(refused(14, 0x07)) << "a name that is not text";
    const size_t firstHole = 14 + 8;  // flags, length, "Player 1"
    EXPECT_TRUE(refused(firstHole, 0)) << "a hole played without strokes";
    EXPECT_TRUE(refused(firstHole, static_cast<uint8_t>(Match::strokeLimit(0) + 1))) << "over the limit";
    EXPECT_TRUE(refused(firstHole + 1, 3)) << "strokes on a hole not played yet";
    // The one-player record is not one of these.
    const uint8_t onePlayer[6] = {3, 0, 10, 0, 3, 0};
    EXPECT_FALSE(MatchFile::read(onePlayer, sizeof onePlayer, target));
}
