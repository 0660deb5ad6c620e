// The whole game driven through its own run loop: title, menus, holes, shots, penalties,
// scoring and the saved state.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>

#include "game/Clubs.h"
#include "tests/game/GameHarness.h"
#include "tests/support/TestContent.h"

using namespace fairholm;
using fairholm::testing::GameHarness;

namespace {

bool contains(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

// Puts the ball at (x, z) on the ground, at rest, as if it had rolled there.
void placeBall(Golf& g, fixed x, fixed z) {
    g.resume();  // sounds play only while the loop may run
    const fixed y = g.terrain()->heightAt(x, z);
    g.ballBody()->setPosition(x, y, z);
    g.ballBody()->setVelocity(0, 0, 0);
    g.ballSprite()->setWorldPosition(x, y, z);
}

}  // namespace

TEST(GolfFlow, TitleThenMainMenuWithLoadingAndMusic) {
    GameHarness h;
    Golf& g = h.game();
    EXPECT_EQ(g.state(), Golf::TitleSetup);
    ASSERT_TRUE(h.runToState(Golf::MainMenu));
    ASSERT_NE(g.titleSprite(), nullptr);
    EXPECT_EQ(g.titleSprite()->getX(), 120 << 15);
    EXPECT_EQ(g.titleSprite()->getY(), 64 << 15);
    h.runToMainMenu();
    EXPECT_TRUE(g.mainMenu()->hasParent());
    ASSERT_NE(g.terrainView(), nullptr);  // created behind the loading screen
    EXPECT_NE(g.terrain(), nullptr);
    EXPECT_GE(h.now(), 2000u);  // the loading screen stays a second
    EXPECT_TRUE(contains(h.platform().sounds, "music"));
    EXPECT_EQ(GameHarness::textOf(g.soundEntry()), "Sound on");
    EXPECT_EQ(GameHarness::textOf(g.golferEntry()), "Male player");
}

TEST(GolfFlow, NewGameStartsHoleOne) {
    GameHarness h;
    h.startNewGame();
    Golf& g = h.game();
    EXPECT_EQ(g.state(), Golf::Aiming);
    EXPECT_EQ(g.holeIndex(), 0);
    EXPECT_EQ(g.strokes(), 0);
    EXPECT_EQ(g.titleSprite(), nullptr);
    EXPECT_EQ(GameHarness::textOf(g.holeText()), "Hole 1");
    EXPECT_EQ(GameHarness::textOf(g.parText()), "Par 4 - 1");
    EXPECT_EQ(g.club(), 0);  // 360 yards: the driver
    EXPECT_EQ(GameHarness::textOf(g.clubText()), "1W-250");
    const std::string yards = GameHarness::textOf(g.distanceText());
    EXPECT_EQ(yards.rfind("Yards ", 0), 0u) << yards;
    EXPECT_NEAR(std::stoi(yards.substr(6)), 360, 2);
    // Ball, pin and golfer stand on the ground at the tee and the pin.
    EXPECT_EQ(g.ballSprite()->getWorldX(), 89 << 15);
    EXPECT_EQ(g.ballSprite()->getWorldZ(), 436 << 15);
    EXPECT_EQ(g.pinSprite()->getWorldX(), 75 << 15);
    EXPECT_TRUE(g.pinSprite()->slanted());
    EXPECT_TRUE(g.golferSprite()->slanted());
    EXPECT_EQ(g.golferSprite()->getFrame(), 13);
    EXPECT_TRUE(g.terrainView()->hasParent());
    EXPECT_TRUE(g.playKeyHelp()->hasParent());
    EXPECT_TRUE(g.hudPanel()->hasParent());
    // The camera stands 11.33 units behind the ball, looking at the pin.
    const Vterrain& view = *g.terrainView();
    const int64_t dx = view.getWorldX() - g.ballSprite()->getWorldX();
    const int64_t dz = view.getWorldZ() - g.ballSprite()->getWorldZ();
    // (sine and cosine are polynomial fits: the distance is 11.333 to within their error)
    EXPECT_NEAR(std::sqrt(double(dx * dx + dz * dz)) / 32768.0, 11.333, 0.3);
    EXPECT_EQ(g.eyeHeight(), 141986);
}

TEST(GolfFlow, TurningOrbitsTheCameraOnTheFifthStep) {
    GameHarness h;
    h.startNewGame();
    Golf& g = h.game();
    g.playKeyHelp()->removeFromParent();
    const angle heading = g.terrainView()->getHeading();
    const angle aim = g.aim();
    for (int i = 0; i < 4; ++i) {
        g.turnAim(128);
        EXPECT_EQ(g.terrainView()->getHeading(), heading) << i;
    }
    const fixed before = g.terrainView()->getWorldX();
    g.turnAim(128);
    EXPECT_EQ(g.aim(), aim + 640);
    EXPECT_EQ(g.terrainView()->getHeading(), (aim + 640) & 0x7FFF);
    EXPECT_NE(g.terrainView()->getWorldX(), before);
}

TEST(GolfFlow, RaisingAndLoweringStopsAtTheFloor) {
    GameHarness h;
    h.startNewGame();
    Golf& g = h.game();
    const fixed floor = g.cameraFloor();
    h.keys({'2', '2'});
    EXPECT_EQ(g.terrainView()->getWorldY(), floor + 2 * 65536);
    h.keys({'8', '8', '8', '8'});
    EXPECT_EQ(g.terrainView()->getWorldY(), floor);
}

TEST(GolfFlow, ClubMenuKeys) {
    GameHarness h;
    h.startNewGame();
    Golf& g = h.game();
    h.keys({'1', '#'});
    EXPECT_EQ(g.club(), Clubs::pitchingWedge);
    h.keys({'1', '*'});
    EXPECT_EQ(g.club(), Clubs::putter);
    EXPECT_EQ(g.golferSprite()->getFrame(), 13 + 17);
    EXPECT_EQ(GameHarness::textOf(g.clubText()), "PT-100");
    h.keys({'1', 4, '0'});  // down, then cancel
    EXPECT_EQ(g.club(), Clubs::putter);
    h.keys({'1', 4, 5});  // down from the putter wraps to the driver
    EXPECT_EQ(g.club(), 0);
    EXPECT_FALSE(g.clubMenu()->hasParent());
}

TEST(GolfFlow, MeterFillsStopsAndCancels) {
    GameHarness h;
    h.startNewGame();
    Golf& g = h.game();
    h.key('5');
    ASSERT_TRUE(h.runToState(Golf::SwingMeter));
    EXPECT_TRUE(g.meterPanel()->hasParent());
    h.runFor(300);
    EXPECT_GT(g.power(), 0);
    EXPECT_LT(g.power(), Clubs::fullPower);
    h.key(6);  // right soft key: no stroke
    h.runFor(50);
    EXPECT_EQ(g.state(), Golf::Aiming);
    EXPECT_FALSE(g.meterPanel()->hasParent());
    EXPECT_EQ(g.strokes(), 0);

    // A meter left to fill adds an aim error and swings.
    const angle aim = g.aim();
    h.key('5');
    ASSERT_TRUE(
        h.runUntil([&] { return g.state() == Golf::FullSwing || g.state() == Golf::BallInFlight; }, 5000));
    EXPECT_EQ(g.power(), Clubs::fullPower);
    EXPECT_NE(g.aim(), aim);
}

TEST(GolfFlow, FirstMeterFrameNeverStopsIt) {
    GameHarness h;
    h.startNewGame();
    Golf& g = h.game();
    // Two swing keys queued together: the first starts the meter, the second arrives on
    // the meter's first frame and must not stop it.
    h.key('5');
    h.key('5');
    ASSERT_TRUE(h.runToState(Golf::SwingMeter));
    h.runFor(100);
    EXPECT_EQ(g.state(), Golf::SwingMeter);
    // Stopped by a key before it is full: no aim error.
    const angle aim = g.aim();
    h.key(' ');
    ASSERT_TRUE(h.runUntil([&] { return g.state() != Golf::SwingMeter; }, 1000));
    EXPECT_EQ(g.aim(), aim);
    EXPECT_LT(g.power(), Clubs::fullPower);
}

TEST(GolfFlow, AShotFliesAndComesToRest) {
    GameHarness h;
    h.startNewGame();
    Golf& g = h.game();
    h.key('5');
    h.runFor(1200);
    h.key('5');
    ASSERT_TRUE(h.runToState(Golf::BallInFlight, 3000));
    EXPECT_TRUE(contains(h.platform().sounds, "swing"));
    EXPECT_TRUE(contains(h.platform().sounds, "hit"));
    EXPECT_EQ(g.strokes(), 1);
    ASSERT_TRUE(h.runToState(Golf::Aiming, 60000));
    EXPECT_EQ(g.strokes(), 1);
    EXPECT_EQ(GameHarness::textOf(g.parText()), "Par 4 - 2");
    // The ball went up the hole towards the pin.
    EXPECT_LT(g.ballSprite()->getWorldZ(), 400 << 15);
}

TEST(GolfFlow, HoledAnnouncementsAndScorecard) {
    struct Case {
        int hole, strokes;
        const char* title;
        const char* holeLine;
    };
    const Case cases[] = {
        {0, 4, "Par", "Hole 1: +0"},         {0, 3, "Birdie!", "Hole 1: -1"},
        {1, 1, "Eagle!", "Hole 2: -2"},      {0, 1, "Double Eagle!", "Hole 1: -3"},
        {2, 1, "Score", "Hole 3: -4"},       {0, 6, "Score", "Hole 1: +2"},
        {17, 5, "Game Over", "Hole 18: +0"},
    };
    for (const Case& c : cases) {
        GameHarness h;
        h.startNewGame();
        Golf& g = h.game();
        g.round().start(c.hole, 0);
        g.round().setStrokes(c.strokes);
        g.finishHole();
        EXPECT_EQ(g.state(), Golf::Scorecard);
        EXPECT_EQ(GameHarness::textOf(g.scoreTitle()), c.title);
        EXPECT_EQ(GameHarness::textOf(g.holeLine()), c.holeLine);
        EXPECT_EQ(GameHarness::textOf(g.strokesLine()), "Strokes: " + std::to_string(c.strokes));
        EXPECT_TRUE(g.scorecard()->hasParent());
    }
}

TEST(GolfFlow, HoleInTheCupThenNextHoleWithoutReload) {
    GameHarness h;
    h.startNewGame();
    Golf& g = h.game();
    VpolyTerrain* terrain = g.terrain();
    Vsprite* map = g.mapSprite();
    // Just short of the pin, rolling slowly on the green.
    g.setState(Golf::BallInFlight);
    placeBall(g, 75 << 15, (76 << 15) + 2000);
    g.round().setStrokes(3);
    EXPECT_FALSE(g.stepBall());
    EXPECT_EQ(g.state(), Golf::Scorecard);
    EXPECT_TRUE(contains(h.platform().sounds, "incup"));
    EXPECT_EQ(GameHarness::textOf(g.scoreTitle()), "Birdie!");
    EXPECT_EQ(GameHarness::textOf(g.roundLine()), "Round: -1");
    EXPECT_EQ(GameHarness::textOf(g.totalLine()), "Score: 3");
    EXPECT_EQ(g.holeIndex(), 1);
    EXPECT_EQ(h.savedFile(), (std::vector<uint8_t>{1, 0, 3, 0, 0, 0}));
    // Direction keys do not close the scorecard; any other key starts hole 2.
    h.keys({1, 4});
    EXPECT_EQ(g.state(), Golf::Scorecard);
    h.key('x');
    ASSERT_TRUE(h.runToState(Golf::Aiming));
    EXPECT_EQ(GameHarness::textOf(g.holeText()), "Hole 2");
    EXPECT_EQ(GameHarness::textOf(g.parText()), "Par 3 - 1");
    EXPECT_EQ(g.terrain(), terrain);
    EXPECT_EQ(g.mapSprite(), map);  // same pack: the map is kept
    EXPECT_EQ(g.ballSprite()->getWorldX(), 178 << 15);
}

TEST(GolfFlow, HoleFourLoadsTheNextPack) {
    GameHarness h;
    h.startNewGame();
    Golf& g = h.game();
    Vsprite* map = g.mapSprite();
    VpolyTerrain* terrain = g.terrain();
    g.round().start(2, 0);
    g.round().setStrokes(5);
    g.finishHole();
    h.key('x');
    ASSERT_TRUE(h.runUntil([&] { return g.state() == Golf::Aiming && g.holeIndex() == 3; }));
    EXPECT_EQ(g.terrain(), terrain);  // the same terrain object, refilled
    EXPECT_NE(g.mapSprite(), map);
    EXPECT_EQ(g.ballSprite()->getWorldX(), 89 << 15);
    EXPECT_EQ(g.ballSprite()->getWorldZ(), 441 << 15);
}

TEST(GolfFlow, ByeAfterTheLastHole) {
    GameHarness h;
    h.startNewGame();
    Golf& g = h.game();
    g.round().start(17, 70);
    g.round().setStrokes(5);
    g.finishHole();
    EXPECT_EQ(GameHarness::textOf(g.scoreTitle()), "Game Over");
    EXPECT_EQ(g.holeIndex(), 0);
    EXPECT_EQ(g.roundTotal(), 0);
    EXPECT_EQ(h.savedFile(), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0}));
    h.key(5);
    ASSERT_TRUE(h.runToState(Golf::MainMenu));
    EXPECT_NE(g.titleSprite(), nullptr);
    EXPECT_FALSE(g.terrainView()->hasParent());
    EXPECT_FALSE(g.mapSprite()->hasParent());
}

