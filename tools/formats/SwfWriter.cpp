#include "tools/formats/SwfWriter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace fairholm {

namespace {

constexpr int kTagEnd = 0;
constexpr int kTagShowFrame = 1;
constexpr int kMaxDeltaBits = 17;  // 4-bit field + 2

int shapeCode(int form) {
    return form == 3 ? 32 : form == 2 ? 22 : 2;
}

}  // namespace

SwfWriter::SwfWriter(int32_t widthTwips, int32_t heightTwips) : m_width(widthTwips), m_height(heightTwips) {}

void SwfWriter::beginShape(int form) {
    m_inShape = true;
    m_form = (form == 2 || form == 3) ? form : 1;
    m_styles.assign(1, StyleArrays{});
    m_ops.clear();
    m_hasBounds = false;
}

int SwfWriter::addSolidFill(uint32_t argb) {
    SwfBits b;
    b.u8(0x00);
    b.color(argb, m_form == 3);
    m_styles.back().fills.push_back(b.take());
    return static_cast<int>(m_styles.back().fills.size());
}

int SwfWriter::addGradientFill(uint32_t from, uint32_t to) {
    SwfBits b;
    b.u8(0x10);
    b.matrix(true, 0x10000, 0x10000, false, 0, 0, 100, -100);
    b.u8(2);
    b.u8(0);
    b.color(from, m_form == 3);
    b.u8(255);
    b.color(to, m_form == 3);
    m_styles.back().fills.push_back(b.take());
    return static_cast<int>(m_styles.back().fills.size());
}

int SwfWriter::addBitmapFill(uint16_t bitmapId) {
    SwfBits b;
    b.u8(0x41);
    b.u16(bitmapId);
    b.matrix(true, 20 << 16, 20 << 16, true, 3, -3, 0, 0);
    m_styles.back().fills.push_back(b.take());
    return static_cast<int>(m_styles.back().fills.size());
}

int SwfWriter::addLineStyle(uint16_t widthTwips, uint32_t argb) {
    SwfBits b;
    b.u16(widthTwips);
    b.color(argb, m_form == 3);
    m_styles.back().lines.push_back(b.take());
    return static_cast<int>(m_styles.back().lines.size());
}

void SwfWriter::include(int32_t x, int32_t y) {
    if (!m_hasBounds) {
        m_minX = m_maxX = x;
        m_minY = m_maxY = y;
        m_hasBounds = true;
        return;
    }
    m_minX = std::min(m_minX, x);
    m_maxX = std::max(m_maxX, x);
    m_minY = std::min(m_minY, y);
    m_maxY = std::max(m_maxY, y);
}

void SwfWriter::moveTo(int32_t x, int32_t y) {
    m_ops.push_back({Op::Move, x, y});
    include(x, y);
}

void SwfWriter::setFills(int fill0, int fill1) {
    m_ops.push_back({Op::Fills, fill0, fill1});
}

void SwfWriter::setLineStyle(int line) {
    m_ops.push_back({Op::Line, line});
}

void SwfWriter::lineTo(int32_t x, int32_t y) {
    m_ops.push_back({Op::LineTo, x, y});
    include(x, y);
}

void SwfWriter::curveTo(int32_t cx, int32_t cy, int32_t x, int32_t y) {
    m_ops.push_back({Op::CurveTo, cx, cy, x, y});
    include(cx, cy);
    include(x, y);
}

void SwfWriter::newStyles() {
    m_ops.push_back({Op::NewStyles, static_cast<int32_t>(m_styles.size())});
    m_styles.emplace_back();
}

void SwfWriter::addPolygon(int fill, const std::vector<Point>& points) {
    if (points.size() < 3) {
        return;
    }
    int64_t area = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        const Point& p = points[i];
        const Point& q = points[(i + 1) % points.size()];
        area += static_cast<int64_t>(p.x) * q.y - static_cast<int64_t>(q.x) * p.y;
    }
    moveTo(points[0].x, points[0].y);
    // Clockwise on screen (positive area with y down): the inside is on the left-hand
    // side of the downward edges.
    if (area > 0) {
        setFills(0, fill);
    } else {
        setFills(fill, 0);
    }
    for (size_t i = 1; i < points.size(); ++i) {
        lineTo(points[i].x, points[i].y);
    }
    lineTo(points[0].x, points[0].y);
}

