#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "engine/sprite/Vdisplay.h"
#include "engine/sprite/Vilib.h"
#include "engine/sprite/Vsprite.h"
#include "tests/engine/sprite/FakePlatform.h"
#include "tests/engine/sprite/TempProgramDir.h"
#include "tools/formats/PackWriter.h"

using namespace fairholm;
using fairholm::formats::PackWriter;
using fairholm::test::FakePlatform;

namespace {

class ImagePackTest : public fairholm::test::TempProgramDir {
protected:
    void SetUp() override {
        TempProgramDir::SetUp();
        platform = make<FakePlatform>();
        display = make<Vdisplay>(platform);
    }

    Ref<Vilib> load(const std::vector<uint8_t>& bytes) {
        writeFile("pack.bin", bytes);
        return make<Vilib>(display, *lit("pack"));
    }

    // A pack holding one raw 'r' entry.
    Ref<Vilib> rawPicture(int w, int h, std::vector<uint8_t> data) {
        PackWriter writer;
        writer.addRaw('r', w, h, 0, 0, std::move(data));
        return load(writer.bytes());
    }

    std::vector<uint32_t> decode(int w, int h, std::vector<uint8_t> data) {
        Ref<Vilib> pack = rawPicture(w, h, std::move(data));
        Ref<Vpicture> picture = pack->loadPicture(0);
        std::vector<uint32_t> out;
        for (int32_t p : picture->pixels()) {
            out.push_back(static_cast<uint32_t>(p));
        }
        return out;
    }

    Ref<FakePlatform> platform;
    Ref<Vdisplay> display;
};

std::vector<uint8_t> varint(uint32_t v) {
    std::vector<uint8_t> out;
    PackWriter::putVarInt(out, v);
    return out;
}

}  // namespace

TEST(PackVarInt, WriterProducesTheDocumentedBytes) {
    EXPECT_EQ(varint(128), (std::vector<uint8_t>{0x81, 0x00}));
    EXPECT_EQ(varint(127), (std::vector<uint8_t>{0x7F}));
    EXPECT_EQ(varint(32769), (std::vector<uint8_t>{0x82, 0x80, 0x01}));
}

TEST_F(ImagePackTest, VarIntsDecodeInTheHeader) {
    // count 128 (0x81 0x00), buffer size 32769 (0x82 0x80 0x01), then one 'j' entry
    // of width 127; the other 127 entries lie past the end of the file.
    std::vector<uint8_t> bytes{0x81, 0x00, 0x82, 0x80, 0x01, 'j', 0x7F, 1, 0, 0};
    PackWriter::putVarInt(bytes, 623);
    bytes.push_back(0);
    bytes.resize(bytes.size() + 623, 0);
    Ref<Vilib> pack = load(bytes);
    EXPECT_EQ(pack->count(), 128);
    EXPECT_EQ(pack->jpegBuffer().length(), 32769);
    EXPECT_EQ(pack->getPicture(0)->width(), 127);
    EXPECT_EQ(pack->getPicture(127)->width(), 0);
}

TEST_F(ImagePackTest, MissingPackHasNoPictures) {
    Ref<Vilib> pack = make<Vilib>(display, *lit("nothing"));
    EXPECT_EQ(pack->count(), 0);
    EXPECT_EQ(pack->getPicture(0), nullptr);
    EXPECT_EQ(pack->loadPicture(0), nullptr);
    EXPECT_FALSE(pack->evict(1));
}

TEST_F(ImagePackTest, LiteralThenHistoryGivesTwoBluePixels) {
    EXPECT_EQ(decode(2, 1, {0x00, 0x1F, 0x96}), (std::vector<uint32_t>{0xFF0000F8u, 0xFF0000F8u}));
}

TEST_F(ImagePackTest, LiteralChannelsAreWidenedByThreeBits) {
    // 0x7FFF is white, 0x7C00 pure red, 0x03E0 pure green.
    EXPECT_EQ(decode(3, 1, {0x7F, 0xFF, 0x7C, 0x00, 0x03, 0xE0}),
              (std::vector<uint32_t>{0xFFF8F8F8u, 0xFFF80000u, 0xFF00F800u}));
}

