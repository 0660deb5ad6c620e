#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "engine/render3d/VpolyTerrain.h"
#include "engine/render3d/Vterrain.h"
#include "engine/sprite/Vilib.h"
#include "engine/sprite/Vsprite.h"
#include "runtime/String.h"
#include "tests/engine/render3d/TerrainTestSupport.h"

using namespace fairholm;
using fx::one;

namespace {

constexpr int32_t skyTop = static_cast<int32_t>(0xFF005995);
constexpr int32_t skyBottom = static_cast<int32_t>(0xFF3399FF);

// Flat ground of one level everywhere (a level is 1/8 unit).
Ref<VpolyTerrain> flatGround(int32_t level) {
    Ref<VpolyTerrain> terrain = make<VpolyTerrain>();
    terrain->setPaletteSize(1);
    terrain->buildHeightMap();
    const ByteArray& grid = terrain->editHeightGrid();
    for (int32_t i = 0; i < grid.length(); ++i) {
        grid[i] = static_cast<uint8_t>(level);
    }
    return terrain;
}

Ref<Vterrain> view(int32_t w, int32_t h, int32_t horizon, bool backBuffer = true) {
    Ref<Vterrain> v = make<Vterrain>(w, h, backBuffer);
    v->setHorizon(horizon);
    v->setSkyColors(skyTop, skyBottom);
    return v;
}

uint32_t tag(int32_t pixel) {
    return static_cast<uint32_t>(pixel) >> 24;
}

using test::PackFile;

// Children hold their parent: detaching them at the end of a test breaks the cycle.
class Detach {
public:
    explicit Detach(Ref<Vterrain> view) : m_view(std::move(view)) {}
    ~Detach() { m_view->removeAllChildren(); }

private:
    Ref<Vterrain> m_view;
};

}  // namespace

TEST(VterrainGround, FourUnitsAboveFlatGround) {
    const int32_t w = 48;
    const int32_t h = 64;
    const int32_t horizon = 32;
    Ref<Vterrain> v = view(w, h, horizon);
    v->setTerrain(flatGround(0));
    v->placeCamera(256 * one, 4 * one, 256 * one);
    EXPECT_EQ(v->getWorldY(), 4 * one);
    IntArray target = newIntArray(w * h);
    v->drawTerrain(target, w, h, 0, 0, w, h);
    for (int32_t x = 0; x < w; ++x) {
        for (int32_t y = 0; y < horizon + 3; ++y) {
            ASSERT_EQ(target[y * w + x], v->skyColors()[y]) << x << "," << y;
        }
        uint32_t previous = 0;
        for (int32_t y = h - 1; y >= horizon + 5; --y) {
            const int32_t p = target[y * w + x];
            ASSERT_LT(tag(p), 0xFFu) << x << "," << y;
            // Missing textures draw black ground.
            ASSERT_EQ(p & 0xFFFFFF, 0) << x << "," << y;
            ASSERT_GE(tag(p), previous) << x << "," << y;
            previous = tag(p);
        }
        // 9 units ahead is tag 4; the bottom row (32 rows down) sees 64 units: tag 32.
        EXPECT_NEAR(static_cast<int>(tag(target[(h - 1) * w + w / 2])), 32, 1);
        // Seven rows down the ground is about 290 units away: tag near 145.
        EXPECT_NEAR(static_cast<int>(tag(target[(horizon + 6) * w + x])), 145, 5);
        EXPECT_GE(v->columnTop()[x], horizon + 3) << x;
        EXPECT_LE(v->columnTop()[x], horizon + 5) << x;
    }
}

TEST(VterrainGround, CameraBelowGroundSeesNoSky) {
    const int32_t w = 16;
    const int32_t h = 32;
    Ref<Vterrain> v = view(w, h, 16);
    v->setTerrain(flatGround(80));
    v->placeCamera(100 * one, -one, 100 * one);
    IntArray target = newIntArray(w * h);
    v->drawTerrain(target, w, h, 0, 0, w, h);
    for (int32_t i = 0; i < w * h; ++i) {
        ASSERT_LT(tag(target[i]), 0xFFu) << i;
    }
    EXPECT_EQ(v->keepAboveGround(), 10 * one);
    EXPECT_EQ(v->getWorldY(), 14 * one);
}