TEST(GolfFlow, WaterReplaysFromTheTeeTowardsTheAimPoint) {
    GameHarness h;
    h.startNewGame();
    Golf& g = h.game();
    g.lastLie()->set(89 << 15, g.ballSprite()->getWorldY(), 436 << 15);
    g.setState(Golf::BallInFlight);
    g.round().setStrokes(1);
    placeBall(g, 420 << 15, 420 << 15);
    EXPECT_TRUE(g.stepBall());
    EXPECT_EQ(g.state(), Golf::WaterSplash);
    EXPECT_EQ(g.strokes(), 2);
    EXPECT_TRUE(contains(h.platform().sounds, "water"));
    EXPECT_EQ(g.ballSprite()->getWorldX(), 89 << 15);
    EXPECT_TRUE(g.mapSprite()->hasParent());
    // 64 frames of fading, then the marker is restored and a second's pause follows.
    int frames = 0;
    ASSERT_TRUE(h.runUntil([&] {
        if (g.state() == Golf::WaterSplash && g.ballMarker()->getOpacity() < 0x8000) {
            ++frames;
        }
        return g.state() == Golf::Aiming;
    }));
    EXPECT_GE(frames, 63);
    EXPECT_EQ(g.ballMarker()->getOpacity(), 0x8000);
    EXPECT_TRUE(g.terrainView()->hasParent());
    EXPECT_FALSE(g.mapSprite()->hasParent());
}

