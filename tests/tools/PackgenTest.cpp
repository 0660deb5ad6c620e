// The picture tool's parts: the rasteriser, the tiling noise, the source reader, the
// makers' refusals and the pack builder's checks of its sources.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tools/packgen/Canvas.h"
#include "tools/packgen/GolferMaker.h"
#include "tools/packgen/Noise.h"
#include "tools/packgen/PackBuilder.h"
#include "tools/packgen/PngWriter.h"
#include "tools/packgen/SceneryMaker.h"
#include "tools/packgen/Script.h"
#include "tools/packgen/TextureMaker.h"
#include "tools/packgen/TitleMaker.h"

using namespace fairholm::packgen;

namespace {

double total(const Mask& m) {
    double sum = 0;
    for (int y = 0; y < m.height(); ++y) {
        for (int x = 0; x < m.width(); ++x) {
            sum += m.at(x, y);
        }
    }
    return sum;
}

std::string readText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A copy of the real picture sources in a scratch folder, to be spoilt by a test.
class Sources : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("packgen_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        for (const char* name : {"pictures.txt", "palette.txt", "golfer.txt"}) {
            std::filesystem::copy_file(std::string(FAIRHOLM_SOURCE_DIR) + "/assets/pictures/" + name,
                                       dir / name);
        }
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    void replace(const std::string& file, const std::string& from, const std::string& to) {
        std::string text = readText((dir / file).string());
        const size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << from;
        text.replace(at, from.size(), to);
        std::ofstream((dir / file).string()) << text;
    }

    std::string build() {
        PackBuilder builder(dir.string(), FAIRHOLM_FONT_DIR);
        std::string error;
        return builder.build(error) ? std::string() : error;
    }

    std::filesystem::path dir;
};

TEST(Rasterizer, ARectangleCoversItsAreaWithPartialEdgePixels) {
    Canvas c(10, 10);
    const Mask m = c.rasterize(shapes::polygon({{2.5, 1.0}, {6.5, 1.0}, {6.5, 5.0}, {2.5, 5.0}}));
    EXPECT_NEAR(total(m), 16.0, 1e-9);
    EXPECT_NEAR(m.at(2, 2), 0.5, 1e-9);
    EXPECT_NEAR(m.at(4, 2), 1.0, 1e-9);
    EXPECT_NEAR(m.at(6, 2), 0.5, 1e-9);
    EXPECT_EQ(m.at(4, 5), 0.0);
    EXPECT_EQ(m.at(-1, 2), 0.0);  // outside the mask reads as empty
}

TEST(Rasterizer, ACircleCoversPiRSquared) {
    Canvas c(40, 40);
    EXPECT_NEAR(total(c.rasterize(shapes::circle(20, 20, 10))), 3.14159265 * 100, 3.0);
}

TEST(Rasterizer, OverlappingContoursNeverCoverMoreThanOnce) {
    Canvas c(20, 20);
    const Shape twice = shapes::merge(shapes::circle(10, 10, 5), shapes::circle(11, 10, 5));
    const Mask m = c.rasterize(twice);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            EXPECT_LE(m.at(x, y), 1.0);
        }
    }
    EXPECT_GT(total(m), 3.14159265 * 25);
}

TEST(Rasterizer, ShapesOffTheCanvasAreClipped) {
    Canvas c(8, 8);
    EXPECT_EQ(total(c.rasterize(shapes::circle(-50, -50, 10))), 0.0);
    EXPECT_NEAR(total(c.rasterize(shapes::polygon({{-4, -4}, {4, -4}, {4, 4}, {-4, 4}}))), 16.0, 1e-9);
    EXPECT_EQ(total(c.rasterize({})), 0.0);
}

TEST(Rasterizer, ACapsuleHoldsBothEndDiscs) {
    Canvas c(40, 20);
    const Mask m = c.rasterize(shapes::capsule({8, 10}, 6, {30, 10}, 3));
    EXPECT_EQ(m.at(3, 10), 1.0);   // inside the big disc, beyond the axis' end
    EXPECT_EQ(m.at(31, 10), 1.0);  // inside the small disc
    EXPECT_EQ(m.at(20, 3), 0.0);   // outside the taper
    // A disc inside the other is just the larger disc.
    EXPECT_NEAR(total(c.rasterize(shapes::capsule({10, 10}, 5, {11, 10}, 2))), 3.14159265 * 25, 1.5);
}

