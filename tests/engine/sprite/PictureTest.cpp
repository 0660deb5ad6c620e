#include <gtest/gtest.h>

#include <vector>

#include "engine/sprite/Vpicture.h"

using namespace fairholm;

namespace {

Ref<Vpicture> picture(int32_t w, int32_t h, const std::vector<uint32_t>& px) {
    Ref<Vpicture> p = make<Vpicture>();
    p->setSize(w, h);
    IntArray pixels = newIntArray(w * h);
    for (int32_t i = 0; i < w * h; ++i) {
        pixels[i] = static_cast<int32_t>(px[static_cast<size_t>(i)]);
    }
    p->setPixels(pixels);
    return p;
}

IntArray filled(int32_t n, uint32_t value) {
    IntArray a = newIntArray(n);
    for (auto& p : a) {
        p = static_cast<int32_t>(value);
    }
    return a;
}

uint32_t at(const IntArray& a, int32_t i) {
    return static_cast<uint32_t>(a[i]);
}

constexpr uint32_t opaque(uint32_t rgb) {
    return 0xE0000000u | rgb;
}
constexpr uint32_t level(uint32_t l, uint32_t rgb) {
    return (l << 29) | rgb;
}

}  // namespace

TEST(PictureBlend, QuarterStepsByLevel) {
    const uint32_t d = 0x00804020;
    const uint32_t s = 0x0040C0FF;
    for (uint32_t l = 1; l <= 7; ++l) {
        IntArray fb = filled(1, 0x03000000u | d);  // tag equal to the depth: drawn
        picture(1, 1, {level(l, s)})->draw(fb, 1, 1, 0, 0, 1, 1, 0, 0, 0x8000, 3, 0x8000);
        uint32_t expected;
        if (l == 7) {
            expected = s;
        } else if (l >= 5) {
            expected = ((d >> 2) & 0x3F3F3F) + ((s >> 2) & 0x3F3F3F) + ((s >> 1) & 0x7F7F7F);
        } else if (l >= 3) {
            expected = ((d >> 1) & 0x7F7F7F) + ((s >> 1) & 0x7F7F7F);
        } else {
            expected = ((d >> 2) & 0x3F3F3F) + ((s >> 2) & 0x3F3F3F) + ((d >> 1) & 0x7F7F7F);
        }
        EXPECT_EQ(at(fb, 0), 0x03000000u | expected) << "level " << l;
    }
}

TEST(PictureDepth, TagTenDrawnAtTenHiddenAtEleven) {
    IntArray fb = filled(1, 0x0A000000);
    Ref<Vpicture> p = picture(1, 1, {opaque(0x123456)});
    EXPECT_EQ(p->draw(fb, 1, 1, 0, 0, 1, 1, 0, 0, 0x8000, 10, 0x8000), 0);
    EXPECT_EQ(at(fb, 0), 0x0A123456u);
    fb[0] = 0x0A000000;
    EXPECT_EQ(p->draw(fb, 1, 1, 0, 0, 1, 1, 0, 0, 0x8000, 11, 0x8000), 1);
    EXPECT_EQ(at(fb, 0), 0x0A000000u);
}

TEST(PictureDepth, TransparentPixelsAreNeverCountedAsHidden) {
    IntArray fb = filled(2, 0x01000000);
    Ref<Vpicture> p = picture(2, 1, {0x00FFFFFF, opaque(0xFF)});
    EXPECT_EQ(p->draw(fb, 2, 1, 0, 0, 2, 1, 0, 0, 0x8000, 200, 0x8000), 1);
}

