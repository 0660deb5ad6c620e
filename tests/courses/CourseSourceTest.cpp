// The course text format: commands, outlines and the parse errors.

#include <gtest/gtest.h>

#include <cmath>

#include "tools/coursec/CourseSource.h"

using namespace fairholm::coursec;

namespace {

bool parse(const std::string& text, CourseSource& source, std::string& error) {
    return source.parse(text, error);
}

std::string parseError(const std::string& text) {
    CourseSource source;
    std::string error;
    EXPECT_FALSE(source.parse(text, error)) << text;
    return error;
}

}  // namespace

TEST(CourseSource, ReadsCourseHolesAndNestedRegions) {
    CourseSource source;
    std::string error;
    ASSERT_TRUE(
        parse("# a pack\ncourse holes_1-3\n"
              "hole 1 tee 89 436 aim 75 76 pin 75 76\n"
              "region land rough 120\n  rect 10 10 500 500\nend\n"
              "region lake water 100 in land   # a lake\n  circle 200 200 30\nend\n",
              source, error))
        << error;
    EXPECT_EQ(source.name(), "holes_1-3");
    ASSERT_EQ(source.holes().size(), 1u);
    EXPECT_EQ(source.holes()[0].number, 1);
    EXPECT_EQ(source.holes()[0].tee.x, 89);
    EXPECT_EQ(source.holes()[0].pin.z, 76);
    ASSERT_EQ(source.regions().size(), 2u);
    EXPECT_EQ(source.regions()[0].kind, Rough);
    EXPECT_EQ(source.regions()[0].level, 120);
    EXPECT_EQ(source.regions()[0].parent, -1);
    EXPECT_EQ(source.regions()[1].kind, Water);
    EXPECT_EQ(source.regions()[1].parent, 0);
    EXPECT_TRUE(source.regions()[1].outline.closed);
}

TEST(CourseSource, KindsByNameAndNumber) {
    EXPECT_EQ(CourseSource::kindOf("rough"), 1);
    EXPECT_EQ(CourseSource::kindOf("fairway"), 2);
    EXPECT_EQ(CourseSource::kindOf("water"), 3);
    EXPECT_EQ(CourseSource::kindOf("green"), 4);
    EXPECT_EQ(CourseSource::kindOf("tee"), 5);
    EXPECT_EQ(CourseSource::kindOf("fringe"), 5);
    EXPECT_EQ(CourseSource::kindOf("bunker"), 6);
    EXPECT_EQ(CourseSource::kindOf("heather"), 7);
    EXPECT_EQ(CourseSource::kindOf("dunes"), 7);
    EXPECT_EQ(CourseSource::kindOf("6"), 6);
    EXPECT_EQ(CourseSource::kindOf("8"), 0);
    EXPECT_EQ(CourseSource::kindOf("lava"), 0);
}

TEST(CourseSource, PolylineWithCurvesAndContinuationLines) {
    CourseSource source;
    std::string error;
    ASSERT_TRUE(
        parse("course c\nregion a fairway 130\n from 10 10\n line 50 10\n   50 50\n"
              " curve 30 70 10 50\n close\nend\n",
              source, error))
        << error;
    const Outline& o = source.regions()[0].outline;
    EXPECT_TRUE(o.closed);
    ASSERT_EQ(o.segments.size(), 4u);  // two lines, the curve and the closing line
    EXPECT_FALSE(o.segments[0].curved);
    EXPECT_EQ(o.segments[1].end.z, 50);
    EXPECT_TRUE(o.segments[2].curved);
    EXPECT_EQ(o.segments[2].control.x, 30);
    EXPECT_EQ(o.segments[3].end.x, 10);
    EXPECT_EQ(o.segments[3].end.z, 10);
}

