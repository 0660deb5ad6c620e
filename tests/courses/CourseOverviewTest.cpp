// The review pictures of the packs: the frame of one hole and the pictures written per hole.

#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "game/Course.h"
#include "tools/coursec/CourseOverview.h"

namespace fs = std::filesystem;
using namespace fairholm;
using coursec::CourseOverview;

namespace {

coursec::HoleMark markOf(int index) {
    const Course::Hole& h = Course::hole(index);
    coursec::HoleMark mark;
    mark.number = index + 1;
    mark.tee = {static_cast<double>(h.teeX), static_cast<double>(h.teeZ)};
    mark.aim = {static_cast<double>(h.aimX), static_cast<double>(h.aimZ)};
    mark.pin = {static_cast<double>(h.pinX), static_cast<double>(h.pinZ)};
    return mark;
}

// True when the point (yards) lies in the frame with `margin` yards to spare or the
// map's edge nearer than that.
bool framed(const CourseOverview::Frame& f, coursec::Point p, int margin) {
    const int s = CourseOverview::scale;
    const int x = static_cast<int>(p.x * s), y = static_cast<int>(p.z * s), m = margin * s;
    return x - f.x >= std::min(m, x) && y - f.y >= std::min(m, y) &&
           f.x + f.width - x >= std::min(m, CourseOverview::size - x) &&
           f.y + f.height - y >= std::min(m, CourseOverview::size - y);
}

}  // namespace

TEST(CourseOverview, EveryHolesFrameHoldsItsMarksOnTheMap) {
    for (int index = 0; index < Course::holeCount; ++index) {
        const coursec::HoleMark mark = markOf(index);
        const CourseOverview::Frame f = CourseOverview::frameOf(mark);
        SCOPED_TRACE("hole " + std::to_string(mark.number));
        EXPECT_GE(f.x, 0);
        EXPECT_GE(f.y, 0);
        EXPECT_LE(f.x + f.width, CourseOverview::size);
        EXPECT_LE(f.y + f.height, CourseOverview::size);
        for (coursec::Point p : {mark.tee, mark.aim, mark.pin}) {
            EXPECT_TRUE(framed(f, p, CourseOverview::margin)) << p.x << " " << p.z;
        }
        // A straight hole is widened, up to the map's edge.
        EXPECT_GE(2 * f.width + 2 * CourseOverview::margin, f.height);
        EXPECT_GE(2 * f.height + 2 * CourseOverview::margin, f.width);
    }
}

TEST(CourseOverview, AHoleAtTheMapsCornerIsCutAtTheEdges) {
    coursec::HoleMark mark;
    mark.number = 7;
    mark.tee = {2, 3};
    mark.aim = mark.pin = {10, 500};
    const CourseOverview::Frame f = CourseOverview::frameOf(mark);
    EXPECT_EQ(f.x, 0);
    EXPECT_EQ(f.y, 0);
    EXPECT_EQ(f.height, CourseOverview::size);
    EXPECT_GT(f.width, 0);
}

TEST(CourseOverview, WritesOnePicturePerHoleOfThePack) {
    const fs::path dir = fs::temp_directory_path() / ("fairholm-holeviews-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::vector<coursec::HoleMark> marks = {markOf(3), markOf(4), markOf(5)};
    const std::string pack = (fs::path(FAIRHOLM_PROGRAM_DIR) / Course::holePackTable[3]).string();
    ASSERT_TRUE(CourseOverview::writeHoles(pack, marks, (dir / "hole").string()));
    for (const coursec::HoleMark& mark : marks) {
        const fs::path file = dir / ("hole0" + std::to_string(mark.number) + ".png");
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        ASSERT_TRUE(png_image_begin_read_from_file(&image, file.c_str())) << file;
        const CourseOverview::Frame f = CourseOverview::frameOf(mark);
        EXPECT_EQ(static_cast<int>(image.width), f.width);
        EXPECT_EQ(static_cast<int>(image.height), f.height);
        png_image_free(&image);
    }
    EXPECT_FALSE(CourseOverview::writeHoles((dir / "no such pack").string(), marks, (dir / "x").string()));
    std::error_code ignored;
    fs::remove_all(dir, ignored);
}
