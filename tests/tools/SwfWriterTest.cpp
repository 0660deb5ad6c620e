#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tools/formats/SwfBits.h"
#include "tools/formats/SwfWriter.h"

using namespace fairholm;

namespace {

// Reads back bit fields most significant bit first.
struct BitReader {
    const std::vector<uint8_t>& data;
    size_t pos = 0;
    int bit = 0;
    uint32_t bits(int n) {
        uint32_t v = 0;
        for (int i = 0; i < n; ++i) {
            v = (v << 1) | ((data.at(pos) >> (7 - bit)) & 1u);
            if (++bit == 8) {
                bit = 0;
                ++pos;
            }
        }
        return v;
    }
    int32_t sbits(int n) {
        const uint32_t v = bits(n);
        return n == 0 ? 0 : static_cast<int32_t>(v << (32 - n)) >> (32 - n);
    }
};

}  // namespace

TEST(SwfBits, FieldsAreMostSignificantBitFirstAndBytesAlign) {
    SwfBits b;
    b.bits(1, 1);
    b.bits(0b01, 2);
    b.u8(0xAB);  // aligns first
    b.u16(0x1234);
    b.signedBits(-1, 3);
    b.u32(0x01020304);
    EXPECT_EQ(b.data(), (std::vector<uint8_t>{0xA0, 0xAB, 0x34, 0x12, 0xE0, 4, 3, 2, 1}));
}

TEST(SwfBits, Widths) {
    EXPECT_EQ(SwfBits::unsignedWidth(0), 0);
    EXPECT_EQ(SwfBits::unsignedWidth(1), 1);
    EXPECT_EQ(SwfBits::unsignedWidth(255), 8);
    EXPECT_EQ(SwfBits::signedWidth(0), 1);
    EXPECT_EQ(SwfBits::signedWidth(-1), 1);
    EXPECT_EQ(SwfBits::signedWidth(1), 2);
    EXPECT_EQ(SwfBits::signedWidth(-2), 2);
    EXPECT_EQ(SwfBits::signedWidth(8192), 15);
    EXPECT_EQ(SwfBits::signedWidth(-8192), 14);
}

TEST(SwfBits, RectRoundTrip) {
    SwfBits b;
    b.rect(-5, 8192, 0, 300);
    BitReader r{b.data()};
    const int n = static_cast<int>(r.bits(5));
    EXPECT_EQ(n, 15);
    EXPECT_EQ(r.sbits(n), -5);
    EXPECT_EQ(r.sbits(n), 8192);
    EXPECT_EQ(r.sbits(n), 0);
    EXPECT_EQ(r.sbits(n), 300);
    EXPECT_EQ(b.size(), (5u + 4u * 15u + 7u) / 8u);
}

TEST(SwfWriter, HeaderCarriesLengthFrameAndEndTag) {
    SwfWriter w(8192, 4096);
    const std::vector<uint8_t> file = w.finish();
    ASSERT_GE(file.size(), 12u);
    EXPECT_EQ(file[0], 'F');
    EXPECT_EQ(file[1], 'W');
    EXPECT_EQ(file[2], 'S');
    const uint32_t length = file[4] | file[5] << 8 | file[6] << 16 | static_cast<uint32_t>(file[7]) << 24;
    EXPECT_EQ(length, file.size());
    BitReader r{file, 8};
    const int n = static_cast<int>(r.bits(5));
    EXPECT_EQ(r.sbits(n), 0);
    EXPECT_EQ(r.sbits(n), 8192);
    EXPECT_EQ(r.sbits(n), 0);
    EXPECT_EQ(r.sbits(n), 4096);
    // Show frame, then end.
    EXPECT_EQ(file[file.size() - 4], 0x40);
    EXPECT_EQ(file[file.size() - 3], 0x00);
    EXPECT_EQ(file[file.size() - 2], 0x00);
    EXPECT_EQ(file[file.size() - 1], 0x00);
}

TEST(SwfWriter, ShortAndLongTagHeaders) {
    SwfWriter shortTag(20, 20);
    shortTag.addTag(9, {1, 2, 3});
    SwfWriter longTag(20, 20);
    longTag.addTag(9, {1, 2, 3}, true);
    const std::vector<uint8_t> a = shortTag.finish();
    const std::vector<uint8_t> b = longTag.finish();
    ASSERT_EQ(b.size(), a.size() + 4);
    // 8 header bytes, a RECT of 5 + 4 * 6 bits (4 bytes), frame rate and count.
    EXPECT_EQ(a[16], (9 << 6 | 3) & 0xFF);
    EXPECT_EQ(a[17], (9 << 6) >> 8);
    EXPECT_EQ(a[18], 1);
    EXPECT_EQ(b[16], (9 << 6 | 63) & 0xFF);
    EXPECT_EQ(b[18], 3);
    EXPECT_EQ(b[19], 0);
    EXPECT_EQ(b[22], 1);
}

TEST(SwfWriter, SquareShapeRecords) {
    SwfWriter w(8192, 8192);
    w.beginShape(1);
    const int red = w.addSolidFill(0xFF0000);
    EXPECT_EQ(red, 1);
    w.addPolygon(red, {{1600, 1600}, {3200, 1600}, {3200, 3200}, {1600, 3200}});
    w.endShape();
    const std::vector<uint8_t> file = w.finish();
    // Tag header right after the 8 + 8 + 4 header bytes (RECT of 5 + 4 * 15 bits).
    size_t p = 8 + 9 + 4;
    const uint32_t header = file[p] | file[p + 1] << 8;
    EXPECT_EQ(header >> 6, 2u);
    const uint32_t length = header & 63;
    p += 2;
    EXPECT_EQ(p + length + 4, file.size());
    EXPECT_EQ(file[p], 1);  // shape id
    BitReader r{file, p + 2};
    const int n = static_cast<int>(r.bits(5));
    EXPECT_EQ(r.sbits(n), 1600);
    EXPECT_EQ(r.sbits(n), 3200);
    r.sbits(n);
    r.sbits(n);
    if (r.bit) {
        r.bit = 0;
        ++r.pos;
    }
    EXPECT_EQ(r.bits(8), 1u);  // one fill style
    EXPECT_EQ(r.bits(8), 0u);  // solid
    EXPECT_EQ(r.bits(24), 0xFF0000u);
    EXPECT_EQ(r.bits(8), 0u);  // no line styles
    EXPECT_EQ(r.bits(4), 1u);  // fill bits
    EXPECT_EQ(r.bits(4), 0u);  // line bits
    // Style change: move to (1600, 1600), fill0 = 0, fill1 = 1 (clockwise outline).
    EXPECT_EQ(r.bits(1), 0u);
    EXPECT_EQ(r.bits(5), 7u);
    const int m = static_cast<int>(r.bits(5));
    EXPECT_EQ(r.sbits(m), 1600);
    EXPECT_EQ(r.sbits(m), 1600);
    EXPECT_EQ(r.bits(1), 0u);
    EXPECT_EQ(r.bits(1), 1u);
    // Horizontal straight edge of +1600.
    EXPECT_EQ(r.bits(2), 3u);
    const int e = static_cast<int>(r.bits(4)) + 2;
    EXPECT_EQ(r.bits(2), 0u);
    EXPECT_EQ(r.sbits(e), 1600);
}
