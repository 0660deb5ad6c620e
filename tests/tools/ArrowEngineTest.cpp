// The generated wind arrow read by the engine's shape loader, as the scores panel does.

#include <gtest/gtest.h>

#include "engine/render3d/Vpolyn.h"
#include "engine/render3d/Vswf.h"
#include "runtime/ProgramDirectory.h"
#include "runtime/String.h"

using namespace fairholm;

namespace {

class ArrowInEngine : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(ProgramDirectory::set(FAIRHOLM_PROGRAM_DIR)); }

    // The arrow drawn into a 24 x 24 picture turned by `turn`, as the scores panel asks.
    Ref<Vpolyn> draw(angle turn) {
        Ref<Vpolyn> picture = make<Vpolyn>();
        Ref<Vswf> reader = make<Vswf>();
        reader->load(picture, *lit("arrow"), 24, 24, 48, 2, turn);
        return picture;
    }

    static int32_t at(Vpolyn& p, int32_t x2, int32_t y2) {
        // Coordinates in half pixels, so that pixel centres can be named.
        return p.colorAt(x2 << 14, y2 << 14);
    }
};

}  // namespace

TEST_F(ArrowInEngine, UprightItPointsUpInOneColour) {
    Ref<Vpolyn> p = draw(0);
    ASSERT_EQ(p->paletteUsed(), 2);  // the background and the arrow's one colour
    const int32_t colour = p->paletteColor(1);
    EXPECT_NE(colour, 0);
    EXPECT_EQ(at(*p, 24, 5), colour);   // the tip, top centre
    EXPECT_EQ(at(*p, 24, 41), colour);  // the tail
    EXPECT_EQ(at(*p, 15, 23), colour);  // the left shoulder
    EXPECT_EQ(at(*p, 33, 23), colour);  // the right shoulder
    EXPECT_EQ(at(*p, 24, 45), 0);       // below the tail
    EXPECT_EQ(at(*p, 17, 41), 0);       // beside the tail
    EXPECT_EQ(at(*p, 16, 5), 0);        // beside the tip
    EXPECT_EQ(at(*p, 3, 3), 0);         // corners stay empty
}

TEST_F(ArrowInEngine, TurnsAboutTheCentre) {
    const int32_t colour = draw(0)->paletteColor(1);
    Ref<Vpolyn> right = draw(8192);  // a quarter turn: pointing right (east on the map)
    EXPECT_EQ(at(*right, 43, 24), colour);
    EXPECT_EQ(at(*right, 43, 16), 0);
    EXPECT_EQ(at(*right, 7, 24), colour);
    EXPECT_EQ(at(*right, 3, 24), 0);
    Ref<Vpolyn> down = draw(16384);  // half a turn: pointing down
    EXPECT_EQ(at(*down, 24, 43), colour);
    EXPECT_EQ(at(*down, 16, 43), 0);
    EXPECT_EQ(at(*down, 24, 7), colour);
    EXPECT_EQ(at(*down, 24, 2), 0);
}

TEST_F(ArrowInEngine, EveryTurnKeepsTheWholeArrowWithoutHoles) {
    // The scores panel draws the arrow in 32 steps of 1024. At each, the ink is one
    // solid run per row: no row has a gap, and no ink is cut off at the picture edge.
    const int32_t colour = draw(0)->paletteColor(1);
    for (int32_t turn = 0; turn < 32768; turn += 1024) {
        Ref<Vpolyn> p = draw(turn);
        int ink = 0;
        for (int32_t y = 1; y < 48; y += 2) {
            int runs = 0;
            bool inside = false;
            for (int32_t x = 1; x < 48; x += 2) {
                const bool now = at(*p, x, y) == colour;
                runs += now && !inside ? 1 : 0;
                inside = now;
                ink += now ? 1 : 0;
                if (x == 1 || x == 47 || y == 1 || y == 47) {
                    EXPECT_FALSE(now) << "turn " << turn << " at the edge " << x / 2 << "," << y / 2;
                }
            }
            EXPECT_LE(runs, 1) << "turn " << turn << " row " << y / 2;
        }
        EXPECT_GT(ink, 100) << turn;
        EXPECT_LT(ink, 170) << turn;
    }
}