TEST(VterrainGround, WithoutTerrainOnlySky) {
    Ref<Vterrain> v = view(8, 20, 10);
    IntArray target = newIntArray(8 * 20);
    v->drawTerrain(target, 8, 20, 0, 0, 8, 20);
    for (int32_t y = 0; y < 20; ++y) {
        EXPECT_EQ(target[y * 8 + 3], v->skyColors()[y]);
    }
}

TEST(VterrainGround, ClipOutsideTheTargetIsCut) {
    Ref<Vterrain> v = view(16, 16, 8);
    v->setTerrain(flatGround(0));
    v->placeCamera(100 * one, 4 * one, 100 * one);
    IntArray target = newIntArray(16 * 16);
    v->drawTerrain(target, 16, 16, -5, -5, 40, 40);
    EXPECT_EQ(target[0], v->skyColors()[0]);
    EXPECT_LT(tag(target[15 * 16 + 15]), 0xFFu);
    IntArray tiny = newIntArray(3);
    v->drawTerrain(tiny, 16, 16, 0, 0, 16, 16);
    EXPECT_EQ(tiny[0], 0);
}

TEST(VterrainSky, GradientDownToTheHorizon) {
    Ref<Vterrain> v = make<Vterrain>(10, 320, true);
    v->setHorizon(100);
    v->setSkyColors(skyTop, skyBottom);
    const IntArray& sky = v->skyColors();
    ASSERT_EQ(sky.length(), 320);
    EXPECT_EQ(sky[0], skyTop);
    // n = 110 rows, step 297: row 55 is t = 16335.
    const int32_t t = 55 * 297;
    const int32_t red = 0 + ((0x33 * t) >> 15);
    const int32_t green = 0x59 + (((0x99 - 0x59) * t) >> 15);
    const int32_t blue = 0x95 + (((0xFF - 0x95) * t) >> 15);
    EXPECT_EQ(sky[55], static_cast<int32_t>(0xFF000000u | (red << 16) | (green << 8) | blue));
    EXPECT_NE(sky[109], skyBottom);
    EXPECT_EQ(sky[110], skyBottom);
    EXPECT_EQ(sky[319], skyBottom);
    EXPECT_EQ(v->columnTop().length(), 10);
}

TEST(VterrainSky, EqualColoursFillEveryRowUnchanged) {
    Ref<Vterrain> v = make<Vterrain>(4, 50, true);
    v->setHorizon(20);
    v->setSkyColors(0x12345678, 0x12345678);
    for (int32_t y = 0; y < 50; ++y) {
        EXPECT_EQ(v->skyColors()[y], 0x12345678) << y;
    }
}

TEST(VterrainSky, HorizonBelowTheScreenAndZeroHeight) {
    Ref<Vterrain> v = make<Vterrain>(4, 8, true);
    v->setHorizon(300);
    v->setSkyColors(skyTop, skyBottom);
    EXPECT_EQ(v->skyColors()[0], skyTop);
    EXPECT_NE(v->skyColors()[7], skyBottom);
    Ref<Vterrain> empty = make<Vterrain>(0, 0, true);
    empty->setSkyColors(skyTop, skyBottom);
    EXPECT_EQ(empty->skyColors().length(), 0);
}

TEST(VterrainCamera, SetHeadingMasks) {
    Ref<Vterrain> v = make<Vterrain>(8, 8, true);
    EXPECT_EQ(v->cosHeading(), one);
    EXPECT_EQ(v->sinHeading(), 0);
    v->setHeading(-8192);
    EXPECT_EQ(v->getHeading(), 24576);
    EXPECT_EQ(v->sinHeading(), -32767);
    EXPECT_EQ(v->cosHeading(), fx::cos(24576));
    v->setHeading(32768 + 24576);
    EXPECT_EQ(v->getHeading(), 24576);
}

TEST(VterrainCamera, LookAtIsUnmasked) {
    Ref<Vterrain> v = make<Vterrain>(8, 8, true);
    v->setWorldPosition(100 * one, 0, 100 * one);
    v->lookAt(110 * one, 100 * one);
    EXPECT_EQ(v->getHeading(), 8192);
    v->lookAt(90 * one, 100 * one);
    EXPECT_EQ(v->getHeading(), -8192);
    EXPECT_EQ(v->sinHeading(), fx::sin(-8192));
    v->lookAt(100 * one, 90 * one);
    EXPECT_EQ(v->getHeading(), 0);
}

