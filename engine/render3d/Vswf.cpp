#include "engine/render3d/Vswf.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "runtime/FileLimits.h"
#include "runtime/StringBuffer.h"

namespace fairholm {

namespace {

constexpr int32_t kReadBufferSize = 128;
constexpr int32_t kFar = 0x7FFFFFFF;

constexpr int32_t kTagEnd = 0;
constexpr int32_t kTagShape = 2;
constexpr int32_t kTagShape2 = 22;
constexpr int32_t kTagShape3 = 32;

// Halfway between two fixed values, rounding down, without overflowing.
inline fixed midpoint(fixed a, fixed b) {
    return static_cast<int32_t>((static_cast<int64_t>(a) + b) >> 1);
}

}  // namespace

Vswf::Vswf() : m_fillIndex(newIntArray(16)), m_readBuffer(newByteArray(kReadBufferSize)) {}

Vswf::~Vswf() = default;

int32_t Vswf::readByte() {
    if (m_readPosition >= m_readCount) {
        const int32_t got = m_stream ? m_stream->read(m_readBuffer, 0, kReadBufferSize) : -1;
        if (got <= 0) {
            m_atEnd = true;
            return -1;
        }
        m_readPosition = 0;
        m_readCount = got;
    }
    ++m_filePosition;
    return m_readBuffer[m_readPosition++];
}

void Vswf::alignBits() {
    m_bitsLeft = 0;
}

uint32_t Vswf::readBits(int32_t n) {
    n = std::clamp(n, 0, 32);
    uint32_t value = 0;
    while (n > 0) {
        if (m_bitsLeft == 0) {
            const int32_t b = readByte();
            m_bitBuffer = b < 0 ? 0 : b;  // past the end: zero bits
            m_bitsLeft = 8;
        }
        const int32_t take = std::min(n, m_bitsLeft);
        m_bitsLeft -= take;
        const uint32_t bits = static_cast<uint32_t>(m_bitBuffer >> m_bitsLeft) & ((1u << take) - 1);
        value = (value << take) | bits;
        n -= take;
    }
    return value;
}

int32_t Vswf::readSignedBits(int32_t n) {
    n = std::clamp(n, 0, 32);
    const uint32_t value = readBits(n);
    if (n == 0 || n == 32) {
        return static_cast<int32_t>(value);
    }
    const uint32_t sign = 1u << (n - 1);
    return static_cast<int32_t>((value ^ sign) - sign);
}

int32_t Vswf::readU8() {
    alignBits();
    const int32_t b = readByte();
    return b < 0 ? 0 : b;
}

int32_t Vswf::readU16() {
    const int32_t lo = readU8();
    return lo | readU8() << 8;
}

uint32_t Vswf::readU32() {
    const uint32_t lo = static_cast<uint32_t>(readU16());
    return lo | static_cast<uint32_t>(readU16()) << 16;
}

int32_t Vswf::readColor(int32_t version) {
    const int32_t red = readU8();
    const int32_t green = readU8();
    const int32_t blue = readU8();
    int32_t color = red << 16 | green << 8 | blue;
    if (version == 3) {
        color |= readU8() << 24;
    }
    return color;
}

void Vswf::readRect() {
    alignBits();
    const int32_t n = static_cast<int32_t>(readBits(5));
    for (int32_t& v : m_frameRect) {
        v = readSignedBits(n);
    }
}

void Vswf::skipMatrix() {
    alignBits();
    if (readBits(1)) {
        const int32_t n = static_cast<int32_t>(readBits(5));
        readBits(n);
        readBits(n);
    }
    if (readBits(1)) {
        const int32_t n = static_cast<int32_t>(readBits(5));
        readBits(n);
        readBits(n);
    }
    const int32_t n = static_cast<int32_t>(readBits(5));
    readBits(n);
    readBits(n);
}

int32_t Vswf::readTagHeader() {
    const int32_t v = readU16();
    uint32_t length = static_cast<uint32_t>(v & 63);
    if (length == 63) {
        length = readU32();
    }
    if (m_atEnd) {
        m_tagEnd = m_filePosition;
        return -1;
    }
    m_tagEnd = static_cast<int32_t>(std::min<int64_t>(static_cast<int64_t>(m_filePosition) + length, kFar));
    return v >> 6;
}

void Vswf::readTags() {
    while (!m_atEnd) {
        const int32_t code = readTagHeader();
        if (code == kTagEnd || code < 0) {
            return;
        }
        switch (code) {
            case kTagShape:
                readShape(0);
                break;
            case kTagShape2:
                readShape(2);
                break;
            case kTagShape3:
                readShape(3);
                break;
            default:
                while (m_filePosition < m_tagEnd && readByte() >= 0) {
                }
                break;
        }
    }
}

void Vswf::readStyles(int32_t version) {
    int32_t count = readU8();
    if (count == 255) {
        count = readU16();
    }
    if (m_fillIndex.length() <= count) {
        m_fillIndex = newIntArray(count + 1);
    } else if (m_fillCount > count) {
        // Styles of the earlier, longer array are no longer there.
        std::fill(m_fillIndex.begin() + count + 1, m_fillIndex.begin() + m_fillCount + 1, 0);
    }
    m_fillCount = std::min(count, m_fillIndex.length() - 1);
    for (int32_t i = 1; i <= count && !m_atEnd; ++i) {
        const int32_t type = readU8();
        int32_t index = 0;
        if (type & 0x10) {
            skipMatrix();
            const int32_t stops = readU8();
            for (int32_t j = 0; j < stops && !m_atEnd; ++j) {
                readU8();
                readColor(version);
            }
        } else if (type & 0x40) {
            readU16();
            skipMatrix();
        } else {
            const int32_t color = readColor(version);
            if (!m_atEnd && m_target) {
                index = m_target->addColor(color);
            }
        }
        if (i < m_fillIndex.length()) {
            m_fillIndex[i] = index;
        }
    }
    int32_t lines = readU8();
    if (lines == 255) {
        lines = readU16();
    }
    for (int32_t i = 0; i < lines && !m_atEnd; ++i) {
        readU16();
        readColor(version);
    }
}

int32_t Vswf::styleIndex(uint32_t style) const {
    return style < static_cast<uint32_t>(m_fillIndex.length()) ? m_fillIndex[static_cast<int32_t>(style)] : 0;
}

void Vswf::readShape(int32_t version) {
    m_shapeX = m_originX;
    m_shapeY = m_originY;
    movePen(0, 0);
    m_fill0 = 0;
    m_fill1 = 0;
    readU16();  // shape id
    readRect();
    readStyles(version);
    m_fillBits = static_cast<int32_t>(readBits(4));
    m_lineBits = static_cast<int32_t>(readBits(4));
    while (!readShapeRecord(version)) {
    }
}

bool Vswf::readShapeRecord(int32_t version) {
    if (m_atEnd) {
        return true;
    }
    if (readBits(1)) {
        const bool straight = readBits(1) != 0;
        const int32_t n = static_cast<int32_t>(readBits(4)) + 2;
        if (straight) {
            int32_t dx = 0;
            int32_t dy = 0;
            if (readBits(1)) {
                dx = readSignedBits(n);
                dy = readSignedBits(n);
            } else if (readBits(1)) {
                dy = readSignedBits(n);
            } else {
                dx = readSignedBits(n);
            }
            if (m_atEnd) {
                return true;
            }
            lineBy(dx, dy);
        } else {
            const fixed x0 = m_penX;
            const fixed y0 = m_penY;
            readPenMove(n);
            const fixed cx = m_penX;
            const fixed cy = m_penY;
            readPenMove(n);
            if (m_atEnd) {
                return true;
            }
            addCurve(x0, y0, cx, cy, m_penX, m_penY);
        }
        return false;
    }
    const uint32_t flags = readBits(5);
    if (flags == 0) {
        return true;
    }
    if (flags & 1) {
        const int32_t n = static_cast<int32_t>(readBits(5));
        m_shapeX = m_originX;
        m_shapeY = m_originY;
        readPenMove(n);
    }
    if (flags & 2) {
        m_fill0 = styleIndex(readBits(m_fillBits));
    }
    if (flags & 4) {
        m_fill1 = styleIndex(readBits(m_fillBits));
    }
    if (flags & 8) {
        readBits(m_lineBits);
    }
    if (flags & 16) {
        readStyles(version);
        m_fillBits = static_cast<int32_t>(readBits(4));
        m_lineBits = static_cast<int32_t>(readBits(4));
    }
    return m_atEnd;
}

void Vswf::readPenMove(int32_t n) {
    const int32_t dx = readSignedBits(n);
    const int32_t dy = readSignedBits(n);
    movePen(dx, dy);
}

void Vswf::movePen(int32_t dx, int32_t dy) {
    m_shapeX += dx;
    m_shapeY += dy;
    m_penX = m_m11 * m_shapeX + m_m12 * m_shapeY + m_offsetX;
    m_penY = m_m21 * m_shapeX + m_m22 * m_shapeY + m_offsetY;
}

void Vswf::line(fixed x0, fixed y0, fixed x1, fixed y1) {
    if (m_target) {
        m_target->addLine(x0, y0, x1, y1, m_fill0, m_fill1);
    }
}

void Vswf::lineBy(int32_t dx, int32_t dy) {
    const fixed x0 = m_penX;
    const fixed y0 = m_penY;
    movePen(dx, dy);
    line(x0, y0, m_penX, m_penY);
}

int32_t Vswf::lineDistanceSq(int32_t px, int32_t py, int32_t ax, int32_t ay, int32_t bx, int32_t by) {
    if ((px == ax && py == ay) || (px == bx && py == by)) {
        return 0;
    }
    if (ax == bx && ay == by) {
        return kFar;
    }
    // Whole pixels of fixed values lie within +-65536; wider inputs are limited so that
    // the products stay within 64 bits.
    const auto c = [](int32_t v) { return static_cast<int64_t>(std::clamp(v, -(1 << 20), 1 << 20)); };
    const int64_t dx = c(bx) - c(ax);
    const int64_t dy = c(by) - c(ay);
    const int64_t lengthSq = dx * dx + dy * dy;
    if (lengthSq == 0) {
        return kFar;
    }
    const int64_t t = ((dy * (c(py) - c(ay)) + dx * (c(px) - c(ax))) * 32768) / lengthSq;
    if (t < 0 || t > 32767) {
        return kFar;
    }
    const int64_t ex = ((t * dy) >> 15) - c(py) + c(ay);
    const int64_t ey = ((t * dx) >> 15) - c(px) + c(ax);
    return static_cast<int32_t>(std::min<int64_t>(ex * ex + ey * ey, kFar));
}

void Vswf::addCurve(fixed x0, fixed y0, fixed cx, fixed cy, fixed x1, fixed y1) {
    curve(x0, y0, cx, cy, x1, y1, 0);
}

void Vswf::curve(fixed x0, fixed y0, fixed cx, fixed cy, fixed x1, fixed y1, int32_t depth) {
    const int32_t r0 = y0 >> 15;
    const int32_t rc = cy >> 15;
    const int32_t r1 = y1 >> 15;
    if (std::abs(r0 - r1) <= 1 && (rc == r0 || rc == r1)) {
        line(x0, y0, x1, y1);
        return;
    }
    if (!m_target) {
        return;
    }
    // A curve wholly above or below the picture's rows adds nothing (its pieces stay
    // within the rows of its three points).
    const int64_t rows = static_cast<int64_t>(m_target->edgeRows()) << 15;
    if (std::max({y0, cy, y1}) < 0 || std::min({y0, cy, y1}) >= rows) {
        return;
    }
    if (depth >= maxCurveDepth) {
        line(x0, y0, x1, y1);
        return;
    }
    const fixed ax = midpoint(x0, cx);
    const fixed ay = midpoint(y0, cy);
    const fixed bx = midpoint(cx, x1);
    const fixed by = midpoint(cy, y1);
    const fixed mx = midpoint(ax, bx);
    const fixed my = midpoint(ay, by);
    if (lineDistanceSq(mx >> 15, my >> 15, x0 >> 15, y0 >> 15, x1 >> 15, y1 >> 15) != 0) {
        curve(x0, y0, ax, ay, mx, my, depth + 1);
        curve(mx, my, bx, by, x1, y1, depth + 1);
    } else {
        line(x0, y0, x1, y1);
    }
}

bool Vswf::loadFile(const String& name, angle turn) {
    m_filePosition = 0;
    m_bitsLeft = 0;
    m_readPosition = 0;
    m_readCount = 0;
    m_atEnd = false;
    if (!m_target) {
        return false;
    }
    StringBuffer path;
    path.appendChar('/').append(name);
    m_stream = InputStream::open(*path.toString(), FileLimits::shapeFile);
    if (!m_stream) {
        return false;
    }
    readU32();  // signature and version
    readU32();  // file length
    readRect();
    const int64_t frameWidth = static_cast<int64_t>(m_frameRect[1]) - m_frameRect[0];
    const int64_t frameHeight = static_cast<int64_t>(m_frameRect[3]) - m_frameRect[2];
    m_originX = static_cast<int32_t>(-frameWidth >> 1);
    m_originY = static_cast<int32_t>(-frameHeight >> 1);
    m_shapeX = m_originX;
    m_shapeY = m_originY;
    m_offsetX = m_target->widthFixed() >> 1;
    m_offsetY = m_target->heightFixed() >> 1;
    if (frameWidth > 0) {
        const int32_t s = static_cast<int32_t>(m_target->widthFixed() / frameWidth);
        if (turn == 0) {
            m_m11 = m_m22 = s;
            m_m12 = m_m21 = 0;
        } else {
            const fixed c = fx::cos(turn);
            const fixed n = fx::sin(turn);
            m_m11 = fx::mul(c, s);
            m_m12 = fx::mul(-n, s);
            m_m22 = fx::mul(c, s);
            m_m21 = fx::mul(n, s);
        }
        readU16();  // frame rate
        readU16();  // frame count
        readTags();
    }
    // A frame without width has no scale: the picture stays empty.
    m_target->endShape();
    m_stream->close();
    m_stream = nullptr;
    return true;
}

void Vswf::load(Ref<Vpolyn> target, const String& name, int32_t width, int32_t height, int32_t capacity,
                int32_t paletteSize, angle turn) {
    m_target = std::move(target);
    if (!m_target) {
        return;
    }
    m_target->beginShapes(width, height, capacity, paletteSize);
    if (!loadFile(name, turn)) {
        trace(*lit("Could not open "));
        m_target->endShape();  // the emptied picture is repainted like any other
    }
}

}  // namespace fairholm
