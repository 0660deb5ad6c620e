#pragma once

#include <cstdint>

#include "runtime/Array.h"
#include "runtime/Fixed.h"
#include "runtime/V.h"

namespace fairholm {

// One bitmap of an image pack: its size and hot spot, its data as stored in the pack
// and, once decoded, its pixels (colour in bits 0..23, alpha level 0..7 in bits 29..31).
//
// Frame-buffer pixels are 0xTTRRGGBB with TT a depth tag, smaller = nearer.
class Vpicture final : public V {
public:
    // The encodings of a pack entry.
    static constexpr uint8_t runLength = 'r';
    static constexpr uint8_t jpeg = 'j';

    // Largest number of pixels a picture may decode to; bigger entries are refused.
    static constexpr int32_t maxPixels = 1 << 22;

    Vpicture() = default;

    // Draws the decoded picture scaled, depth tested and blended by its alpha levels.
    // (x, y) is the fixed-point position of the top-left corner; the clip rectangle is
    // in frame-buffer pixels, right and bottom exclusive. Returns the number of picture
    // pixels the depth test suppressed.
    virtual int32_t draw(const IntArray& pixels, int32_t stride, int32_t rows, int32_t clipLeft,
                         int32_t clipTop, int32_t clipRight, int32_t clipBottom, fixed x, fixed y,
                         fixed scale, int32_t depth, fixed opacity);

    // Darkens the frame buffer under a half-height copy of the picture's shape that
    // leans one pixel to the right per row, only over pixels tagged depth..depth+3.
    virtual void drawShadow(const IntArray& pixels, int32_t stride, int32_t rows, int32_t clipLeft,
                            int32_t clipTop, int32_t clipRight, int32_t clipBottom, fixed x, fixed y,
                            fixed scale, int32_t depth, fixed opacity);

    int32_t jpegLength() const { return m_jpegLength; }
    const ByteArray& encoded() const { return m_encoded; }
    const IntArray& pixels() const { return m_pixels; }
    uint8_t type() const { return m_type; }
    bool recentlyUsed() const { return m_recentlyUsed != 0; }
    int32_t width() const { return m_width; }
    int32_t height() const { return m_height; }
    int32_t anchorX() const { return m_anchorX; }
    int32_t anchorY() const { return m_anchorY; }
    bool isDecoded() const { return !m_pixels.isEmpty(); }

    // Width × height when the picture may be decoded, else 0.
    int32_t pixelCount() const;

    void setType(uint8_t type) { m_type = type; }
    void setSize(int32_t w, int32_t h) {
        m_width = static_cast<int16_t>(w);
        m_height = static_cast<int16_t>(h);
    }
    void setAnchor(int32_t ax, int32_t ay) {
        m_anchorX = static_cast<int16_t>(ax);
        m_anchorY = static_cast<int16_t>(ay);
    }
    void setEncoded(ByteArray encoded, int32_t jpegLength) {
        m_encoded = std::move(encoded);
        m_jpegLength = jpegLength;
    }
    // Sets the decoded pixels (length must be width × height; anything else is dropped).
    void setPixels(IntArray pixels);
    void releasePixels() { m_pixels.release(); }
    void setRecentlyUsed(bool used) { m_recentlyUsed = used ? 1 : 0; }

private:
    int32_t m_jpegLength = 0;
    ByteArray m_encoded;
    IntArray m_pixels;
    uint8_t m_type = 0;
    uint8_t m_recentlyUsed = 0;
    int16_t m_width = 0;
    int16_t m_height = 0;
    int16_t m_anchorX = 0;
    int16_t m_anchorY = 0;
};

namespace blend {

// Quarter-step blends of a source colour s over a frame-buffer pixel d, by alpha level.
// Channels never carry into each other; bits 24..31 of the result are 0.
inline uint32_t quarter(uint32_t d, uint32_t s) {
    return ((d >> 2) & 0x3F3F3F) + ((s >> 2) & 0x3F3F3F) + ((d >> 1) & 0x7F7F7F);
}
inline uint32_t half(uint32_t d, uint32_t s) {
    return ((d >> 1) & 0x7F7F7F) + ((s >> 1) & 0x7F7F7F);
}
inline uint32_t threeQuarters(uint32_t d, uint32_t s) {
    return ((d >> 2) & 0x3F3F3F) + ((s >> 2) & 0x3F3F3F) + ((s >> 1) & 0x7F7F7F);
}
// Level 7 (or more) gives the source colour, 5-6 three quarters, 3-4 half, below 3 one
// quarter.
inline uint32_t byLevel(uint32_t d, uint32_t s, int32_t level) {
    if (level >= 7) {
        return s & 0xFFFFFF;
    }
    if (level >= 5) {
        return threeQuarters(d, s);
    }
    if (level >= 3) {
        return half(d, s);
    }
    return quarter(d, s);
}

}  // namespace blend

}  // namespace fairholm
