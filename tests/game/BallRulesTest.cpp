// The rules of a ball in play: bounds, the cup, stillness, water, and a stroke played out.
#include <gtest/gtest.h>

#include "game/BallRules.h"
#include "game/Clubs.h"
#include "game/Surface.h"

using namespace fairholm;

namespace {

constexpr fixed one = fx::one;

// Flat ground at height 0: fairway west of x = 256, water east of it.
class BallRulesTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_savedGravity = Vphob::gravity();
        Vphob::setGravity(-Clubs::gravity);
        terrain = make<VpolyTerrain>();
        terrain->beginShapes(512, 512, 1024, 2);
        terrain->addLine(256 * one, 0, 256 * one, 512 * one, 1, 0);
        terrain->endShape();
        terrain->setPaletteImage(0, Ref<Vilib>(), Surface::fairway);
        terrain->setPaletteImage(1, Ref<Vilib>(), Surface::water);
        terrain->setSurfaceProperties(0, 0x2666, 0);
        terrain->setSurfaceProperties(1, one, 0);
        terrain->buildHeightMap();
        body = make<Vphob>();
        body->setTerrain(terrain);
    }
    void TearDown() override { Vphob::setGravity(m_savedGravity); }

    // A ball lying still on the ground at (x, z).
    void lieAt(fixed x, fixed z) {
        body->setPosition(x, 0, z);
        body->setVelocity(0, 0, 0);
        body->step(BallRules::frameTime(16));
    }

    Ref<VpolyTerrain> terrain;
    Ref<Vphob> body;
    BallRules rules;
    const Vector pin{100 * one, 0, 100 * one};

private:
    fixed m_savedGravity = 0;
};

}  // namespace

TEST(BallRulesTime, FramesAreCappedAt80MillisecondsAnd80WhenNoTimePassed) {
    EXPECT_EQ(BallRules::frameTime(16), 16 * 32);
    EXPECT_EQ(BallRules::frameTime(1), 32);
    EXPECT_EQ(BallRules::frameTime(80), 80 * 32);
    EXPECT_EQ(BallRules::frameTime(81), 80 * 32);
    EXPECT_EQ(BallRules::frameTime(0), 80 * 32);
    EXPECT_EQ(BallRules::frameTime(-7), 80 * 32);
}

TEST(BallRulesBounds, TheCourseIsZeroToJustUnder512OnBothAxes) {
    EXPECT_FALSE(BallRules::isOutOfBounds(0, 0));
    EXPECT_FALSE(BallRules::isOutOfBounds(16777215, 16777215));
    EXPECT_TRUE(BallRules::isOutOfBounds(16777216, 100));
    EXPECT_TRUE(BallRules::isOutOfBounds(100, 16777216));
    EXPECT_TRUE(BallRules::isOutOfBounds(-1, 100));
    EXPECT_TRUE(BallRules::isOutOfBounds(100, -1));
    EXPECT_TRUE(BallRules::isOutOfBounds(INT32_MIN, INT32_MAX));
}

TEST_F(BallRulesTest, OutOfBoundsIsJudgedByXAndZAlone) {
    body->setPosition(-1, 0, 100 * one);
    EXPECT_EQ(rules.judge(*body, pin, *terrain), BallRules::Verdict::OutOfBounds);
    body->setPosition(100 * one, 900 * one, 100 * one);  // far above the ground, on the course
    body->setVelocity(one, 0, 0);
    EXPECT_EQ(rules.judge(*body, pin, *terrain), BallRules::Verdict::Moving);
}

TEST_F(BallRulesTest, TheCupTakesASlowBallWithinAnEighthOfAUnit) {
    // 0.1 units from the pin, moving along x: 12 units per time unit rolls over, 11 drops.
    body->setPosition(pin.x + 3277, 0, pin.z);
    body->setVelocity(12 * one, 0, 0);
    EXPECT_EQ(rules.judge(*body, pin, *terrain), BallRules::Verdict::Moving);
    body->setVelocity(11 * one, 0, 0);
    EXPECT_EQ(rules.judge(*body, pin, *terrain), BallRules::Verdict::Holed);
    // The distance counts the height too.
    body->setVelocity(0, 0, 0);
    body->setPosition(pin.x, 4094, pin.z);
    EXPECT_EQ(rules.judge(*body, pin, *terrain), BallRules::Verdict::Holed);
    body->setPosition(pin.x, 4095, pin.z);
    EXPECT_NE(rules.judge(*body, pin, *terrain), BallRules::Verdict::Holed);
}

