// The compiler's checks, its colours and the compiled map read back the way the game
// reads a course.

#include <gtest/gtest.h>

#include "CourseTestSupport.h"
#include "engine/render3d/Vphob.h"
#include "game/Golf.h"
#include "game/Surface.h"
#include "tools/coursec/CourseFigures.h"

using namespace fairholm;
using namespace fairholm::coursec;
using test::yards;

namespace {

// Three holes' worth of nesting on the heather background: rough with a fairway, a
// raised green complex, a sunken bunker and a pond.
const char* const kCourse = R"(course sample
hole 1 tee 100 400 aim 100 100 pin 100 100
region rough rough 120
    rect 40 40 160 460
end
region fairway fairway 122 in rough
    smooth 80 150  120 150  120 360  80 360
end
region fringe fringe 127 in rough
    circle 100 100 20
end
region green green 130 in fringe
    circle 100 100 15
end
region tee tee 132 in rough
    ellipse 100 400 8 6
end
region bunker bunker 110 in rough
    circle 140 110 8
end
region pond water 100
    ellipse 300 300 40 25 30
end
)";

class CourseCompilerTest : public ::testing::Test {
protected:
    test::CourseFolder folder;
};

}  // namespace

TEST_F(CourseCompilerTest, ReadBackGivesTheSourceKindsAndLevels) {
    std::string errors;
    ASSERT_TRUE(folder.compile(kCourse, "sample", errors)) << errors;
    Ref<VpolyTerrain> t = folder.load("sample");
    ASSERT_TRUE(t);
    struct Sample {
        double x, z;
        int kind, level;
    } samples[] = {
        {100, 250, Fairway, 122}, {50, 250, Rough, 120},   {100, 100, Green, 130}, {100, 83, TeeBox, 127},
        {100, 400, TeeBox, 132},  {140, 110, Bunker, 110}, {300, 300, Water, 100}, {400, 100, Heather, 128},
        {10, 10, Heather, 128},   {150, 45, Rough, 120},
    };
    for (const Sample& s : samples) {
        EXPECT_EQ(t->surfaceAt(yards(s.x), yards(s.z)), s.kind) << s.x << ", " << s.z;
        const int32_t index = t->regionAt(yards(s.x), yards(s.z));
        EXPECT_EQ(t->paletteColor(index), s.level) << s.x << ", " << s.z;
    }
    // Heights away from boundaries are the levels (1/8 unit each); the blur only
    // touches a few yards around each edge.
    EXPECT_EQ(t->heightAt(yards(100), yards(250)), 122 * 4096);
    EXPECT_EQ(t->heightAt(yards(100), yards(100)), 130 * 4096);
    EXPECT_EQ(t->heightAt(yards(400), yards(100)), 128 * 4096);
    EXPECT_EQ(t->heightAt(yards(300), yards(300)), 100 * 4096);
    // Surfaces carry the game's friction and no bounce.
    const int32_t water = t->regionAt(yards(300), yards(300));
    EXPECT_EQ(t->frictionOf(water), 0x8000);
    EXPECT_EQ(t->bounceOf(water), 0);
    EXPECT_EQ(t->frictionOf(t->regionAt(yards(100), yards(250))), 0x2666);
    EXPECT_EQ(Vphob::gravity(), -359834);
}

TEST_F(CourseCompilerTest, ColoursClassifyBackToTheirKindAndLevel) {
    for (int kind = 1; kind <= 7; ++kind) {
        for (int level : {1, 2, 64, 128, 200, 255}) {
            const uint32_t colour = CourseCompiler::colourOf(kind, level);
            const Surface s = Surface::classify(colour);
            EXPECT_EQ(s.kind, kind) << kind << " " << level;
            EXPECT_EQ(s.height, level) << kind << " " << level;
        }
    }
    // The same kind and level share one colour, so one palette entry.
    coursec::CourseSource source;
    std::string errors;
    ASSERT_TRUE(
        source.parse("course c\nregion a rough 50\n circle 50 50 10\nend\n"
                     "region b rough 50\n circle 150 50 10\nend\n"
                     "region c rough 51\n circle 250 50 10\nend\n",
                     errors));
    CourseCompiler compiler(source);
    ASSERT_TRUE(compiler.check(errors)) << errors;
    EXPECT_EQ(compiler.colours().size(), 2u);
    EXPECT_EQ(compiler.regionFill(), (std::vector<int>{1, 1, 2}));
}

