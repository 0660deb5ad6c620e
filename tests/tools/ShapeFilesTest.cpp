// The shape tool's description reader, and the generated wind arrow read back with a
// small SWF reader of its own.

#include <gtest/gtest.h>

#include <cmath>

#include "WavFile.h"
#include "tools/shapegen/ShapeScript.h"

using fairholm::shapegen::ShapeScript;

namespace {

// Just enough of an SWF reader for shape files: tags, solid fills and straight edges.
class ShapeReader {
public:
    struct Edge {
        double x0, y0, x1, y1;  // pixels
    };

    explicit ShapeReader(const std::vector<std::uint8_t>& data) : m_data(data) {}

    bool read(std::string& problem) {
        if (m_data.size() < 8 || m_data[0] != 'F' || m_data[1] != 'W' || m_data[2] != 'S') {
            problem = "not an uncompressed SWF";
            return false;
        }
        if (le32(4) != m_data.size()) {
            problem = "file length field disagrees";
            return false;
        }
        m_pos = 8;
        readRect(frame);
        align();
        m_pos += 4;  // frame rate and count
        for (;;) {
            const std::uint32_t header = le16(m_pos);
            m_pos += 2;
            const int code = static_cast<int>(header >> 6);
            std::size_t length = header & 63;
            if (length == 63) {
                length = le32(m_pos);
                m_pos += 4;
            }
            const std::size_t end = m_pos + length;
            if (end > m_data.size()) {
                problem = "tag runs past the end";
                return false;
            }
            if (code == 0) {
                return m_pos == m_data.size();
            }
            if (code == 2 || code == 22 || code == 32) {
                ++shapeTags;
                if (!readShape(code == 32 ? 3 : 1, problem)) {
                    return false;
                }
                align();
                if (m_pos != end) {
                    problem = "shape tag length disagrees";
                    return false;
                }
            }
            m_pos = end;
        }
    }

    int frame[4] = {0, 0, 0, 0};  // xmin, xmax, ymin, ymax
    int shapeTags = 0;
    std::vector<std::uint32_t> fills;
    std::vector<Edge> edges;
    bool closed = true;

private:
    std::uint32_t le16(std::size_t at) const { return m_data.at(at) | m_data.at(at + 1) << 8; }
    std::uint32_t le32(std::size_t at) const { return le16(at) | le16(at + 2) << 16; }
    void align() {
        if (m_bit != 0) {
            m_bit = 0;
            ++m_pos;
        }
    }
    std::uint32_t bits(int n) {
        std::uint32_t v = 0;
        for (int i = 0; i < n; ++i) {
            v = v << 1 | ((m_data.at(m_pos) >> (7 - m_bit)) & 1u);
            if (++m_bit == 8) {
                m_bit = 0;
                ++m_pos;
            }
        }
        return v;
    }
    std::int32_t sbits(int n) {
        const std::uint32_t v = bits(n);
        return n == 0 ? 0 : static_cast<std::int32_t>(v << (32 - n)) >> (32 - n);
    }
    void readRect(int* r) {
        align();
        const int n = static_cast<int>(bits(5));
        for (int i = 0; i < 4; ++i) {
            r[i] = sbits(n);
        }
    }
    std::uint8_t u8() {
        align();
        return m_data.at(m_pos++);
    }
    bool readStyles(int form, std::string& problem) {
        int count = u8();
        if (count == 255) {
            count = static_cast<int>(le16(m_pos));
            m_pos += 2;
        }
        for (int i = 0; i < count; ++i) {
            if (u8() != 0) {
                problem = "only solid fills expected";
                return false;
            }
            std::uint32_t c = static_cast<std::uint32_t>(u8()) << 16;
            c |= static_cast<std::uint32_t>(u8()) << 8;
            c |= u8();
            if (form == 3) {
                c |= static_cast<std::uint32_t>(u8()) << 24;
            }
            fills.push_back(c);
        }
        if (u8() != 0) {
            problem = "no line styles expected";
            return false;
        }
        return true;
    }
    bool readShape(int form, std::string& problem) {
        m_pos += 2;  // id
        int bounds[4];
        readRect(bounds);
        if (!readStyles(form, problem)) {
            return false;
        }
        align();
        const int fillBits = static_cast<int>(bits(4));
        const int lineBits = static_cast<int>(bits(4));
        double x = 0.0, y = 0.0, startX = 0.0, startY = 0.0;
        for (;;) {
            if (bits(1) == 1) {
                double dx = 0.0, dy = 0.0;
                if (bits(1) == 0) {
                    problem = "curves not expected";
                    return false;
                }
                const int n = static_cast<int>(bits(4)) + 2;
                if (bits(1) == 1) {
                    dx = sbits(n);
                    dy = sbits(n);
                } else if (bits(1) == 1) {
                    dy = sbits(n);
                } else {
                    dx = sbits(n);
                }
                edges.push_back({x / 20.0, y / 20.0, (x + dx) / 20.0, (y + dy) / 20.0});
                x += dx;
                y += dy;
                continue;
            }
            const std::uint32_t flags = bits(5);
            if (flags == 0) {
                closed = closed && x == startX && y == startY;
                return true;
            }
            if (flags & 1) {
                closed = closed && (edges.empty() || (x == startX && y == startY));
                const int n = static_cast<int>(bits(5));
                x = startX = sbits(n);
                y = startY = sbits(n);
            }
            if (flags & 2) {
                bits(fillBits);
            }
            if (flags & 4) {
                bits(fillBits);
            }
            if (flags & 8) {
                bits(lineBits);
            }
            if (flags & 16) {
                problem = "new styles not expected";
                return false;
            }
        }
    }

