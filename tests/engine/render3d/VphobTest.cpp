#include <gtest/gtest.h>

#include <vector>

#include "engine/render3d/Vphob.h"
#include "engine/render3d/VpolyTerrain.h"

using namespace fairholm;
using fx::one;

namespace {

constexpr fixed gameGravity = -359834;

// Restores the process-wide gravity after each test.
class VphobTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_savedGravity = Vphob::gravity();
        Vphob::setGravity(gameGravity);
    }
    void TearDown() override { Vphob::setGravity(m_savedGravity); }

    // Flat ground at height 0 everywhere, one region with the given surface.
    static Ref<VpolyTerrain> flatGround(fixed friction, fixed bounce) {
        Ref<VpolyTerrain> terrain = make<VpolyTerrain>();
        terrain->setPaletteSize(1);
        terrain->setSurfaceProperties(0, friction, bounce);
        terrain->buildHeightMap();
        return terrain;
    }

private:
    fixed m_savedGravity = 0;
};

}  // namespace

TEST_F(VphobTest, CreatedEmptyWithDragOne) {
    Ref<Vphob> body = make<Vphob>();
    EXPECT_EQ(body->drag(), 1);
    EXPECT_FALSE(body->onGround());
    EXPECT_EQ(body->position().x, 0);
    EXPECT_EQ(body->velocity().y, 0);
    Ref<Vector> p = body->getPosition();
    body->setPosition(one, 2 * one, 3 * one);
    EXPECT_EQ(p.ptr(), &body->position());
    EXPECT_EQ(p->z, 3 * one);
}

TEST_F(VphobTest, GravityIsProcessWide) {
    Vphob::setGravity(0);
    Ref<Vphob> a = make<Vphob>();
    a->setDrag(0);
    a->step(512);
    EXPECT_EQ(a->velocity().y, 0);
    Vphob::setGravity(gameGravity);
    a->step(512);
    EXPECT_EQ(a->velocity().y, fx::mul(gameGravity, 512));
}

TEST_F(VphobTest, FlightWithoutDragIsSymmetric) {
    Ref<Vphob> body = make<Vphob>();
    body->setTerrain(flatGround(0x4000, 0));
    body->setDrag(0);
    const fixed startY = 100 * one;
    body->setPosition(10 * one, startY, 10 * one);
    body->setVelocity(0, 10 * one, 0);
    std::vector<fixed> heights;
    fixed peak = startY;
    int peakStep = 0;
    for (int i = 1; i < 400 && body->position().y >= startY; ++i) {
        body->step(512);
        heights.push_back(body->position().y);
        if (body->position().y > peak) {
            peak = body->position().y;
            peakStep = i;
        }
    }
    ASSERT_LT(body->position().y, startY);
    EXPECT_FALSE(body->onGround());
    // About v^2 / 2g = 4.55 units up, less half a sub-step of travel (the position moves
    // with the updated velocity), reached after v/g = 0.91 time units (58 steps).
    EXPECT_NEAR(peak - startY, 149100 - 2560, 500);
    EXPECT_NEAR(peakStep, 58, 1);
    // Back at the start height after twice the rise time, falling at the launch speed.
    EXPECT_NEAR(static_cast<int>(heights.size()), 2 * peakStep + 1, 1);
    EXPECT_NEAR(body->velocity().y, -10 * one, 6000);
    EXPECT_EQ(body->velocity().x, 0);
    EXPECT_EQ(body->velocity().z, 0);
    // Heights mirror each other about the peak.
    for (int k = 1; k < 50; ++k) {
        EXPECT_NEAR(heights[peakStep - 1 - k], heights[peakStep - 1 + k], 6000) << k;
    }
}

TEST_F(VphobTest, WaterStopsTheBallDead) {
    Ref<Vphob> body = make<Vphob>();
    body->setTerrain(flatGround(one, 0));
    body->setPosition(100 * one, one / 64, 100 * one);
    body->setVelocity(20 * one, -5 * one, 3 * one);
    body->step(512);
    EXPECT_TRUE(body->onGround());
    EXPECT_EQ(body->velocity().x, 0);
    EXPECT_EQ(body->velocity().y, 0);
    EXPECT_EQ(body->velocity().z, 0);
    EXPECT_EQ(body->position().y, 0);
    EXPECT_EQ(body->friction(), one);
}

TEST_F(VphobTest, FrictionJustBelowOneDoesNotStopDead) {
    Ref<Vphob> body = make<Vphob>();
    body->setTerrain(flatGround(one - 1, 0));
    body->setPosition(100 * one, one / 64, 100 * one);
    body->setVelocity(20 * one, -5 * one, 0);
    body->setDrag(0);
    body->step(512);
    EXPECT_TRUE(body->onGround());
    EXPECT_NE(body->velocity().x, 0);
}