TEST_F(ImagePackTest, HistoryBeforeAnyLiteralIsBlackEvenAfterAnotherDecode) {
    decode(1, 1, {0x00, 0x1F});  // leaves blue in the shared history
    EXPECT_EQ(decode(2, 1, {0x96, 0xFF}), (std::vector<uint32_t>{0xFF000000u, 0xFF000000u}));
}

TEST_F(ImagePackTest, HistoryIndexesAreAbsoluteAndWrapAfter106) {
    std::vector<uint8_t> data;
    for (int i = 0; i < 107; ++i) {
        data.push_back(0x00);
        data.push_back(static_cast<uint8_t>(i + 1));  // blue levels 1..107 (8 bits wrap)
    }
    data.push_back(0x96);  // entry 0 was overwritten by the 107th literal
    data.push_back(0x97);  // entry 1 still holds the second literal
    std::vector<uint32_t> px = decode(109, 1, data);
    EXPECT_EQ(px[107], px[106]);
    EXPECT_EQ(px[108], px[1]);
}

TEST_F(ImagePackTest, AlphaCodeAppliesToOnePixelOnly) {
    std::vector<uint32_t> px = decode(2, 1, {0x81, 0x00, 0x1F, 0x00, 0x1F});
    EXPECT_EQ(px[0] >> 29, 2u);
    EXPECT_EQ(px[0] & 0xFFFFFF, 0xF8u);
    EXPECT_EQ(px[1], 0xFF0000F8u);
}

TEST_F(ImagePackTest, LongSkipsKeepOrSetThePendingAlpha) {
    std::vector<uint32_t> keep = decode(20, 1, {0x81, 0x86, 0x0F, 0x00, 0x1F});
    for (int i = 0; i < 17; ++i) {
        EXPECT_EQ(keep[i], 0u);
    }
    EXPECT_EQ(keep[17] >> 29, 2u);  // level 2 from before the skip survives
    std::vector<uint32_t> set = decode(20, 1, {0x86, 0x0B, 0x00, 0x1F});
    EXPECT_EQ(set[16], 0u);
    EXPECT_EQ(set[17] >> 29, 3u);
    std::vector<uint32_t> shortSkip = decode(20, 1, {0x95, 0x00, 0x1F});
    EXPECT_EQ(shortSkip[14], 0u);
    EXPECT_EQ(shortSkip[15], 0xFF0000F8u);
}

TEST_F(ImagePackTest, CodesPastThePixelsAndCutCodesAreIgnored) {
    // Three pixels of data for a 2-pixel picture; then a literal cut in half.
    EXPECT_EQ(decode(2, 1, {0x00, 0x1F, 0x00, 0x1F, 0x00, 0x1F}),
              (std::vector<uint32_t>{0xFF0000F8u, 0xFF0000F8u}));
    EXPECT_EQ(decode(2, 1, {0x00, 0x1F, 0x00}), (std::vector<uint32_t>{0xFF0000F8u, 0}));
    EXPECT_EQ(decode(2, 1, {0x86, 0xFF, 0x00, 0x1F}), (std::vector<uint32_t>{0, 0}));
    EXPECT_EQ(decode(2, 1, {0x86}), (std::vector<uint32_t>{0, 0}));
}

TEST_F(ImagePackTest, UnknownTypeDecodesTransparent) {
    PackWriter writer;
    writer.addRaw('q', 2, 2, 0, 0, {0x00, 0x1F});
    Ref<Vilib> pack = load(writer.bytes());
    Ref<Vpicture> picture = pack->loadPicture(0);
    ASSERT_TRUE(picture->isDecoded());
    for (int32_t p : picture->pixels()) {
        EXPECT_EQ(p, 0);
    }
}