TEST(GolfFlow, WaterAfterASecondShotReplaysTowardsThePin) {
    GameHarness h;
    h.startNewGame();
    Golf& g = h.game();
    g.lastLie()->set(100 << 15, g.ballSprite()->getWorldY(), 300 << 15);
    g.setState(Golf::BallOnMap);
    placeBall(g, 420 << 15, 420 << 15);
    EXPECT_TRUE(g.stepBall());
    EXPECT_EQ(g.state(), Golf::WaterSplash);
    EXPECT_EQ(g.ballSprite()->getWorldX(), 100 << 15);
    // Aimed at the pin: the distance shown is the straight line to the pin.
    EXPECT_NEAR(std::stoi(GameHarness::textOf(g.distanceText()).substr(6)), 225, 2);
}

TEST(GolfFlow, OutOfBoundsFromTheViewAndFromTheMap) {
    for (int32_t start : {Golf::BallInFlight, Golf::BallOnMap}) {
        GameHarness h;
        h.startNewGame();
        Golf& g = h.game();
        g.lastLie()->set(89 << 15, g.ballSprite()->getWorldY(), 436 << 15);
        if (start == Golf::BallOnMap) {
            g.openMap(Golf::BallOnMap);
        }
        g.setState(start);
        g.round().setStrokes(1);
        g.ballBody()->setPosition(16777216, 0, 100 << 15);  // x = 512.0
        g.ballBody()->setVelocity(0, 0, 0);
        EXPECT_TRUE(g.stepBall());
        EXPECT_EQ(g.state(), Golf::MapBrowse);
        EXPECT_EQ(g.strokes(), 2);
        EXPECT_EQ(GameHarness::textOf(g.messageText()), "Out of bounds");
        EXPECT_TRUE(g.messageText()->hasParent());
        EXPECT_EQ(g.ballSprite()->getWorldX(), 89 << 15);
        // Leaving the map clears the message and goes back to aiming.
        h.key('5');
        ASSERT_TRUE(h.runToState(Golf::Aiming));
        EXPECT_EQ(g.messageText(), nullptr);
    }
}

