#pragma once

#include <map>
#include <string>
#include <vector>

#include "tools/packgen/Canvas.h"
#include "tools/packgen/Picture.h"
#include "tools/packgen/Script.h"

namespace fairholm::packgen {

// The golfer's 23 frames: a jointed figure posed in three dimensions per frame,
// seen in perspective from the game's camera behind the ball, skinned with shaded
// limbs drawn back to front, and outlined. Every frame shares one canvas whose hot
// spot is the ball.
class GolferMaker {
public:
    static constexpr int frameCount = 23;

    GolferMaker(const Script& palette, const Script& figure) : m_palette(palette), m_figure(figure) {}

    // When not strict, a frame that leaves its canvas is kept (its label says so)
    // instead of failing the build: for trying poses out.
    void setStrict(bool strict) { m_strict = strict; }

    // The frames of the golfer named `build` (male, female).
    bool make(const std::string& build, std::vector<Picture>& frames, std::string& error) const;

private:
    bool frame(const std::string& build, int index, Picture& out, std::string& error) const;

    const Script& m_palette;
    const Script& m_figure;
    bool m_strict = true;
};

}  // namespace fairholm::packgen