TEST(CourseSource, OutlineEndingAtItsStartIsClosedWithoutClose) {
    CourseSource source;
    std::string error;
    ASSERT_TRUE(parse("course c\nregion a rough 1\n from 0 0\n line 10 0 10 10 0 0\nend\n", source, error));
    EXPECT_TRUE(source.regions()[0].outline.closed);
    ASSERT_TRUE(parse("course c\nregion a rough 1\n from 0 0\n line 10 0 10 10\nend\n", source, error));
    EXPECT_FALSE(source.regions()[0].outline.closed);
}

TEST(CourseSource, ShapesAreClosedAndRightSized) {
    CourseSource source;
    std::string error;
    ASSERT_TRUE(
        parse("course c\n"
              "region e green 140\n ellipse 100 100 20 10\nend\n"
              "region c bunker 110\n circle 300 300 8\nend\n"
              "region s fairway 130\n smooth 10 10 90 10 90 90 10 90\nend\n"
              "region t rough 120\n strip 50 400 30  250 400 40  250 300 30\nend\n",
              source, error))
        << error;
    for (const Region& r : source.regions()) {
        EXPECT_TRUE(r.outline.closed) << r.name;
    }
    // The ellipse's flattened outline stays on its radii.
    for (const Point& p : source.regions()[0].outline.flatten()) {
        const double u = (p.x - 100) / 20, v = (p.z - 100) / 10;
        EXPECT_NEAR(u * u + v * v, 1.0, 0.02);
    }
    // The smoothed square keeps inside its control points and reaches their midpoints.
    double minX = 1e9, maxX = -1e9;
    for (const Point& p : source.regions()[2].outline.flatten()) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
    }
    EXPECT_NEAR(minX, 10, 0.01);
    EXPECT_NEAR(maxX, 90, 0.01);
    // The strip is about its width across its first leg.
    double lo = 1e9, hi = -1e9;
    for (const Point& p : source.regions()[3].outline.flatten()) {
        if (std::fabs(p.x - 150) < 8) {
            lo = std::min(lo, p.z);
            hi = std::max(hi, p.z);
        }
    }
    EXPECT_NEAR(hi - lo, 35, 6);
}

TEST(CourseSource, ErrorsNameTheLine) {
    EXPECT_EQ(parseError("course c\nbogus 1\n"), "line 2: unknown command 'bogus'");
    EXPECT_NE(
        parseError("course c\nregion a lava 10\n circle 1 1 1\nend\n").find("line 2: unknown surface kind"),
        std::string::npos);
    EXPECT_NE(parseError("course c\nregion a rough 0\n circle 10 10 5\nend\n").find("1 to 255"),
              std::string::npos);
    EXPECT_NE(parseError("course c\nregion a rough 256\n circle 10 10 5\nend\n").find("1 to 255"),
              std::string::npos);
    EXPECT_NE(parseError("course c\nregion a rough 7.5\n circle 10 10 5\nend\n").find("whole number"),
              std::string::npos);
    EXPECT_NE(parseError("course c\nregion a rough 10 in nowhere\n circle 10 10 5\nend\n").find("'nowhere'"),
              std::string::npos);
    EXPECT_NE(
        parseError("course c\nregion a rough 10\n circle 10 10 5\nend\nregion a rough 10\n circle 50 50 "
                   "5\nend\n")
            .find("defined twice"),
        std::string::npos);
    EXPECT_NE(parseError("course c\nregion a rough 10\n circle 10 10 5\n").find("missing its 'end'"),
              std::string::npos);
    EXPECT_NE(parseError("course c\nregion a rough 10\nend\n").find("has no outline"), std::string::npos);
    EXPECT_NE(parseError("course c\nregion a rough 10\n circle 10 10 5\n circle 40 40 5\nend\n")
                  .find("already has an outline"),
              std::string::npos);
    EXPECT_NE(parseError("course c\nregion a rough 10\n line 10 10\nend\n").find("needs a 'from'"),
              std::string::npos);
    EXPECT_NE(parseError("course c\nregion a rough 10\n from 1 1\n line 10 x\nend\n").find("not a number"),
              std::string::npos);
    EXPECT_NE(parseError("course c\nregion a rough 10\n from 1 1\n line 10 10 20\nend\n").find("groups of 2"),
              std::string::npos);
    EXPECT_NE(parseError("course c\nhole 1 tee 1 2\n").find("hole takes"), std::string::npos);
    EXPECT_NE(parseError("region a rough 10\n circle 10 10 5\nend\n").find("no 'course"), std::string::npos);
    EXPECT_NE(parseError("course c\nregion a rough 10\n circle 10 10 -5\nend\n").find("positive"),
              std::string::npos);
}