TEST(VterrainCamera, MoveForwardAndViewAxes) {
    Ref<Vterrain> v = make<Vterrain>(8, 8, true);
    v->setWorldPosition(100 * one, 3 * one, 100 * one);
    v->moveForward(10 * one);
    EXPECT_EQ(v->getWorldX(), 100 * one);
    EXPECT_EQ(v->getWorldZ(), 90 * one);
    EXPECT_EQ(v->getWorldY(), 3 * one);
    v->setHeading(8192);
    v->moveForward(10 * one);
    EXPECT_EQ(v->getWorldX(), 100 * one + fx::mul(fx::sin(8192), 10 * one));
    EXPECT_EQ(v->getWorldZ(), 90 * one - fx::mul(fx::cos(8192), 10 * one));
    // Looking along +x: a point 5 ahead and 2 to the right.
    const fixed dx = 5 * one;
    const fixed dz = 2 * one;
    EXPECT_EQ(v->toViewZ(dx, dz), fx::mul(fx::sin(8192), dx) + fx::mul(fx::cos(8192), dz));
    EXPECT_EQ(v->toViewX(dx, dz), fx::mul(fx::cos(8192), dx) - fx::mul(fx::sin(8192), dz));
    EXPECT_NEAR(v->toViewZ(dx, dz), dx, 8);
}

TEST(VterrainCamera, KeepAboveGround) {
    Ref<Vterrain> v = make<Vterrain>(8, 8, true);
    v->setTerrain(flatGround(16));
    v->setWorldPosition(50 * one, 3 * one, 50 * one);
    EXPECT_EQ(v->keepAboveGround(), 2 * one);
    EXPECT_EQ(v->getWorldY(), 6 * one);
    v->setWorldPosition(50 * one, 7 * one, 50 * one);
    EXPECT_EQ(v->keepAboveGround(), 2 * one);
    EXPECT_EQ(v->getWorldY(), 7 * one);
}

TEST(VterrainCamera, EyeHeightAndPlacement) {
    Ref<Vterrain> v = make<Vterrain>(8, 8, true);
    v->setWorldPosition(50 * one, 0, 50 * one);
    v->setEyeHeight(4 * one);
    EXPECT_EQ(v->getWorldY(), 0);
    v->setTerrain(flatGround(24));
    v->setEyeHeight(4 * one);
    EXPECT_EQ(v->getWorldY(), 7 * one);
    v->placeCamera(20 * one, one, 30 * one);
    EXPECT_EQ(v->getWorldX(), 20 * one);
    EXPECT_EQ(v->getWorldY(), 4 * one);
    EXPECT_EQ(v->getWorldZ(), 30 * one);
}

TEST(VterrainProjection, NearestDepthIsExclusive) {
    Ref<Vterrain> v = make<Vterrain>(240, 320, true);
    v->setHorizon(160);
    v->setWorldPosition(100 * one, 4 * one, 100 * one);
    Ref<Vsprite> s = make<Vsprite>();
    s->setSize(2, 2);
    s->setBounds(1, 2, 3, 4);
    s->setWorldPosition(100 * one, 4 * one, 100 * one - 8 * one);
    v->projectSprite(*s);
    EXPECT_EQ(s->left(), 0);
    EXPECT_EQ(s->right(), 0);
    EXPECT_EQ(s->bottom(), 0);
    s->setWorldPosition(100 * one, 4 * one, 100 * one - 8 * one - 1);
    v->projectSprite(*s);
    EXPECT_NEAR(s->effectiveScale(), 64 * one, 8);
    EXPECT_EQ(s->effectiveScale(), static_cast<fixed>((int64_t{1} << 39) / 0x40001));
    // Centred on the screen, depth tag D/2 - 1 = 3.
    EXPECT_EQ(s->absX(), 120 * one);
    EXPECT_EQ(s->absY(), 160 * one);
    EXPECT_EQ(s->z(), (0x40001 >> 1) - 32768);
    EXPECT_EQ(s->z() >> 15, 3);
    EXPECT_GT(s->right(), s->left());
}