void SwfWriter::encodeStyles(SwfBits& out, const StyleArrays& styles) const {
    const auto count = [&](size_t n) {
        if (n >= 255) {
            out.u8(255);
            out.u16(static_cast<uint32_t>(n));
        } else {
            out.u8(static_cast<uint32_t>(n));
        }
    };
    count(styles.fills.size());
    for (const auto& f : styles.fills) {
        out.bytes(f);
    }
    count(styles.lines.size());
    for (const auto& l : styles.lines) {
        out.bytes(l);
    }
}

void SwfWriter::straightEdge(SwfBits& out, int32_t dx, int32_t dy) const {
    const int n = std::max({2, SwfBits::signedWidth(dx), SwfBits::signedWidth(dy)});
    if (n > kMaxDeltaBits) {
        straightEdge(out, dx / 2, dy / 2);
        straightEdge(out, dx - dx / 2, dy - dy / 2);
        return;
    }
    out.bits(1, 1);  // edge
    out.bits(1, 1);  // straight
    out.bits(static_cast<uint32_t>(n - 2), 4);
    if (dx != 0 && dy != 0) {
        out.bits(1, 1);
        out.signedBits(dx, n);
        out.signedBits(dy, n);
    } else if (dx == 0) {
        out.bits(0, 1);
        out.bits(1, 1);  // vertical
        out.signedBits(dy, n);
    } else {
        out.bits(0, 1);
        out.bits(0, 1);
        out.signedBits(dx, n);
    }
}

void SwfWriter::curvedEdge(SwfBits& out, int32_t cdx, int32_t cdy, int32_t adx, int32_t ady) const {
    const int n = std::max({2, SwfBits::signedWidth(cdx), SwfBits::signedWidth(cdy),
                            SwfBits::signedWidth(adx), SwfBits::signedWidth(ady)});
    if (n > kMaxDeltaBits) {
        // Too long for one record: draw it as two straight halves through the curve's
        // mid-point.
        const int32_t mx = (2 * cdx + adx) / 4;
        const int32_t my = (2 * cdy + ady) / 4;
        straightEdge(out, mx, my);
        straightEdge(out, cdx + adx - mx, cdy + ady - my);
        return;
    }
    out.bits(1, 1);  // edge
    out.bits(0, 1);  // curved
    out.bits(static_cast<uint32_t>(n - 2), 4);
    out.signedBits(cdx, n);
    out.signedBits(cdy, n);
    out.signedBits(adx, n);
    out.signedBits(ady, n);
}

