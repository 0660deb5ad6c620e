#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/formats/SwfBits.h"

namespace fairholm {

// Writes uncompressed SWF files made of shape definitions: the course maps and the
// wind arrow. Coordinates are twips (1/20 of a source pixel) measured from the top
// left of the frame, y growing downward.
//
// A shape is built between beginShape and endShape: first its styles (addSolidFill
// and friends return the 1-based style index), then its outline: moveTo, setFills,
// lineTo and curveTo. setFills applies to the edges that follow. Each edge carries
// two fills: fill0 lies on the right-hand side (on screen) of an edge drawn downward,
// fill1 on its left-hand side; addPolygon picks them from the winding of the points.
class SwfWriter {
public:
    struct Point {
        int32_t x;
        int32_t y;
    };

    // A frame of widthTwips x heightTwips, frame rate 12, one frame.
    SwfWriter(int32_t widthTwips, int32_t heightTwips);

    // Starts a shape tag: form 1 (code 2), 2 (code 22) or 3 (code 32, colours with alpha).
    void beginShape(int form = 1);
    int addSolidFill(uint32_t argb);
    // A linear gradient fill from `from` to `to`.
    int addGradientFill(uint32_t from, uint32_t to);
    // A clipped bitmap fill of bitmap `bitmapId`.
    int addBitmapFill(uint16_t bitmapId);
    int addLineStyle(uint16_t widthTwips, uint32_t argb);

    void moveTo(int32_t x, int32_t y);
    void setFills(int fill0, int fill1);
    void setLineStyle(int line);
    void lineTo(int32_t x, int32_t y);
    // Quadratic curve through control point (cx, cy) to (x, y).
    void curveTo(int32_t cx, int32_t cy, int32_t x, int32_t y);
    // Starts a new fill and line style array within the shape (forms 2 and 3); the
    // styles added after it are numbered from 1 again.
    void newStyles();
    // Closed outline through `points` with `fill` inside and no fill outside.
    void addPolygon(int fill, const std::vector<Point>& points);
    // Ends the shape and appends its tag.
    void endShape();

    // Appends any tag; `longForm` forces the 32-bit length field.
    void addTag(int code, const std::vector<uint8_t>& body, bool longForm = false);

    // The whole file: header, tags, a show-frame tag and the end tag.
    std::vector<uint8_t> finish() const;
    bool writeFile(const std::string& path) const;

private:
    struct StyleArrays {
        std::vector<uint8_t> bytes;  // encoded fill and line style arrays
        int fillCount = 0;
        int lineCount = 0;
        std::vector<std::vector<uint8_t>> fills;
        std::vector<std::vector<uint8_t>> lines;
    };
    struct Op {
        enum Kind { Move, Fills, Line, LineTo, CurveTo, NewStyles } kind;
        int32_t a = 0, b = 0, c = 0, d = 0;
    };

    void encodeStyles(SwfBits& out, const StyleArrays& styles) const;
    void straightEdge(SwfBits& out, int32_t dx, int32_t dy) const;
    void curvedEdge(SwfBits& out, int32_t cdx, int32_t cdy, int32_t adx, int32_t ady) const;
    void include(int32_t x, int32_t y);

    int32_t m_width;
    int32_t m_height;
    std::vector<uint8_t> m_tags;
    bool m_inShape = false;
    int m_form = 1;
    int m_shapeId = 0;
    std::vector<StyleArrays> m_styles;  // first array, then one per newStyles
    std::vector<Op> m_ops;
    int32_t m_minX = 0, m_maxX = 0, m_minY = 0, m_maxY = 0;
    bool m_hasBounds = false;
};

}  // namespace fairholm