TEST_F(ImagePackTest, TwoJpegEntriesShareOnePrefix) {
    PackWriter writer;
    std::vector<uint8_t> prefix(623);
    for (int i = 0; i < 623; ++i) {
        prefix[static_cast<size_t>(i)] = static_cast<uint8_t>(i * 7);
    }
    writer.setJpegPrefix(prefix);
    writer.addJpeg(3, 2, 1, 1, {0xA1, 0xA2, 0xA3}, {});
    writer.addRaw('r', 1, 1, 0, 0, {0x00, 0x1F});
    writer.addJpeg(0x102, 0x201, 0, 0, {0xB1, 0xB2}, {0x0F});
    const std::vector<uint8_t> bytes = writer.bytes();
    // The first 'j' entry's length counts the prefix: 623 + 3 = 626 = 0x84 0x72.
    const uint8_t firstEntry[] = {'j', 3, 2, 1, 1, 0x84, 0x72, 0};
    EXPECT_EQ(std::memcmp(bytes.data() + 3, firstEntry, sizeof(firstEntry)), 0);
    Ref<Vilib> pack = load(bytes);
    ASSERT_EQ(pack->count(), 3);
    EXPECT_EQ(pack->jpegBuffer().length(), 626);
    EXPECT_EQ(pack->jpegBuffer()[622], prefix[622]);
    Ref<Vpicture> first = pack->getPicture(0);
    EXPECT_EQ(first->jpegLength(), 3);
    EXPECT_EQ(first->encoded().length(), 3);
    Ref<Vpicture> second = pack->getPicture(2);
    EXPECT_EQ(second->jpegLength(), 2);
    EXPECT_EQ(second->encoded().length(), 3);
    EXPECT_EQ(second->encoded()[2], 0x0F);
    // The raw entry in between was read in step.
    EXPECT_EQ(static_cast<uint32_t>(pack->loadPicture(1)->pixels()[0]), 0xFF0000F8u);

    pack->loadPicture(0);
    ASSERT_EQ(platform->jpegCalls, 1);
    ASSERT_EQ(platform->jpegLength, 626);
    EXPECT_EQ(platform->lastJpeg[100], prefix[100]);
    EXPECT_EQ(platform->lastJpeg[163], 0);  // height 2, big-endian
    EXPECT_EQ(platform->lastJpeg[164], 2);
    EXPECT_EQ(platform->lastJpeg[165], 0);  // width 3
    EXPECT_EQ(platform->lastJpeg[166], 3);
    EXPECT_EQ(platform->lastJpeg[625], 0xA3);
}

TEST_F(ImagePackTest, JpegWiderThanItsBufferIsNotDecoded) {
    PackWriter writer;
    writer.addJpeg(1, 1, 0, 0, {1, 2, 3}, {});
    writer.addJpeg(1, 1, 0, 0, {1, 2, 3, 4, 5}, {0x0F});
    writer.setJpegBufferSize(626);
    Ref<Vilib> pack = load(writer.bytes());
    platform->jpegFill = 0x00ABCDEF;
    pack->loadPicture(0);
    EXPECT_EQ(platform->jpegCalls, 1);
    Ref<Vpicture> big = pack->loadPicture(1);
    EXPECT_EQ(platform->jpegCalls, 1);
    EXPECT_EQ(static_cast<uint32_t>(big->pixels()[0]), 0xE0000000u);  // alpha only
}

TEST_F(ImagePackTest, AlphaRunsCoverThirtyTwoForZeroAndSetLevels) {
    PackWriter writer;
    // 0x00: 32 transparent; 0x0F: one pixel at level 7; 0x13: two pixels at level 3.
    writer.addJpeg(35, 1, 0, 0, {9}, {0x00, 0x0F, 0x13});
    Ref<Vilib> pack = load(writer.bytes());
    platform->jpegFill = 0x00123456;
    Ref<Vpicture> picture = pack->loadPicture(0);
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(picture->pixels()[i], 0);
    }
    EXPECT_EQ(static_cast<uint32_t>(picture->pixels()[32]), 0xE0123456u);
    EXPECT_EQ(static_cast<uint32_t>(picture->pixels()[33]), 0x60123456u);
    EXPECT_EQ(static_cast<uint32_t>(picture->pixels()[34]), 0x60123456u);
}

TEST_F(ImagePackTest, AlphaRunsStopAtThePixelCount) {
    std::vector<uint32_t> px(3, 0x00FFFFFF);
    const uint8_t runs[] = {0x00, 0x0F};
    Vilib::applyAlphaRuns(runs, 2, px.data(), 2);
    EXPECT_EQ(px[0], 0u);
    EXPECT_EQ(px[1], 0u);
    EXPECT_EQ(px[2], 0x00FFFFFFu);
}

