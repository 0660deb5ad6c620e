// The instant replay of the last shot: shown from three cameras, and afterwards the game
// exactly as it was (every sprite, the camera, the HUD, the wind, the frame drawn). The
// handset game ignores its key while aiming.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "engine/sprite/EngineKey.h"
#include "tests/game/GameHarness.h"

using namespace fairholm;
using fairholm::testing::GameHarness;

namespace {

// Everything a sprite tree shows and where, one line a sprite, children indented.
void describeTree(const Vsprite& sprite, int depth, std::ostringstream& out) {
    out << std::string(static_cast<size_t>(depth), ' ') << sprite.getX() << ',' << sprite.getY() << " w"
        << sprite.getWorldX() << ',' << sprite.getWorldY() << ',' << sprite.getWorldZ() << " f"
        << sprite.getFrame() << " o" << sprite.getOpacity() << " s" << sprite.getScale() << " min"
        << sprite.minScale() << " c" << sprite.colour() << ' ' << sprite.getWidth() << 'x'
        << sprite.getHeight() << " b" << sprite.left() << ',' << sprite.top() << ',' << sprite.right() << ','
        << sprite.bottom() << " t" << sprite.getTag();
    if (const auto* text = dynamic_cast<const Vtext*>(&sprite)) {
        out << " \"" << (text->text() ? text->text()->view() : "") << '|' << text->digitsText()->view()
            << '"';
    }
    out << '\n';
    for (const Vsprite* child = sprite.firstChild(); child; child = child->next()) {
        describeTree(*child, depth + 1, out);
    }
}

std::string describeGame(const Golf& g) {
    std::ostringstream out;
    out << "state " << g.state() << " hole " << g.holeIndex() << " strokes " << g.strokes() << " club "
        << g.club() << " aim " << g.aim() << " power " << g.power() << " wind " << g.windStrength() << '/'
        << g.windDirection() << " eye " << g.eyeHeight() << " floor " << g.cameraFloor() << " help "
        << g.keyHelpHidden() << " heading " << g.terrainView()->getHeading() << " frame " << g.frameHash()
        << '\n';
    describeTree(g, 0, out);
    return out.str();
}

// A game aiming its second shot (the first one flown and at rest), comforts on or off.
void afterOneShot(GameHarness& h, bool comfort) {
    h.game().setComfort(comfort);
    h.startNewGame();
    h.key(key::action);
    h.runFor(900);
    h.key(key::action);
    ASSERT_TRUE(h.runToState(Golf::BallInFlight, 3000));
    ASSERT_TRUE(
        h.runUntil([&h] { return h.game().state() == Golf::Aiming && h.game().strokes() == 1; }, 60000));
    h.runFor(1000);
}

bool hasEntry(const Vmenu& menu, int32_t tag) {
    for (const Vsprite* item = menu.firstChild(); item; item = item->next()) {
        if (item->getTag() == tag) {
            return true;
        }
    }
    return false;
}

}  // namespace

TEST(GolfShotReplay, ShowsTheShotAndLeavesTheGameExactlyAsItWas) {
    GameHarness h;
    afterOneShot(h, true);
    Golf& g = h.game();
    ASSERT_TRUE(g.hasShotToReplay());
    EXPECT_GT(g.shotFrames(), 20u);

    std::string before;
    std::string after;
    int32_t framesShown = 0;
    bool replaying = false;
    g.setReplayWatcher([&](bool starting) {
        replaying = starting;
        (starting ? before : after) = describeGame(g);
    });
    // The replay's own frames: the caption is up, the camera somewhere else.
    const int64_t invalidations = h.platform().invalidations;
    h.watch([&] {
        if (replaying) {
            ++framesShown;
        }
    });
    h.key(Golf::replayKey);
    ASSERT_TRUE(h.runUntil([&] { return !after.empty(); }, 60000));
    EXPECT_GT(framesShown, static_cast<int32_t>(g.shotFrames()) * 2)
        << "three cameras, every frame of the shot";
    EXPECT_GT(h.platform().invalidations, invalidations);
    ASSERT_FALSE(before.empty());
    EXPECT_EQ(before, after);
    EXPECT_EQ(g.state(), Golf::Aiming);
}

// Keys delivered at game times after `start`, while the game runs on (a harness run
// that ends stops the game's loop, and a replay with it).
void keysAt(GameHarness& h, std::vector<std::pair<uint32_t, int32_t>> keys) {
    const uint32_t start = h.now();
    h.watch([&h, start, keys = std::move(keys), next = size_t{0}]() mutable {
        while (next < keys.size() && h.now() - start >= keys[next].first) {
            h.key(keys[next++].second);
        }
    });
}

TEST(GolfShotReplay, TheReplayKeyMovesOnAndTheBackKeyEndsIt) {
    GameHarness h;
    afterOneShot(h, true);
    Golf& g = h.game();
    std::string before;
    std::string after;
    uint32_t started = 0;
    uint32_t ended = 0;
    g.setReplayWatcher([&](bool starting) {
        (starting ? before : after) = describeGame(g);
        (starting ? started : ended) = h.now();
    });
    // In full: three times the shot.
    keysAt(h, {{50, Golf::replayKey}});
    ASSERT_TRUE(h.runUntil([&] { return !after.empty(); }, 60000));
    EXPECT_EQ(before, after);
    const uint32_t full = ended - started;
    // "3" twice more skips the first two cameras: the third one alone is shown in full.
    after.clear();
    keysAt(h, {{50, Golf::replayKey}, {250, Golf::replayKey}, {300, Golf::replayKey}});
    ASSERT_TRUE(h.runUntil([&] { return !after.empty(); }, 60000));
    EXPECT_EQ(before, after);
    const uint32_t skipped = ended - started;
    EXPECT_LT(skipped * 2, full);
    EXPECT_GT(skipped * 4, full);
    // The back key ends the replay at once, and not the round.
    after.clear();
    keysAt(h, {{50, Golf::replayKey}, {300, key::back}});
    ASSERT_TRUE(h.runUntil([&] { return !after.empty(); }, 60000));
    EXPECT_EQ(before, after);
    EXPECT_LT(ended - started, 400u);
    h.runFor(500);
    EXPECT_EQ(g.state(), Golf::Aiming);
}

TEST(GolfShotReplay, TheHandsetGameIgnoresTheKeyAndANewHoleHasNoShotToShow) {
    GameHarness h;
    afterOneShot(h, false);
    Golf& g = h.game();
    bool called = false;
    g.setReplayWatcher([&](bool) { called = true; });
    const std::string before = describeGame(g);
    h.keys({Golf::replayKey});
    EXPECT_FALSE(called);
    EXPECT_EQ(g.state(), Golf::Aiming);

    // The key help of the handset game has no replay entry; the desktop one has.
    EXPECT_FALSE(hasEntry(*g.playKeyHelp(), '3'));
    GameHarness comfortable;
    comfortable.game().setComfort(true);
    comfortable.startNewGame();
    EXPECT_TRUE(hasEntry(*comfortable.game().playKeyHelp(), '3'));
    EXPECT_FALSE(comfortable.game().hasShotToReplay()) << "no shot yet on the first tee";
}