TEST(CourseSource, SizesAreBounded) {
    std::string text = "course c\nregion a rough 10\n from 0 0\n line";
    for (int i = 0; i < 600; ++i) {
        text += " " + std::to_string(i % 500) + " " + std::to_string(i % 2);
    }
    text += "\nend\n";
    EXPECT_NE(parseError(text).find("more than 512 pieces"), std::string::npos);
    std::string many = "course c\n";
    for (int i = 0; i < 1001; ++i) {
        many += "region r" + std::to_string(i) + " rough 10\n circle 10 10 1\nend\n";
    }
    EXPECT_NE(parseError(many).find("more than 1000 regions"), std::string::npos);
    EXPECT_NE(parseError("course c\nhole 1e300 tee 1 2 aim 3 4 pin 5 6\n").find("hole number"),
              std::string::npos);
}

TEST(CourseSource, HostileTextIsRefusedCleanly) {
    CourseSource source;
    std::string error;
    EXPECT_FALSE(source.parse(std::string("\0\0\xff region", 10), error));
    EXPECT_FALSE(source.parse("course c\nregion a rough 10\n from nan 1\nend\n", error));
    EXPECT_FALSE(source.parse("course c\nregion a rough 10\n circle 1e999 1 1\nend\n", error));
    EXPECT_TRUE(source.parse("course c\n", error));
    EXPECT_TRUE(source.regions().empty());
}

TEST(CourseSource, NumbersOutOfRangeAreErrorsThatNameTheLine) {
    EXPECT_EQ(parseError("course c\nhole 1 tee 10 10 aim 20 20 pin 1e300 5\n"),
              "line 2: pin x 1e300 is outside the course (0 to under 512)");
    EXPECT_EQ(parseError("course c\n\nhole 2 tee -1 10 aim 20 20 pin 30 30\n"),
              "line 3: tee x -1 is outside the course (0 to under 512)");
    EXPECT_EQ(parseError("course c\nhole 3 tee 1 10 aim 20 512 pin 30 30\n"),
              "line 2: aim z 512 is outside the course (0 to under 512)");
    EXPECT_EQ(parseError("course c\nhole 4 tee 1 10 aim 20 20 pin 30 -1e-9\n"),
              "line 2: pin z -1e-9 is outside the course (0 to under 512)");
    EXPECT_EQ(parseError("course c\nregion a rough 1e300\n rect 0 0 1 1\nend\n"),
              "line 2: region 'a': the level must be a whole number from 1 to 255");
    EXPECT_EQ(parseError("course c\nregion a rough 10\n circle 100 100 1e300\nend\n"),
              "line 3: '1e300' is out of range (numbers lie between -2048 and 2048)");
    EXPECT_EQ(parseError("course c\nregion a rough 10\n from 0 0\n line 10 10\n   -2049 3\nend\n"),
              "line 5: '-2049' is out of range (numbers lie between -2048 and 2048)");
    CourseSource source;
    std::string error;
    EXPECT_TRUE(
        source.parse("course c\nhole 1 tee 0 0 aim 511.9 511.9 pin 100 100\n"
                     "region a rough 10\n rect -2048 -2048 2048 2048\nend\n",
                     error))
        << error;
}