TEST_F(BallRulesTest, ABallRestsAfterThirtyStillFrames) {
    lieAt(50 * one, 50 * one);
    // The first look takes the distance as the reference; thirty more make it still.
    for (int frame = 0; frame < 30; ++frame) {
        ASSERT_EQ(rules.judge(*body, pin, *terrain), BallRules::Verdict::Moving) << frame;
    }
    EXPECT_EQ(rules.judge(*body, pin, *terrain), BallRules::Verdict::Rest);
    EXPECT_EQ(rules.stillFrames(), 30);
}

TEST_F(BallRulesTest, DriftUnder910KeepsTheCountAndMoreRestartsIt) {
    lieAt(50 * one, 50 * one);
    rules.judge(*body, pin, *terrain);
    for (int frame = 0; frame < 10; ++frame) {
        body->setPosition(50 * one + frame * 60, 0, 50 * one);  // creeping, 900 at most in all
        rules.judge(*body, pin, *terrain);
    }
    EXPECT_EQ(rules.stillFrames(), 10);
    body->setPosition(50 * one - 1000, 0, 50 * one);
    rules.judge(*body, pin, *terrain);
    EXPECT_EQ(rules.stillFrames(), 0);
}

TEST_F(BallRulesTest, ANewStrokeRestartsTheCountButKeepsTheReference) {
    lieAt(50 * one, 50 * one);
    for (int frame = 0; frame < 21; ++frame) {
        rules.judge(*body, pin, *terrain);
    }
    EXPECT_EQ(rules.stillFrames(), 20);
    rules.restartStillness();
    EXPECT_EQ(rules.stillFrames(), 0);
    rules.judge(*body, pin, *terrain);
    EXPECT_EQ(rules.stillFrames(), 1);  // the same distance as the reference: still again
}

TEST_F(BallRulesTest, WaterIsTheFirstStopOnWaterLandNeedsStillness) {
    lieAt(300 * one, 100 * one);
    ASSERT_TRUE(body->onGround());
    EXPECT_EQ(rules.judge(*body, pin, *terrain), BallRules::Verdict::Water);
    BallRules land;
    lieAt(200 * one, 100 * one);
    EXPECT_EQ(land.judge(*body, pin, *terrain), BallRules::Verdict::Moving);
}

TEST_F(BallRulesTest, AStrokeTakesTheWindAndTheLaunchAlongTheAim) {
    Wind wind;
    wind.set(one, 0, one, 0);  // one unit of wind towards -z
    BallRules::strike(*body, 100 * one, 0, 200 * one, Clubs::putter, Clubs::fullPower, 8192, wind);
    EXPECT_EQ(body->position().x, 100 * one);
    EXPECT_EQ(body->position().z, 200 * one);
    EXPECT_NEAR(body->wind().x, 0, 16);  // sine and cosine are polynomial fits
    EXPECT_NEAR(body->wind().z, -98418, 16);
    // Aim 8192 is a quarter turn: along +x.
    EXPECT_NEAR(body->velocity().x, 20 * one, 64);
    EXPECT_NEAR(body->velocity().z, 0, 64);
    EXPECT_EQ(body->velocity().y, 0);
}

