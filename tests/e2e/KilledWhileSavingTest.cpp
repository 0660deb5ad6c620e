// The headless game killed at random moments while it saves option changes again and
// again: the state file is always a whole record, the old one or the new one.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/TestContent.h"

extern char** environ;

namespace fs = std::filesystem;

TEST(KilledWhileSaving, TheStateFileIsAlwaysAWholeOldOrNewRecord) {
    const fs::path dir = fs::temp_directory_path() / ("fairholm-killed-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    ASSERT_TRUE(fairholm::testing::TestContent::write(dir.string()));
    std::ofstream(dir / "greenvale", std::ios::binary).write("\0\0\0\0\0\0", 6);
    // The sound switched every 20 ms of game time, each switch a save.
    {
        std::ofstream script(dir / "toggle.script");
        for (int t = 2600; t < 2600 + 20 * 5000; t += 20) {
            script << "at " << t << " char S\n";
        }
    }
    const std::string headless = FAIRHOLM_HEADLESS;
    const std::string data = dir.string();
    const std::string scriptPath = (dir / "toggle.script").string();
    std::mt19937 random(12091);
    int killedWhilePlaying = 0;
    bool seen[2] = {false, false};
    const auto started = std::chrono::steady_clock::now();
    for (int run = 0; run < 300 && std::chrono::steady_clock::now() - started < std::chrono::seconds(60);
         ++run) {
        std::vector<char*> argv = {const_cast<char*>(headless.c_str()),
                                   const_cast<char*>("--quiet"),
                                   const_cast<char*>("--data"),
                                   const_cast<char*>(data.c_str()),
                                   const_cast<char*>("--script"),
                                   const_cast<char*>(scriptPath.c_str()),
                                   nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        pid_t child = 0;
        ASSERT_EQ(posix_spawn(&child, headless.c_str(), &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        // Once the game has started saving (a save puts a new file in the old one's
        // place), it is killed at a random moment of the saves that follow.
        const auto inode = [&dir] {
            struct stat info {};
            return ::stat((dir / "greenvale").c_str(), &info) == 0 ? info.st_ino : ino_t{0};
        };
        const ino_t before = inode();
        const auto waitedFrom = std::chrono::steady_clock::now();
        while (inode() == before &&
               std::chrono::steady_clock::now() - waitedFrom < std::chrono::seconds(10)) {
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        killedWhilePlaying += WIFSIGNALED(status) ? 1 : 0;

        std::ifstream in(dir / "greenvale", std::ios::binary);
        const std::vector<char> record(std::istreambuf_iterator<char>(in), {});
        ASSERT_EQ(record.size(), 6u) << "run " << run;
        for (int i : {0, 1, 2, 3, 5}) {
            ASSERT_EQ(record[i], 0) << "run " << run << " byte " << i;
        }
        ASSERT_TRUE(record[4] == 0 || record[4] == 1) << "run " << run;
        seen[static_cast<int>(record[4])] = true;
    }
    EXPECT_GT(killedWhilePlaying, 100);  // most runs were cut off in the middle
    EXPECT_TRUE(seen[0] && seen[1]);     // and they did save, both ways
    fs::remove_all(dir);
}
