// The human player's random source: the same numbers from the same seed, uniform and
// normal numbers of the right spread.

#include <gtest/gtest.h>

#include <cmath>

#include "tools/coursecheck/SeededRandom.h"

using fairholm::coursecheck::SeededRandom;

TEST(SeededRandom, TheSameSeedGivesTheSameNumbers) {
    SeededRandom a(42), b(42), c(43);
    int same = 0;
    for (int i = 0; i < 100; ++i) {
        const uint64_t x = a.next();
        EXPECT_EQ(x, b.next());
        same += x == c.next();
    }
    EXPECT_EQ(same, 0);
    // splitmix64's first number for seed 0.
    EXPECT_EQ(SeededRandom(0).next(), 0xE220A8397B1DCDAFull);
    // Mixed seeds differ with either part.
    EXPECT_NE(SeededRandom::mix(1, 2), SeededRandom::mix(1, 3));
    EXPECT_NE(SeededRandom::mix(1, 2), SeededRandom::mix(2, 2));
    EXPECT_EQ(SeededRandom::mix(5, 9), SeededRandom::mix(5, 9));
}

TEST(SeededRandom, UniformAndNormalNumbersHaveTheirSpread) {
    SeededRandom r(7);
    constexpr int n = 20000;
    double sum = 0, squares = 0, low = 1, high = 0;
    int heads = 0;
    uint32_t bitsSeen = 0;
    for (int i = 0; i < n; ++i) {
        const double u = r.uniform();
        low = std::min(low, u);
        high = std::max(high, u);
        const double g = r.normal();
        sum += g;
        squares += g * g;
        heads += r.chance(0.25);
        const uint32_t b = r.bits(3);
        EXPECT_LT(b, 8u);
        bitsSeen |= 1u << b;
    }
    EXPECT_GE(low, 0.0);
    EXPECT_LT(high, 1.0);
    EXPECT_LT(low, 0.001);
    EXPECT_GT(high, 0.999);
    EXPECT_NEAR(sum / n, 0, 0.03);
    EXPECT_NEAR(std::sqrt(squares / n), 1, 0.03);
    EXPECT_NEAR(heads / double(n), 0.25, 0.015);
    EXPECT_EQ(bitsSeen, 0xFFu);
    const double v = SeededRandom(3).between(5, 6);
    EXPECT_GE(v, 5);
    EXPECT_LT(v, 6);
}