TEST(VterrainProjection, FarthestDepthAndBehind) {
    Ref<Vterrain> v = make<Vterrain>(240, 320, true);
    v->setHorizon(160);
    v->setWorldPosition(0, 0, 8191 * one);
    Ref<Vsprite> s = make<Vsprite>();
    s->setSize(2, 2);
    s->setWorldPosition(0, 0, -one);
    v->projectSprite(*s);
    EXPECT_EQ(s->right(), 0);
    s->setWorldPosition(0, 0, 0);
    v->projectSprite(*s);
    EXPECT_GT(s->right(), 0);
    s->setWorldPosition(0, 0, 8192 * one);
    v->projectSprite(*s);
    EXPECT_EQ(s->right(), 0);
}

TEST(VterrainProjection, PerspectiveOffsetAndHeight) {
    Ref<Vterrain> v = make<Vterrain>(240, 320, true);
    v->setHorizon(100);
    v->setWorldPosition(0, 10 * one, 1000 * one);
    Ref<Vsprite> s = make<Vsprite>();
    s->setSize(4, 4);
    s->setScale(fx::half);
    // 64 units ahead, 2 to the right and 5 below the eye: 16 px right, 40 px down.
    s->setWorldPosition(2 * one, 5 * one, 936 * one);
    v->projectSprite(*s);
    EXPECT_EQ(s->absX(), (120 + 16) * one);
    EXPECT_EQ(s->absY(), (100 + 40) * one);
    EXPECT_EQ(s->effectiveScale(), 4 * one);
    EXPECT_EQ(s->z() >> 15, 31);
}

TEST(VterrainLayout, CameraChangeRedrawsAllMovedChildOnlyItself) {
    Ref<Vterrain> v = view(64, 48, 24);
    v->setTerrain(flatGround(0));
    v->placeCamera(200 * one, 4 * one, 200 * one);
    Ref<Vsprite> s = make<Vsprite>();
    s->setSize(2, 2);
    s->setWorldPosition(200 * one, 3 * one, 170 * one);
    v->addChild(s);
    Detach detach(v);
    IntArray screen = newIntArray(64 * 48);
    v->layout(0, 0, one);
    EXPECT_TRUE(v->groundDirty());
    ASSERT_EQ(v->dirtyCount(), 4);
    EXPECT_EQ(v->dirtyRect(0)[2], 64);
    EXPECT_EQ(v->dirtyRect(0)[3], 48);
    EXPECT_GT(s->right(), 0);
    v->paint(screen, 64, 48, 0, 0, 64, 48);
    EXPECT_FALSE(v->groundDirty());
    v->clearDirty();
    // Nothing changed: nothing to redraw.
    v->layout(0, 0, one);
    EXPECT_EQ(v->dirtyCount(), 0);
    // The child moves: only its old and new boxes.
    const int32_t oldLeft = s->left();
    s->setWorldPosition(201 * one, 3 * one, 170 * one);
    v->layout(0, 0, one);
    EXPECT_FALSE(v->groundDirty());
    ASSERT_GE(v->dirtyCount(), 4);
    EXPECT_LT(v->dirtyRect(0)[2] - v->dirtyRect(0)[0], 64);
    EXPECT_GT(s->left(), oldLeft);
    v->clearDirty();
    // A new frame of the child counts as a move too.
    s->setFrame(0);
    v->setHeading(100);
    v->layout(0, 0, one);
    EXPECT_TRUE(v->groundDirty());
}

