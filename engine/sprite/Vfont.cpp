#include "engine/sprite/Vfont.h"

#include "engine/sprite/Vsprite.h"
#include "runtime/FileLimits.h"
#include "runtime/StringBuffer.h"

namespace fairholm {

int32_t Vfont::charWidth(int32_t c) const {
    if ((c & 0xFF) == 32) {
        return m_spaceWidth;
    }
    if (c < m_firstChar || c > m_lastChar) {
        return 0;
    }
    const int32_t k = c - m_firstChar;
    return k < m_glyphWidths.length() ? m_glyphWidths[k] : 0;
}

int32_t Vfont::textWidth(const String& text) const {
    int32_t width = 0;
    for (const char* p = text.chars(); *p; ++p) {
        width += charWidth(static_cast<int8_t>(*p));
    }
    return width;
}

void Vfont::drawChar(int32_t c, const IntArray& pixels, int32_t stride, int32_t rows, int32_t cl, int32_t ct,
                     int32_t cr, int32_t cb, fixed x, fixed y, int32_t colour, fixed opacity) const {
    if (c < m_firstChar || c > m_lastChar) {
        return;
    }
    const int32_t k = c - m_firstChar;
    if (k + 1 >= m_glyphOffsets.length() || k >= m_glyphWidths.length()) {
        return;
    }
    int32_t start = m_glyphOffsets[k];
    int32_t end = m_glyphOffsets[k + 1];
    if (end > m_glyphData.length()) {
        end = m_glyphData.length();
    }
    const int32_t w = m_glyphWidths[k];
    if (start < 0 || start >= end || w <= 0 || !clipToBuffer(pixels.length(), stride, rows, cl, ct, cr, cb)) {
        return;
    }
    auto* fb = reinterpret_cast<uint32_t*>(pixels.data());
    const uint32_t ink = static_cast<uint32_t>(colour);
    const uint32_t halfInk = (ink >> 1) & 0x7F7F7F;
    const bool shadow = opacity == 0x8000;
    const int32_t x0 = x >> 15;
    int32_t column = x0;
    int32_t row = y >> 15;
    const uint8_t* data = m_glyphData.data();
    for (int32_t i = start; i < end && row < cb; ++i) {
        const int32_t b = data[i];
        int32_t n = b >> 4;
        if (n == 0) {
            n = 16;
        }
        int32_t cv = b & 0x0F;
        if (!shadow) {
            cv = (cv * opacity) >> 15;
        }
        if (cv == 0) {
            column += n;
            if (column >= x0 + w) {
                const int32_t down = (column - x0) / w;
                column -= down * w;
                row += down;
            }
            continue;
        }
        for (int32_t p = 0; p < n; ++p) {
            if (column >= cl && column < cr && row >= ct && row < cb) {
                uint32_t& d = fb[row * stride + column];
                if (cv == 15) {
                    d = ink;
                } else if (cv == 7 || cv == 8) {
                    d = ((d >> 1) & 0x7F7F7F) + halfInk;
                } else {
                    const int32_t pb = static_cast<int32_t>(d & 0xFF);
                    const int32_t pg = static_cast<int32_t>((d >> 8) & 0xFF);
                    const int32_t pr = static_cast<int32_t>((d >> 16) & 0xFF);
                    const int32_t blue = (pb + ((((colour & 0xFF) - pb) * cv) >> 4)) & 0xFF;
                    const int32_t green = (pg + (((((colour >> 8) & 0xFF) - pg) * cv) >> 4)) & 0xFF;
                    const int32_t red = (pr + (((((colour >> 16) & 0xFF) - pr) * cv) >> 4)) & 0xFF;
                    d = static_cast<uint32_t>((red << 16) | (green << 8) | blue);
                }
                if (shadow && column < cr - 1 && row < cb - 1) {
                    uint32_t& q = fb[(row + 1) * stride + column + 1];
                    q = cv < 8 ? (q & 0xFFFFFF) - ((q >> 2) & 0x3F3F3F) : (q >> 1) & 0x7F7F7F;
                }
            }
            if (++column == x0 + w) {
                column = x0;
                ++row;
            }
        }
    }
}

void Vfont::clear() {
    m_glyphData.release();
    m_glyphOffsets.release();
    m_glyphWidths.release();
    m_sizeMetric = 0;
    m_lineHeight = 0;
    m_lastChar = 0;
    m_firstChar = 0;
    m_spaceWidth = 0;
}

int32_t Vfont::readByte() {
    return m_stream ? m_stream->read() : -1;
}

int32_t Vfont::readVarInt() {
    int32_t b = readByte();
    if (b < 128) {
        return b;  // a single byte, or -1 at the end of the file
    }
    int32_t value = b & 0x7F;
    do {
        b = readByte();
        if (b < 0) {
            return -1;
        }
        value = (value << 7) | (b & 0x7F);
    } while (b > 127);
    return value;
}

bool Vfont::load(const String& name) {
    StringBuffer path(*lit("/"));
    path.append(name);
    m_stream = InputStream::open(*path.toString(), FileLimits::font);
    if (!m_stream) {
        return false;
    }
    clear();
    const int32_t spaceWidth = readVarInt();
    const int32_t lineHeight = readVarInt();
    const int32_t sizeMetric = readVarInt();
    const int32_t firstChar = readVarInt();
    const int32_t lastChar = readVarInt();
    const int32_t declared = lastChar - firstChar + 1;
    if (spaceWidth < 0 || lineHeight < 0 || sizeMetric < 0 || firstChar < 0 || lastChar < 0 || declared < 0) {
        m_stream->close();
        m_stream = nullptr;
        return false;
    }
    // A font may declare more glyphs than a character can name: the first maxGlyphs are
    // kept and the rest of the table is read past.
    const int32_t n = declared > maxGlyphs ? maxGlyphs : declared;
    m_spaceWidth = spaceWidth;
    m_lineHeight = lineHeight;
    m_sizeMetric = sizeMetric;
    m_firstChar = firstChar;
    m_lastChar = firstChar + n - 1;
    m_glyphOffsets = newIntArray(n + 1);
    m_glyphWidths = newShortArray(n);
    int32_t total = 0;
    for (int32_t k = 0; k < declared; ++k) {
        const int32_t length = readVarInt();
        if (length < 0) {
            // The end of the file: the glyphs not read yet have no data.
            for (; k < n; ++k) {
                m_glyphOffsets[k] = total;
            }
            break;
        }
        const int32_t width = length != 0 ? readVarInt() : 0;
        if (k < n) {
            m_glyphOffsets[k] = total;
            total = length > maxDataLength - total ? maxDataLength : total + length;
            m_glyphWidths[k] = static_cast<int16_t>(width);
        }
    }
    m_glyphOffsets[n] = total;
    int32_t dataLength = readVarInt();
    if (dataLength < 0) {
        dataLength = 0;
    }
    if (dataLength > maxDataLength) {
        dataLength = maxDataLength;
    }
    if (declared > n && dataLength > total) {
        dataLength = total;  // only the kept glyphs' data is of use
    }
    m_glyphData = newByteArray(dataLength);
    for (int32_t offset = 0; offset < m_glyphData.length();) {
        const int32_t got = m_stream->read(m_glyphData, offset, m_glyphData.length() - offset);
        if (got <= 0) {
            break;
        }
        offset += got;
    }
    m_stream->close();
    m_stream = nullptr;
    return true;
}

}  // namespace fairholm
