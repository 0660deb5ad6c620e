#include "tools/formats/SwfBits.h"

#include <algorithm>

namespace fairholm {

void SwfBits::u8(uint32_t value) {
    align();
    m_data.push_back(static_cast<uint8_t>(value));
}

void SwfBits::u16(uint32_t value) {
    u8(value & 0xFF);
    u8((value >> 8) & 0xFF);
}

void SwfBits::u32(uint32_t value) {
    u16(value & 0xFFFF);
    u16(value >> 16);
}

void SwfBits::bytes(const std::vector<uint8_t>& data) {
    align();
    m_data.insert(m_data.end(), data.begin(), data.end());
}

void SwfBits::bits(uint32_t value, int count) {
    for (int i = count - 1; i >= 0; --i) {
        if (m_bitCount == 0) {
            m_data.push_back(0);
        }
        if ((value >> i) & 1) {
            m_data.back() |= static_cast<uint8_t>(0x80 >> m_bitCount);
        }
        m_bitCount = (m_bitCount + 1) & 7;
    }
}

void SwfBits::align() {
    m_bitCount = 0;
}

void SwfBits::rect(int32_t xmin, int32_t xmax, int32_t ymin, int32_t ymax) {
    align();
    const int n = std::max({signedWidth(xmin), signedWidth(xmax), signedWidth(ymin), signedWidth(ymax)});
    bits(static_cast<uint32_t>(n), 5);
    signedBits(xmin, n);
    signedBits(xmax, n);
    signedBits(ymin, n);
    signedBits(ymax, n);
    align();
}

void SwfBits::matrix(bool hasScale, int32_t sx, int32_t sy, bool hasRotate, int32_t r0, int32_t r1,
                     int32_t tx, int32_t ty) {
    align();
    bits(hasScale ? 1 : 0, 1);
    if (hasScale) {
        const int n = std::max(signedWidth(sx), signedWidth(sy));
        bits(static_cast<uint32_t>(n), 5);
        signedBits(sx, n);
        signedBits(sy, n);
    }
    bits(hasRotate ? 1 : 0, 1);
    if (hasRotate) {
        const int n = std::max(signedWidth(r0), signedWidth(r1));
        bits(static_cast<uint32_t>(n), 5);
        signedBits(r0, n);
        signedBits(r1, n);
    }
    const int n = (tx == 0 && ty == 0) ? 0 : std::max(signedWidth(tx), signedWidth(ty));
    bits(static_cast<uint32_t>(n), 5);
    signedBits(tx, n);
    signedBits(ty, n);
    align();
}

void SwfBits::color(uint32_t argb, bool withAlpha) {
    u8((argb >> 16) & 0xFF);
    u8((argb >> 8) & 0xFF);
    u8(argb & 0xFF);
    if (withAlpha) {
        u8(argb >> 24);
    }
}

std::vector<uint8_t> SwfBits::take() {
    m_bitCount = 0;
    return std::move(m_data);
}

int SwfBits::signedWidth(int32_t value) {
    const uint32_t magnitude = value < 0 ? ~static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    return unsignedWidth(magnitude) + 1;
}

int SwfBits::unsignedWidth(uint32_t value) {
    int n = 0;
    while (value != 0) {
        ++n;
        value >>= 1;
    }
    return n;
}

}  // namespace fairholm