TEST(GolfFlow, FlightBoundsAreTheTopEightBits) {
    GameHarness h;
    h.startNewGame();
    Golf& g = h.game();
    g.setState(Golf::BallOnMap);
    g.openMap(Golf::BallOnMap);
    g.ballBody()->setPosition(16777215, 200 << 15, 200 << 15);
    g.ballBody()->setVelocity(0, 0, 0);
    g.stepBall();
    EXPECT_EQ(g.state(), Golf::BallOnMap);
    g.ballBody()->setPosition(100 << 15, 200 << 15, -1);
    g.stepBall();
    EXPECT_EQ(g.state(), Golf::MapBrowse);
}

TEST(GolfFlow, MapZoomPanAndClamp) {
    GameHarness h;
    h.startNewGame();
    Golf& g = h.game();
    EXPECT_EQ(g.viewScale(), 20480);
    h.key('7');
    ASSERT_TRUE(h.runToState(Golf::MapBrowse));
    Vsprite& map = *g.mapSprite();
    EXPECT_TRUE(g.mapKeyHelp()->hasParent());
    // Ball and pin 360 yards apart: the fit is limited by the screen height.
    EXPECT_GE(map.getScale(), g.viewScale());
    EXPECT_LE(map.getScale(), 65536);
    for (int i = 0; i < 12; ++i) {
        h.key('1');
        h.runFor(20);
    }
    EXPECT_GE(map.getScale(), 262144);
    EXPECT_LT(map.getScale(), 262144 * 3 / 2 + 1);
    for (int i = 0; i < 20; ++i) {
        h.key('3');
        h.runFor(20);
    }
    EXPECT_EQ(map.getScale(), g.viewScale());  // never below the whole-course scale
    // 320 pixels wide on a 240-pixel screen: it always covers the width.
    for (int i = 0; i < 10; ++i) {
        h.key('4');
        h.runFor(20);
    }
    EXPECT_EQ(map.getX(), 0);
    for (int i = 0; i < 10; ++i) {
        h.key('6');
        h.runFor(20);
    }
    EXPECT_EQ(map.getX(), (240 - 320) << 15);
    // 320 pixels high on a 320-pixel screen: nothing to pan.
    h.key('2');
    h.runFor(20);
    EXPECT_EQ(map.getY(), 0);
    h.key('9');  // back to aiming
    ASSERT_TRUE(h.runToState(Golf::Aiming));
    EXPECT_FALSE(map.hasParent());
}

