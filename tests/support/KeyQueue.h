#pragma once

#include <cstdint>
#include <vector>

#include "engine/sprite/Viewport.h"

namespace fairholm::testing {

// Every key code waiting in the viewport's queue, in order; the queue is empty after.
inline std::vector<int32_t> drainKeys(Viewport& game) {
    std::vector<int32_t> keys;
    for (int32_t code = game.nextKey(); code != 0; code = game.nextKey()) {
        keys.push_back(code);
    }
    return keys;
}

}  // namespace fairholm::testing
