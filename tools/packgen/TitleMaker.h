#pragma once

#include <string>

#include "tools/packgen/Canvas.h"
#include "tools/packgen/Picture.h"
#include "tools/packgen/Script.h"

namespace fairholm::packgen {

// The title logo: the game's name in outlined serif capitals over a putting green
// with a flag and the dotted flight of a ball.
class TitleMaker {
public:
    TitleMaker(const Script& palette, std::string fontPath)
        : m_palette(palette), m_fontPath(std::move(fontPath)) {}

    // Draws `text` on a canvas of the size and hot spot already set in `out`.
    bool make(const std::string& text, Picture& out, std::string& error) const;

    // The outlines of `text` set in the font, scaled to `height` pixels from the
    // baseline to the top of the capitals, starting at (x, baseline). Returns false when
    // the font cannot be read; `advance` gets the width of the text.
    static bool outline(const std::string& fontPath, const std::string& text, double x, double baseline,
                        double height, Shape& out, double& advance, std::string& error);

private:
    const Script& m_palette;
    std::string m_fontPath;
};

}  // namespace fairholm::packgen
