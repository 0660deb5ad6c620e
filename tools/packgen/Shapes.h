#pragma once

#include <vector>

namespace fairholm::packgen {

struct Point {
    double x = 0;
    double y = 0;
};

// Closed contours filled by the non-zero winding rule.
using Shape = std::vector<std::vector<Point>>;

// Builders of the shapes pictures are drawn from. Every contour winds the same way,
// so that overlapping pieces of one shape unite under the non-zero rule.
namespace shapes {

Shape polygon(std::vector<Point> points);
Shape ellipse(double cx, double cy, double rx, double ry, double rotation = 0.0);
Shape circle(double cx, double cy, double r);
// The convex hull of two discs: a limb between two joints.
Shape capsule(Point a, double ra, Point b, double rb);
// A stroked polyline of constant width with round joints.
Shape stroke(const std::vector<Point>& line, double width);
// Cubic Bezier points from p0 to p3 (p0 excluded).
void cubicTo(std::vector<Point>& out, Point p0, Point p1, Point p2, Point p3, int steps = 12);
Shape merge(const Shape& a, const Shape& b);

}  // namespace shapes

}  // namespace fairholm::packgen
