#include "tools/soundgen/Curve.h"

#include <algorithm>
#include <cmath>

namespace fairholm::soundgen {

Curve::Curve(std::vector<double> points, bool geometric)
    : m_points(std::move(points)), m_geometric(geometric) {
    for (double p : m_points) {
        if (p <= 0.0) {
            m_geometric = false;
        }
    }
}

double Curve::at(double x) const {
    if (m_points.empty()) {
        return 0.0;
    }
    if (m_points.size() == 1) {
        return m_points[0];
    }
    const double pos = std::clamp(x, 0.0, 1.0) * static_cast<double>(m_points.size() - 1);
    const std::size_t i = std::min(static_cast<std::size_t>(pos), m_points.size() - 2);
    const double f = pos - static_cast<double>(i);
    const double a = m_points[i];
    const double b = m_points[i + 1];
    if (m_geometric) {
        return a * std::pow(b / a, f);
    }
    return a + (b - a) * f;
}

}  // namespace fairholm::soundgen
