#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace fairholm::packgen {

struct Point {
    double x = 0;
    double y = 0;
};

// A colour with straight (not premultiplied) channels 0..1.
struct Colour {
    double r = 0;
    double g = 0;
    double b = 0;

    static Colour fromHex(uint32_t rgb);
    Colour mix(const Colour& other, double t) const;
    Colour scaled(double factor) const;
};

// Closed contours filled by the non-zero winding rule.
using Shape = std::vector<std::vector<Point>>;

// Anti-aliased coverage 0..1 per pixel of a canvas.
class Mask {
public:
    Mask(int width, int height);

    int width() const { return m_width; }
    int height() const { return m_height; }
    double at(int x, int y) const;
    double& ref(int x, int y) { return m_cover[static_cast<size_t>(y * m_width + x)]; }

    // Coverage of both masks (per-pixel minimum).
    Mask intersect(const Mask& other) const;
    // This mask with `other` cut away.
    Mask subtract(const Mask& other) const;
    // The union (per-pixel maximum).
    Mask unite(const Mask& other) const;
    // Moved by whole pixels.
    Mask shifted(int dx, int dy) const;
    // Grown by a disc of `radius` pixels.
    Mask dilated(double radius) const;

private:
    int m_width;
    int m_height;
    std::vector<double> m_cover;
};

// A floating-point RGBA picture that shapes are painted onto, back to front.
class Canvas {
public:
    Canvas(int width, int height);

    int width() const { return m_width; }
    int height() const { return m_height; }

    // Coverage of a shape: every pixel row is sampled on 8 sub-rows, each sub-row's
    // spans are measured exactly across the pixel columns.
    Mask rasterize(const Shape& shape) const;

    void paint(const Mask& mask, const Colour& colour, double opacity = 1.0);
    // Paints with a colour that depends on the pixel centre.
    void paint(const Mask& mask, const std::function<Colour(double x, double y)>& colour,
               double opacity = 1.0);
    void fill(const Shape& shape, const Colour& colour, double opacity = 1.0);
    // Draws another canvas of the same size over this one.
    void composite(const Canvas& top);

    // Coverage (alpha) of the painted picture.
    Mask alphaMask() const;

    // Straight ARGB words, 0xAARRGGBB.
    std::vector<uint32_t> argb() const;

private:
    int m_width;
    int m_height;
    // Premultiplied RGBA.
    std::vector<double> m_pixels;
};

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