TEST_F(VphobTest, LandingWithoutBounceKeepsRolling) {
    Ref<Vphob> body = make<Vphob>();
    body->setTerrain(flatGround(0, 0));
    body->setDrag(0);
    body->setPosition(100 * one, one / 64, 100 * one);
    body->setVelocity(4 * one, -8 * one, 0);
    body->step(512);
    ASSERT_TRUE(body->onGround());
    EXPECT_EQ(body->normal().x, 0);
    EXPECT_EQ(body->normal().y, one);
    EXPECT_EQ(body->normal().z, 0);
    EXPECT_EQ(body->velocity().y, 0);
    EXPECT_EQ(body->velocity().x, 4 * one);
    EXPECT_EQ(body->position().y, 0);
    // Sliding backwards along the ground, opposite to the motion.
    EXPECT_EQ(body->slideDirection().x, -one);
    EXPECT_EQ(body->slideDirection().y, 0);
}

TEST_F(VphobTest, HalfBounceReboundsWithHalfTheSpeed) {
    Ref<Vphob> body = make<Vphob>();
    body->setTerrain(flatGround(0, fx::half));
    body->setDrag(0);
    body->setPosition(100 * one, one / 64, 100 * one);
    body->setVelocity(0, -8 * one, 0);
    body->step(512);
    ASSERT_TRUE(body->onGround());
    const fixed vyBefore = -8 * one + fx::mul(gameGravity, 512);
    EXPECT_EQ(body->velocity().y, vyBefore - fx::mul(one + fx::half, vyBefore));
    EXPECT_NEAR(body->velocity().y, -vyBefore / 2, 1);
    EXPECT_EQ(body->bounce(), fx::half);
    // The rebound carries it into the air again.
    body->step(512);
    EXPECT_FALSE(body->onGround());
    EXPECT_GT(body->position().y, 0);
}

TEST_F(VphobTest, FrictionSlowsTheRollOnImpact) {
    Ref<Vphob> body = make<Vphob>();
    body->setTerrain(flatGround(0x4000, 0));
    body->setDrag(0);
    body->setPosition(100 * one, one / 64, 100 * one);
    body->setVelocity(4 * one, -8 * one, 0);
    body->step(512);
    ASSERT_TRUE(body->onGround());
    // vt = -4.0 is not below 1.125 g (-12.35), so the impact k scales the friction.
    const fixed vyBefore = -8 * one + fx::mul(gameGravity, 512);
    const fixed k = -vyBefore;
    EXPECT_EQ(body->velocity().x, 4 * one - fx::mul(0x4000, k));
}

// Sliding faster than 1.125 g into the ground costs a skidding ball the friction share of
// its sliding speed; a rolling ball (a putt) takes the impact's friction only.
TEST_F(VphobTest, FastSlideLosesItsFrictionShareUnlessRolling) {
    for (bool rolling : {false, true}) {
        Ref<Vphob> body = make<Vphob>();
        body->setTerrain(flatGround(0x4000, 0));
        body->setDrag(0);
        body->setRolling(rolling);
        body->setPosition(100 * one, one / 64, 100 * one);
        body->setVelocity(20 * one, -8 * one, 0);
        body->step(512);
        ASSERT_TRUE(body->onGround());
        const fixed k = -(-8 * one + fx::mul(gameGravity, 512));
        const fixed slide = 20 * one;
        // (The slide direction is normalised, so a few units off.)
        EXPECT_NEAR(body->velocity().x, slide - fx::mul(0x4000, rolling ? k : slide), 256) << rolling;
    }
}

TEST_F(VphobTest, BallAtRestDoesNotSlide) {
    Ref<Vphob> body = make<Vphob>();
    body->setTerrain(flatGround(0x4000, 0));
    body->setPosition(50 * one, 0, 60 * one);
    body->setVelocity(0, 0, 0);
    body->step(512);
    ASSERT_TRUE(body->onGround());
    EXPECT_EQ(body->velocity().y, 0);
    for (int i = 0; i < 20; ++i) {
        body->step(512);
    }
    EXPECT_EQ(body->slideDirection().x, 0);
    EXPECT_EQ(body->slideDirection().y, 0);
    EXPECT_EQ(body->slideDirection().z, 0);
    EXPECT_EQ(body->position().x, 50 * one);
    EXPECT_EQ(body->position().z, 60 * one);
    EXPECT_EQ(body->velocity().x, 0);
    EXPECT_EQ(body->velocity().z, 0);
}

TEST_F(VphobTest, WindActsOnlyAboveOneUnit) {
    auto drift = [](fixed height) {
        Ref<Vphob> body = make<Vphob>();
        body->setTerrain(flatGround(0, 0));
        Vphob::setGravity(0);
        body->setPosition(100 * one, height, 100 * one);
        body->setVelocity(0, 8 * one, 0);
        body->wind().set(5 * one, 0, 0);
        body->checkGround();
        body->computeAcceleration();
        return body->acceleration().x;
    };
    EXPECT_EQ(drift(one), 0);
    EXPECT_EQ(drift(one / 2), 0);
    // n = 8: factor 64, force x = mul(5.0, 64).
    EXPECT_EQ(drift(one + 1), fx::mul(5 * one, 64));
}

