#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "engine/render3d/Vpolyn.h"
#include "engine/render3d/Vswf.h"
#include "runtime/ProgramDirectory.h"
#include "tools/formats/SwfBits.h"
#include "tools/formats/SwfWriter.h"

using namespace fairholm;
namespace fs = std::filesystem;

namespace {

constexpr fixed px(int32_t pixels) {
    return pixels << 15;
}
constexpr int32_t kRed = 0xFF0000;

class VswfTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("fairholm-swf-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        ASSERT_TRUE(ProgramDirectory::set(dir.c_str()));
    }
    void TearDown() override { fs::remove_all(dir); }

    void save(const std::string& name, const std::vector<uint8_t>& bytes) {
        std::FILE* f = std::fopen((dir / name).c_str(), "wb");
        ASSERT_NE(f, nullptr);
        if (!bytes.empty()) {
            ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
        }
        std::fclose(f);
    }

    // Loads `bytes` as a file into a fresh picture.
    Ref<Vpolyn> load(const std::vector<uint8_t>& bytes, int32_t size = 512, angle turn = 0,
                     int32_t palette = 8) {
        save("shape", bytes);
        Ref<Vpolyn> picture = make<Vpolyn>();
        Ref<Vswf> reader = make<Vswf>();
        reader->load(picture, *lit("shape"), size, size, 1024, palette, turn);
        return picture;
    }

    fs::path dir;
};

// The red square from (1600, 1600) to (3200, 3200) twips in an 8192-twip frame.
std::vector<uint8_t> redSquareFile(int form = 1, uint32_t color = kRed) {
    SwfWriter w(8192, 8192);
    w.beginShape(form);
    const int fill = w.addSolidFill(color);
    w.addPolygon(fill, {{1600, 1600}, {3200, 1600}, {3200, 3200}, {1600, 3200}});
    w.endShape();
    return w.finish();
}

std::vector<int32_t> paint(const Vpolyn& p, int32_t size, int32_t background) {
    IntArray pixels = newIntArray(size * size);
    std::fill(pixels.begin(), pixels.end(), background);
    p.paintShapes(pixels, size, size, 0, 0, size, size, 0, 0, 0x8000);
    return std::vector<int32_t>(pixels.begin(), pixels.end());
}

// Checks that exactly the pixels in [l, r) x [t, b) have `inside` and all others
// `outside`.
void expectBox(const std::vector<int32_t>& pixels, int32_t size, int32_t l, int32_t t, int32_t r, int32_t b,
               int32_t inside, int32_t outside) {
    for (int32_t y = 0; y < size; ++y) {
        for (int32_t x = 0; x < size; ++x) {
            const bool in = x >= l && x < r && y >= t && y < b;
            ASSERT_EQ(pixels[static_cast<size_t>(y * size + x)], in ? inside : outside) << x << "," << y;
        }
    }
}

}  // namespace

TEST_F(VswfTest, RedSquareInAnEightThousandTwipFrame) {
    save("square", redSquareFile());
    Ref<Vpolyn> picture = make<Vpolyn>();
    Ref<Vswf> reader = make<Vswf>();
    reader->load(picture, *lit("square"), 512, 512, 12469, 48, 0);
    EXPECT_EQ(reader->m11(), 2048);
    EXPECT_EQ(reader->m22(), 2048);
    EXPECT_EQ(reader->m12(), 0);
    EXPECT_EQ(reader->frameRect(1), 3200);  // the shape bounds were read last
    EXPECT_EQ(picture->paletteColor(1), kRed);
    EXPECT_EQ(picture->paletteUsed(), 2);
    EXPECT_EQ(picture->edgeCount(), 200);
    EXPECT_EQ(picture->colorAt(px(150), px(150)), kRed);
    EXPECT_EQ(picture->colorAt(px(100), px(100)), kRed);
    EXPECT_EQ(picture->colorAt(px(100) - 1, px(150)), 0);
    EXPECT_EQ(picture->colorAt(px(200), px(150)), 0);
    expectBox(paint(*picture, 512, 0x0000FF), 512, 100, 100, 200, 200, kRed, 0x0000FF);
    EXPECT_FALSE(reader->target().isNull());
}

