// Replacing the state file in one step on a POSIX system.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/AtomicFile.h"

using namespace fairholm;
namespace fs = std::filesystem;

namespace {

class AtomicFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("fairholm-atomic-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string slurp(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    bool replace(const fs::path& path, const std::string& text) {
        return AtomicFile::replace(path.c_str(), reinterpret_cast<const uint8_t*>(text.data()),
                                   static_cast<int32_t>(text.size()));
    }
    int entries() {
        int n = 0;
        for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir)) {
            ++n;
        }
        return n;
    }

    fs::path dir;
};

}  // namespace

TEST_F(AtomicFileTest, WritesAndReplacesLeavingNothingElse) {
    ASSERT_TRUE(replace(dir / "greenvale", "first!"));
    EXPECT_EQ(slurp(dir / "greenvale"), "first!");
    ASSERT_TRUE(replace(dir / "greenvale", "2nd"));
    EXPECT_EQ(slurp(dir / "greenvale"), "2nd");
    EXPECT_TRUE(replace(dir / "empty", ""));
    EXPECT_EQ(fs::file_size(dir / "empty"), 0u);
    EXPECT_EQ(entries(), 2);
    struct stat info {};
    ASSERT_EQ(::stat((dir / "greenvale").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
}

TEST_F(AtomicFileTest, LinksAndFoldersUnderTemporaryNamesAreNeverWrittenThrough) {
    std::ofstream(dir / "victim") << "precious";
    fs::create_symlink(dir / "victim", dir / "greenvale.tmp");
    fs::create_directories(dir / "greenvale.XXXXXX");
    ASSERT_TRUE(replace(dir / "greenvale", "saved"));
    EXPECT_EQ(slurp(dir / "victim"), "precious");
    EXPECT_EQ(slurp(dir / "greenvale"), "saved");
    // A link at the file's own name is replaced, not followed.
    fs::remove(dir / "greenvale");
    fs::create_symlink(dir / "victim", dir / "greenvale");
    ASSERT_TRUE(replace(dir / "greenvale", "again"));
    EXPECT_FALSE(fs::is_symlink(dir / "greenvale"));
    EXPECT_EQ(slurp(dir / "victim"), "precious");
}

TEST_F(AtomicFileTest, FailuresAnswerFalseAndKeepWhatWasThere) {
    fs::create_directories(dir / "greenvale" / "inside");
    EXPECT_FALSE(replace(dir / "greenvale", "x"));
    EXPECT_TRUE(fs::is_directory(dir / "greenvale" / "inside"));
    EXPECT_EQ(entries(), 1);  // no temporary left behind
    EXPECT_FALSE(replace(dir / "missing" / "greenvale", "x"));
    EXPECT_FALSE(AtomicFile::replace(nullptr, nullptr, 0));
    EXPECT_FALSE(AtomicFile::replace((dir / "n").c_str(), nullptr, 3));
}