TEST_F(ImagePackTest, DirectPathDrawsWithoutDecodingCachedPathWhenClipped) {
    PackWriter writer;
    std::vector<uint32_t> argb(12, 0xFF00FF00u);
    argb[5] = 0x40FF0000u;  // level 2
    argb[6] = 0;            // transparent
    writer.addRunLength(4, 3, 0, 0, argb);
    Ref<Vilib> pack = load(writer.bytes());
    IntArray fb = newIntArray(8 * 8);
    for (auto& p : fb) {
        p = 0x05000000 | 0x0000FF;
    }
    EXPECT_EQ(pack->drawImage(0, fb, 8, 8, 2, 3, 6, 6, 2 << 15, 3 << 15, 0x8000, 9, 0x8000), 0);
    EXPECT_FALSE(pack->getPicture(0)->isDecoded());
    EXPECT_EQ(static_cast<uint32_t>(fb[3 * 8 + 2]), 0x0000F800u);  // tag 0, opaque green
    EXPECT_EQ(static_cast<uint32_t>(fb[4 * 8 + 3]), blend::quarter(0x050000FF, 0xF80000));
    EXPECT_EQ(static_cast<uint32_t>(fb[4 * 8 + 4]), 0x050000FFu);  // untouched
    EXPECT_EQ(static_cast<uint32_t>(fb[2 * 8 + 2]), 0x050000FFu);
    EXPECT_EQ(static_cast<uint32_t>(fb[6 * 8 + 2]), 0x050000FFu);

    // Clipped by one pixel: decoded into memory and drawn from there, depth tested.
    for (auto& p : fb) {
        p = 0x0A0000FF;
    }
    fb[4 * 8 + 2] = 0x080000FF;  // nearer than depth 9: hidden
    EXPECT_EQ(pack->drawImage(0, fb, 8, 8, 2, 3, 5, 6, 2 << 15, 3 << 15, 0x8000, 9, 0x8000), 1);
    EXPECT_TRUE(pack->getPicture(0)->isDecoded());
    EXPECT_TRUE(pack->getPicture(0)->recentlyUsed());
    EXPECT_EQ(static_cast<uint32_t>(fb[3 * 8 + 2]), 0x0900F800u);
}

TEST_F(ImagePackTest, ADrawThatLeavesNothingInTheBufferStillDecodes) {
    PackWriter writer;
    writer.addRunLength(4, 3, 0, 0, std::vector<uint32_t>(12, 0xFF00FF00u));
    Ref<Vilib> pack = load(writer.bytes());
    IntArray fb = newIntArray(8 * 8);
    for (auto& p : fb) {
        p = 0x0A0000FF;
    }
    // An empty clip, and a clip wholly outside the buffer: nothing drawn, but decoded.
    EXPECT_EQ(pack->drawImage(0, fb, 8, 8, 2, 3, 2, 3, 2 << 15, 3 << 15, 0x8000, 9, 0x8000), 0);
    EXPECT_TRUE(pack->getPicture(0)->isDecoded());
    for (auto& p : fb) {
        EXPECT_EQ(p, 0x0A0000FF);
    }
    pack->getPicture(0)->releasePixels();
    EXPECT_EQ(pack->drawImage(0, fb, 8, 8, 20, 30, 24, 33, 20 << 15, 30 << 15, 0x8000, 9, 0x8000), 0);
    EXPECT_TRUE(pack->getPicture(0)->isDecoded());
    // So the next whole, unscaled draw is depth tested like the decoded picture it is.
    fb[3 * 8 + 2] = 0x080000FF;  // nearer than depth 9
    EXPECT_EQ(pack->drawImage(0, fb, 8, 8, 2, 3, 6, 6, 2 << 15, 3 << 15, 0x8000, 9, 0x8000), 1);
    EXPECT_EQ(static_cast<uint32_t>(fb[3 * 8 + 2]), 0x080000FFu);
    EXPECT_EQ(static_cast<uint32_t>(fb[3 * 8 + 3]), 0x0900F800u);
}