TEST(Masks, CombineAndGrow) {
    Canvas c(20, 20);
    const Mask a = c.rasterize(shapes::polygon({{2, 2}, {10, 2}, {10, 10}, {2, 10}}));
    const Mask b = c.rasterize(shapes::polygon({{6, 6}, {14, 6}, {14, 14}, {6, 14}}));
    EXPECT_NEAR(total(a.intersect(b)), 16.0, 1e-9);
    EXPECT_NEAR(total(a.unite(b)), 112.0, 1e-9);
    EXPECT_NEAR(total(a.subtract(b)), 48.0, 1e-9);
    EXPECT_EQ(a.shifted(5, 0).at(14, 5), 1.0);
    EXPECT_EQ(a.shifted(5, 0).at(3, 5), 0.0);
    const Mask grown = a.dilated(1.5);
    EXPECT_EQ(grown.at(1, 5), 1.0);
    EXPECT_EQ(grown.at(0, 5), 0.0);
}

TEST(Painting, StraightAlphaComesBackFromPremultipliedPixels) {
    Canvas c(4, 1);
    const Mask m = c.rasterize(shapes::polygon({{0, 0}, {2, 0}, {2, 1}, {0, 1}}));
    c.paint(m, Colour::fromHex(0x204080), 0.5);
    const std::vector<uint32_t> px = c.argb();
    EXPECT_EQ(px[0], 0x80204080u);
    EXPECT_EQ(px[3], 0u);
    Canvas top(4, 1);
    top.paint(m, Colour::fromHex(0xFFFFFF));
    c.composite(top);
    EXPECT_EQ(c.argb()[1], 0xFFFFFFFFu);
}

TEST(TilingNoise, RepeatsEveryPeriodAndStaysInRange) {
    for (int y = 0; y < 32; y += 3) {
        for (int x = 0; x < 32; x += 5) {
            const double v = Noise::fractal(7, x, y, 8, 32, 3);
            EXPECT_DOUBLE_EQ(v, Noise::fractal(7, x + 32, y, 8, 32, 3));
            EXPECT_DOUBLE_EQ(v, Noise::fractal(7, x, y - 32, 8, 32, 3));
            EXPECT_GE(v, 0.0);
            EXPECT_LT(v, 1.0);
        }
    }
    Noise a(3);
    Noise b(3);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(a.next(), b.next());
    }
}

TEST(SourceReader, ReadsStatementsColoursAndNumbers) {
    Script s;
    s.parse("# comment\ncolour grass 40a020   # trailing comment\n\nbuild tall height 1.5 arms 0.25\n");
    EXPECT_EQ(s.lines().size(), 2u);
    const Colour g = s.colour("grass");
    EXPECT_NEAR(g.g, 0xA0 / 255.0, 1e-9);
    EXPECT_TRUE(s.missingColours().empty());
    s.colour("nothing");
    ASSERT_EQ(s.missingColours().size(), 1u);
    EXPECT_EQ(s.missingColours()[0], "nothing");
    const auto n = s.numbers("build", "tall");
    EXPECT_DOUBLE_EQ(n.at("height"), 1.5);
    EXPECT_DOUBLE_EQ(n.at("arms"), 0.25);
    EXPECT_TRUE(s.numbers("build", "short").empty());
    std::string error;
    EXPECT_FALSE(Script().load("/nonexistent/file.txt", error));
    EXPECT_NE(error.find("cannot read"), std::string::npos);
}

TEST(Makers, RefuseWhatTheyDoNotKnow) {
    Script palette;
    std::string error;
    Picture p;
    EXPECT_FALSE(TextureMaker(palette).make("lava", p, error));
    p.width = 16;
    p.height = 16;
    EXPECT_FALSE(SceneryMaker(palette).make("windmill", p, error));
    p.width = 2;
    EXPECT_FALSE(SceneryMaker(palette).make("ball", p, error));
    Script figure;
    std::vector<Picture> frames;
    EXPECT_FALSE(GolferMaker(palette, figure).make("male", frames, error));
    p.width = 100;
    p.height = 40;
    EXPECT_FALSE(TitleMaker(palette, "/nonexistent/font.ttf").make("Greenvale", p, error));
}

