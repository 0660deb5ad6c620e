#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/coursec/CourseSource.h"

namespace fairholm::coursec {

// A picture of a compiled pack for review: the course map painted by the terrain's
// own map painting (textured, hill-shaded) with plain stand-in textures, and the
// holes marked on it: tee (white square), aim point (yellow ring), pin (red dot), the
// line of play and the hole number beside the tee.
class CourseOverview {
public:
    // Map pixels per picture pixel: the picture is 512 * scale pixels square.
    static constexpr int scale = 2;
    static constexpr int size = 512 * scale;

    // Paints the pack at `packPath` into `pixels` (size * size, 0xRRGGBB); false when
    // it cannot be read.
    static bool render(const std::string& packPath, const std::vector<HoleMark>& holes,
                       std::vector<int32_t>& pixels);
    // render() and write the PNG file.
    static bool write(const std::string& packPath, const std::vector<HoleMark>& holes,
                      const std::string& pngPath);

    // The part of the picture that shows one hole: the box around its tee, aim point and
    // pin with `margin` yards on every side, kept on the map (picture pixels).
    struct Frame {
        int x = 0, y = 0, width = 0, height = 0;
    };
    static constexpr int margin = 40;
    static Frame frameOf(const HoleMark& hole);
    // render() once and write, for every hole, its frame as `<prefix><NN>.png` (the hole
    // number in two digits).
    static bool writeHoles(const std::string& packPath, const std::vector<HoleMark>& holes,
                           const std::string& prefix);

    // Writes a stand-in image pack for looking at the courses in the game before the
    // real pictures exist: the ground textures 1..7 of the overview, a pin, a tree, a
    // bag, the ball, its shadow and plain golfer frames 13..58.
    static bool writeReviewPack(const std::string& path);

    // Colour of the stand-in texture of a surface kind.
    static uint32_t kindColour(int kind);
};

}  // namespace fairholm::coursec