TEST_F(BallRulesTest, AStrokePlayedOutEndsWithItsVerdictAndPlace) {
    // A putt along the fairway rolls out and rests short of the water.
    BallRules::strike(*body, 100 * one, 0, 100 * one, Clubs::putter, 30 << 16, 8192, Wind());
    BallRules putt;
    const BallRules::Result rest = putt.playOut(*body, Vector(0, 0, 0), *terrain, 80, 16, 3600);
    EXPECT_EQ(rest.verdict, BallRules::Verdict::Rest);
    EXPECT_GT(rest.x, 101 * one);
    EXPECT_LT(rest.x, 256 * one);
    EXPECT_NEAR(rest.z, 100 * one, one / 4);
    EXPECT_GT(rest.frames, 30);
    // Towards the pond: the ball stops in the water.
    BallRules::strike(*body, 250 * one, 0, 100 * one, Clubs::putter, 30 << 16, 8192, Wind());
    BallRules wet;
    EXPECT_EQ(wet.playOut(*body, Vector(0, 0, 0), *terrain, 16, 16, 3600).verdict, BallRules::Verdict::Water);
    // Too few frames to end: still moving.
    BallRules::strike(*body, 100 * one, 0, 100 * one, Clubs::driver, Clubs::fullPower, 8192, Wind());
    BallRules endless;
    const BallRules::Result flying = endless.playOut(*body, Vector(0, 0, 0), *terrain, 16, 16, 5);
    EXPECT_EQ(flying.verdict, BallRules::Verdict::Moving);
    EXPECT_EQ(flying.frames, 5);
    // Off the east edge.
    BallRules::strike(*body, 500 * one, 0, 100 * one, Clubs::driver, Clubs::fullPower, 8192, Wind());
    BallRules gone;
    EXPECT_EQ(gone.playOut(*body, Vector(0, 0, 0), *terrain, 16, 16, 3600).verdict,
              BallRules::Verdict::OutOfBounds);
}

namespace {

// Where a ball struck from (100, 10) along +z over the flat fairway first touches the
// ground and where it comes to rest, as distances in fixed units; a fresh body each time.
struct Shot {
    fixed carry = 0;
    fixed rest = 0;
};

}  // namespace

class BallRulesShotTest : public BallRulesTest {
protected:
    Shot play(int32_t club, int32_t power) {
        body = make<Vphob>();
        body->setTerrain(terrain);
        BallRules::strike(*body, 100 * one, 0, 10 * one, club, power, 16384, Wind());
        BallRules judge;
        Shot shot;
        for (int32_t frame = 0; frame < 3600; ++frame) {
            body->step(BallRules::frameTime(16));
            if (shot.carry == 0 && frame > 0 && body->onGround()) {
                shot.carry = body->position().z - 10 * one;
            }
            if (judge.judge(*body, Vector(0, 0, 0), *terrain) != BallRules::Verdict::Moving) {
                break;
            }
        }
        shot.rest = body->position().z - 10 * one;
        return shot;
    }
};

// A full swing of every club at full power in calm air lands and rests where it always
// has: the putter's rolling rule leaves flights and bounces alone.
TEST_F(BallRulesShotTest, FullShotsKeepTheirCarriesAndRollOut) {
    const Shot expected[Clubs::putter] = {
        {7058848, 7782252}, {6565094, 7122631}, {5783689, 6260832}, {5380813, 6038865}, {4966509, 5479599},
        {4548618, 5314190}, {4104868, 4709249}, {3668062, 4144596}, {3210128, 3934389}, {1791674, 2221971},
    };
    for (int32_t club = Clubs::driver; club < Clubs::putter; ++club) {
        const Shot shot = play(club, Clubs::fullPower);
        EXPECT_EQ(shot.carry, expected[club].carry) << Clubs::name(club);
        EXPECT_EQ(shot.rest, expected[club].rest) << Clubs::name(club);
        EXPECT_FALSE(body->rolling());
    }
}

// A putt rolls farther the harder it is struck, over every power the meter can show, and
// the putter's 100 feet are within reach. (A ball skidding into the ground used to lose
// 30 % of its speed at each contact above 1.125 g, so a putt at 40 % stopped short of
// one at 35 %.)
TEST_F(BallRulesShotTest, PuttsRollFartherWithMorePower) {
    fixed previous = 0;
    const fixed hundredFeet = Clubs::clubTable[Clubs::putter].carry;
    fixed atHalf = 0;
    for (int32_t percent = 1; percent <= 100; ++percent) {
        const Shot shot = play(Clubs::putter, percent << 16);
        EXPECT_GT(shot.rest, previous) << percent << " %";
        EXPECT_TRUE(body->rolling());
        previous = shot.rest;
        if (percent == 50) {
            atHalf = shot.rest;
        }
    }
    EXPECT_GT(atHalf, hundredFeet * 8 / 10);
    EXPECT_LT(atHalf, hundredFeet * 12 / 10);
    EXPECT_GT(previous, hundredFeet);
}