TEST_F(CourseCompilerTest, OutputIsReproducible) {
    std::string errors;
    ASSERT_TRUE(folder.compile(kCourse, "one", errors)) << errors;
    ASSERT_TRUE(folder.compile(kCourse, "two", errors)) << errors;
    auto read = [&](const std::string& name) {
        std::FILE* f = std::fopen(folder.path(name).c_str(), "rb");
        std::vector<uint8_t> bytes;
        int c;
        while (f && (c = std::fgetc(f)) != EOF) {
            bytes.push_back(static_cast<uint8_t>(c));
        }
        if (f) {
            std::fclose(f);
        }
        return bytes;
    };
    const std::vector<uint8_t> one = read("one");
    EXPECT_GT(one.size(), 100u);
    EXPECT_EQ(one, read("two"));
    // An uncompressed SWF with the 8192-twip frame.
    EXPECT_EQ(one[0], 'F');
    EXPECT_EQ(one[1], 'W');
    EXPECT_EQ(one[2], 'S');
}

TEST_F(CourseCompilerTest, FiguresCountColoursCrossingsAndArea) {
    std::string errors;
    ASSERT_TRUE(folder.compile(kCourse, "sample", errors)) << errors;
    CourseFigures figures;
    ASSERT_TRUE(figures.measure(folder.path("sample")));
    EXPECT_EQ(figures.coloursUsed(), 7);
    // Every outline crosses each of the rows it spans twice.
    EXPECT_GT(figures.crossings(), 2 * (420 + 40 + 30));
    EXPECT_LT(figures.crossings(), 2 * (420 + 210 + 40 + 30 + 12 + 16 + 50 + 50));
    int total = 0;
    for (int kind = 1; kind <= 7; ++kind) {
        total += figures.area()[kind];
    }
    EXPECT_EQ(total, 512 * 512);
    EXPECT_NEAR(figures.area()[Green], 3.14159 * 15 * 15, 30);
    EXPECT_NEAR(figures.area()[Bunker], 3.14159 * 8 * 8, 15);
    EXPECT_EQ(figures.lowestLevel(), 100);
    EXPECT_EQ(figures.highestLevel(), 132);
    const std::string report = figures.report("sample");
    EXPECT_NE(report.find("colours 7 of 47"), std::string::npos) << report;
}

TEST_F(CourseCompilerTest, HoleMarksMustSitOnTeeAndGreen) {
    std::string errors;
    std::string text = kCourse;
    text.replace(text.find("hole 1 tee 100 400"), 18, "hole 1 tee 100 300");
    ASSERT_TRUE(folder.compile(text, "sample", errors)) << errors;
    coursec::CourseSource source;
    ASSERT_TRUE(source.parse(text, errors));
    CourseFigures figures;
    ASSERT_TRUE(figures.measure(folder.path("sample")));
    std::string problems;
    EXPECT_FALSE(figures.checkHoles(source, problems));
    EXPECT_NE(problems.find("hole 1 (line 2): the tee lies on fairway"), std::string::npos) << problems;
    EXPECT_EQ(problems.find("pin"), std::string::npos) << problems;
}

TEST(CourseCompilerChecks, OpenOutlineNamesTheRegion) {
    const std::string errors = test::checkErrors(
        "course c\nregion good rough 10\n circle 50 50 10\nend\n"
        "region gap rough 10\n from 100 100\n line 150 100 150 150\nend\n");
    EXPECT_NE(errors.find("region 'gap' (line 5): the outline is open"), std::string::npos) << errors;
    EXPECT_EQ(errors.find("'good'"), std::string::npos) << errors;
}

TEST(CourseCompilerChecks, OverlappingSiblingsNameBothRegions) {
    const std::string errors = test::checkErrors(
        "course c\nregion land rough 10\n rect 0 0 400 400\nend\n"
        "region east fairway 12 in land\n circle 100 100 30\nend\n"
        "region west bunker 8 in land\n circle 140 100 20\nend\n");
    EXPECT_NE(errors.find("region 'east' (line 5) overlaps or touches region 'west' (line 8)"),
              std::string::npos)
        << errors;
}

