// The packs in the game itself: the headless game resumes a round at every hole and
// shows the hole from its tee.

#include <gtest/gtest.h>
#include <png.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game/Course.h"
#include "game/Golf.h"
#include "tools/coursec/CourseOverview.h"

namespace fs = std::filesystem;
using namespace fairholm;

namespace {

// Reads an 8-bit RGB PNG; empty when it cannot.
std::vector<uint8_t> readPng(const std::string& path, int& width, int& height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    std::vector<uint8_t> pixels;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        return pixels;
    }
    image.format = PNG_FORMAT_RGB;
    pixels.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        pixels.clear();
    }
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    return pixels;
}

class CourseInGame : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("fairholm-coursegame-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        for (const char* name : {"f10.bin", "f13.bin", "f16.bin", "help.txt", "arrow"}) {
            fs::copy_file(fs::path(FAIRHOLM_PROGRAM_DIR) / name, dir / name,
                          fs::copy_options::overwrite_existing);
        }
        ASSERT_TRUE(coursec::CourseOverview::writeReviewPack((dir / "golf.bin").string()));
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }

    void copyPacks() {
        for (int hole = 0; hole < Course::holeCount; hole += 3) {
            fs::copy_file(fs::path(FAIRHOLM_PROGRAM_DIR) / Course::holePackTable[hole],
                          dir / Course::holePackTable[hole], fs::copy_options::overwrite_existing);
        }
    }

    // Resumes the round at `hole` (0-based), dumps the screen after the hole is set up
    // and answers the game's last line.
    std::string viewFromTee(int hole, const std::string& png) {
        std::ofstream(dir / "greenvale", std::ios::binary)
            .write(std::string{static_cast<char>(hole), 0, 0, 0, 0, 0}.data(), 6);
        std::ofstream(dir / "script") << "at 2500 char R\nat 4000 dump " << png << "\nat 4100 stop\n";
        const std::string command = std::string(FAIRHOLM_HEADLESS) + " --quiet --data " + dir.string() +
                                    " --script " + (dir / "script").string() + " 2>&1";
        std::FILE* pipe = ::popen(command.c_str(), "r");
        std::string output;
        char buffer[256];
        while (pipe && std::fgets(buffer, sizeof buffer, pipe)) {
            output += buffer;
        }
        if (pipe) {
            ::pclose(pipe);
        }
        const size_t at = output.rfind("end time=");
        return at == std::string::npos ? output : output.substr(at);
    }

    // Share of the picture's pixels that are plainly green (grass).
    static double grassShare(const std::string& png) {
        int width = 0, height = 0;
        const std::vector<uint8_t> rgb = readPng(png, width, height);
        if (rgb.empty()) {
            return -1;
        }
        int grass = 0;
        for (size_t i = 0; i + 2 < rgb.size(); i += 3) {
            grass += rgb[i + 1] > rgb[i] + 30 && rgb[i + 1] > rgb[i + 2] + 30;
        }
        return static_cast<double>(grass) / (width * height);
    }

    fs::path dir;
};

}  // namespace

TEST_F(CourseInGame, EveryHoleIsSetUpFromItsTeeOnTheCourse) {
    copyPacks();
    for (int hole = 0; hole < Course::holeCount; ++hole) {
        const std::string png = (dir / ("tee" + std::to_string(hole + 1) + ".png")).string();
        const std::string last = viewFromTee(hole, png);
        EXPECT_NE(last.find("state=6 hole=" + std::to_string(hole + 1) + " "), std::string::npos) << last;
        // Turf (fairway, rough, tee, green) fills a good part of the view, also where
        // the land around it is heath or sand.
        EXPECT_GT(grassShare(png), 0.15) << "hole " << hole + 1;
    }
}

TEST_F(CourseInGame, WithoutThePacksTheViewIsNoCourse) {
    const std::string png = (dir / "empty.png").string();
    const std::string last = viewFromTee(0, png);
    EXPECT_NE(last.find("state=6 hole=1 "), std::string::npos) << last;
    EXPECT_LT(grassShare(png), 0.1);
}
