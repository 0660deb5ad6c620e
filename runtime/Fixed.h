#pragma once

// Fixed-point arithmetic of the engine.
//
// `fixed` is a signed 32-bit integer read as value / 32768: 17 integer bits (sign
// included) and 15 fractional bits, so 1.0 is 0x8000, 0.5 is 0x4000 and 4.0 is 0x20000.
// Sums and differences are plain 32-bit additions that wrap on overflow (the engine is
// built with -fwrapv, see cmake/FairholmTargets.cmake); products and quotients are
// formed in 64 bits and cut back to their low 32 bits.
//
// `angle` is an integer on a circle of 32768 units per turn (8192 a quarter turn).
// Functions taking an angle use its low 15 bits.
//
// Sine, cosine and arc tangent are small polynomials and the square root is a Newton
// iteration: no tables and no floating point anywhere.

#include <cstdint>

namespace fairholm {

using fixed = int32_t;
using angle = int32_t;

namespace fx {

inline constexpr fixed one = 0x8000;
inline constexpr fixed half = 0x4000;
inline constexpr angle fullTurn = 32768;
inline constexpr angle quarterTurn = 8192;

// Integer to fixed.
constexpr fixed fromInt(int32_t value) {
    return value << 15;
}
// Fixed to integer, rounding toward minus infinity.
constexpr int32_t toInt(fixed value) {
    return value >> 15;
}

// The floor of a*b/32768, low 32 bits kept. Factors of 0 and 1.0 skip the product.
constexpr fixed mul(fixed a, fixed b) {
    if (a == 0 || b == 0) {
        return 0;
    }
    if (a == one) {
        return b;
    }
    if (b == one) {
        return a;
    }
    return static_cast<int32_t>((static_cast<int64_t>(a) * b) >> 15);
}

// a*32768/b truncated toward zero, low 32 bits kept. Dividing by 0 saturates toward
// the sign of `a` (0 for 0) instead of trapping; no caller relies on it.
constexpr fixed div(fixed a, fixed b) {
    if (b == 0) {
        return a == 0 ? 0 : (a > 0 ? INT32_MAX : INT32_MIN);
    }
    return static_cast<int32_t>((static_cast<int64_t>(a) * 32768) / b);
}

// Square root on the fixed scale: r ~ sqrt(v * 32768). Negative values use |v|.
constexpr fixed sqrt(int64_t v) {
    if (v == 0) {
        return 0;
    }
    if (v < 0) {
        v = v == INT64_MIN ? INT64_MAX : -v;
    }
    int64_t g = (v + 32768) >> 1;
    const int64_t scaled = static_cast<int64_t>(static_cast<uint64_t>(v) << 15);
    int64_t next = g;
    // Converges in a few dozen steps for any value the engine forms; the bound only
    // guards inputs so large that v << 15 leaves 64 bits.
    for (int step = 0; step < 128; ++step) {
        next = (g + scaled / g) >> 1;
        if (g - next < 4 || next <= 0) {
            break;
        }
        g = next;
    }
    return static_cast<int32_t>(next);
}

// Sine: a quadratic fit around the eighth turn, in -32767..32767 (error under 900).
constexpr fixed sin(angle a) {
    int32_t f = a & 0x1FFF;
    if (a & 0x2000) {
        f = 0x2000 - f;
    }
    const int32_t u = (f - 4096) * 4;
    const int32_t s = mul(mul(u, u), -27861) + u + 23349;
    return (a & 0x4000) ? -s : s;
}

constexpr fixed cos(angle a) {
    return sin(a + quarterTurn);
}

// Direction of (x, y) from +x toward +y, in -16384..16384: a cubic in the ratio
// (|x| - |y|) / (|x| + |y|).
constexpr angle atan2(fixed y, fixed x) {
    const int32_t ay = y < 0 ? -y : y;
    const int32_t ax = x < 0 ? -x : x;
    int32_t s = ax + ay;
    if (s == 0) {
        s = 1;
    }
    fixed t;
    int32_t base;
    if (x >= 0) {
        t = div(x - ay, s);
        base = 4096;
    } else {
        t = div(ay + x, s);
        base = 12288;
    }
    const int32_t r = mul(mul(mul(t, t), t), 1023) - mul(t, 5119) + base;
    return y < 0 ? -r : r;
}

// Logical right shift of the 32-bit pattern of `value` by the low 8 bits of `count`;
// 0 for counts of 32 or more.
constexpr uint32_t ushr(int32_t value, int32_t count) {
    const uint32_t n = static_cast<uint32_t>(count) & 0xFF;
    return n >= 32 ? 0u : static_cast<uint32_t>(value) >> n;
}

}  // namespace fx
}  // namespace fairholm
