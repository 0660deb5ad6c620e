#pragma once

#include "runtime/Fixed.h"
#include "runtime/V.h"

namespace fairholm {

// A three-component fixed-point vector: positions, velocities, forces and normals.
// In the world, y is height and x and z span the ground. Every operation changes the
// receiver in place and none allocates; arguments are borrowed.
class Vector final : public V {
public:
    Vector() = default;
    Vector(fixed x, fixed y, fixed z) : x(x), y(y), z(z) {}

    void translate(fixed dx, fixed dy, fixed dz) {
        x += dx;
        y += dy;
        z += dz;
    }
    void add(const Vector& v) { translate(v.x, v.y, v.z); }
    void subtract(const Vector& v) { translate(-v.x, -v.y, -v.z); }
    void set(const Vector& v) {
        x = v.x;
        y = v.y;
        z = v.z;
    }
    void set(fixed nx, fixed ny, fixed nz) {
        x = nx;
        y = ny;
        z = nz;
    }

    // this = a x b; `a` or `b` may be this vector.
    void cross(const Vector& a, const Vector& b);
    // Each component c becomes div(c, d).
    void divide(fixed d);
    fixed dot(const Vector& v) const { return fx::mul(x, v.x) + fx::mul(y, v.y) + fx::mul(z, v.z); }
    // Exact length (64-bit sum of squares, square root).
    fixed length() const;
    // Approximate length without a square root: max(|x|,|y|) + 11/32 of the middle
    // magnitude + 1/4 of the smallest, where |z| only ever counts as middle or smallest.
    fixed fastLength() const;
    void addScaled(const Vector& v, fixed s) {
        x += fx::mul(v.x, s);
        y += fx::mul(v.y, s);
        z += fx::mul(v.z, s);
    }
    void scale(fixed s) {
        x = fx::mul(x, s);
        y = fx::mul(y, s);
        z = fx::mul(z, s);
    }
    void negate() {
        x = -x;
        y = -y;
        z = -z;
    }
    // Scales to length 1.0; a vector of length below 2/32768 becomes zero.
    void normalize();

    fixed x = 0;
    fixed y = 0;
    fixed z = 0;
};

}  // namespace fairholm
