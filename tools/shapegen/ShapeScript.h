#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fairholm::shapegen {

// A still vector picture described in text, written out as an SWF file of shape
// definitions:
//
//   # comment
//   frame <width> <height>        picture size in pixels (once, first)
//   shape <form>                  starts a shape tag: form 1, 2 or 3 (3 keeps alpha)
//   fill <colour>                 fill of the polygons that follow: RRGGBB or AARRGGBB
//   polygon <x,y> <x,y> <x,y>...  a closed outline, points in pixels from the top left
//
// Coordinates may have decimals; they are rounded to twips (1/20 pixel).
class ShapeScript {
public:
    struct Polygon {
        std::uint32_t colour = 0;
        std::vector<std::pair<std::int32_t, std::int32_t>> points;  // twips
    };
    struct Shape {
        int form = 1;
        std::vector<Polygon> polygons;
    };

    // False with "line N: ..." when the text is malformed.
    bool parse(std::string_view text, std::string& error);

    // The SWF file.
    std::vector<std::uint8_t> build() const;

    std::int32_t widthTwips() const { return m_width; }
    std::int32_t heightTwips() const { return m_height; }
    const std::vector<Shape>& shapes() const { return m_shapes; }

private:
    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
    std::vector<Shape> m_shapes;
};

}  // namespace fairholm::shapegen