    const std::vector<std::uint8_t>& m_data;
    std::size_t m_pos = 0;
    int m_bit = 0;
};

// Even-odd inside test of a point against all edges.
bool inside(const std::vector<ShapeReader::Edge>& edges, double px, double py) {
    bool in = false;
    for (const auto& e : edges) {
        if ((e.y0 > py) != (e.y1 > py)) {
            const double x = e.x0 + (py - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0);
            if (x > px) {
                in = !in;
            }
        }
    }
    return in;
}

std::string parseError(const std::string& text) {
    ShapeScript script;
    std::string error;
    EXPECT_FALSE(script.parse(text, error)) << text;
    return error;
}

}  // namespace

TEST(ShapeScript, ReadsFramesShapesFillsAndPolygons) {
    ShapeScript script;
    std::string error;
    ASSERT_TRUE(
        script.parse("# a test\nframe 10 20\nshape 3\nfill 80FF0000\npolygon 0,0 1.5,0 0,2.25\n"
                     "fill 00FF00  # opaque green\npolygon 1,1 2,1 2,2 1,2\nshape 1\n",
                     error))
        << error;
    EXPECT_EQ(script.widthTwips(), 200);
    EXPECT_EQ(script.heightTwips(), 400);
    ASSERT_EQ(script.shapes().size(), 2u);
    const auto& first = script.shapes()[0];
    EXPECT_EQ(first.form, 3);
    ASSERT_EQ(first.polygons.size(), 2u);
    EXPECT_EQ(first.polygons[0].colour, 0x80FF0000u);
    EXPECT_EQ(first.polygons[0].points[1], (std::pair<std::int32_t, std::int32_t>{30, 0}));
    EXPECT_EQ(first.polygons[0].points[2], (std::pair<std::int32_t, std::int32_t>{0, 45}));
    EXPECT_EQ(first.polygons[1].colour, 0xFF00FF00u);
    EXPECT_EQ(script.shapes()[1].form, 1);
}

TEST(ShapeScript, ReportsMalformedDescriptions) {
    EXPECT_EQ(parseError(""), "no 'frame'");
    EXPECT_EQ(parseError("shape 3\n"), "line 1: 'frame' must come first");
    EXPECT_EQ(parseError("frame 0 10\n"),
              "line 1: expected one 'frame <width> <height>' of 1 to 4096 pixels");
    EXPECT_EQ(parseError("frame 10 10\nframe 10 10\n"),
              "line 2: expected one 'frame <width> <height>' of 1 to 4096 pixels");
    EXPECT_EQ(parseError("frame 10 10\nfill FFFFFF\n"), "line 2: 'fill' outside a shape");
    EXPECT_EQ(parseError("frame 10 10\nshape 4\n"), "line 2: expected 'shape 1', 'shape 2' or 'shape 3'");
    EXPECT_EQ(parseError("frame 10 10\nshape 1\nfill red\n"),
              "line 3: expected 'fill RRGGBB' or 'fill AARRGGBB'");
    EXPECT_EQ(parseError("frame 10 10\nshape 1\npolygon 0,0 1,0 1,1\n"),
              "line 3: a polygon needs a 'fill' before it");
    EXPECT_EQ(parseError("frame 10 10\nshape 1\nfill FFFFFF\npolygon 0,0 1,0\n"),
              "line 4: a polygon has 3 to 1000 points");
    EXPECT_EQ(parseError("frame 10 10\nshape 1\nfill FFFFFF\npolygon 0,0 1;0 1,1\n"),
              "line 4: '1;0' is not a point x,y");
    EXPECT_EQ(parseError("frame 10 10\nshape 1\nfill FFFFFF\npolygon 0,0 1,0 1,9999\n"),
              "line 4: '1,9999' is not a point x,y");
    EXPECT_EQ(parseError("frame 10 10\nshape 1\ncircle 1\n"), "line 3: unknown key 'circle'");
}

