// The desktop comforts against the handset game they leave untouched when off: the swing
// key, the camera that follows every aim step, fast-forward, the scorecard, the map's
// panels beside the pin, the water message and the help screen. And the wind arrow
// beside its number on every screen size.
#include <gtest/gtest.h>

#include "engine/sprite/EngineKey.h"
#include "tests/game/GameHarness.h"

using namespace fairholm;
using fairholm::testing::GameHarness;

namespace {

// A game at the first tee, aiming, with the comforts on or off.
void startAiming(GameHarness& h, bool comfort) {
    h.game().setComfort(comfort);
    h.startNewGame();
}

// Where a course point is drawn on the screen while the map is shown.
void mapPoint(Golf& g, fixed x, fixed z, int32_t& sx, int32_t& sy) {
    const fixed scale = g.mapSprite()->getScale();
    sx = (g.mapSprite()->getX() + fx::mul(x, scale)) >> 15;
    sy = (g.mapSprite()->getY() + fx::mul(z, scale)) >> 15;
}

bool panelHolds(const Vsprite& panel, int32_t x, int32_t y) {
    const int32_t px = panel.getX() >> 15;
    const int32_t py = panel.getY() >> 15;
    return x >= px && x < px + panel.getWidth() && y >= py && y < py + panel.getHeight();
}

// A full swing stopped after `meterMillis`; runs until the ball is in the air.
void swing(GameHarness& h, uint32_t meterMillis) {
    h.key(key::action);
    h.runFor(meterMillis);
    h.key(key::action);
    ASSERT_TRUE(h.runToState(Golf::BallInFlight, 3000));
}

}  // namespace

// After a turn with "6" the play-key panel highlights "6 Right": the handset game's
// action key then turns again; on a desktop Enter swings.
TEST(GolfComfort, TheActionKeySwingsWhateverThePanelHighlights) {
    for (bool comfort : {false, true}) {
        GameHarness h;
        startAiming(h, comfort);
        Golf& g = h.game();
        h.keys({'6'});
        const angle aim = g.aim();
        h.keys({key::action});
        if (comfort) {
            EXPECT_EQ(g.state(), Golf::SwingMeter);
            EXPECT_EQ(g.aim(), aim);
        } else {
            EXPECT_EQ(g.state(), Golf::Aiming);
            EXPECT_EQ(g.aim(), aim + 128);
        }
    }
    // After the map is closed with "9" the panel highlights "7 Above".
    GameHarness h;
    startAiming(h, true);
    h.keys({'7'});
    ASSERT_EQ(h.game().state(), Golf::MapBrowse);
    h.keys({'9'});
    h.runFor(500);
    h.keys({key::action});
    EXPECT_EQ(h.game().state(), Golf::SwingMeter);
}

TEST(GolfComfort, TheCameraFollowsEveryAimStepAtOnce) {
    GameHarness h;
    startAiming(h, true);
    Golf& g = h.game();
    for (int32_t step = 1; step <= 6; ++step) {
        const uint32_t before = h.now();
        h.key(key::right);
        h.runFor(16);
        EXPECT_EQ(g.terrainView()->getHeading(), g.aim() & 0x7FFF) << step;
        // No strip reveal holds the frame up.
        EXPECT_LE(h.now() - before, 48u) << step;
    }
}

// Holding the fast-forward key computes the same frames of the ball's flight and roll
// and shows fewer of them: it rests where it would have, in less time.
TEST(GolfComfort, FastForwardEndsAShotSoonerWhereItWouldHaveRested) {
    fixed rest[2][3] = {};
    uint32_t took[2] = {};
    for (int32_t fast = 0; fast < 2; ++fast) {
        GameHarness h;
        startAiming(h, true);
        Golf& g = h.game();
        swing(h, 1500);
        const uint32_t struck = h.now();
        if (fast) {
            g.keyPressed(key::fast);
        }
        ASSERT_TRUE(h.runToState(Golf::Aiming, 60000));
        took[fast] = h.now() - struck;
        rest[fast][0] = g.ballSprite()->getWorldX();
        rest[fast][1] = g.ballSprite()->getWorldY();
        rest[fast][2] = g.ballSprite()->getWorldZ();
        EXPECT_EQ(g.strokes(), 1);
        if (fast) {
            // Still held at rest: its presses neither swing nor pile up.
            g.keyPressed(key::action);
            g.keyPressed(key::fast);
            h.runFor(200);
            EXPECT_EQ(g.state(), Golf::Aiming);
            g.keyReleased(key::fast);
            g.keyReleased(key::action);
            h.keys({key::action});
            EXPECT_EQ(g.state(), Golf::SwingMeter);
        }
    }
    EXPECT_EQ(rest[1][0], rest[0][0]);
    EXPECT_EQ(rest[1][1], rest[0][1]);
    EXPECT_EQ(rest[1][2], rest[0][2]);
    EXPECT_LT(took[1] * 2, took[0]) << took[0] << " ms against " << took[1] << " ms";
}