TEST_F(ImagePackTest, DirectAndCachedPathsAgreeAtDepthZero) {
    std::mt19937 random(7);
    const int w = 23;
    const int h = 17;
    std::vector<uint32_t> argb(static_cast<size_t>(w * h));
    for (auto& p : argb) {
        const uint32_t alphas[] = {0, 0, 0x20, 0x60, 0xA0, 0xFF, 0xFF, 0xFF};
        p = (alphas[random() % 8] << 24) | (random() & 0x00FFFFFF);
        if (random() % 3 == 0) {
            p = (p & 0xFF000000u) | 0x00336699;  // repeats give history hits
        }
    }
    PackWriter writer;
    writer.addRunLength(w, h, 0, 0, argb);
    writer.addRunLength(w, h, 0, 0, argb);
    Ref<Vilib> pack = load(writer.bytes());
    IntArray direct = newIntArray(40 * 30);
    IntArray cached = newIntArray(40 * 30);
    for (int32_t i = 0; i < direct.length(); ++i) {
        direct[i] = cached[i] = static_cast<int32_t>(i * 2654435761u) & 0x00FFFFFF;
    }
    pack->drawImage(0, direct, 40, 30, 5, 6, 5 + w, 6 + h, 5 << 15, 6 << 15, 0x8000, 0, 0x8000);
    EXPECT_FALSE(pack->getPicture(0)->isDecoded());
    pack->loadPicture(1);
    pack->drawImage(1, cached, 40, 30, 5, 6, 5 + w, 6 + h, 5 << 15, 6 << 15, 0x8000, 0, 0x8000);
    for (int32_t i = 0; i < direct.length(); ++i) {
        ASSERT_EQ(direct[i], cached[i]) << "pixel " << i;
    }
}

TEST_F(ImagePackTest, RoundTripReproducesQuantisedPixels) {
    std::mt19937 random(3);
    const int w = 61;
    const int h = 9;
    std::vector<uint32_t> argb(static_cast<size_t>(w * h));
    for (size_t i = 0; i < argb.size(); ++i) {
        const uint32_t a = (i / 20) % 3 == 0 ? 0 : static_cast<uint32_t>(random() & 0xFF);
        argb[i] = (a << 24) | (random() % 5 == 0 ? 0x00808080u : (random() & 0x00FFFFFF));
    }
    PackWriter writer;
    writer.addRunLength(w, h, 3, 4, argb);
    Ref<Vilib> pack = load(writer.bytes());
    Ref<Vpicture> picture = pack->loadPicture(0);
    EXPECT_EQ(picture->anchorX(), 3);
    EXPECT_EQ(picture->anchorY(), 4);
    for (size_t i = 0; i < argb.size(); ++i) {
        ASSERT_EQ(static_cast<uint32_t>(picture->pixels()[static_cast<int32_t>(i)]),
                  PackWriter::expectedPixel(argb[i]))
            << "pixel " << i;
    }
}

TEST(PackEncoder, ChoosesTheShortestCodes) {
    // A repeated colour is a one-byte history hit; black starts in the history.
    EXPECT_EQ(PackWriter::encodeRunLength(3, 1, {0xFF0000F8u, 0xFF0000F8u, 0xFF000000u}),
              (std::vector<uint8_t>{0x00, 0x1F, 0x96, 0x97}));
    // 17 transparent pixels then a level-3 pixel: the level rides in the long skip.
    std::vector<uint32_t> run(18, 0);
    run[17] = 0x6D0000F8u;
    EXPECT_EQ(PackWriter::encodeRunLength(18, 1, run), (std::vector<uint8_t>{0x86, 0x0B, 0x00, 0x1F}));
    // Short skip, alpha code, and trailing transparency left out.
    EXPECT_EQ(PackWriter::encodeRunLength(5, 1, {0, 0, 0x24FFFFFFu, 0, 0}),
              (std::vector<uint8_t>{0x88, 0x80, 0x7F, 0xFF}));
    // 50 transparent pixels: 47 in a long skip, 3 in a short one.
    std::vector<uint32_t> gap(51, 0);
    gap[50] = 0xFF000008u;
    EXPECT_EQ(PackWriter::encodeRunLength(51, 1, gap), (std::vector<uint8_t>{0x86, 0xFF, 0x89, 0x00, 0x01}));
}