TEST(PictureOpacity, HalfOpacityMakesOpaqueAHalfBlendAfterTheDepthTest) {
    IntArray fb = filled(1, 0x00000000);
    Ref<Vpicture> p = picture(1, 1, {opaque(0xFEFEFE)});
    p->draw(fb, 1, 1, 0, 0, 1, 1, 0, 0, 0x8000, 0, 0x4000);
    EXPECT_EQ(at(fb, 0), 0x007F7F7Fu);
    // Level 1 at half opacity drops to 0 and is still drawn at one quarter.
    fb[0] = 0;
    picture(1, 1, {level(1, 0xFCFCFC)})->draw(fb, 1, 1, 0, 0, 1, 1, 0, 0, 0x8000, 0, 0x4000);
    EXPECT_EQ(at(fb, 0), 0x003F3F3Fu);
    // The depth test still hides before opacity matters.
    fb[0] = 0x02000000;
    EXPECT_EQ(p->draw(fb, 1, 1, 0, 0, 1, 1, 0, 0, 0x8000, 5, 0x4000), 1);
}

TEST(PictureScale, ZeroScaleDrawsNothingAndAnswersOne) {
    IntArray fb = filled(1, 7);
    EXPECT_EQ(picture(1, 1, {opaque(1)})->draw(fb, 1, 1, 0, 0, 1, 1, 0, 0, 0, 0, 0x8000), 1);
    EXPECT_EQ(fb[0], 7);
}

TEST(PictureScale, HalfScaleTakesEverySecondPixelAndRow) {
    std::vector<uint32_t> px(16);
    for (uint32_t i = 0; i < 16; ++i) {
        px[i] = opaque(i + 1);
    }
    Ref<Vpicture> p = picture(4, 4, px);
    IntArray fb = filled(9, 0x00FFFFFF);
    p->draw(fb, 3, 3, 0, 0, 2, 2, 0, 0, 0x4000, 0, 0x8000);
    EXPECT_EQ(at(fb, 0), 1u);
    EXPECT_EQ(at(fb, 1), 3u);
    EXPECT_EQ(at(fb, 3), 9u);
    EXPECT_EQ(at(fb, 4), 11u);
    EXPECT_EQ(at(fb, 2), 0x00FFFFFFu);
}

TEST(PictureScale, DoubleScaleCoversTwoByTwo) {
    Ref<Vpicture> p = picture(2, 2, {opaque(1), opaque(2), opaque(3), opaque(4)});
    IntArray fb = filled(16, 0);
    p->draw(fb, 4, 4, 0, 0, 4, 4, 0, 0, 0x10000, 0, 0x8000);
    const uint32_t expected[16] = {1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4, 3, 3, 4, 4};
    for (int32_t i = 0; i < 16; ++i) {
        EXPECT_EQ(at(fb, i), expected[i]) << i;
    }
}

TEST(PictureScale, FractionalPositionAndClipOffsets) {
    Ref<Vpicture> p = picture(3, 1, {opaque(1), opaque(2), opaque(3)});
    IntArray fb = filled(5, 0);
    // Drawn at x = 1.5, clip starting at column 2: source column (2 - 1.5) = 0.5 -> 0.
    p->draw(fb, 5, 1, 2, 0, 5, 1, 0xC000, 0, 0x8000, 0, 0x8000);
    EXPECT_EQ(at(fb, 1), 0u);
    EXPECT_EQ(at(fb, 2), 1u);
    EXPECT_EQ(at(fb, 4), 3u);
    // A clip wider than the picture reads nothing outside it.
    IntArray wide = filled(10, 0);
    p->draw(wide, 10, 1, 0, 0, 10, 1, 2 << 15, 0, 0x8000, 0, 0x8000);
    EXPECT_EQ(at(wide, 1), 0u);
    EXPECT_EQ(at(wide, 2), 1u);
    EXPECT_EQ(at(wide, 5), 0u);
    IntArray scaled = filled(10, 0);
    p->draw(scaled, 10, 1, 0, 0, 10, 1, 1 << 15, 0, 0x6000, 0, 0x8000);
    EXPECT_EQ(at(scaled, 0), 0u);
    EXPECT_EQ(at(scaled, 1), 1u);
    EXPECT_EQ(at(scaled, 9), 0u);
}

