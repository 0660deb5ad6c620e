#pragma once

#include <string>

namespace fairholm::testing {

// Small synthetic content for the game's tests: an image pack with every picture the
// game uses (flat, distinct colours), three fonts of block glyphs, six course packs,
// the wind arrow and a help text. Courses: heather everywhere (height 128), a tee box
// and a green of known size at every hole, one pond per pack.
class TestContent {
public:
    // Writes the files into `directory` (which must exist). False on a write error.
    static bool write(const std::string& directory);

    // The pond of every pack: x and z from 400 to 440 (whole yards), water kind.
    static constexpr int pondLeft = 400;
    static constexpr int pondTop = 400;
    static constexpr int pondSize = 40;
    // Half the side of the square green around each pin, and of each tee box.
    static constexpr int greenHalf = 15;
    static constexpr int teeHalf = 6;
    // Colours (and so surfaces and heights) of the test courses.
    static constexpr unsigned heather = 0x808080;  // kind 7, height 128
    static constexpr unsigned green = 0x008080;    // kind 4, height 128
    static constexpr unsigned tee = 0x800080;      // kind 5, height 128
    static constexpr unsigned water = 0x000080;    // kind 3, height 128
};

}  // namespace fairholm::testing
