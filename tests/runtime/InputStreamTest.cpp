#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "runtime/InputStream.h"
#include "runtime/ProgramDirectory.h"
#include "runtime/String.h"

using namespace fairholm;
namespace fs = std::filesystem;

namespace {

class InputStreamTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("fairholm-stream-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        ASSERT_TRUE(ProgramDirectory::set(dir.c_str()));
        std::FILE* f = std::fopen((dir / "five").c_str(), "wb");
        std::fwrite("\x01\x02\x03\xff\x05", 1, 5, f);
        std::fclose(f);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

}  // namespace

TEST_F(InputStreamTest, ReadsBytesThenEndOfFileForever) {
    Ref<InputStream> in = InputStream::open(*lit("five"));
    ASSERT_TRUE(in);
    EXPECT_EQ(in->read(), 1);
    EXPECT_EQ(in->read(), 2);
    EXPECT_EQ(in->read(), 3);
    EXPECT_EQ(in->read(), 255);
    EXPECT_EQ(in->read(), 5);
    EXPECT_EQ(in->read(), -1);
    EXPECT_EQ(in->read(), -1);
    in->close();
    in->close();
    EXPECT_EQ(in->read(), -1);
}

TEST_F(InputStreamTest, ShortBlockReadThenMinusOne) {
    Ref<InputStream> in = InputStream::open(*lit("five"));
    ASSERT_TRUE(in);
    ByteArray buffer = newByteArray(8);
    EXPECT_EQ(in->read(buffer, 1, 8), 5);  // clamped to the array, file has 5
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(buffer[1], 1);
    EXPECT_EQ(buffer[4], 255);
    EXPECT_EQ(in->read(buffer, 0, 8), -1);
    EXPECT_EQ(in->read(buffer, 8, 1), -1);  // offset outside the array
    EXPECT_EQ(in->read(buffer, -1, 2), -1);
}

TEST_F(InputStreamTest, LeadingSlashAndMissingFiles) {
    EXPECT_TRUE(InputStream::open(*lit("/five")));
    EXPECT_FALSE(InputStream::open(*lit("missing")));
}

TEST(ProgramDirectory, CutsAtTheLastSeparatorAndRefusesLongPaths) {
    ASSERT_TRUE(ProgramDirectory::setFromExecutablePath("/opt/games\\fairholm/bin/fairholm"));
    EXPECT_STREQ(ProgramDirectory::get(), "/opt/games\\fairholm/bin/");
    ASSERT_TRUE(ProgramDirectory::setFromExecutablePath("C:\\Games\\fairholm.exe"));
    EXPECT_STREQ(ProgramDirectory::get(), "C:\\Games\\");

    char path[ProgramDirectory::maxPath];
    ASSERT_TRUE(ProgramDirectory::resolvePath(*lit("/golf.bin"), path));
    EXPECT_STREQ(path, "C:\\Games\\golf.bin");

    // 9 + 250 = 259 characters fit with the terminator, 260 do not.
    std::string name(250, 'n');
    ASSERT_TRUE(ProgramDirectory::resolvePath(*String::copyOf(name), path));
    name.push_back('n');
    EXPECT_FALSE(ProgramDirectory::resolvePath(*String::copyOf(name), path));
    EXPECT_STREQ(path, "");
    EXPECT_FALSE(ProgramDirectory::setFromExecutablePath((std::string(300, 'd') + "/x").c_str()));
    EXPECT_STREQ(ProgramDirectory::get(), "C:\\Games\\");
}

TEST(InputStreamLimits, AFileOverItsLimitIsRefusedAsAMissingOne) {
    const std::string dir = "/tmp/fairholm-limits-" + std::to_string(::getpid()) + "/";
    ASSERT_TRUE(ProgramDirectory::set(dir.c_str()));
    std::filesystem::create_directories(dir);
    std::ofstream(dir + "ten", std::ios::binary) << "0123456789";
    EXPECT_TRUE(InputStream::open(*lit("ten"), 10));
    EXPECT_FALSE(InputStream::open(*lit("ten"), 9));
    EXPECT_TRUE(InputStream::open(*lit("ten")));
    // A sparse file of 2 GB is refused at once, not read.
    std::filesystem::resize_file(std::filesystem::path(dir + "ten"), int64_t{2} << 30);
    EXPECT_FALSE(InputStream::open(*lit("ten"), FileLimits::helpText));
    Ref<InputStream> whole = InputStream::open(*lit("ten"));
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->read(), '0');  // opened at the start
    std::filesystem::remove_all(dir);
    ProgramDirectory::set("");
}
