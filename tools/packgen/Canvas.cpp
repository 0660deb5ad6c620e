#include "tools/packgen/Canvas.h"

#include <algorithm>
#include <cmath>

namespace fairholm::packgen {

namespace {

constexpr int subRows = 8;

uint32_t channel(double v) {
    return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
}

}  // namespace

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

}  // namespace fairholm::packgen
