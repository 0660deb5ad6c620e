#include "tools/packgen/Canvas.h"

#include <algorithm>
#include <cmath>

namespace fairholm::packgen {

namespace {

constexpr int subRows = 8;
constexpr double pi = 3.14159265358979323846;

uint32_t channel(double v) {
    return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
}

}  // namespace

Colour Colour::fromHex(uint32_t rgb) {
    return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0};
}

Colour Colour::mix(const Colour& other, double t) const {
    return {r + (other.r - r) * t, g + (other.g - g) * t, b + (other.b - b) * t};
}

Colour Colour::scaled(double factor) const {
    return {std::clamp(r * factor, 0.0, 1.0), std::clamp(g * factor, 0.0, 1.0),
            std::clamp(b * factor, 0.0, 1.0)};
}

Mask::Mask(int width, int height)
    : m_width(width), m_height(height), m_cover(static_cast<size_t>(width * height), 0.0) {}

double Mask::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) {
        return 0.0;
    }
    return m_cover[static_cast<size_t>(y * m_width + x)];
}

Mask Mask::intersect(const Mask& other) const {
    Mask out(m_width, m_height);
    for (size_t i = 0; i < m_cover.size(); ++i) {
        out.m_cover[i] = std::min(m_cover[i], other.m_cover[i]);
    }
    return out;
}

Mask Mask::subtract(const Mask& other) const {
    Mask out(m_width, m_height);
    for (size_t i = 0; i < m_cover.size(); ++i) {
        out.m_cover[i] = std::max(0.0, m_cover[i] - other.m_cover[i]);
    }
    return out;
}

Mask Mask::unite(const Mask& other) const {
    Mask out(m_width, m_height);
    for (size_t i = 0; i < m_cover.size(); ++i) {
        out.m_cover[i] = std::max(m_cover[i], other.m_cover[i]);
    }
    return out;
}

Mask Mask::shifted(int dx, int dy) const {
    Mask out(m_width, m_height);
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            out.ref(x, y) = at(x - dx, y - dy);
        }
    }
    return out;
}

Mask Mask::dilated(double radius) const {
    Mask out(m_width, m_height);
    const int reach = static_cast<int>(std::ceil(radius + 0.5));
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            double best = 0.0;
            for (int dy = -reach; dy <= reach; ++dy) {
                for (int dx = -reach; dx <= reach; ++dx) {
                    const double weight = std::clamp(
                        radius + 0.5 - std::sqrt(static_cast<double>(dx * dx + dy * dy)), 0.0, 1.0);
                    if (weight > 0.0) {
                        best = std::max(best, at(x + dx, y + dy) * weight);
                    }
                }
            }
            out.ref(x, y) = best;
        }
    }
    return out;
}

Canvas::Canvas(int width, int height)
    : m_width(width), m_height(height), m_pixels(static_cast<size_t>(width * height * 4), 0.0) {}

Mask Canvas::rasterize(const Shape& shape) const {
    Mask mask(m_width, m_height);
    double top = 1e9;
    double bottom = -1e9;
    for (const auto& contour : shape) {
        for (const Point& p : contour) {
            top = std::min(top, p.y);
            bottom = std::max(bottom, p.y);
        }
    }
    if (top > bottom) {
        return mask;
    }
    const int firstRow = std::max(0, static_cast<int>(std::floor(top)));
    const int lastRow = std::min(m_height - 1, static_cast<int>(std::ceil(bottom)));
    struct Crossing {
        double x;
        int dir;
    };
    std::vector<Crossing> crossings;
    for (int row = firstRow; row <= lastRow; ++row) {
        for (int s = 0; s < subRows; ++s) {
            const double sy = row + (s + 0.5) / subRows;
            crossings.clear();
            for (const auto& contour : shape) {
                const size_t n = contour.size();
                for (size_t i = 0; i < n; ++i) {
                    const Point& p = contour[i];
                    const Point& q = contour[(i + 1) % n];
                    if (p.y == q.y) {
                        continue;
                    }
                    const double lo = std::min(p.y, q.y);
                    const double hi = std::max(p.y, q.y);
                    if (sy < lo || sy >= hi) {
                        continue;
                    }
                    const double x = p.x + (sy - p.y) * (q.x - p.x) / (q.y - p.y);
                    crossings.push_back({x, q.y > p.y ? 1 : -1});
                }
            }
            std::sort(crossings.begin(), crossings.end(),
                      [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
            int winding = 0;
            for (size_t i = 0; i + 1 < crossings.size(); ++i) {
                winding += crossings[i].dir;
                if (winding == 0) {
                    continue;
                }
                const double xa = std::max(0.0, crossings[i].x);
                const double xb = std::min(static_cast<double>(m_width), crossings[i + 1].x);
                if (xb <= xa) {
                    continue;
                }
                const int first = static_cast<int>(std::floor(xa));
                const int last = std::min(m_width - 1, static_cast<int>(std::ceil(xb)) - 1);
                for (int px = first; px <= last; ++px) {
                    const double overlap = std::min(xb, px + 1.0) - std::max(xa, static_cast<double>(px));
                    if (overlap > 0.0) {
                        mask.ref(px, row) += overlap / subRows;
                    }
                }
            }
        }
    }
    for (int y = firstRow; y <= lastRow; ++y) {
        for (int x = 0; x < m_width; ++x) {
            mask.ref(x, y) = std::min(1.0, mask.ref(x, y));
        }
    }
    return mask;
}

void Canvas::paint(const Mask& mask, const Colour& colour, double opacity) {
    paint(
        mask, [&colour](double, double) { return colour; }, opacity);
}

void Canvas::paint(const Mask& mask, const std::function<Colour(double x, double y)>& colour,
                   double opacity) {
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            const double a = mask.at(x, y) * opacity;
            if (a <= 0.0) {
                continue;
            }
            const Colour c = colour(x + 0.5, y + 0.5);
            double* p = &m_pixels[static_cast<size_t>((y * m_width + x) * 4)];
            p[0] = c.r * a + p[0] * (1.0 - a);
            p[1] = c.g * a + p[1] * (1.0 - a);
            p[2] = c.b * a + p[2] * (1.0 - a);
            p[3] = a + p[3] * (1.0 - a);
        }
    }
}

void Canvas::fill(const Shape& shape, const Colour& colour, double opacity) {
    paint(rasterize(shape), colour, opacity);
}

void Canvas::composite(const Canvas& top) {
    for (size_t i = 0; i + 3 < m_pixels.size() && i + 3 < top.m_pixels.size(); i += 4) {
        const double a = top.m_pixels[i + 3];
        for (size_t k = 0; k < 4; ++k) {
            m_pixels[i + k] = top.m_pixels[i + k] + m_pixels[i + k] * (1.0 - a);
        }
    }
}

Mask Canvas::alphaMask() const {
    Mask mask(m_width, m_height);
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            mask.ref(x, y) = m_pixels[static_cast<size_t>((y * m_width + x) * 4 + 3)];
        }
    }
    return mask;
}

std::vector<uint32_t> Canvas::argb() const {
    std::vector<uint32_t> out(static_cast<size_t>(m_width * m_height), 0);
    for (size_t i = 0; i < out.size(); ++i) {
        const double* p = &m_pixels[i * 4];
        const double a = p[3];
        if (a <= 0.0) {
            continue;
        }
        out[i] = channel(a) << 24 | channel(p[0] / a) << 16 | channel(p[1] / a) << 8 | channel(p[2] / a);
    }
    return out;
}

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
