#pragma once

#include <string>
#include <vector>

#include "tools/packgen/Picture.h"

namespace fairholm::packgen {

// A sheet of all pictures as the engine decodes them (RGB555 colour, eight alpha
// levels), enlarged on a neutral grey, each numbered, with its hot spot marked.
// Textures are shown tiled 2 × 2 so that seams would show.
class ContactSheet {
public:
    static bool write(const std::vector<Picture>& pictures, const std::string& labelFont,
                      const std::string& path, std::string& error);
    // The frames first .. first + count - 1 side by side on a grass-green ground at
    // `scale`, each with a ball at its hot spot: an animation strip.
    static bool writeStrip(const std::vector<Picture>& pictures, int first, int count, int scale,
                           const std::string& path);
};

}  // namespace fairholm::packgen
