// The state file as user data: whatever it holds, the game starts from a real position,
// and an option changed in the main menu never loses the saved round.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/game/GameHarness.h"

using namespace fairholm;
using fairholm::testing::GameHarness;

namespace {

struct Resumed {
    int32_t hole, total;
    bool soundOff;
    int32_t golfer;
    std::string holeText, parText;
};

// Starts the game over a state file holding `bytes` and resumes from the main menu.
Resumed resumeFrom(const std::vector<uint8_t>& bytes) {
    GameHarness h;
    h.writeSavedFile(bytes);
    h.restart();
    h.runToMainMenu();
    Golf& g = h.game();
    h.key('R');
    EXPECT_TRUE(h.runToState(Golf::Aiming));
    return {g.holeIndex(),
            g.roundTotal(),
            g.soundOff(),
            g.golferFrameBase(),
            GameHarness::textOf(g.holeText()),
            GameHarness::textOf(g.parText())};
}

}  // namespace

TEST(StateFile, RecordsThatDescribeNoRealPositionStartAFreshRound) {
    const std::vector<std::vector<uint8_t>> hostile = {
        {18, 0, 0, 0, 0, 0},                   // one hole past the last
        {48, 0, 0, 0, 0, 0},                   // "Hole 49", "Par 75"
        {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},  // every bit
        {0x30},                                // one byte
        {'V', 'I', 'C', 'T', 'I', 'M'},        // six foreign bytes
        {2, 0, 0x10, 0x27, 0, 0},              // a total of 10000: more than the scorecard shows
        {0xFF, 0x7F, 0, 0, 0, 0},
    };
    for (const auto& bytes : hostile) {
        const Resumed r = resumeFrom(bytes);
        EXPECT_EQ(r.hole, 0) << bytes.size() << " bytes from " << int(bytes[0]);
        EXPECT_EQ(r.total, 0);
        EXPECT_EQ(r.holeText, "Hole 1");
        EXPECT_EQ(r.parText, "Par 4 - 1");
    }
}

TEST(StateFile, KnownOptionsOfABrokenRecordStayAndUnknownBitsGiveTheDefaults) {
    Resumed r = resumeFrom({40, 0, 0, 0, 3, 0});  // no real hole, but real options
    EXPECT_EQ(r.hole, 0);
    EXPECT_TRUE(r.soundOff);
    EXPECT_EQ(r.golfer, 36);
    r = resumeFrom({3, 0, 9, 0, 7, 0});  // a real position, an unknown option bit
    EXPECT_EQ(r.hole, 3);
    EXPECT_EQ(r.total, 9);
    EXPECT_FALSE(r.soundOff);
    EXPECT_EQ(r.golfer, 13);
}

TEST(StateFile, ARealRecordResumesWhereItSays) {
    const Resumed r = resumeFrom({17, 0, 0x0F, 0x27, 3, 0});  // hole 18, 9999 strokes
    EXPECT_EQ(r.hole, 17);
    EXPECT_EQ(r.total, 9999);
    EXPECT_TRUE(r.soundOff);
    EXPECT_EQ(r.holeText, "Hole 18");
    EXPECT_EQ(r.parText, "Par 5 - 1");
}

TEST(StateFile, OptionsChangedAfterStartUpKeepTheSavedRound) {
    GameHarness h;
    h.writeSavedFile({4, 0, 12, 0, 0, 0});
    h.restart();
    h.runToMainMenu();
    h.keys({'S'});
    EXPECT_EQ(h.savedFile(), (std::vector<uint8_t>{4, 0, 12, 0, 1, 0}));
    h.keys({'F'});
    EXPECT_EQ(h.savedFile(), (std::vector<uint8_t>{4, 0, 12, 0, 3, 0}));
    h.key('R');
    ASSERT_TRUE(h.runToState(Golf::Aiming));
    EXPECT_EQ(h.game().holeIndex(), 4);
    EXPECT_EQ(h.game().roundTotal(), 12);
    // A hostile file is written back as the fresh round it was read as.
    GameHarness other;
    other.writeSavedFile({'V', 'I', 'C', 'T', 'I', 'M'});
    other.restart();
    other.runToMainMenu();
    other.keys({'S'});
    EXPECT_EQ(other.savedFile(), (std::vector<uint8_t>{0, 0, 0, 0, 1, 0}));
}

TEST(StateFile, AFailedSaveIsSaidOnTheScorecard) {
    GameHarness h;
    h.startNewGame();
    Golf& g = h.game();
    // A folder in the state file's place: nothing can be written there.
    std::filesystem::create_directories(h.directory() + "/greenvale/inside");
    g.round().setStrokes(4);
    g.finishHole();
    EXPECT_TRUE(g.saveFailed());
    ASSERT_NE(g.messageText(), nullptr);
    EXPECT_EQ(GameHarness::textOf(g.messageText()), "Progress not saved");
    EXPECT_TRUE(g.messageText()->hasParent());
    EXPECT_GE(g.messageText()->top(), 0);
    h.key('x');
    ASSERT_TRUE(h.runUntil([&] { return g.state() == Golf::Aiming && g.holeIndex() == 1; }));
    EXPECT_EQ(g.messageText(), nullptr);
    // Once the folder is gone the next save works and says nothing.
    std::filesystem::remove_all(h.directory() + "/greenvale");
    g.round().setStrokes(3);
    g.finishHole();
    EXPECT_FALSE(g.saveFailed());
    EXPECT_EQ(g.messageText(), nullptr);
    EXPECT_EQ(h.savedFile(), (std::vector<uint8_t>{2, 0, 7, 0, 0, 0}));
}
