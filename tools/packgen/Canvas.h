#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "tools/packgen/Colour.h"
#include "tools/packgen/Mask.h"
#include "tools/packgen/Shapes.h"

namespace fairholm::packgen {

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

}  // namespace fairholm::packgen