TEST(CourseCompilerChecks, SiblingInsideAnotherSiblingIsAnOverlap) {
    const std::string errors = test::checkErrors(
        "course c\nregion big rough 10\n circle 200 200 100\nend\n"
        "region small fairway 12\n circle 200 200 10\nend\n");
    EXPECT_NE(errors.find("'big' (line 2) overlaps region 'small' (line 5) (one lies inside the other"),
              std::string::npos)
        << errors;
}

TEST(CourseCompilerChecks, SiblingsCloserThanAYardAreRefused) {
    EXPECT_NE(test::checkErrors("course c\nregion a rough 10\n rect 10 10 50 50\nend\n"
                                "region b rough 11\n rect 50.5 10 90 50\nend\n")
                  .find("overlaps or touches"),
              std::string::npos);
    EXPECT_EQ(test::checkErrors("course c\nregion a rough 10\n rect 10 10 50 50\nend\n"
                                "region b rough 11\n rect 51.5 10 90 50\nend\n"),
              "");
}

TEST(CourseCompilerChecks, ChildOutsideOrAcrossItsParent) {
    const std::string across = test::checkErrors(
        "course c\nregion land rough 10\n rect 0 0 100 100\nend\n"
        "region pond water 5 in land\n circle 95 50 20\nend\n");
    EXPECT_NE(across.find("region 'pond' (line 5) is not inside its parent region 'land' (line 2)"),
              std::string::npos)
        << across;
    const std::string outside = test::checkErrors(
        "course c\nregion land rough 10\n rect 0 0 100 100\nend\n"
        "region pond water 5 in land\n circle 300 300 20\nend\n");
    EXPECT_NE(outside.find("'pond' (line 5) is not inside its parent"), std::string::npos) << outside;
}

TEST(CourseCompilerChecks, SelfCrossingAndEmptyOutlines) {
    EXPECT_NE(
        test::checkErrors("course c\nregion bow rough 10\n from 0 0\n line 100 100 100 0 0 50\n close\nend\n")
            .find("region 'bow' (line 2): the outline crosses itself"),
        std::string::npos);
    EXPECT_NE(test::checkErrors("course c\nregion flat rough 10\n from 0 0\n line 100 0\n close\nend\n")
                  .find("'flat' (line 2): the outline encloses no area"),
              std::string::npos);
}

TEST(CourseCompilerChecks, OutlinesStayOnTheMap) {
    EXPECT_NE(test::checkErrors("course c\nregion big rough 10\n circle 500 100 20\nend\n")
                  .find("leaves the 512 x 512 map"),
              std::string::npos);
    EXPECT_EQ(test::checkErrors("course c\nregion all rough 10\n rect 0 0 512 512\nend\n"), "");
}

TEST(CourseCompilerChecks, TooManyColoursNameTheRegionsBeyondTheLimit) {
    std::string text = "course c\n";
    for (int i = 0; i < 49; ++i) {
        text += "region r" + std::to_string(i) + " rough " + std::to_string(i + 1) + "\n circle " +
                std::to_string(20 + (i % 7) * 70) + " " + std::to_string(20 + (i / 7) * 70) + " 10\nend\n";
    }
    const std::string errors = test::checkErrors(text);
    EXPECT_NE(errors.find("too many colours: 49 of 47"), std::string::npos) << errors;
    EXPECT_NE(errors.find("'r47' (rough 48), 'r48' (rough 49)"), std::string::npos) << errors;
    EXPECT_EQ(errors.find("'r46'"), std::string::npos) << errors;
}

TEST(CourseCompilerChecks, FortySevenColoursFit) {
    std::string text = "course c\n";
    for (int i = 0; i < 47; ++i) {
        text += "region r" + std::to_string(i) + " rough " + std::to_string(i + 1) + "\n circle " +
                std::to_string(20 + (i % 7) * 70) + " " + std::to_string(20 + (i / 7) * 70) + " 10\nend\n";
    }
    EXPECT_EQ(test::checkErrors(text), "");
}
