#pragma once

#include <cstdint>

namespace fairholm::packgen {

// A colour with straight (not premultiplied) channels 0..1.
struct Colour {
    double r = 0;
    double g = 0;
    double b = 0;

    static Colour fromHex(uint32_t rgb);
    Colour mix(const Colour& other, double t) const;
    Colour scaled(double factor) const;
};

}  // namespace fairholm::packgen