TEST(GolfComfort, FastForwardIsADesktopComfort) {
    uint32_t took[2] = {};
    for (int32_t held = 0; held < 2; ++held) {
        GameHarness h;
        startAiming(h, false);
        swing(h, 1500);
        const uint32_t struck = h.now();
        if (held) {
            h.game().keyPressed(key::fast);
        }
        ASSERT_TRUE(h.runToState(Golf::Aiming, 60000));
        took[held] = h.now() - struck;
    }
    EXPECT_EQ(took[1], took[0]);
}

TEST(GolfComfort, AnyKeyTakesTheScorecardAway) {
    for (bool comfort : {false, true}) {
        GameHarness h;
        startAiming(h, comfort);
        Golf& g = h.game();
        g.round().setStrokes(4);
        g.finishHole();
        h.keys({key::left});
        EXPECT_EQ(g.state() == Golf::Scorecard, !comfort) << comfort;
    }
}

// Hole 1 on a 240 x 320 screen: the map fits ball and pin, and the pin lands under the
// top-left panel. With the comforts the panel makes way.
TEST(GolfComfort, TheMapPanelsStepAsideFromThePin) {
    for (bool comfort : {false, true}) {
        GameHarness h;
        startAiming(h, comfort);
        Golf& g = h.game();
        h.keys({'7'});
        ASSERT_EQ(g.state(), Golf::MapBrowse);
        int32_t x = 0;
        int32_t y = 0;
        mapPoint(g, g.pinSprite()->getWorldX(), g.pinSprite()->getWorldZ(), x, y);
        EXPECT_EQ(panelHolds(*g.hudPanel(), x, y), !comfort) << comfort << " pin at " << x << "," << y;
        mapPoint(g, g.ballSprite()->getWorldX(), g.ballSprite()->getWorldZ(), x, y);
        EXPECT_FALSE(panelHolds(*g.hudPanel(), x, y));
        EXPECT_FALSE(panelHolds(*g.mapKeyHelp(), x, y));
        if (comfort) {
            // Back at the tee the panel is at the top again.
            h.keys({'9'});
            EXPECT_EQ(g.hudPanel()->getY() >> 15, 2);
        }
    }
}

TEST(GolfComfort, WaterSaysWhatItCosts) {
    for (bool comfort : {false, true}) {
        GameHarness h;
        startAiming(h, comfort);
        Golf& g = h.game();
        g.setState(Golf::BallInFlight);
        const fixed x = 420 << 15;
        const fixed z = 420 << 15;  // the test course's pond
        g.ballBody()->setPosition(x, g.terrain()->heightAt(x, z), z);
        g.ballBody()->setVelocity(0, 0, 0);
        EXPECT_TRUE(g.stepBall());
        ASSERT_EQ(g.state(), Golf::WaterSplash);
        if (comfort) {
            ASSERT_NE(g.messageText(), nullptr);
            EXPECT_EQ(GameHarness::textOf(g.messageText()), "Water hazard: penalty stroke");
            EXPECT_TRUE(g.messageText()->hasParent());
        } else {
            EXPECT_EQ(g.messageText(), nullptr);
        }
        ASSERT_TRUE(h.runToState(Golf::Aiming));
        EXPECT_EQ(g.messageText(), nullptr);
    }
}

TEST(GolfComfort, HelpIsReadWithoutTheTitleBehindIt) {
    for (bool comfort : {false, true}) {
        GameHarness h;
        h.game().setComfort(comfort);
        h.runToMainMenu();
        Golf& g = h.game();
        bool titleDuringHelp = true;
        bool sawHelp = false;
        h.watch([&] {
            if (g.state() == Golf::MainMenu && !g.mainMenu()->hasParent()) {
                sawHelp = true;
                titleDuringHelp = g.titleSprite()->hasParent();
            }
        });
        h.keys({'H'});
        h.watch(nullptr);
        ASSERT_TRUE(sawHelp);
        EXPECT_EQ(titleDuringHelp, !comfort);
        h.keys({key::action}, 100);
        EXPECT_TRUE(g.titleSprite()->hasParent());
    }
}

// The arrow stands right of the wind number, inside the panel, on every screen size.
TEST(GolfComfort, TheWindArrowIsBesideItsNumber) {
    const int32_t sizes[][2] = {{176, 220}, {240, 320}, {320, 240}, {480, 640}};
    for (const auto& size : sizes) {
        GameHarness h(size[0], size[1]);
        h.startNewGame();
        Golf& g = h.game();
        const Vtext& text = *g.windText();
        const Vsprite& arrow = *g.windArrow();
        const int32_t textRight = (text.getX() >> 15) + text.getWidth();
        const int32_t arrowLeft = arrow.getX() >> 15;
        EXPECT_GE(arrowLeft, textRight) << size[0] << "x" << size[1];
        EXPECT_LE(arrowLeft + arrow.getWidth(), g.hudPanel()->getWidth()) << size[0] << "x" << size[1];
        // Both boxes overlap vertically: the arrow is on the wind row.
        EXPECT_LT(arrow.getY() >> 15, (text.getY() >> 15) + text.getHeight());
        EXPECT_GT((arrow.getY() >> 15) + arrow.getHeight(), text.getY() >> 15);
    }
}