TEST_F(ImagePackTest, FramesOutsideThePackAreRefused) {
    Ref<Vilib> pack = rawPicture(1, 1, {0x00, 0x1F});
    IntArray fb = newIntArray(4);
    EXPECT_EQ(pack->getPicture(-1), nullptr);
    EXPECT_EQ(pack->getPicture(1), nullptr);
    EXPECT_EQ(pack->loadPicture(1), nullptr);
    EXPECT_EQ(pack->drawImage(1, fb, 2, 2, 0, 0, 1, 1, 0, 0, 0x8000, 0, 0x8000), 0);
    EXPECT_EQ(fb[0], 0);
    Ref<Vsprite> sprite = make<Vsprite>();
    sprite->setImage(pack, 5);
    EXPECT_EQ(sprite->pack(), nullptr);
    sprite->setImage(pack, 0);
    EXPECT_EQ(sprite->pack(), pack.ptr());
    EXPECT_EQ(sprite->getWidth(), 1);
}

TEST_F(ImagePackTest, EvictClearsFlagsThenFreesOnTheSecondPass) {
    PackWriter writer;
    for (int i = 0; i < 3; ++i) {
        writer.addRaw('r', 2, 2, 0, 0, {0x00, 0x1F});
    }
    Ref<Vilib> pack = load(writer.bytes());
    for (int i = 0; i < 3; ++i) {
        pack->loadPicture(i);
    }
    EXPECT_TRUE(pack->evict(1));
    EXPECT_FALSE(pack->getPicture(0)->isDecoded());
    EXPECT_FALSE(pack->getPicture(1)->recentlyUsed());
    EXPECT_TRUE(pack->getPicture(1)->isDecoded());
    EXPECT_EQ(pack->evictCursor(), 0);
    // Needing more than everything frees the rest and reports failure.
    EXPECT_FALSE(pack->evict(1000));
    EXPECT_FALSE(pack->getPicture(1)->isDecoded());
    EXPECT_FALSE(pack->getPicture(2)->isDecoded());
    // A released image is the next candidate.
    pack->loadPicture(0);
    pack->loadPicture(2);
    pack->releaseImage(2);
    EXPECT_EQ(pack->evictCursor(), 2);
    EXPECT_TRUE(pack->evict(16));
    EXPECT_FALSE(pack->getPicture(2)->isDecoded());
    EXPECT_TRUE(pack->getPicture(0)->isDecoded());
}

TEST_F(ImagePackTest, SpriteReleaseImageMakesItsFrameTheNextCandidate) {
    PackWriter writer;
    writer.addRaw('r', 1, 1, 0, 0, {0x00, 0x1F});
    writer.addRaw('r', 1, 1, 0, 0, {0x00, 0x1F});
    Ref<Vilib> pack = load(writer.bytes());
    Ref<Vsprite> sprite = make<Vsprite>();
    sprite->setImage(pack, 1);
    pack->loadPicture(1);
    sprite->releaseImage();
    EXPECT_FALSE(pack->getPicture(1)->recentlyUsed());
    EXPECT_EQ(pack->evictCursor(), 1);
}

TEST_F(ImagePackTest, TruncatedPackKeepsWhatWasReadAndZeroFillsTheRest) {
    PackWriter writer;
    writer.addRaw('r', 4, 1, 0, 0, {0x00, 0x1F, 0x00, 0x1F, 0x7F, 0xFF, 0x7F, 0xFF});
    writer.addRaw('r', 2, 1, 0, 0, {0x00, 0x1F});
    std::vector<uint8_t> bytes = writer.bytes();
    bytes.resize(bytes.size() - 10);  // cut inside the first entry's data
    Ref<Vilib> pack = load(bytes);
    ASSERT_EQ(pack->count(), 2);
    Ref<Vpicture> first = pack->loadPicture(0);
    EXPECT_EQ(first->encoded().length(), 8);
    EXPECT_EQ(static_cast<uint32_t>(first->pixels()[0]), 0xFF0000F8u);
    EXPECT_EQ(static_cast<uint32_t>(first->pixels()[3]), 0xFF000000u);  // zeros decode as black literals
    Ref<Vpicture> second = pack->loadPicture(1);
    EXPECT_EQ(second->width(), 0);
    EXPECT_FALSE(second->isDecoded());
    IntArray fb = newIntArray(4);
    pack->drawImage(1, fb, 2, 2, 0, 0, 2, 2, 0, 0, 0x8000, 0, 0x8000);
}

