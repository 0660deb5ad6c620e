#pragma once

#include <string>

#include "tools/packgen/Picture.h"
#include "tools/packgen/Script.h"

namespace fairholm::packgen {

// The 32 × 32 ground textures. Every texture tiles: its noise repeats every 32
// texels and its patterns have whole periods across the square.
class TextureMaker {
public:
    static constexpr int size = 32;

    explicit TextureMaker(const Script& palette) : m_palette(palette) {}

    // `kind` is one of rough, fairway, water, green, tee, sand, heather.
    bool make(const std::string& kind, Picture& out, std::string& error) const;

private:
    const Script& m_palette;
};

}  // namespace fairholm::packgen