// Moves that keep the sum of the coordinates: the camera going forward at heading 4096
// (its x grows by what its z loses) and a child moved as far east as north.
TEST(VterrainLayout, MovesThatKeepTheSumOfTheCoordinatesAreSeen) {
    Ref<Vterrain> v = view(64, 48, 24);
    v->setTerrain(flatGround(0));
    v->placeCamera(200 * one, 4 * one, 200 * one);
    v->setHeading(4096);
    Ref<Vsprite> s = make<Vsprite>();
    s->setSize(2, 2);
    s->setWorldPosition(230 * one, 3 * one, 170 * one);  // ahead, to the north-east
    v->addChild(s);
    Detach detach(v);
    IntArray screen = newIntArray(64 * 48);
    v->layout(0, 0, one);
    v->paint(screen, 64, 48, 0, 0, 64, 48);
    v->clearDirty();
    ASSERT_FALSE(v->groundDirty());

    const fixed x = v->getWorldX();
    const fixed z = v->getWorldZ();
    v->moveForward(10 * one);
    ASSERT_EQ(v->getWorldX() - x, z - v->getWorldZ()) << "the move keeps x + z";
    ASSERT_NE(v->getWorldX(), x);
    v->layout(0, 0, one);
    EXPECT_TRUE(v->groundDirty()) << "the camera moved: the ground is drawn again";
    EXPECT_GT(v->dirtyCount(), 0);
    v->paint(screen, 64, 48, 0, 0, 64, 48);
    v->clearDirty();

    ASSERT_GT(s->right(), s->left()) << "the child is in view";
    const fixed depth = s->z();
    s->setWorldPosition(s->getWorldX() + one, s->getWorldY(), s->getWorldZ() - one);
    v->layout(0, 0, one);
    EXPECT_FALSE(v->groundDirty());
    EXPECT_GT(v->dirtyCount(), 0) << "the child moved: its boxes are drawn again";
    EXPECT_NE(s->z(), depth) << "projected again, nearer";
}

TEST(VterrainLayout, PartialRedrawKeepsGroundDirty) {
    Ref<Vterrain> v = view(32, 32, 16);
    v->setTerrain(flatGround(0));
    v->placeCamera(200 * one, 4 * one, 200 * one);
    v->layout(0, 0, one);
    IntArray screen = newIntArray(32 * 32);
    v->paint(screen, 32, 32, 0, 0, 16, 32);
    EXPECT_TRUE(v->groundDirty());
    v->paint(screen, 32, 32, 0, 0, 32, 16);
    EXPECT_TRUE(v->groundDirty());
    v->paint(screen, 32, 32, 8, 8, 32, 32);
    EXPECT_TRUE(v->groundDirty());
    v->paint(screen, 32, 32, 0, 0, 32, 32);
    EXPECT_FALSE(v->groundDirty());
    // The copy carries the ground and its tags.
    EXPECT_EQ(screen[31 * 32 + 5], v->backBuffer()[31 * 32 + 5]);
    EXPECT_LT(tag(screen[31 * 32 + 5]), 0xFFu);
}

TEST(VterrainLayout, RefreshBackground) {
    Ref<Vterrain> v = view(16, 16, 8);
    v->setTerrain(flatGround(0));
    v->placeCamera(200 * one, 4 * one, 200 * one);
    EXPECT_TRUE(v->groundDirty());
    v->refreshBackground();
    EXPECT_FALSE(v->groundDirty());
    EXPECT_EQ(v->backBuffer()[0], v->skyColors()[0]);
    EXPECT_LT(tag(v->backBuffer()[15 * 16]), 0xFFu);
}

TEST(VterrainLayout, WithoutBackBufferDrawsIntoTheTarget) {
    Ref<Vterrain> v = view(16, 16, 8, false);
    EXPECT_TRUE(v->backBuffer().isEmpty());
    v->setTerrain(flatGround(0));
    v->placeCamera(200 * one, 4 * one, 200 * one);
    IntArray screen = newIntArray(16 * 16);
    v->paint(screen, 16, 16, 0, 4, 16, 16);
    EXPECT_EQ(screen[0], 0);
    EXPECT_EQ(screen[4 * 16], v->skyColors()[4]);
    EXPECT_LT(tag(screen[15 * 16]), 0xFFu);
    v->refreshBackground();
}

TEST(VterrainLayout, NewSizeForgetsColumnTops) {
    Ref<Vterrain> v = view(16, 16, 8);
    v->setTerrain(flatGround(0));
    v->placeCamera(200 * one, 4 * one, 200 * one);
    v->refreshBackground();
    EXPECT_NE(v->columnTop()[3], 0);
    v->setSize(20, 16);
    ASSERT_EQ(v->columnTop().length(), 20);
    EXPECT_EQ(v->columnTop()[3], 0);
    v->layout(0, 0, one);
    IntArray screen = newIntArray(20 * 16);
    v->paint(screen, 20, 16, 0, 0, 20, 16);
    EXPECT_EQ(screen[19], v->skyColors()[0]);
}

