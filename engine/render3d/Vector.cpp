#include "engine/render3d/Vector.h"

namespace fairholm {

void Vector::cross(const Vector& a, const Vector& b) {
    const fixed nx = fx::mul(a.y, b.z) - fx::mul(a.z, b.y);
    const fixed ny = fx::mul(a.z, b.x) + fx::mul(-a.x, b.z);
    const fixed nz = fx::mul(a.x, b.y) - fx::mul(a.y, b.x);
    x = nx;
    y = ny;
    z = nz;
}

void Vector::divide(fixed d) {
    x = fx::div(x, d);
    y = fx::div(y, d);
    z = fx::div(z, d);
}

fixed Vector::length() const {
    const int64_t sum =
        static_cast<int64_t>(x) * x + static_cast<int64_t>(y) * y + static_cast<int64_t>(z) * z;
    return fx::sqrt(sum >> 15);
}

fixed Vector::fastLength() const {
    // Plain 32-bit arithmetic throughout, wrapping as the engine's does (-fwrapv).
    const int32_t ax = x < 0 ? -x : x;
    const int32_t ay = y < 0 ? -y : y;
    const int32_t az = z < 0 ? -z : z;
    const int32_t m1 = ax > ay ? ax : ay;
    int32_t m2 = ax > ay ? ay : ax;
    int32_t m3;
    if (m2 < az) {
        m3 = m2;
        m2 = az;
    } else {
        m3 = az;
    }
    return m1 + ((m2 * 11) >> 5) + (m3 >> 2);
}

void Vector::normalize() {
    const fixed l = length();
    if (l < 2) {
        set(0, 0, 0);
        return;
    }
    scale(static_cast<fixed>(static_cast<int64_t>(0x40000000) / l));
}

}  // namespace fairholm
