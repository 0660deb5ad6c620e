#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/Launcher.h"
#include "runtime/ProgramDirectory.h"

using namespace fairholm;
namespace fs = std::filesystem;

TEST(Launcher, SavesBesideAWritableGameElseInTheUsersDataFolder) {
    const fs::path base = fs::temp_directory_path() / ("fairholm-launch-" + std::to_string(::getpid()));
    fs::create_directories(base);
    ASSERT_TRUE(ProgramDirectory::set(base.c_str()));
    EXPECT_EQ(Launcher::chooseSaveDirectory(), "");

    // A game folder that cannot be written (here: one that is not there).
    ASSERT_TRUE(ProgramDirectory::set((base / "installed" / "game").c_str()));
    ::setenv("XDG_DATA_HOME", (base / "data").c_str(), 1);
    EXPECT_EQ(Launcher::chooseSaveDirectory(), (base / "data" / "fairholm").string() + "/");
    EXPECT_TRUE(fs::is_directory(base / "data" / "fairholm"));

    // A folder of somebody else's, even a writable one (root may write everywhere): an
    // installed game.
    fs::create_directories(base / "theirs");
    if (::chown((base / "theirs").c_str(), ::geteuid() + 1, static_cast<gid_t>(-1)) == 0) {
        ASSERT_TRUE(ProgramDirectory::set((base / "theirs").c_str()));
        EXPECT_EQ(Launcher::chooseSaveDirectory(), (base / "data" / "fairholm").string() + "/");
    }

    // An installed game, even in a folder of the player's own.
    fs::create_directories(base / "usr" / "lib" / "fairholm");
    std::ofstream(base / "usr" / "lib" / "fairholm" / Launcher::installedMark) << "installed\n";
    ASSERT_TRUE(ProgramDirectory::set((base / "usr" / "lib" / "fairholm").c_str()));
    EXPECT_EQ(Launcher::chooseSaveDirectory(), (base / "data" / "fairholm").string() + "/");

    ::unsetenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    const std::string saved = home ? home : "";
    ::setenv("HOME", (base / "home").c_str(), 1);
    EXPECT_EQ(Launcher::chooseSaveDirectory(), (base / "home" / ".local/share/fairholm").string() + "/");
    if (home) {
        ::setenv("HOME", saved.c_str(), 1);
    }
    fs::remove_all(base);
}
