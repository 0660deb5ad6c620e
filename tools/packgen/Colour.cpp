#include "tools/packgen/Colour.h"

#include <algorithm>

namespace fairholm::packgen {

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

}  // namespace fairholm::packgen
