#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fairholm::packgen {

// One finished picture of the pack: its size, hot spot and straight ARGB pixels.
struct Picture {
    int width = 0;
    int height = 0;
    int anchorX = 0;
    int anchorY = 0;
    std::vector<uint32_t> argb;
    std::string label;
};

}  // namespace fairholm::packgen