TEST_F(VswfTest, QuarterTurnTurnsAboutTheCentre) {
    Ref<Vpolyn> picture = load(redSquareFile(), 512, 8192);
    EXPECT_EQ(picture->colorAt(px(360), px(150)), kRed);
    EXPECT_EQ(picture->colorAt(px(150), px(150)), 0);
    expectBox(paint(*picture, 512, 0), 512, 312, 100, 412, 200, kRed, 0);
    // Half a turn puts it at the bottom right.
    Ref<Vpolyn> half = load(redSquareFile(), 512, 16384);
    EXPECT_EQ(half->colorAt(px(360), px(360)), kRed);
    EXPECT_EQ(half->colorAt(px(150), px(150)), 0);
}

TEST_F(VswfTest, ScaledToTheTargetWidth) {
    Ref<Vpolyn> picture = load(redSquareFile(), 128);
    expectBox(paint(*picture, 128, 0), 128, 25, 25, 50, 50, kRed, 0);
}

TEST_F(VswfTest, ThirdFormReadsAlphaFirstFormBlackIsNoFill) {
    Ref<Vpolyn> black = load(redSquareFile(3, 0xFF000000));
    EXPECT_EQ(black->paletteColor(1), static_cast<int32_t>(0xFF000000));
    EXPECT_EQ(black->colorAt(px(150), px(150)), static_cast<int32_t>(0xFF000000));
    expectBox(paint(*black, 512, 0xFFFFFF), 512, 100, 100, 200, 200, static_cast<int32_t>(0xFF000000),
              0xFFFFFF);

    Ref<Vpolyn> none = load(redSquareFile(1, 0x000000));
    EXPECT_EQ(none->paletteUsed(), 1);  // colour 0 is entry 0
    EXPECT_EQ(none->colorAt(px(150), px(150)), 0);
    const std::vector<int32_t> pixels = paint(*none, 512, 0x123456);
    EXPECT_TRUE(std::all_of(pixels.begin(), pixels.end(), [](int32_t v) { return v == 0x123456; }));

    // The second form has no alpha byte: a following style stays in step.
    SwfWriter w(8192, 8192);
    w.beginShape(2);
    w.addSolidFill(0x00FF00);
    const int red = w.addSolidFill(kRed);
    w.addPolygon(red, {{1600, 1600}, {3200, 1600}, {3200, 3200}, {1600, 3200}});
    w.endShape();
    Ref<Vpolyn> second = load(w.finish());
    EXPECT_EQ(second->colorAt(px(150), px(150)), kRed);
}

TEST_F(VswfTest, LongTagLengthsAreSkipped) {
    SwfWriter w(8192, 8192);
    // Bodies that would read as shapes if the reader lost its place.
    std::vector<uint8_t> junk(300, 0xFF);
    w.addTag(9, {1, 2, 3}, true);
    w.addTag(77, junk, true);
    w.addTag(12, std::vector<uint8_t>(62, 0xAA));
    w.addTag(12, {}, true);
    const std::vector<uint8_t> square = redSquareFile();
    w.beginShape(1);
    const int fill = w.addSolidFill(kRed);
    w.addPolygon(fill, {{1600, 1600}, {3200, 1600}, {3200, 3200}, {1600, 3200}});
    w.endShape();
    Ref<Vpolyn> picture = load(w.finish());
    EXPECT_EQ(picture->edgeCount(), 200);
    expectBox(paint(*picture, 512, 0), 512, 100, 100, 200, 200, kRed, 0);
}

TEST_F(VswfTest, ShapeTagInLongFormAndEndTagStops) {
    // A shape tag written with the 32-bit length, and a shape after the end tag.
    SwfWriter inner(8192, 8192);
    inner.beginShape(1);
    inner.addPolygon(inner.addSolidFill(kRed), {{1600, 1600}, {3200, 1600}, {3200, 3200}, {1600, 3200}});
    inner.endShape();
    const std::vector<uint8_t> file = inner.finish();
    // Header 21 bytes, then the short shape tag header and its body.
    const size_t bodyLength = file[21] & 63;
    std::vector<uint8_t> body(file.begin() + 23, file.begin() + 23 + static_cast<long>(bodyLength));
    SwfWriter w(8192, 8192);
    w.addTag(2, body, true);
    w.addTag(0, {});
    w.beginShape(1);
    w.addPolygon(w.addSolidFill(0x00FF00), {{0, 0}, {8000, 0}, {8000, 8000}, {0, 8000}});
    w.endShape();
    Ref<Vpolyn> picture = load(w.finish());
    EXPECT_EQ(picture->colorAt(px(150), px(150)), kRed);
    EXPECT_EQ(picture->colorAt(px(300), px(300)), 0);
    EXPECT_EQ(picture->paletteUsed(), 2);
}

