#include <gtest/gtest.h>

#include <cmath>

#include "runtime/Fixed.h"

using namespace fairholm;

TEST(Fixed, MulRoundsTowardMinusInfinityWithFastPaths) {
    EXPECT_EQ(fx::mul(-1, 1), -1);
    EXPECT_EQ(fx::mul(1, 1), 0);
    EXPECT_EQ(fx::mul(-1, -1), 0);
    for (fixed b : {0, 1, -1, 12345, -98765, INT32_MAX, INT32_MIN}) {
        EXPECT_EQ(fx::mul(32768, b), b);
        EXPECT_EQ(fx::mul(b, 32768), b);
        EXPECT_EQ(fx::mul(0, b), 0);
    }
    EXPECT_EQ(fx::mul(3 * fx::one, fx::half), 49152);
    EXPECT_EQ(fx::mul(-3 * fx::one, fx::half), -49152);
    // Products beyond 32 bits keep their low 32 bits.
    EXPECT_EQ(fx::mul(0x40000000, 0x40000000), static_cast<int32_t>((int64_t{1} << 60) >> 15));
}

TEST(Fixed, DivTruncatesTowardZero) {
    EXPECT_EQ(fx::div(1, 3), 10922);
    EXPECT_EQ(fx::div(-1, 3), -10922);
    EXPECT_EQ(fx::div(1, -3), -10922);
    EXPECT_EQ(fx::div(fx::one, 2 * fx::one), fx::half);
    EXPECT_EQ(fx::div(7 * fx::one, fx::one), 7 * fx::one);
    EXPECT_EQ(fx::div(0, 0), 0);
    EXPECT_EQ(fx::div(5, 0), INT32_MAX);
    EXPECT_EQ(fx::div(-5, 0), INT32_MIN);
}

TEST(Fixed, SquareRoot) {
    EXPECT_EQ(fx::sqrt(0), 0);
    EXPECT_EQ(fx::sqrt(32768), 32768);
    EXPECT_EQ(fx::sqrt(-32768), 32768);
    EXPECT_EQ(fx::sqrt(4 * 32768), 65536);
    for (int64_t v : {int64_t{2}, int64_t{1000}, int64_t{123456789}, int64_t{1} << 40}) {
        const double expected = std::sqrt(static_cast<double>(v) * 32768.0);
        EXPECT_NEAR(fx::sqrt(v), expected, 4.0) << v;
    }
    // Inputs beyond the supported range end in bounded time.
    (void)fx::sqrt(INT64_MAX);
    (void)fx::sqrt(INT64_MIN);
}

TEST(Fixed, SineAndCosineChecks) {
    EXPECT_EQ(fx::sin(0), -1);
    EXPECT_EQ(fx::sin(4096), 23349);
    EXPECT_EQ(fx::sin(8192), 32767);
    EXPECT_EQ(fx::sin(16384), 1);
    EXPECT_EQ(fx::cos(0), 32767);
    EXPECT_EQ(fx::sin(-8192), -32767);
    EXPECT_EQ(fx::sin(24576), -32767);
    for (angle a = -40000; a < 70000; a += 337) {
        EXPECT_EQ(fx::sin(a), fx::sin(a + 32768));
        EXPECT_EQ(fx::cos(a), fx::cos(a - 32768));
        const double exact = std::sin(a * 2.0 * M_PI / 32768.0) * 32768.0;
        EXPECT_NEAR(fx::sin(a), exact, 900.0) << a;
    }
}

TEST(Fixed, ArcTangentChecks) {
    EXPECT_EQ(fx::atan2(0, fx::one), 0);
    EXPECT_EQ(fx::atan2(fx::one, 0), 8192);
    EXPECT_EQ(fx::atan2(0, -fx::one), 16384);
    EXPECT_EQ(fx::atan2(-fx::one, 0), -8192);
    EXPECT_EQ(fx::atan2(fx::one, fx::one), 4096);
    EXPECT_EQ(fx::atan2(0, 0), 4096);  // S = 1, t = 0
    for (int deg = -179; deg < 180; deg += 7) {
        const double r = deg * M_PI / 180.0;
        const fixed x = static_cast<fixed>(std::cos(r) * 100000);
        const fixed y = static_cast<fixed>(std::sin(r) * 100000);
        EXPECT_NEAR(fx::atan2(y, x), deg * 32768.0 / 360.0, 64.0) << deg;
    }
}

TEST(Fixed, UnsignedShift) {
    EXPECT_EQ(fx::ushr(INT32_MIN, 31), 1u);
    EXPECT_EQ(fx::ushr(INT32_MIN, 32), 0u);
    EXPECT_EQ(fx::ushr(-1, 24), 255u);
    EXPECT_EQ(fx::ushr(0x7F, 256 + 4), 7u);
    EXPECT_EQ(fx::ushr(-1, 255), 0u);
}
