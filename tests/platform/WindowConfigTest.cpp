// The remembered window size: its file, its checks, where it lives and how it is written.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/ConfigFile.h"
#include "platform/Launcher.h"
#include "platform/WindowConfig.h"

using namespace fairholm;
namespace fs = std::filesystem;

namespace {

std::string readAll(const fs::path& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeAll(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

}  // namespace

TEST(WindowConfig, ReadsTheSizeItWrites) {
    int32_t w = 0;
    int32_t h = 0;
    std::string error;
    ASSERT_TRUE(WindowConfig::parse(WindowConfig::format(960, 1280), w, h, error)) << error;
    EXPECT_EQ(w, 960);
    EXPECT_EQ(h, 1280);
    ASSERT_TRUE(WindowConfig::parse("\n  size\t64x8192   # smallest and tallest\r\n", w, h, error)) << error;
    EXPECT_EQ(w, 64);
    EXPECT_EQ(h, 8192);
}

TEST(WindowConfig, BrokenFilesNameTheirProblem) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"", "no size"},
        {"# nothing\n", "no size"},
        {"size 63x640\n", "line 1: a side of 63x640 is not within 64 to 8192 pixels"},
        {"size 480x8193", "line 1: a side of 480x8193 is not within 64 to 8192 pixels"},
        {"size 480x640\nsize 480x640\n", "line 2: a second size"},
        {"size 480 x 640\n", "line 1: expected \"size WIDTHxHEIGHT\""},
        {"size 480x\n", "line 1: expected \"size WIDTHxHEIGHT\""},
        {"size -480x640\n", "line 1: expected \"size WIDTHxHEIGHT\""},
        {"size 4294967776x640\n", "line 1: expected \"size WIDTHxHEIGHT\""},
        {"size 480x640 please\n", "line 1: unexpected text after the size"},
        {"width 480\n", "line 1: expected \"size WIDTHxHEIGHT\""},
        {"sizes 480x640\n", "line 1: expected \"size WIDTHxHEIGHT\""},
        {"size\n", "line 1: expected \"size WIDTHxHEIGHT\""},
    };
    for (const auto& c : cases) {
        int32_t w = 7;
        int32_t h = 7;
        std::string error;
        EXPECT_FALSE(WindowConfig::parse(c.text, w, h, error)) << c.text;
        EXPECT_EQ(error, c.error) << c.text;
        EXPECT_EQ(w, 7) << c.text;  // a refused file gives no size
        EXPECT_EQ(h, 7) << c.text;
    }
    int32_t w = 7;
    int32_t h = 7;
    std::string error;
    EXPECT_FALSE(WindowConfig::parse(std::string("size 480x640\0\n", 14), w, h, error));
    EXPECT_EQ(error, "line 1: unexpected text after the size");
    EXPECT_EQ(w, 7);
}

TEST(WindowConfig, LivesInTheSettingsFolder) {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string savedConfig = config ? config : "";
    const char* home = std::getenv("HOME");
    const std::string savedHome = home ? home : "";
    ::setenv("XDG_CONFIG_HOME", "/somewhere/config", 1);
    EXPECT_EQ(Launcher::configFile("window.conf"), "/somewhere/config/fairholm/window.conf");
    // A relative XDG_CONFIG_HOME does not count.
    ::setenv("XDG_CONFIG_HOME", "relative", 1);
    ::setenv("HOME", "/home/player", 1);
    EXPECT_EQ(Launcher::configFile("keys.conf"), "/home/player/.config/fairholm/keys.conf");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(Launcher::configFile("keys.conf"), "/home/player/.config/fairholm/keys.conf");
    ::unsetenv("HOME");
    EXPECT_EQ(Launcher::configFile("keys.conf"), "");
    if (config) {
        ::setenv("XDG_CONFIG_HOME", savedConfig.c_str(), 1);
    }
    if (home) {
        ::setenv("HOME", savedHome.c_str(), 1);
    }
}

TEST(WindowConfig, SavesInOnePieceAndLoadsWithChecks) {
    const fs::path dir = fs::temp_directory_path() / ("fairholm-window-" + std::to_string(::getpid()));
    fs::remove_all(dir);
    const fs::path file = dir / "config" / "fairholm" / "window.conf";
    int32_t w = 480;
    int32_t h = 640;
    EXPECT_FALSE(WindowConfig::load(file.string(), w, h));  // missing: silent, unchanged
    EXPECT_EQ(w, 480);

    ASSERT_TRUE(WindowConfig::save(file.string(), 1100, 1340));  // the folders are made
    EXPECT_EQ(readAll(file), WindowConfig::format(1100, 1340));
    ASSERT_TRUE(WindowConfig::load(file.string(), w, h));
    EXPECT_EQ(w, 1100);
    EXPECT_EQ(h, 1340);
    EXPECT_EQ(fs::directory_iterator(file.parent_path())->path(), file);  // no temporary left

    // Sides out of range are remembered at their nearest sane value.
    ASSERT_TRUE(WindowConfig::save(file.string(), 20, 9000));
    ASSERT_TRUE(WindowConfig::load(file.string(), w, h));
    EXPECT_EQ(w, 64);
    EXPECT_EQ(h, 8192);

    // Broken, too large or unreadable: the defaults stay.
    w = 480;
    h = 640;
    writeAll(file, "size 10x10\n");
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(WindowConfig::load(file.string(), w, h));
    std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(file.string() + ": line 1: a side of 10x10"), std::string::npos) << said;
    EXPECT_NE(said.find("the default window size applies"), std::string::npos) << said;
    writeAll(file, std::string(WindowConfig::maxBytes + 1, '#'));
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(WindowConfig::load(file.string(), w, h));
    said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("larger than 4 KiB"), std::string::npos) << said;
    fs::remove(file);
    fs::create_directory(file);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(WindowConfig::load(file.string(), w, h));
    said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("cannot be read"), std::string::npos) << said;
    EXPECT_EQ(w, 480);
    EXPECT_EQ(h, 640);
    // A folder in the file's place cannot be replaced: said, not a crash.
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(WindowConfig::save(file.string(), 480, 640));
    said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("cannot write"), std::string::npos) << said;
    EXPECT_FALSE(WindowConfig::save("", 480, 640));
    fs::remove_all(dir);
}

TEST(ConfigFile, ReadsUpToItsLimit) {
    const fs::path dir = fs::temp_directory_path() / ("fairholm-config-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::string text;
    EXPECT_EQ(ConfigFile::read((dir / "none").string(), 10, text), ConfigFile::Status::Missing);
    EXPECT_EQ(ConfigFile::read((dir / "none" / "deeper").string(), 10, text), ConfigFile::Status::Missing);
    writeAll(dir / "ten", "0123456789");
    EXPECT_EQ(ConfigFile::read((dir / "ten").string(), 10, text), ConfigFile::Status::Read);
    EXPECT_EQ(text, "0123456789");
    EXPECT_EQ(ConfigFile::read((dir / "ten").string(), 9, text), ConfigFile::Status::TooLarge);
    EXPECT_TRUE(text.empty());
    EXPECT_EQ(ConfigFile::read(dir.string(), 10, text), ConfigFile::Status::Unreadable);
    // A pipe in its place is not waited for.
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    EXPECT_EQ(ConfigFile::read((dir / "pipe").string(), 10, text), ConfigFile::Status::Unreadable);
    EXPECT_EQ(ConfigFile::describe(ConfigFile::Status::TooLarge, 65536), "larger than 64 KiB");
    EXPECT_EQ(ConfigFile::describe(ConfigFile::Status::TooLarge, 100), "larger than 100 bytes");
    fs::remove_all(dir);
}
