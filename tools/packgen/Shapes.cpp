#include "tools/packgen/Shapes.h"

#include <algorithm>
#include <cmath>

namespace fairholm::packgen {

namespace {

constexpr double pi = 3.14159265358979323846;

}  // namespace

namespace shapes {

Shape polygon(std::vector<Point> points) {
    return {std::move(points)};
}

Shape ellipse(double cx, double cy, double rx, double ry, double rotation) {
    const int steps = std::clamp(static_cast<int>(std::max(rx, ry) * 4.0), 16, 128);
    std::vector<Point> points;
    const double c = std::cos(rotation);
    const double s = std::sin(rotation);
    for (int i = 0; i < steps; ++i) {
        const double t = 2.0 * pi * i / steps;
        const double ex = std::cos(t) * rx;
        const double ey = std::sin(t) * ry;
        points.push_back({cx + ex * c - ey * s, cy + ex * s + ey * c});
    }
    return {points};
}

Shape circle(double cx, double cy, double r) {
    return ellipse(cx, cy, r, r);
}

Shape capsule(Point a, double ra, Point b, double rb) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double d = std::sqrt(dx * dx + dy * dy);
    if (d <= std::fabs(ra - rb) + 1e-9) {
        return ra >= rb ? circle(a.x, a.y, ra) : circle(b.x, b.y, rb);
    }
    // Direction of the axis and the angle of the tangent points off the axis.
    const double axis = std::atan2(dy, dx);
    const double offset = std::acos(std::clamp((ra - rb) / d, -1.0, 1.0));
    std::vector<Point> points;
    const int steps = std::clamp(static_cast<int>(std::max(ra, rb) * 3.0), 8, 48);
    // Around b from one tangent to the other, then around a.
    for (int i = 0; i <= steps; ++i) {
        const double t = axis - offset + (2.0 * offset) * i / steps;
        points.push_back({b.x + std::cos(t) * rb, b.y + std::sin(t) * rb});
    }
    for (int i = 0; i <= steps; ++i) {
        const double t = axis + offset + (2.0 * (pi - offset)) * i / steps;
        points.push_back({a.x + std::cos(t) * ra, a.y + std::sin(t) * ra});
    }
    return {points};
}

Shape stroke(const std::vector<Point>& line, double width) {
    Shape out;
    for (size_t i = 0; i + 1 < line.size(); ++i) {
        Shape piece = capsule(line[i], width / 2, line[i + 1], width / 2);
        out.insert(out.end(), piece.begin(), piece.end());
    }
    return out;
}

void cubicTo(std::vector<Point>& out, Point p0, Point p1, Point p2, Point p3, int steps) {
    for (int i = 1; i <= steps; ++i) {
        const double t = static_cast<double>(i) / steps;
        const double u = 1.0 - t;
        const double a = u * u * u;
        const double b = 3 * u * u * t;
        const double c = 3 * u * t * t;
        const double d = t * t * t;
        out.push_back({a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y});
    }
}

Shape merge(const Shape& a, const Shape& b) {
    Shape out = a;
    out.insert(out.end(), b.begin(), b.end());
    return out;
}

}  // namespace shapes

}  // namespace fairholm::packgen