TEST(GolfFlow, FitMapShowsBallAndPinTogether) {
    GameHarness h;
    h.startNewGame();
    Golf& g = h.game();
    g.ballSprite()->setWorldPosition(75 << 15, 0, 86 << 15);  // 10 units from the pin
    g.openMap(Golf::MapBrowse);
    EXPECT_EQ(g.mapSprite()->getScale(), 65536);
}

TEST(GolfFlow, ResumeFromTheFileAndFromAiming) {
    GameHarness h;
    h.writeSavedFile({4, 0, 12, 1, 3, 0});  // hole 5, 268 strokes, sound off, female
    h.restart();
    Golf& g0 = h.game();
    h.runToMainMenu();
    EXPECT_TRUE(g0.soundOff());
    EXPECT_EQ(g0.golferFrameBase(), 36);
    EXPECT_EQ(GameHarness::textOf(g0.soundEntry()), "Sound off");
    EXPECT_EQ(GameHarness::textOf(g0.golferEntry()), "Female player");
    EXPECT_TRUE(h.platform().sounds.empty());
    h.key('R');
    ASSERT_TRUE(h.runToState(Golf::Aiming));
    EXPECT_EQ(g0.holeIndex(), 4);
    EXPECT_EQ(g0.roundTotal(), 268);
    EXPECT_EQ(g0.golferSprite()->getFrame(), 36);
    // Back to the menu from aiming, and resume the same hole.
    g0.round().setStrokes(2);
    h.key(7);
    h.runToMainMenu();
    h.key('R');
    ASSERT_TRUE(h.runToState(Golf::Aiming));
    EXPECT_EQ(g0.holeIndex(), 4);
    EXPECT_EQ(g0.strokes(), 2);
}

