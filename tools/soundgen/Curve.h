#pragma once

#include <vector>

namespace fairholm::soundgen {

// A value that changes over a span: the points are spread evenly from the start
// (0) to the end (1) and joined by straight lines, or by geometric steps for
// frequencies (equal ratios per equal time, as the ear hears a glide).
class Curve {
public:
    Curve() = default;
    Curve(std::vector<double> points, bool geometric);

    double at(double x) const;

private:
    std::vector<double> m_points;
    bool m_geometric = false;
};

}  // namespace fairholm::soundgen
