#pragma once

#include <string>

#include "tools/packgen/Picture.h"
#include "tools/packgen/Script.h"

namespace fairholm::packgen {

// The objects that stand on the course: the pin and flag, the tree by the tee, the
// golf bag, the ball and the ball's shadow. Lit from the upper right, like every
// picture of the pack.
class SceneryMaker {
public:
    explicit SceneryMaker(const Script& palette) : m_palette(palette) {}

    // Draws `kind` (pin, tree, bag, ball, shadow) on a canvas of the size and hot spot
    // already set in `out`.
    bool make(const std::string& kind, Picture& out, std::string& error) const;

private:
    void pin(Picture& out) const;
    void tree(Picture& out) const;
    void bag(Picture& out) const;
    void ball(Picture& out) const;
    void shadow(Picture& out) const;

    const Script& m_palette;
};

}  // namespace fairholm::packgen