TEST(GolfFlow, ShortOrMissingStateFileKeepsDefaults) {
    GameHarness h;
    h.writeSavedFile({2, 0, 0});
    h.restart();
    Golf& g = h.game();
    ASSERT_TRUE(h.runToState(Golf::MainMenu));
    EXPECT_FALSE(g.soundOff());
    EXPECT_EQ(g.golferFrameBase(), 13);
    EXPECT_EQ(g.getSavedShort(0), 2);  // the short file's bytes are still there
}

TEST(GolfFlow, SoundAndGolferSwitchesAreSaved) {
    GameHarness h;
    Golf& g = h.game();
    h.runToMainMenu();
    h.keys({'S'});
    EXPECT_TRUE(g.soundOff());
    EXPECT_EQ(GameHarness::textOf(g.soundEntry()), "Sound off");
    EXPECT_EQ(h.savedFile(), (std::vector<uint8_t>{0, 0, 0, 0, 1, 0}));
    h.keys({'F'});
    EXPECT_EQ(g.golferFrameBase(), 36);
    EXPECT_EQ(GameHarness::textOf(g.golferEntry()), "Female player");
    EXPECT_EQ(h.savedFile(), (std::vector<uint8_t>{0, 0, 0, 0, 3, 0}));
    h.keys({'F'});
    EXPECT_EQ(g.golferFrameBase(), 13);
    EXPECT_EQ(GameHarness::textOf(g.golferEntry()), "Male player");
    h.keys({'S'});
    EXPECT_FALSE(g.soundOff());
    EXPECT_EQ(h.savedFile(), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0}));
}

TEST(GolfFlow, RoundTotalBytes) {
    GameHarness h;
    h.startNewGame();
    Golf& g = h.game();
    g.round().start(5, 260);
    g.saveState();
    EXPECT_EQ(h.savedFile(), (std::vector<uint8_t>{5, 0, 4, 1, 0, 0}));
}