TEST(VterrainSprites, TexturedGroundHidesSunkenSprite) {
    PackFile file("vterrain_sunken",
                  {test::solidPicture(32, 32, 0x808080), test::solidPicture(4, 4, 0xF80000)});
    Ref<Vterrain> v = view(64, 64, 32);
    v->setTerrain(flatGround(0));
    v->setTextures(file.pack());
    v->placeCamera(200 * one, 4 * one, 200 * one);
    Ref<Vsprite> ball = make<Vsprite>();
    ball->setImage(file.pack(), 1);
    ball->setAnchor(2, 4);
    // Resting on the ground its lowest rows would meet ground a little nearer than
    // itself; lifted by one unit it is clear of it.
    ball->setWorldPosition(200 * one, one, 0);
    v->addChild(ball);
    Detach detach(v);
    v->layout(0, 0, one);
    IntArray screen = newIntArray(64 * 64);
    v->paint(screen, 64, 64, 0, 0, 64, 64);
    EXPECT_EQ(screen[63 * 64] & 0xFFFFFF, 0x808080);
    EXPECT_EQ(ball->hiddenPixels(), 0);
    EXPECT_EQ(screen[(ball->bottom() - 1) * 64 + (ball->left() + ball->right()) / 2] & 0xFFFFFF, 0xF80000);
    // Sunk 6 units (its whole height of 4) into the ground: nearer ground covers it.
    ball->setWorldPosition(200 * one, -6 * one, 0);
    v->layout(0, 0, one);
    v->paint(screen, 64, 64, 0, 0, 64, 64);
    EXPECT_GT(ball->hiddenPixels(), 50);
    for (int32_t i = 0; i < 64 * 64; ++i) {
        ASSERT_NE(screen[i] & 0xFFFFFF, 0xF80000) << i;
    }

    // What the game's flight view relies on: a hidden ball says so after any paint that
    // covers it (in flight it moves, so every frame's paint does), and a paint elsewhere
    // leaves the last count, so "hidden" never flickers back to "in view".
    const int32_t hidden = ball->hiddenPixels();
    const int32_t away = ball->right() + 4 < 64 ? ball->right() + 2 : 0;
    v->paint(screen, 64, 64, away, 0, away + 2, 64);
    EXPECT_EQ(ball->hiddenPixels(), hidden);
    ball->setWorldPosition(200 * one, one, 0);
    v->layout(0, 0, one);
    v->paint(screen, 64, 64, ball->left(), ball->top(), ball->right(), ball->bottom());
    EXPECT_EQ(ball->hiddenPixels(), 0);
    ball->setWorldPosition(200 * one, -6 * one, 0);
    v->layout(0, 0, one);
    v->paint(screen, 64, 64, 0, 0, 64, 64);
    EXPECT_EQ(ball->hiddenPixels(), hidden);
}

