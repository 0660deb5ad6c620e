#pragma once

#include <cstddef>
#include <vector>

namespace fairholm::packgen {

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

}  // namespace fairholm::packgen