TEST(PictureBadInput, ClipOutsideTheBufferAndMissingPixels) {
    Ref<Vpicture> p = picture(2, 2, {opaque(1), opaque(2), opaque(3), opaque(4)});
    IntArray fb = filled(4, 0);
    p->draw(fb, 2, 2, -3, -3, 10, 10, -3 << 15, -3 << 15, 0x8000, 0, 0x8000);
    EXPECT_EQ(at(fb, 0), 0u);
    Ref<Vpicture> empty = make<Vpicture>();
    empty->setSize(2, 2);
    EXPECT_EQ(empty->draw(fb, 2, 2, 0, 0, 2, 2, 0, 0, 0x8000, 0, 0x8000), 0);
    empty->drawShadow(fb, 2, 2, 0, 0, 2, 2, 0, 0, 0x8000, 0, 0x8000);
    // Pixels of the wrong length are not taken.
    empty->setPixels(newIntArray(3));
    EXPECT_FALSE(empty->isDecoded());
}

TEST(PictureShadow, OpacityTinyDarkensToThreeQuartersOnlyOverItsDepthBand) {
    Ref<Vpicture> p = picture(1, 2, {opaque(0), opaque(0)});
    IntArray fb = newIntArray(6);
    const uint32_t tags[6] = {4, 5, 8, 9, 3, 5};
    for (int32_t i = 0; i < 6; ++i) {
        fb[i] = static_cast<int32_t>((tags[i] << 24) | 0x808080);
    }
    // One column, picture one pixel wide, drawn at depth 5 over a 1 x 6 strip.
    p->drawShadow(fb, 1, 6, 0, 0, 1, 1, 0, 0, 0x8000, 5, 0x80);
    EXPECT_EQ(at(fb, 0), 0x04808080u);  // tag 4 is outside 5..8
    IntArray band = newIntArray(4);
    for (int32_t i = 0; i < 4; ++i) {
        band[i] = static_cast<int32_t>(((5u + static_cast<uint32_t>(i) * 2) << 24) | 0x808080);
    }
    // 4 x 1 strip, picture at x = 0 covering every column of row 0 (scale 4).
    Ref<Vpicture> wide = picture(4, 1, {opaque(0), opaque(0), opaque(0), opaque(0)});
    wide->drawShadow(band, 4, 1, 0, 0, 4, 1, 0, 0, 0x8000, 5, 0x80);
    EXPECT_EQ(at(band, 0), 0x05606060u);  // tag 5: three quarters
    EXPECT_EQ(at(band, 1), 0x05606060u);  // tag 7
    EXPECT_EQ(at(band, 2), 0x09808080u);  // tag 9: outside the band
    EXPECT_EQ(at(band, 3), 0x0B808080u);
}

TEST(PictureShadow, HalfHeightLeaningRightAndLevels) {
    // A 2 x 4 picture: rows 0 and 2 are what a half-height shadow samples.
    Ref<Vpicture> p = picture(
        2, 4, {opaque(0), 0, level(4, 0), level(4, 0), opaque(0), opaque(0), level(1, 0), level(1, 0)});
    IntArray fb = filled(4 * 3, 0x00808080);
    p->drawShadow(fb, 4, 3, 0, 0, 4, 3, 0, 0, 0x8000, 0, 0x8000);
    // Row 0: source row 0 at columns 0..1: level 7 -> quarter, transparent skipped.
    EXPECT_EQ(at(fb, 0), 0x00202020u);
    EXPECT_EQ(at(fb, 1), 0x00808080u);
    // Row 1: source row 2, one pixel to the right.
    EXPECT_EQ(at(fb, 4), 0x00808080u);
    EXPECT_EQ(at(fb, 5), 0x00202020u);
    EXPECT_EQ(at(fb, 6), 0x00202020u);
    EXPECT_EQ(at(fb, 7), 0x00808080u);
    // Row 2 is beyond the picture's half height: untouched.
    EXPECT_EQ(at(fb, 10), 0x00808080u);
}
