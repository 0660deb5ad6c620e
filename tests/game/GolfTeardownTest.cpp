// Taking the game apart: whatever state the game is left in, the teardown frees every
// object the game made, on the screen or put aside.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "engine/sprite/EngineKey.h"
#include "tests/game/GameHarness.h"

using namespace fairholm;
using fairholm::testing::GameHarness;

namespace {

// Objects alive after a game played by `play` has been torn down and released.
int64_t liveAfter(const std::function<void(GameHarness&)>& play) {
    {
        GameHarness h;
        play(h);
    }
    return Object::liveObjects();
}

// The same play twice: the first run leaves what lives for the whole process (interned
// literals, the default font), the second must leave exactly as much.
void expectNothingLeft(const char* what, const std::function<void(GameHarness&)>& play) {
    liveAfter(play);
    const int64_t before = Object::liveObjects();
    const int64_t after = liveAfter(play);
    EXPECT_EQ(after, before) << what << ": " << after - before << " objects outlived the game";
}

}  // namespace

TEST(GolfTeardown, NothingOutlivesTheGameWhereverItStopped) {
    expectNothingLeft("at the title", [](GameHarness& h) { h.runToState(Golf::MainMenu); });
    expectNothingLeft("in the main menu", [](GameHarness& h) { h.runToMainMenu(); });
    expectNothingLeft("aiming", [](GameHarness& h) { h.startNewGame(); });
    expectNothingLeft("on the map", [](GameHarness& h) {
        h.startNewGame();
        h.keys({'7', '1'});
        ASSERT_EQ(h.game().state(), Golf::MapBrowse);
    });
    expectNothingLeft("in the club menu", [](GameHarness& h) {
        h.startNewGame();
        bool inMenu = false;
        h.watch([&] { inMenu = inMenu || h.game().clubMenu()->hasParent(); });
        h.key('1');
        ASSERT_TRUE(h.runUntil([&] { return inMenu; }, 2000));
    });
    expectNothingLeft("on the meter", [](GameHarness& h) {
        h.startNewGame();
        h.key('5');
        ASSERT_TRUE(h.runToState(Golf::SwingMeter, 2000));
    });
    expectNothingLeft("with the ball in flight", [](GameHarness& h) {
        h.startNewGame();
        h.keys({'5'}, 1000);
        h.key('5');
        ASSERT_TRUE(h.runToState(Golf::BallInFlight, 5000));
    });
    expectNothingLeft("on the scorecard", [](GameHarness& h) {
        h.startNewGame();
        h.game().finishHole();
        ASSERT_EQ(h.game().state(), Golf::Scorecard);
    });
    expectNothingLeft("in the next hole after a message", [](GameHarness& h) {
        h.startNewGame();
        h.game().showMessage(lit("Out of bounds"));
        h.game().finishHole();
        h.key('x');
        ASSERT_TRUE(
            h.runUntil([&] { return h.game().state() == Golf::Aiming && h.game().holeIndex() == 1; }));
    });
    expectNothingLeft("in the menu during a hole", [](GameHarness& h) {
        h.startNewGame();
        h.key(key::back);
        ASSERT_TRUE(h.runToState(Golf::MainMenu, 2000));
        h.runFor(100);
    });
    expectNothingLeft("in the help text", [](GameHarness& h) {
        h.runToMainMenu();
        bool helpShown = false;
        h.watch([&] { helpShown = helpShown || !h.game().mainMenu()->hasParent(); });
        h.key('H');
        ASSERT_TRUE(h.runUntil([&] { return helpShown; }, 2000));
    });
}

TEST(GolfTeardown, TheListOfPartsDoesNotGrowFromHoleToHole) {
    GameHarness h;
    h.startNewGame();
    Golf& g = h.game();
    size_t first = 0;
    for (int hole = 0; hole < 6; ++hole) {
        g.finishHole();
        h.key('x');
        ASSERT_TRUE(h.runUntil([&] { return g.state() == Golf::Aiming && g.holeIndex() == hole + 1; }));
        if (hole == 0) {
            first = g.partCount();
        }
    }
    EXPECT_LE(g.partCount(), first + 2);  // a new map sprite at most, not eight sprites a hole
}
