#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace fairholm {

// Byte and bit writer for SWF data: integers little-endian, bit fields most
// significant bit first. Byte writes align to the next byte first.
class SwfBits {
public:
    void u8(uint32_t value);
    void u16(uint32_t value);
    void u32(uint32_t value);
    void bytes(const std::vector<uint8_t>& data);

    // The low `count` bits of `value`, most significant first (count 0..32).
    void bits(uint32_t value, int count);
    // A signed value in `count` bits (two's complement).
    void signedBits(int32_t value, int count) { bits(static_cast<uint32_t>(value), count); }
    // Pads the current byte with zero bits.
    void align();

    // RECT: a 5-bit width n, then xmin, xmax, ymin, ymax as n-bit signed values; aligned.
    void rect(int32_t xmin, int32_t xmax, int32_t ymin, int32_t ymax);
    // MATRIX with an optional scale and rotate part and a translation; aligned.
    void matrix(bool hasScale, int32_t sx, int32_t sy, bool hasRotate, int32_t r0, int32_t r1, int32_t tx,
                int32_t ty);
    // Colour bytes red, green, blue, and alpha when `withAlpha`.
    void color(uint32_t argb, bool withAlpha);

    const std::vector<uint8_t>& data() const { return m_data; }
    std::vector<uint8_t> take();
    size_t size() const { return m_data.size(); }

    // Bits needed for `value` as a signed field (at least 1).
    static int signedWidth(int32_t value);
    // Bits needed for `value` as an unsigned field (0 for 0).
    static int unsignedWidth(uint32_t value);

private:
    std::vector<uint8_t> m_data;
    int m_bitCount = 0;  // bits used in the last byte, 0 when aligned
};

}  // namespace fairholm