TEST(VterrainSprites, SlantedSpriteCastsAShadowOnTheGround) {
    PackFile file("vterrain_shadow",
                  {test::solidPicture(32, 32, 0x808080), test::solidPicture(8, 8, 0xF80000)});
    struct Render {
        IntArray screen;
        Ref<Vsprite> golfer;
    };
    auto render = [&file](bool slanted) {
        // The golfer stands 60 units ahead; its feet are 34 rows below the horizon.
        Ref<Vterrain> v = view(64, 64, 10);
        v->setTerrain(flatGround(0));
        v->setTextures(file.pack());
        v->placeCamera(200 * one, 4 * one, 200 * one);
        Render r{newIntArray(64 * 64), make<Vsprite>()};
        r.golfer->setImage(file.pack(), 1);
        r.golfer->setAnchor(4, 8);
        r.golfer->setScale(4096);
        r.golfer->setSlanted(slanted);
        r.golfer->setWorldPosition(200 * one, 0, 140 * one);
        v->addChild(r.golfer);
        Detach detach(v);
        v->layout(0, 0, one);
        v->paint(r.screen, 64, 64, 0, 0, 64, 64);
        return r;
    };
    const Render plain = render(false);
    const Render shaded = render(true);
    const int32_t plainLeft = plain.golfer->left();
    ASSERT_EQ(shaded.golfer->right(), plain.golfer->right());
    ASSERT_LT(shaded.golfer->left(), plainLeft);
    const int32_t half = (shaded.golfer->bottom() - shaded.golfer->top()) / 2;
    EXPECT_EQ(shaded.golfer->left() + half, plainLeft);
    int darkened = 0;
    for (int32_t y = 0; y < 64; ++y) {
        for (int32_t x = 0; x < 64; ++x) {
            const int32_t before = plain.screen[y * 64 + x];
            const int32_t after = shaded.screen[y * 64 + x];
            if (after == before) {
                continue;
            }
            ++darkened;
            // Opacity 0x80 scales every level to 0: three quarters of the ground.
            EXPECT_EQ(after & 0xFFFFFF, 0x606060) << x << "," << y;
            EXPECT_EQ(tag(after), static_cast<uint32_t>((shaded.golfer->z() >> 15) + 1));
            EXPECT_GE(y, shaded.golfer->bottom() - half);
            EXPECT_GE(x, shaded.golfer->left());
        }
    }
    EXPECT_GT(darkened, 0);
    // The picture itself is drawn as before, right of the shadow part of the box.
    EXPECT_EQ(shaded.golfer->hiddenPixels(), plain.golfer->hiddenPixels());
}

namespace {

// A texture whose texel columns step through 32 greys (texel x -> 8x), so blends
// between neighbours give colours outside that set.
test::PackPicture columnRamp() {
    test::PackPicture p = test::solidPicture(32, 32, 0);
    for (int32_t y = 0; y < 32; ++y) {
        for (int32_t x = 0; x < 32; ++x) {
            const int32_t c = x * 8;
            p.colours[static_cast<size_t>(y * 32 + x)] = c << 16 | c << 8 | c;
        }
    }
    return p;
}

// Counts ground pixels whose colour is not one of the ramp's texels.
int blendedPixels(const IntArray& screen, int32_t from, int32_t to) {
    int blended = 0;
    for (int32_t i = from; i < to; ++i) {
        const int32_t c = screen[i] & 0xFFFFFF;
        const int32_t r = c >> 16;
        if ((r & 7) != 0 || c != (r << 16 | r << 8 | r)) {
            ++blended;
        }
    }
    return blended;
}

}  // namespace

TEST(VterrainTextures, GreenIsNotFilteredOtherGroundIs) {
    const test::PackPicture ramp = columnRamp();
    PackFile file("vterrain_filter", {ramp, ramp, ramp, ramp, ramp});
    auto render = [&file](int32_t image) {
        Ref<VpolyTerrain> terrain = make<VpolyTerrain>();
        terrain->beginShapes(512, 512, 64, 2);
        terrain->endShape();
        terrain->setPaletteImage(0, file.pack(), image);
        terrain->buildHeightMap();
        Ref<Vterrain> v = view(64, 64, 8);
        v->setTerrain(terrain);
        v->setTextures(file.pack());
        v->setHeading(1000);
        v->placeCamera(200 * one + 1234, 4 * one, 300 * one + 777);
        IntArray screen = newIntArray(64 * 64);
        v->drawTerrain(screen, 64, 64, 0, 0, 64, 64);
        return screen;
    };
    const IntArray green = render(4);
    const IntArray fairway = render(2);
    // Only near rows (slow steps): the lower half of the screen.
    EXPECT_EQ(blendedPixels(green, 40 * 64, 64 * 64), 0);
    EXPECT_GT(blendedPixels(fairway, 40 * 64, 64 * 64), 500);
}

