#include <gtest/gtest.h>

#include "engine/render3d/Vector.h"

using namespace fairholm;
using fx::one;

TEST(Vector, StartsAtZeroAndCombines) {
    Vector v;
    EXPECT_EQ(v.x, 0);
    EXPECT_EQ(v.y, 0);
    EXPECT_EQ(v.z, 0);
    v.translate(one, 2 * one, 3 * one);
    Vector w(one, one, one);
    v.add(w);
    EXPECT_EQ(v.y, 3 * one);
    v.subtract(w);
    v.subtract(w);
    EXPECT_EQ(v.x, 0);
    EXPECT_EQ(v.dot(Vector(one, one, one)), 3 * one);
    v.addScaled(Vector(one, 0, -one), 2 * one);
    EXPECT_EQ(v.x, 2 * one);
    EXPECT_EQ(v.z, 0);
    v.negate();
    EXPECT_EQ(v.x, -2 * one);
    v.scale(fx::half);
    EXPECT_EQ(v.x, -one);
    v.divide(2 * one);
    EXPECT_EQ(v.x, -fx::half);
}

TEST(Vector, Lengths) {
    EXPECT_EQ(Vector(3 * one, 4 * one, 0).length(), 163840);
    EXPECT_EQ(Vector(one, 0, 0).fastLength(), 32768);
    EXPECT_EQ(Vector(0, one, 0).fastLength(), 32768);
    EXPECT_EQ(Vector(0, 0, one).fastLength(), 11264);
    EXPECT_EQ(Vector(0, 2 * one, one).fastLength(), 76800);
    EXPECT_EQ(Vector(one, one, one).fastLength(), 52224);
    EXPECT_EQ(Vector(-one, 0, -one).fastLength(), 32768 + 11264);
}

TEST(Vector, Normalize) {
    Vector tiny(1, 0, 0);
    tiny.normalize();
    EXPECT_EQ(tiny.x, 0);
    Vector two(2 * one, 0, 0);
    two.normalize();
    EXPECT_EQ(two.x, one);
    EXPECT_EQ(two.y, 0);
    Vector diagonal(3 * one, 4 * one, 0);
    diagonal.normalize();
    EXPECT_NEAR(diagonal.x, 19661, 2);
    EXPECT_NEAR(diagonal.y, 26214, 2);
}

TEST(Vector, CrossMayWriteIntoAnOperand) {
    Vector z;
    z.cross(Vector(one, 0, 0), Vector(0, one, 0));
    EXPECT_EQ(z.x, 0);
    EXPECT_EQ(z.y, 0);
    EXPECT_EQ(z.z, one);
    Vector a(0, one, 0);
    a.cross(a, Vector(0, 0, one));  // y x z = x
    EXPECT_EQ(a.x, one);
    EXPECT_EQ(a.y, 0);
    EXPECT_EQ(a.z, 0);
}