void SwfWriter::endShape() {
    if (!m_inShape) {
        return;
    }
    m_inShape = false;
    SwfBits body;
    body.u16(static_cast<uint32_t>(++m_shapeId));
    if (m_hasBounds) {
        body.rect(m_minX, m_maxX, m_minY, m_maxY);
    } else {
        body.rect(0, 0, 0, 0);
    }
    encodeStyles(body, m_styles[0]);
    int fillBits = SwfBits::unsignedWidth(static_cast<uint32_t>(m_styles[0].fills.size()));
    int lineBits = SwfBits::unsignedWidth(static_cast<uint32_t>(m_styles[0].lines.size()));
    body.bits(static_cast<uint32_t>(fillBits), 4);
    body.bits(static_cast<uint32_t>(lineBits), 4);

    int32_t penX = 0, penY = 0;
    // A style-change record collects a move, fills, a line style and new styles
    // that follow each other; it is written before the next edge.
    bool pending = false, move = false, fills = false, line = false;
    int32_t moveX = 0, moveY = 0;
    int fill0 = 0, fill1 = 0, lineStyle = 0;
    const auto writeChange = [&](uint32_t extraFlags) {
        const uint32_t flags = extraFlags | (move ? 1u : 0u) | (fills ? 6u : 0u) | (line ? 8u : 0u);
        body.bits(0, 1);
        body.bits(flags, 5);
        if (move) {
            const int n = std::max(SwfBits::signedWidth(moveX), SwfBits::signedWidth(moveY));
            body.bits(static_cast<uint32_t>(n), 5);
            body.signedBits(moveX, n);
            body.signedBits(moveY, n);
        }
        if (fills) {
            body.bits(static_cast<uint32_t>(fill0), fillBits);
            body.bits(static_cast<uint32_t>(fill1), fillBits);
        }
        if (line) {
            body.bits(static_cast<uint32_t>(lineStyle), lineBits);
        }
        pending = move = fills = line = false;
    };
    const auto flush = [&]() {
        if (pending) {
            writeChange(0);
        }
    };
    for (const Op& op : m_ops) {
        switch (op.kind) {
            case Op::Move:
                pending = move = true;
                moveX = penX = op.a;
                moveY = penY = op.b;
                break;
            case Op::Fills:
                pending = fills = true;
                fill0 = op.a;
                fill1 = op.b;
                break;
            case Op::Line:
                pending = line = true;
                lineStyle = op.a;
                break;
            case Op::NewStyles: {
                const StyleArrays& styles = m_styles[static_cast<size_t>(op.a)];
                flush();
                writeChange(16u);
                encodeStyles(body, styles);
                fillBits = SwfBits::unsignedWidth(static_cast<uint32_t>(styles.fills.size()));
                lineBits = SwfBits::unsignedWidth(static_cast<uint32_t>(styles.lines.size()));
                body.bits(static_cast<uint32_t>(fillBits), 4);
                body.bits(static_cast<uint32_t>(lineBits), 4);
                break;
            }
            case Op::LineTo:
                flush();
                straightEdge(body, op.a - penX, op.b - penY);
                penX = op.a;
                penY = op.b;
                break;
            case Op::CurveTo:
                flush();
                curvedEdge(body, op.a - penX, op.b - penY, op.c - op.a, op.d - op.b);
                penX = op.c;
                penY = op.d;
                break;
        }
    }
    flush();
    body.bits(0, 6);  // end of shape
    body.align();
    addTag(shapeCode(m_form), body.take());
}

void SwfWriter::addTag(int code, const std::vector<uint8_t>& body, bool longForm) {
    SwfBits b;
    if (body.size() < 63 && !longForm) {
        b.u16(static_cast<uint32_t>(code << 6) | static_cast<uint32_t>(body.size()));
    } else {
        b.u16(static_cast<uint32_t>(code << 6) | 63u);
        b.u32(static_cast<uint32_t>(body.size()));
    }
    b.bytes(body);
    const std::vector<uint8_t>& bytes = b.data();
    m_tags.insert(m_tags.end(), bytes.begin(), bytes.end());
}

std::vector<uint8_t> SwfWriter::finish() const {
    SwfBits b;
    b.u8('F');
    b.u8('W');
    b.u8('S');
    b.u8(8);
    b.u32(0);  // file length, patched below
    b.rect(0, m_width, 0, m_height);
    b.u16(12 << 8);  // 12 frames per second, 8.8 fixed
    b.u16(1);
    b.bytes(m_tags);
    b.u16(static_cast<uint32_t>(kTagShowFrame << 6));
    b.u16(static_cast<uint32_t>(kTagEnd << 6));
    std::vector<uint8_t> out = b.take();
    const uint32_t length = static_cast<uint32_t>(out.size());
    for (int i = 0; i < 4; ++i) {
        out[4 + static_cast<size_t>(i)] = static_cast<uint8_t>(length >> (8 * i));
    }
    return out;
}

bool SwfWriter::writeFile(const std::string& path) const {
    const std::vector<uint8_t> bytes = finish();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        return false;
    }
    const size_t written = std::fwrite(bytes.data(), 1, bytes.size(), f);
    const bool closed = std::fclose(f) == 0;
    return written == bytes.size() && closed;
}

}  // namespace fairholm