TEST(GolfFlow, HelpScrollsAndAboutWaitsForAKey) {
    GameHarness h;
    Golf& g = h.game();
    h.runToMainMenu();
    bool menuHidden = false;
    h.watch([&] { menuHidden = menuHidden || !g.mainMenu()->hasParent(); });
    h.keys({'H', 4, 5});  // help; the short help fits, so down does not leave; select does
    EXPECT_TRUE(menuHidden);
    EXPECT_TRUE(g.mainMenu()->hasParent());

    bool aboutShown = false;
    bool aboutAfterDirection = false;
    int frames = 0;
    h.watch([&] {
        aboutShown = aboutShown || g.aboutPanel()->hasParent();
        if (++frames == 12) {
            aboutAfterDirection = g.aboutPanel()->hasParent();
        }
    });
    h.keys({'A', 3}, 80);  // a direction key does not close the about panel
    EXPECT_TRUE(aboutShown);
    EXPECT_TRUE(aboutAfterDirection);
    h.keys({'q'});
    h.watch(nullptr);
    EXPECT_FALSE(g.aboutPanel()->hasParent());
    EXPECT_TRUE(g.mainMenu()->hasParent());
}

TEST(GolfFlow, BackKeyInTheMainMenuEndsTheProgram) {
    GameHarness h;
    Golf& g = h.game();
    h.runToMainMenu();
    h.key(7);
    h.runFor(200);
    EXPECT_FALSE(g.isRunning());
    EXPECT_EQ(h.platform().exitRequests, 1);
}

TEST(GolfFlow, SizeChangeIsAppliedOnceOnTheGameThread) {
    GameHarness h;
    Golf& g = h.game();
    ASSERT_TRUE(h.runToState(Golf::MainMenu));
    const int32_t* pixels = g.backBuffer().data();
    g.setSize(240, 320);  // the current size: nothing happens
    h.runFor(50);
    EXPECT_EQ(g.backBuffer().data(), pixels);
    g.setSize(320, 240);
    EXPECT_EQ(g.getWidth(), 240);  // recorded, not applied on the caller's thread
    h.runFor(50);
    EXPECT_EQ(g.getWidth(), 320);
    EXPECT_EQ(g.getHeight(), 240);
    EXPECT_EQ(g.titleSprite()->getX(), 160 << 15);
    EXPECT_EQ(g.viewScale(), 64 * 320);
}

TEST(GolfFlow, FontsFollowTheScreenSize) {
    struct Case {
        int32_t w, h, lineHeight;
    };
    for (const Case c : {Case{240, 320, 16}, Case{240, 240, 13}, Case{176, 220, 10}, Case{320, 240, 16},
                         Case{480, 640, 16}}) {
        GameHarness h(c.w, c.h);
        ASSERT_TRUE(h.runToState(Golf::MainMenu));
        ASSERT_TRUE(Vtext::getDefaultFont());
        EXPECT_EQ(Vtext::getDefaultFont()->getLineHeight(), c.lineHeight) << c.w << "x" << c.h;
    }
}

TEST(GolfFlow, PocketPcMenusDropTheKeyDigits) {
    GameHarness h(240, 320, true);
    Golf& g = h.game();
    ASSERT_TRUE(h.runToState(Golf::MainMenu));
    const Vsprite* first = g.playKeyHelp()->firstChild();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(GameHarness::textOf(static_cast<const Vtext*>(first)), "Club");
    EXPECT_EQ(first->getTag(), '1');
    Vmenu::setItemPrefix(false);
}