TEST_F(VswfTest, GradientAndBitmapFillsDrawNothingButAdvanceThePen) {
    SwfWriter w(8192, 8192);
    w.beginShape(1);
    const int gradient = w.addGradientFill(0xFF0000, 0x0000FF);
    const int bitmap = w.addBitmapFill(3);
    const int red = w.addSolidFill(kRed);
    w.moveTo(800, 800);
    w.setFills(0, gradient);
    w.lineTo(1600, 800);
    w.lineTo(1600, 1600);
    w.lineTo(800, 1600);
    w.lineTo(800, 800);
    w.setFills(0, bitmap);
    w.lineTo(800, 2400);
    w.lineTo(800, 800);
    // No move: the pen is where the records above left it.
    w.setFills(0, 0);
    w.lineTo(3200, 3200);
    w.setFills(0, red);
    w.lineTo(4800, 3200);
    w.lineTo(4800, 4800);
    w.lineTo(3200, 4800);
    w.lineTo(3200, 3200);
    w.endShape();
    Ref<Vpolyn> picture = load(w.finish());
    EXPECT_EQ(picture->paletteUsed(), 2);
    EXPECT_EQ(picture->paletteColor(1), kRed);
    EXPECT_EQ(picture->colorAt(px(75), px(75)), 0);
    EXPECT_EQ(picture->colorAt(px(250), px(250)), kRed);
    expectBox(paint(*picture, 512, 0), 512, 200, 200, 300, 300, kRed, 0);
}

