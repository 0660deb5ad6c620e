#include "tools/packgen/Mask.h"

#include <algorithm>
#include <cmath>

namespace fairholm::packgen {

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

}  // namespace fairholm::packgen