TEST_F(ImagePackTest, HostilePacksAreRefusedCleanly) {
    // A count larger than any pack may hold.
    EXPECT_EQ(load({0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 0})->count(), 0);
    // An entry length of 2^28 with no data: refused, nothing allocated.
    std::vector<uint8_t> huge{1, 0, 'r', 1, 1, 0, 0, 0x81, 0x80, 0x80, 0x80, 0x00};
    Ref<Vilib> pack = load(huge);
    ASSERT_EQ(pack->count(), 1);
    EXPECT_EQ(pack->getPicture(0)->encoded().length(), 0);
    // A 32767 x 32767 picture is never decoded or drawn.
    PackWriter big;
    big.addRaw('r', 32767, 32767, 0, 0, {0x00, 0x1F});
    pack = load(big.bytes());
    EXPECT_FALSE(pack->loadPicture(0)->isDecoded());
    IntArray fb = newIntArray(16);
    EXPECT_EQ(pack->drawImage(0, fb, 4, 4, 0, 0, 4, 4, 0, 0, 0x8000, 0, 0x8000), 0);
    // Negative sizes (varints that wrap to negative 16-bit values).
    PackWriter negative;
    negative.addRaw('r', -3, 5, 0, 0, {0x00, 0x1F});
    pack = load(negative.bytes());
    EXPECT_EQ(pack->getPicture(0)->width(), -3);
    EXPECT_FALSE(pack->loadPicture(0)->isDecoded());
    // A JPEG buffer smaller than the prefix still holds the prefix.
    PackWriter tiny;
    tiny.addJpeg(1, 1, 0, 0, {1}, {});
    tiny.setJpegBufferSize(10);
    pack = load(tiny.bytes());
    EXPECT_EQ(pack->jpegBuffer().length(), 623);
    pack->loadPicture(0);
    EXPECT_EQ(platform->jpegCalls, 0);
}

TEST_F(ImagePackTest, DirectPathNeverLeavesTheClip) {
    // Skips and literals that run past the picture, drawn at the buffer's corner.
    std::vector<uint8_t> data;
    for (int i = 0; i < 40; ++i) {
        data.push_back(0x86);
        data.push_back(0xF8);
        data.push_back(0x7F);
        data.push_back(0xFF);
    }
    Ref<Vilib> pack = rawPicture(3, 2, data);
    IntArray fb = newIntArray(5 * 4);
    pack->drawImage(0, fb, 5, 4, 2, 2, 5, 4, 2 << 15, 2 << 15, 0x8000, 0, 0x8000);
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 5; ++x) {
            if (x < 2 || y < 2) {
                EXPECT_EQ(fb[y * 5 + x], 0) << x << "," << y;
            }
        }
    }
    // A clip that claims more than the buffer holds is cut to it first.
    IntArray small = newIntArray(6);
    pack->drawImage(0, small, 3, 2, 1, 1, 4, 3, 1 << 15, 1 << 15, 0x8000, 0, 0x8000);
}

TEST_F(ImagePackTest, PicturesBeyondThePacksPixelBudgetHaveNone) {
    // 59 pictures of 2047 x 2047 in a few hundred bytes: none may make the game allocate.
    PackWriter greedy;
    for (int i = 0; i < 59; ++i) {
        greedy.addRaw('r', 2047, 2047, 0, 0, {0x00, 0x1F});
    }
    Ref<Vilib> pack = load(greedy.bytes());
    ASSERT_EQ(pack->count(), 59);
    for (int i = 0; i < 59; ++i) {
        EXPECT_EQ(pack->getPicture(i)->width(), 0);
        EXPECT_EQ(pack->getPicture(i)->pixelCount(), 0);
    }
    // Pictures of a million pixels each: the first four fit the pack's budget.
    PackWriter large;
    for (int i = 0; i < 5; ++i) {
        large.addRaw('r', 1000, 1000, 0, 0, {0x00, 0x1F});
    }
    pack = load(large.bytes());
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(pack->getPicture(i)->width(), 1000) << i;
    }
    EXPECT_EQ(pack->getPicture(4)->width(), 0);
}