TEST_F(VswfTest, MissingFileTracesAndLeavesAnEmptyPicture) {
    Ref<Vpolyn> picture = make<Vpolyn>();
    Ref<Vswf> reader = make<Vswf>();
    const int32_t key = picture->storedLayoutKey();
    ::testing::internal::CaptureStdout();
    reader->load(picture, *lit("not-there"), 64, 64, 100, 4, 0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Could not open \n");
    EXPECT_NE(picture->storedLayoutKey(), key);  // shown as changed
    EXPECT_EQ(picture->endShape(), 0);
    EXPECT_EQ(picture->colorAt(px(10), px(10)), 0);
    std::vector<int32_t> pixels = paint(*picture, 64, 0x55);
    EXPECT_TRUE(std::all_of(pixels.begin(), pixels.end(), [](int32_t v) { return v == 0x55; }));
    // The same reader loads a good file afterwards.
    save("square", redSquareFile());
    ::testing::internal::CaptureStdout();
    reader->load(picture, *lit("square"), 512, 512, 100, 4, 0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(picture->colorAt(px(150), px(150)), kRed);
}

TEST_F(VswfTest, CurvesFollowTheCircle) {
    // A circle of radius 100 pixels (1600 twips) around (256, 256) from eight
    // quadratic arcs; control points at r / cos(22.5 degrees).
    const double r = 1600.0;
    const double c = r / std::cos(M_PI / 8);
    SwfWriter w(8192, 8192);
    w.beginShape(1);
    const int red = w.addSolidFill(kRed);
    w.moveTo(4096 + 1600, 4096);
    w.setFills(red, 0);  // counter-clockwise on screen
    for (int i = 0; i < 8; ++i) {
        const double a0 = -M_PI / 4 * i;
        const double am = a0 - M_PI / 8;
        const double a1 = a0 - M_PI / 4;
        w.curveTo(4096 + static_cast<int32_t>(std::lround(c * std::cos(am))),
                  4096 + static_cast<int32_t>(std::lround(c * std::sin(am))),
                  4096 + static_cast<int32_t>(std::lround(r * std::cos(a1))),
                  4096 + static_cast<int32_t>(std::lround(r * std::sin(a1))));
    }
    w.endShape();
    Ref<Vpolyn> picture = load(w.finish());
    for (int32_t y = 0; y < 512; ++y) {
        const int32_t n = picture->rowEnd(y) - picture->rowStart(y);
        ASSERT_EQ(n, (y >= 156 && y < 356) ? 2 : 0) << y;
    }
    for (int a = 0; a < 360; a += 5) {
        const double t = a * M_PI / 180;
        const auto at = [&](double radius) {
            return picture->colorAt(static_cast<fixed>((256 + radius * std::cos(t)) * 32768),
                                    static_cast<fixed>((256 + radius * std::sin(t)) * 32768));
        };
        EXPECT_EQ(at(98), kRed) << a;
        EXPECT_EQ(at(102), 0) << a;
    }
    const std::vector<int32_t> pixels = paint(*picture, 512, 0);
    double area = 0;
    for (int32_t v : pixels) {
        if (v == kRed) {
            area += 1;
        } else if (v != 0) {
            area += ((v >> 16) & 0xFF) / 255.0;  // blended edge pixels over black
        }
    }
    EXPECT_NEAR(area, M_PI * 100 * 100, M_PI * 100 * 100 * 0.01);
}

TEST_F(VswfTest, MoveToSeveralShapesAndNewStyles) {
    SwfWriter w(8192, 8192);
    w.beginShape(1);
    const int red = w.addSolidFill(kRed);
    w.addPolygon(red, {{0, 0}, {800, 0}, {800, 800}, {0, 800}});
    w.addPolygon(red, {{1600, 0}, {2400, 0}, {2400, 800}, {1600, 800}});
    w.endShape();
    w.beginShape(2);
    const int blue = w.addSolidFill(0x0000FF);
    w.addPolygon(blue, {{0, 1600}, {800, 1600}, {800, 2400}, {0, 2400}});
    w.newStyles();
    const int green = w.addSolidFill(0x00FF00);
    const int red2 = w.addSolidFill(kRed);
    w.addPolygon(green, {{1600, 1600}, {2400, 1600}, {2400, 2400}, {1600, 2400}});
    w.addPolygon(red2, {{3200, 1600}, {4000, 1600}, {4000, 2400}, {3200, 2400}});
    w.endShape();
    Ref<Vpolyn> picture = load(w.finish());
    EXPECT_EQ(picture->paletteUsed(), 4);  // red is found again
    EXPECT_EQ(picture->colorAt(px(25), px(25)), kRed);
    EXPECT_EQ(picture->colorAt(px(75), px(25)), 0);
    EXPECT_EQ(picture->colorAt(px(125), px(25)), kRed);
    EXPECT_EQ(picture->colorAt(px(25), px(125)), 0x0000FF);
    EXPECT_EQ(picture->colorAt(px(125), px(125)), 0x00FF00);
    EXPECT_EQ(picture->colorAt(px(225), px(125)), kRed);
}

namespace {

// A file whose shape has the styles [red, green], then new styles [blue] with 2 fill
// bits, and a square at (1600, 1600)..(3200, 3200) twips filled with style `fill`.
std::vector<uint8_t> shorterStyleArrayFile(uint32_t fill) {
    SwfBits body;
    body.u16(1);
    body.rect(0, 0, 0, 0);
    body.u8(2);
    body.u8(0);
    body.color(kRed, false);
    body.u8(0);
    body.color(0x00FF00, false);
    body.u8(0);
    body.bits(2, 4);
    body.bits(0, 4);
    body.bits(0, 1);
    body.bits(16, 5);  // new styles
    body.u8(1);
    body.u8(0);
    body.color(0x0000FF, false);
    body.u8(0);
    body.bits(2, 4);
    body.bits(0, 4);
    body.bits(0, 1);
    body.bits(5, 5);  // move and fill1
    body.bits(15, 5);
    body.signedBits(1600, 15);
    body.signedBits(1600, 15);
    body.bits(fill, 2);
    const auto edge = [&](bool vertical, int32_t d) {
        body.bits(3, 2);
        body.bits(10, 4);
        body.bits(0, 1);
        body.bits(vertical ? 1 : 0, 1);
        body.signedBits(d, 12);
    };
    edge(false, 1600);
    edge(true, 1600);
    edge(false, -1600);
    edge(true, -1600);
    body.bits(0, 6);
    const std::vector<uint8_t> shape = body.take();
    SwfWriter w(8192, 8192);
    w.addTag(22, shape);
    return w.finish();
}

}  // namespace

TEST_F(VswfTest, StylesOfAnEarlierArrayAreGone) {
    EXPECT_EQ(load(shorterStyleArrayFile(1))->colorAt(px(150), px(150)), 0x0000FF);
    Ref<Vpolyn> stale = load(shorterStyleArrayFile(2));
    EXPECT_EQ(stale->colorAt(px(150), px(150)), 0);
    EXPECT_EQ(stale->paletteUsed(), 4);  // red, green and blue were all read
}

TEST_F(VswfTest, MoreColoursThanThePaletteHolds) {
    SwfWriter w(8192, 8192);
    w.beginShape(1);
    for (int i = 0; i < 5; ++i) {
        const int fill = w.addSolidFill(0x100000u * static_cast<uint32_t>(i + 1));
        w.addPolygon(fill, {{i * 1600, 0}, {i * 1600 + 800, 0}, {i * 1600 + 800, 800}, {i * 1600, 800}});
    }
    w.endShape();
    Ref<Vpolyn> picture = load(w.finish(), 512, 0, 3);
    EXPECT_EQ(picture->paletteUsed(), 3);
    EXPECT_EQ(picture->colorAt(px(25), px(25)), 0x100000);
    EXPECT_EQ(picture->colorAt(px(125), px(25)), 0x200000);
    EXPECT_EQ(picture->colorAt(px(225), px(25)), 0);
    EXPECT_EQ(picture->colorAt(px(425), px(25)), 0);
}

TEST_F(VswfTest, ShapesBeyondThePictureAreClamped) {
    // A frame narrower than the shapes: x runs past 8191/16 pixels and below 0.
    SwfWriter w(4096, 4096);
    w.beginShape(1);
    const int red = w.addSolidFill(kRed);
    w.addPolygon(red, {{-2000, 100}, {9000, 100}, {9000, 3000}, {-2000, 3000}});
    w.endShape();
    Ref<Vpolyn> picture = load(w.finish());
    EXPECT_EQ(picture->colorAt(px(0), px(100)), kRed);
    EXPECT_EQ(picture->colorAt(px(511), px(100)), kRed);
    EXPECT_EQ(picture->colorAt(px(100), px(5)), 0);
}

TEST_F(VswfTest, LineDistance) {
    Ref<Vswf> r = make<Vswf>();
    EXPECT_EQ(r->lineDistanceSq(0, 0, 0, 0, 10, 0), 0);
    EXPECT_EQ(r->lineDistanceSq(10, 0, 0, 0, 10, 0), 0);
    EXPECT_EQ(r->lineDistanceSq(5, 5, 3, 3, 3, 3), 0x7FFFFFFF);
    EXPECT_EQ(r->lineDistanceSq(5, 3, 0, 0, 10, 0), 9);
    EXPECT_EQ(r->lineDistanceSq(5, 0, 0, 0, 10, 0), 0);
    EXPECT_EQ(r->lineDistanceSq(-1, 2, 0, 0, 10, 0), 0x7FFFFFFF);
    EXPECT_EQ(r->lineDistanceSq(11, 2, 0, 0, 10, 0), 0x7FFFFFFF);
    EXPECT_EQ(r->lineDistanceSq(3, 1, 0, 0, 4, 4), 2);
    // Large pixel values stay within range.
    EXPECT_EQ(r->lineDistanceSq(0, 60000, -65536, 0, 65535, 0), 0x7FFFFFFF);
    EXPECT_GE(r->lineDistanceSq(INT32_MAX, INT32_MIN, INT32_MIN, 0, INT32_MAX, 0), 0);
}

namespace {

// Reads a fixed sequence of fields in place of the tag loop.
class FieldProbe : public Vswf {
public:
    void readTags() override {
        bits3 = readBits(3);
        signed4 = readSignedBits(4);
        byte = readU8();
        half = readU16();
        word = readU32();
        one = readBits(1);
        color = readColor(3);
        rgb = readColor(0);
        position = filePosition();
        last = readByte();
        zeros = readBits(32);
        ended = atEnd();
    }
    uint32_t bits3 = 0, one = 0, word = 0, zeros = 1;
    int32_t signed4 = 0, byte = 0, half = 0, color = 0, rgb = 0, position = 0, last = 0;
    bool ended = false;
};

}  // namespace

TEST_F(VswfTest, FieldReaders) {
    SwfBits b;
    b.u32(0x08535746);
    b.u32(0);
    b.rect(0, 8192, 0, 8192);
    b.u16(0x0C00);
    b.u16(1);
    b.bits(0b101, 3);
    b.signedBits(-3, 4);
    b.u8(0xAB);
    b.u16(0x1234);
    b.u32(0xDEADBEEF);
    b.bits(1, 1);
    b.color(0x80102030, true);
    b.color(0x405060, false);
    const std::vector<uint8_t> file = b.take();
    save("fields", file);
    Ref<FieldProbe> probe = make<FieldProbe>();
    probe->load(make<Vpolyn>(), *lit("fields"), 16, 16, 16, 2, 0);
    EXPECT_EQ(probe->bits3, 5u);
    EXPECT_EQ(probe->signed4, -3);
    EXPECT_EQ(probe->byte, 0xAB);
    EXPECT_EQ(probe->half, 0x1234);
    EXPECT_EQ(probe->word, 0xDEADBEEFu);
    EXPECT_EQ(probe->one, 1u);
    EXPECT_EQ(probe->color, static_cast<int32_t>(0x80102030));
    EXPECT_EQ(probe->rgb, 0x405060);
    EXPECT_EQ(probe->position, static_cast<int32_t>(file.size()));
    EXPECT_EQ(probe->last, -1);
    EXPECT_EQ(probe->zeros, 0u);  // past the end: zero bits
    EXPECT_TRUE(probe->ended);
    EXPECT_EQ(probe->frameRect(1), 8192);
}

TEST_F(VswfTest, TruncatedFilesEndTheShapeWhereTheDataEnds) {
    SwfWriter w(8192, 8192);
    w.beginShape(3);
    const int red = w.addSolidFill(0xFFFF0000);
    const int grad = w.addGradientFill(1, 2);
    w.addPolygon(red, {{1600, 1600}, {3200, 1600}, {3200, 3200}, {1600, 3200}});
    w.moveTo(4000, 4000);
    w.setFills(grad, red);
    w.curveTo(6000, 4000, 6000, 6000);
    w.lineTo(4000, 4000);
    w.endShape();
    const std::vector<uint8_t> file = w.finish();
    for (size_t n = 0; n <= file.size(); ++n) {
        Ref<Vpolyn> picture = load(std::vector<uint8_t>(file.begin(), file.begin() + static_cast<long>(n)));
        // Whatever was read is a valid picture.
        ASSERT_GE(picture->edgeCount(), 0);
        picture->colorAt(px(150), px(150));
        paint(*picture, 512, 0);
    }
    EXPECT_EQ(load(file)->colorAt(px(150), px(150)), static_cast<int32_t>(0xFFFF0000));
}

TEST_F(VswfTest, HostileHeadersAndCounts) {
    // RECT with 31-bit fields, tag length 0xFFFFFFFF, a fill count of 0xFFFF with
    // the file ending, a zero-width frame and a negative one.
    std::vector<std::vector<uint8_t>> files;
    {
        SwfBits b;
        b.u32(0x08535746);
        b.u32(0);
        b.bits(31, 5);
        b.signedBits(INT32_MIN, 31);
        b.signedBits(0x3FFFFFFF, 31);
        b.signedBits(-5, 31);
        b.signedBits(0x3FFFFFFF, 31);
        b.u16(0);
        b.u16(1);
        b.u16(2 << 6 | 63);
        b.u32(0xFFFFFFFF);
        b.u16(1);
        b.rect(0, 10, 0, 10);
        b.u8(255);
        b.u16(0xFFFF);
        b.u8(0);
        b.color(0x123456, false);
        files.push_back(b.take());
    }
    {
        SwfBits b;
        b.u32(0x08535746);
        b.u32(0);
        b.rect(0, 8192, 0, 8192);
        b.u16(0);
        b.u16(1);
        b.u16(77 << 6 | 63);
        b.u32(0xFFFFFFF0);
        b.u8(1);
        files.push_back(b.take());
    }
    {
        SwfBits b;
        b.u32(0x08535746);
        b.u32(0);
        b.rect(100, 100, 0, 8192);
        b.u16(0);
        b.u16(1);
        files.push_back(b.take());
    }
    {
        SwfBits b;
        b.u32(0x08535746);
        b.u32(0);
        b.rect(8192, 0, 8192, 0);
        b.u16(0);
        b.u16(1);
        files.push_back(b.take());
    }
    {
        // Edges with the widest fields, a fill index beyond the styles, a line index.
        SwfBits b;
        b.u32(0x08535746);
        b.u32(0);
        b.rect(0, 20, 0, 20);
        b.u16(0);
        b.u16(1);
        SwfBits body;
        body.u16(1);
        body.rect(0, 0, 0, 0);
        body.u8(1);
        body.u8(0);
        body.color(kRed, false);
        body.u8(0);
        body.bits(15, 4);  // 15 fill bits
        body.bits(15, 4);
        body.bits(0, 1);
        body.bits(31, 5);
        body.bits(31, 5);
        body.signedBits(-1000000000, 31);
        body.signedBits(1000000000, 31);
        body.bits(0x7FFF, 15);
        body.bits(0x7FFF, 15);
        body.bits(0x7FFF, 15);
        for (int i = 0; i < 20; ++i) {
            body.bits(3, 2);
            body.bits(15, 4);
            body.bits(1, 1);
            body.signedBits(-65536, 17);
            body.signedBits(65535, 17);
            body.bits(2, 2);
            body.bits(15, 4);
            body.signedBits(65535, 17);
            body.signedBits(-65536, 17);
            body.signedBits(-65536, 17);
            body.signedBits(65535, 17);
        }
        body.bits(0, 6);
        const std::vector<uint8_t> shape = body.take();
        b.u16(2 << 6 | 63);
        b.u32(static_cast<uint32_t>(shape.size()));
        b.bytes(shape);
        b.u16(0);
        files.push_back(b.take());
    }
    for (const auto& file : files) {
        Ref<Vpolyn> picture = load(file);
        picture->colorAt(px(5), px(5));
        paint(*picture, 512, 0);
    }
    EXPECT_EQ(load(files[2])->edgeCount(), 0);
    EXPECT_EQ(load(files[3])->edgeCount(), 0);
}

TEST_F(VswfTest, RandomDamageNeverBreaksTheReader) {
    SwfWriter w(8192, 8192);
    w.beginShape(3);
    const int red = w.addSolidFill(0xFFFF0000);
    w.addGradientFill(1, 2);
    w.addLineStyle(20, 0xFF00FF00);
    w.addPolygon(red, {{1600, 1600}, {3200, 1600}, {3200, 3200}, {1600, 3200}});
    w.moveTo(4000, 4000);
    w.setFills(0, red);
    w.setLineStyle(1);
    w.curveTo(6000, 4000, 6000, 6000);
    w.lineTo(4000, 4000);
    w.newStyles();
    w.addSolidFill(0xFF0000FF);
    w.addPolygon(1, {{100, 5000}, {900, 5000}, {900, 7000}});
    w.endShape();
    const std::vector<uint8_t> file = w.finish();
    std::mt19937 rng(3);
    for (int n = 0; n < 300; ++n) {
        std::vector<uint8_t> damaged = file;
        const int flips = 1 + static_cast<int>(rng() % 4);
        for (int i = 0; i < flips; ++i) {
            damaged[rng() % damaged.size()] ^= static_cast<uint8_t>(1u << (rng() % 8));
        }
        if (rng() % 3 == 0) {
            damaged.resize(rng() % damaged.size());
        }
        Ref<Vpolyn> picture = load(damaged, 128);
        picture->colorAt(px(5), px(5));
        paint(*picture, 128, 0);
    }
}