TEST_F(VphobTest, DragUsesFastLengthOfTheVelocity) {
    Ref<Vphob> body = make<Vphob>();
    Vphob::setGravity(0);
    body->setPosition(0, 50 * one, 0);
    body->setVelocity(0, 0, 30 * one);
    body->checkGround();
    body->computeAcceleration();
    // fastLength counts a z-only speed as 11/32: 30 * 11264 >> 15 = 10.
    EXPECT_EQ(body->acceleration().z, fx::mul(-30 * one, 100));
    body->setDrag(3);
    body->computeAcceleration();
    EXPECT_EQ(body->acceleration().z, fx::mul(-30 * one, 300));
}

TEST_F(VphobTest, GroundPushCancelsGravityAtRest) {
    Ref<Vphob> body = make<Vphob>();
    body->setTerrain(flatGround(0x4000, 0));
    body->setDrag(0);
    body->setPosition(10 * one, -1, 10 * one);
    body->step(1);
    ASSERT_TRUE(body->onGround());
    body->computeAcceleration();
    EXPECT_EQ(body->acceleration().y, 0);
    EXPECT_EQ(body->acceleration().x, 0);
}

namespace {

// Records the velocity seen at each sub-step with a unit acceleration along x, so the
// velocity grows by exactly each sub-step's length.
class CountingBody : public Vphob {
public:
    void computeAcceleration() override {
        seen.push_back(velocity().x);
        acceleration().set(one, 0, 0);
    }
    std::vector<fixed> seen;
};

}  // namespace

TEST_F(VphobTest, StepSplitsIntoSubStepsOf512) {
    Ref<CountingBody> body = make<CountingBody>();
    body->setPosition(0, 10 * one, 0);
    body->step(0);
    EXPECT_TRUE(body->seen.empty());
    EXPECT_EQ(body->position().y, 10 * one);
    body->step(1300);
    ASSERT_EQ(body->seen.size(), 3u);
    EXPECT_EQ(body->seen[0], 0);
    EXPECT_EQ(body->seen[1], 512);
    EXPECT_EQ(body->seen[2], 1024);
    EXPECT_EQ(body->velocity().x, 1300);
}

TEST_F(VphobTest, WithoutTerrainThereIsNoGround) {
    // A body without terrain never touches ground.
    Ref<Vphob> body = make<Vphob>();
    body->setPosition(0, -5 * one, 0);
    EXPECT_FALSE(body->checkGround());
    EXPECT_EQ(body->position().y, -5 * one);
}

TEST_F(VphobTest, WaterOnlyWhereTheRegionIsWater) {
    Ref<VpolyTerrain> terrain = make<VpolyTerrain>();
    terrain->beginShapes(512, 512, 1024, 2);
    terrain->addLine(256 * one, 0, 256 * one, 512 * one, 1, 0);
    terrain->endShape();
    terrain->setSurfaceProperties(0, 0x4000, 0);
    terrain->setSurfaceProperties(1, one, 0);
    terrain->buildHeightMap();
    Ref<Vphob> body = make<Vphob>();
    body->setTerrain(terrain);
    body->setPosition(100 * one, one / 64, 100 * one);
    body->setVelocity(6 * one, -3 * one, 0);
    body->step(512);
    ASSERT_TRUE(body->onGround());
    EXPECT_EQ(body->friction(), 0x4000);
    EXPECT_GT(body->velocity().x, 0);
    body->setPosition(300 * one, one / 64, 100 * one);
    body->setVelocity(6 * one, -3 * one, 0);
    body->step(512);
    ASSERT_TRUE(body->onGround());
    EXPECT_EQ(body->friction(), one);
    EXPECT_EQ(body->velocity().x, 0);
    // Outside the map the region is 0.
    body->setPosition(-5 * one, -one, 100 * one);
    body->setVelocity(6 * one, -3 * one, 0);
    body->step(512);
    EXPECT_EQ(body->friction(), 0x4000);
}

TEST_F(VphobTest, SlopeTiltsTheNormalAndPullsDownhill) {
    Ref<VpolyTerrain> terrain = flatGround(0, 0);
    const ByteArray& grid = terrain->editHeightGrid();
    for (int32_t gz = 0; gz < 256; ++gz) {
        for (int32_t gx = 0; gx < 256; ++gx) {
            grid[gz * 256 + gx] = static_cast<uint8_t>(gx);
        }
    }
    // One level per cell of 2 units: the ground rises 1/16 unit per unit toward +x.
    Ref<Vphob> body = make<Vphob>();
    body->setTerrain(terrain);
    body->setDrag(0);
    body->setPosition(200 * one, 0, 200 * one);
    body->step(512);
    ASSERT_TRUE(body->onGround());
    const fixed dx = 2048;
    EXPECT_NEAR(body->normal().x, -fx::div(dx, Vector(dx, one, 0).length()), 2);
    EXPECT_NEAR(body->normal().y, fx::div(one, Vector(dx, one, 0).length()), 2);
    EXPECT_EQ(body->normal().z, 0);
    // Gravity's part along the ground pulls it toward -x (downhill).
    for (int i = 0; i < 10; ++i) {
        body->step(512);
    }
    EXPECT_LT(body->position().x, 200 * one);
}