TEST(Makers, EveryTextureKindTiles) {
    Script palette;
    palette.parse(readText(std::string(FAIRHOLM_SOURCE_DIR) + "/assets/pictures/palette.txt"));
    for (const char* kind : {"rough", "fairway", "water", "green", "tee", "sand", "heather"}) {
        Picture p;
        std::string error;
        ASSERT_TRUE(TextureMaker(palette).make(kind, p, error)) << error;
        EXPECT_EQ(p.width, TextureMaker::size);
        EXPECT_EQ(p.argb.size(), 32u * 32u);
    }
    EXPECT_TRUE(palette.missingColours().empty());
}

TEST(PngFiles, StartWithTheSignatureAndRefuseBadSizes) {
    const std::string path = (std::filesystem::temp_directory_path() / "packgen_test.png").string();
    ASSERT_TRUE(PngWriter::write(path, 2, 2, {0xFF000000, 0xFFFFFFFF, 0x80FF0000, 0}));
    const std::string bytes = readText(path);
    ASSERT_GE(bytes.size(), 8u);
    EXPECT_EQ(bytes.substr(1, 3), "PNG");
    std::filesystem::remove(path);
    EXPECT_FALSE(PngWriter::write(path, 3, 2, {0, 0}));
    EXPECT_FALSE(PngWriter::write(path, 0, 0, {}));
    EXPECT_FALSE(PngWriter::write("/nonexistent/dir/x.png", 1, 1, {0}));
}

TEST_F(Sources, TheRealSourcesBuild) {
    EXPECT_EQ(build(), "");
}

TEST_F(Sources, AMissingPictureNumberIsAnError) {
    replace("pictures.txt", "picture 3 texture water", "picture 60 texture water");
    EXPECT_EQ(build(), "picture 3 is missing");
}

TEST_F(Sources, APictureGivenTwiceIsAnError) {
    replace("pictures.txt", "picture 3 texture water", "picture 2 texture water");
    EXPECT_EQ(build(), "picture 2 given twice");
}

TEST_F(Sources, AColourMissingFromThePaletteIsAnError) {
    replace("palette.txt", "colour flag.red", "colour flag.blue");
    EXPECT_EQ(build(), "colour not in the palette: flag.red");
}

TEST_F(Sources, AColourThatIsNotSixHexDigitsIsLeftOut) {
    replace("palette.txt", "colour flag.red       dc2a2a", "colour flag.red       dc2a2g");
    EXPECT_EQ(build(), "colour not in the palette: flag.red");
}

TEST_F(Sources, ABadNumberInTheGolferIsAnError) {
    replace("golfer.txt", "frame 5 full theta 150", "frame 5 full theta x150");
    EXPECT_NE(build().find("bad number"), std::string::npos);
}

TEST_F(Sources, BadNumbersAndSizesAreErrors) {
    replace("pictures.txt", "picture 8 object pin 32 64", "picture 8 object pin 32 x64");
    EXPECT_NE(build().find("bad number"), std::string::npos);
}

TEST_F(Sources, AnImpossibleSizeIsRefused) {
    replace("pictures.txt", "picture 8 object pin 32 64", "picture 8 object pin 32 -64");
    EXPECT_EQ(build(), "picture 8: bad size");
}

TEST_F(Sources, TexturesMustBeThirtyTwoSquare) {
    replace("pictures.txt", "picture 1 texture rough 32 32", "picture 1 texture rough 16 16");
    EXPECT_NE(build().find("32 texels square"), std::string::npos);
}

TEST_F(Sources, AGolferThatLeavesTheCanvasIsAnError) {
    replace("golfer.txt", "bally 88", "bally 94");
    EXPECT_NE(build().find("leaves its canvas"), std::string::npos);
}

TEST_F(Sources, AMissingFrameIsAnError) {
    replace("golfer.txt", "frame 22 putt", "frame 23 putt");
    EXPECT_EQ(build(), "golfer: no frame 22");
}

TEST_F(Sources, AnEmptyListIsAnError) {
    std::ofstream((dir / "pictures.txt").string()) << "# nothing\n";
    EXPECT_EQ(build(), "no pictures listed");
}

TEST_F(Sources, AMissingSourceFileIsAnError) {
    std::filesystem::remove(dir / "golfer.txt");
    EXPECT_NE(build().find("cannot read"), std::string::npos);
}

}  // namespace