TEST(VterrainTextures, RegionsPickTheirTexturesAndSlopesShade) {
    PackFile file("vterrain_regions",
                  {test::solidPicture(32, 32, 0x000000), test::solidPicture(32, 32, 0x808080),
                   test::solidPicture(32, 32, 0xF80000)});
    Ref<VpolyTerrain> terrain = make<VpolyTerrain>();
    terrain->beginShapes(512, 512, 1024, 2);
    // Region 1 (red) east of x = 200.
    terrain->addLine(200 * one, 0, 200 * one, 512 * one, 1, 0);
    terrain->endShape();
    terrain->setPaletteImage(0, file.pack(), 1);
    terrain->setPaletteImage(1, file.pack(), 2);
    terrain->buildHeightMap();
    Ref<Vterrain> v = view(64, 64, 8);
    v->setTerrain(terrain);
    v->setTextures(file.pack());
    // Standing on the boundary looking north: grey on the left, red on the right.
    v->placeCamera(200 * one, 4 * one, 300 * one);
    IntArray screen = newIntArray(64 * 64);
    v->drawTerrain(screen, 64, 64, 0, 0, 64, 64);
    EXPECT_EQ(screen[60 * 64 + 5] & 0xFFFFFF, 0x808080);
    EXPECT_EQ(screen[60 * 64 + 60] & 0xFFFFFF, 0xF80000);
    // Ground rising toward the north and east is darkened.
    const ByteArray& grid = terrain->editHeightGrid();
    for (int32_t gz = 0; gz < 256; ++gz) {
        for (int32_t gx = 0; gx < 256; ++gx) {
            grid[gz * 256 + gx] = static_cast<uint8_t>(255 - gz);
        }
    }
    v->placeCamera(200 * one, 4 * one, 300 * one);
    v->drawTerrain(screen, 64, 64, 0, 0, 64, 64);
    // One level per 2 units toward the camera: slope (h - h(+1, +1)) / 2 = 1024.
    EXPECT_EQ(screen[60 * 64 + 5] & 0xFFFFFF, terrain->shade(0x808080, 1024));
    EXPECT_NE(screen[60 * 64 + 5] & 0xFFFFFF, 0x808080);
}

TEST(VterrainBadInput, OddHorizonsSizesAndPositions) {
    Ref<VpolyTerrain> ground = make<VpolyTerrain>();
    ground->setPaletteSize(1);
    ground->buildHeightMap();
    for (int32_t horizon : {-1000, -1, 0, 31, 32, 5000}) {
        Ref<Vterrain> v = view(32, 32, horizon);
        v->setTerrain(ground);
        for (fixed x : {INT32_MIN, -one, 0, 300 * one, INT32_MAX}) {
            v->setWorldPosition(x, 4 * one, x);
            v->setHeading(x);
            IntArray screen = newIntArray(32 * 32);
            v->drawTerrain(screen, 32, 32, 0, 0, 32, 32);
            v->layout(0, 0, one);
            v->paint(screen, 32, 32, 0, 0, 32, 32);
        }
    }
    // A view whose tables do not match its size (sky colours never set).
    Ref<Vterrain> bare = make<Vterrain>(16, 16, true);
    bare->setTerrain(ground);
    bare->setHorizon(8);
    IntArray screen = newIntArray(40 * 40);
    bare->drawTerrain(screen, 40, 40, 0, 0, 40, 40);
    EXPECT_EQ(screen[0], 0);
    bare->setSkyColors(skyTop, skyBottom);
    bare->drawTerrain(screen, 40, 40, 0, 0, 40, 40);
    EXPECT_EQ(screen[39], skyTop);
}

TEST(VterrainSprites, ChildrenWithoutPictureOrWithABadFrame) {
    PackFile file("vterrain_badframe", {test::solidPicture(4, 4, 0xF80000)});
    Ref<Vterrain> v = view(32, 32, 16);
    v->setTerrain(flatGround(0));
    v->placeCamera(100 * one, 4 * one, 100 * one);
    Ref<Vsprite> plain = make<Vsprite>();
    plain->setSize(4, 4);
    plain->setWorldPosition(100 * one, 4 * one, 80 * one);
    v->addChild(plain);
    Detach detach(v);
    Ref<Vsprite> bad = make<Vsprite>();
    bad->setImage(file.pack(), 0);
    bad->setSlanted(true);
    bad->setWorldPosition(100 * one, 4 * one, 80 * one);
    v->addChild(bad);
    v->layout(0, 0, one);
    bad->setFrame(7);
    IntArray screen = newIntArray(32 * 32);
    v->paint(screen, 32, 32, 0, 0, 32, 32);
    EXPECT_EQ(plain->hiddenPixels(), 0);
}