TEST(ShapeScript, BuildsAFileOurReaderUnderstands) {
    ShapeScript script;
    std::string error;
    ASSERT_TRUE(script.parse("frame 20 20\nshape 3\nfill FF112233\npolygon 5,5 15,5 15,15 5,15\n", error));
    const std::vector<std::uint8_t> bytes = script.build();
    ShapeReader reader(bytes);
    std::string problem;
    ASSERT_TRUE(reader.read(problem)) << problem;
    EXPECT_EQ(reader.frame[1] - reader.frame[0], 400);
    EXPECT_EQ(reader.fills, std::vector<std::uint32_t>{0xFF112233u});
    EXPECT_EQ(reader.edges.size(), 4u);
    EXPECT_TRUE(reader.closed);
    EXPECT_TRUE(inside(reader.edges, 10, 10));
    EXPECT_FALSE(inside(reader.edges, 4, 10));
    EXPECT_FALSE(inside(reader.edges, 10, 16));
}

TEST(WindArrow, IsOneSolidShapePointingUpThatSurvivesEveryTurn) {
    const std::vector<std::uint8_t> bytes = readFileBytes(std::string(FAIRHOLM_PROGRAM_DIR) + "/arrow");
    ShapeReader reader(bytes);
    std::string problem;
    ASSERT_TRUE(reader.read(problem)) << problem;
    EXPECT_EQ(reader.shapeTags, 1);
    ASSERT_EQ(reader.fills.size(), 1u);       // one solid colour
    EXPECT_EQ(reader.fills[0] >> 24, 0xFFu);  // opaque
    EXPECT_NE(reader.fills[0] & 0xFFFFFF, 0u);
    EXPECT_TRUE(reader.closed);
    const double width = (reader.frame[1] - reader.frame[0]) / 20.0;
    const double height = (reader.frame[3] - reader.frame[2]) / 20.0;
    EXPECT_EQ(width, height);  // square, so turning keeps its scale

    // Sample the arrow on a 24 x 24 grid, as the scores panel shows it (a little above
    // the pixel centres, so that no sample lies exactly on an outline).
    const double step = width / 24.0;
    int ink = 0;
    int topRow = 24;
    int topRowInk = 0;
    int bottomRow = -1;
    int bottomRowInk = 0;
    double topRowCentre = 0.0;
    for (int row = 0; row < 24; ++row) {
        int rowInk = 0;
        double rowSum = 0.0;
        for (int col = 0; col < 24; ++col) {
            const bool in = inside(reader.edges, (col + 0.5) * step, (row + 0.45) * step);
            EXPECT_EQ(in, inside(reader.edges, (23 - col + 0.5) * step, (row + 0.45) * step))
                << "not symmetric at " << col << "," << row;
            if (in) {
                ++ink;
                ++rowInk;
                rowSum += col + 0.5;
            }
        }
        if (rowInk > 0 && row < topRow) {
            topRow = row;
            topRowInk = rowInk;
            topRowCentre = rowSum / rowInk;
        }
        if (rowInk > 0) {
            bottomRow = row;
            bottomRowInk = rowInk;
        }
    }
    EXPECT_GT(ink, 24 * 24 / 6);  // big enough to read
    EXPECT_LT(ink, 24 * 24 / 2);
    EXPECT_LE(topRow, 2);                  // the tip reaches the top
    EXPECT_NEAR(topRowCentre, 12.0, 0.6);  // in the middle
    EXPECT_LE(topRowInk, 2);               // a point at the top ...
    EXPECT_GE(bottomRowInk, 4);            // ... a flat end at the bottom
    EXPECT_GE(bottomRow, 20);
    // Every corner lies inside the circle that a turned 24 x 24 picture keeps.
    for (const auto& e : reader.edges) {
        EXPECT_LE(std::hypot(e.x0 / step - 12.0, e.y0 / step - 12.0), 12.0);
    }
}
