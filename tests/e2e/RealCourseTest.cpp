// The headless game over the real data files of the build: a scripted player on hole 1.
#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/CommandOutput.h"

namespace fs = std::filesystem;

TEST(RealCourse, AScriptedPlayerReachesTheFirstGreen) {
    const fs::path program = fs::path(FAIRHOLM_HEADLESS).parent_path();
    if (!fs::exists(program / "holes_1-3") || !fs::exists(program / "golf.bin")) {
        GTEST_SKIP() << "the data files are not built";
    }
    // Its own copy of the data, so that no saved state of another run is read or changed.
    const fs::path dir = fs::temp_directory_path() / ("fairholm-real-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    for (const char* name : {"golf.bin", "f10.bin", "f13.bin", "f16.bin", "holes_1-3", "arrow", "help.txt"}) {
        fs::copy_file(program / name, dir / name, fs::copy_options::overwrite_existing);
    }
    // Two full swings, each stopped by a second press just short of a full meter, and a
    // putt on the green at a fifth of the meter.
    std::ofstream(dir / "round.script") << "at 2600 char N\n"
                                           "at 5000 key action\nat 7000 key action\n"
                                           "at 25000 key action\nat 27000 key action\n"
                                           "at 45000 key action\nat 45400 key action\n"
                                           "at 65000 stop\n";
    const std::string command = std::string(FAIRHOLM_HEADLESS) + " --quiet --data " + dir.string() +
                                " --script " + (dir / "round.script").string();
    int status = -1;
    const std::string output = fairholm::testing::commandOutput(command, status);
    EXPECT_EQ(status, 0);
    fs::remove_all(dir);
    // On the green (surface 4) with the putter in hand, or already holed.
    const bool onGreen = output.find("hole=1 strokes=3") != std::string::npos &&
                         output.find("club=10 lie=4") != std::string::npos;
    const bool holed = output.find("state=10") != std::string::npos;
    EXPECT_TRUE(onGreen || holed) << output;
}