TEST(GolfFlow, ClubChoiceByDistance) {
    GameHarness h;
    h.startNewGame();
    Golf& g = h.game();
    const struct {
        fixed d;
        int32_t club;
    } cases[] = {{8191501, 0}, {8191500, 0}, {3604261, 7}, {3604260, 8}, {1965960, 8}, {1, 9}, {1965959, 9}};
    for (const auto& c : cases) {
        g.selectClubForDistance(c.d);
        EXPECT_EQ(g.club(), c.club) << c.d;
    }
    // On the green a short distance takes the putter.
    placeBall(g, 75 << 15, 80 << 15);
    g.selectClubForDistance(1965959);
    EXPECT_EQ(g.club(), Clubs::putter);
}

TEST(GolfFlow, WindDisplayAndArrow) {
    GameHarness h;
    h.startNewGame();
    Golf& g = h.game();
    g.wind().set(24576, 0, 24576 + 100, 0);  // targets reached: new ones are drawn from the clock
    g.updateWind();
    EXPECT_EQ(GameHarness::textOf(g.windText()), "Wind 1");
    g.wind().set(16383, 0, 16383, 0);
    g.updateWind();
    EXPECT_EQ(GameHarness::textOf(g.windText()), "Wind 0");
    EXPECT_EQ(g.arrowAngle(), (g.windDirection() + g.terrainView()->getHeading()) & 0x7C00);
}

TEST(GolfFlow, StylusTapsWhileAiming) {
    GameHarness h(240, 320, true);
    h.startNewGame();
    Golf& g = h.game();
    // A tap on the key help performs that entry: "6 Right" is the third row.
    const Vmenu& help = *g.playKeyHelp();
    const Vsprite* right = help.firstChild()->next()->next();
    const angle aim = g.aim();
    // (the window sets the point and queues the tap together)
    g.setPointer((right->left() + right->right()) / 2, (right->top() + right->bottom()) / 2);
    h.key(5);
    h.runFor(100);
    EXPECT_EQ(g.state(), Golf::Aiming);
    EXPECT_EQ(g.aim(), aim + 128);
    EXPECT_EQ(g.pointerX(), 0);  // the point is used up
    // With the help hidden, a tap left of the ball turns left and one on the golfer swings.
    h.keys({'0'});
    ASSERT_TRUE(g.keyHelpHidden());
    g.setPointer(g.ballSprite()->left() - 20 > 0 ? g.ballSprite()->left() - 20 : 1, 300);
    h.key(5);
    h.runFor(100);
    EXPECT_EQ(g.aim(), aim);
    const Vsprite& golfer = *g.golferSprite();
    g.setPointer((golfer.left() + golfer.right()) / 2 + (golfer.bottom() - golfer.top()) / 4,
                 (golfer.top() + golfer.bottom()) / 2);
    h.key(5);
    ASSERT_TRUE(h.runToState(Golf::SwingMeter, 1000));
}

TEST(GolfFlow, HelpScrollsByPagesOfWholeLines) {
    GameHarness h;
    {
        std::ofstream help(h.directory() + "/help.txt", std::ios::trunc);
        for (int i = 0; i < 80; ++i) {
            help << "Line " << i << " of a help text long enough to scroll.\n";
        }
    }
    Golf& g = h.game();
    h.runToMainMenu();
    const int32_t line = Vtext::getDefaultFont()->getLineHeight();
    const int32_t step = (320 / line - 1) * line;
    std::vector<int32_t> tops;
    h.watch([&] {
        for (Vsprite* child = g.firstChild(); child; child = child->next()) {
            if (child->getHeight() > 320 && (tops.empty() || tops.back() != (child->getY() >> 15))) {
                tops.push_back(child->getY() >> 15);
            }
        }
    });
    h.keys({'H', '8', '8', 3, '2', '2', 5}, 100);
    h.watch(nullptr);
    ASSERT_GE(tops.size(), 5u);
    EXPECT_EQ(tops[0], 0);
    EXPECT_EQ(tops[1], -step);
    EXPECT_EQ(tops[2], -2 * step);
    EXPECT_EQ(tops[3], -step);
    EXPECT_EQ(tops[4], 0);  // and no further up than the top
    EXPECT_TRUE(g.mainMenu()->hasParent());
}
