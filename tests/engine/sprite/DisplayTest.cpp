#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/sprite/Vdisplay.h"
#include "runtime/ProgramDirectory.h"
#include "tests/engine/sprite/FakePlatform.h"

using namespace fairholm;
using fairholm::test::FakePlatform;
namespace fs = std::filesystem;

namespace {

class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("fairholm-display-" + std::to_string(::getpid()));
        fs::create_directories(dir);
        ASSERT_TRUE(ProgramDirectory::set(dir.c_str()));
        platform = make<FakePlatform>();
        display = make<Vdisplay>(platform);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string slurp(const char* name) {
        std::ifstream in(dir / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path dir;
    Ref<FakePlatform> platform;
    Ref<Vdisplay> display;
};

}  // namespace

TEST_F(DisplayTest, DeviceKind) {
    EXPECT_EQ(display->deviceKind(), lit("Smartphone"));
    platform->pocketPC = true;
    EXPECT_EQ(display->deviceKind(), lit("PocketPC"));
}

TEST_F(DisplayTest, PlaySoundKeepsTheLeadingSlashAndAlwaysAnswersTrue) {
    EXPECT_TRUE(display->playSound(*lit("swing")));
    EXPECT_TRUE(display->playSound(*lit("/hit")));
    ASSERT_EQ(platform->sounds.size(), 2u);
    EXPECT_EQ(platform->sounds[0], std::string(ProgramDirectory::get()) + "swing");
    EXPECT_EQ(platform->sounds[1], std::string(ProgramDirectory::get()) + "/hit");
    const std::string longName(300, 'x');
    Ref<String> name = String::copyOf(longName);
    EXPECT_TRUE(display->playSound(*name));
    EXPECT_EQ(platform->sounds.size(), 2u);  // refused, still true
}

TEST_F(DisplayTest, SaveThenLoadRoundTripAndNoTemporaryLeft) {
    ByteArray record = newByteArray(6);
    for (int32_t i = 0; i < 6; ++i) {
        record[i] = static_cast<uint8_t>(i * 40);
    }
    {
        std::ofstream old(dir / "greenvale", std::ios::binary);
        old << "previous contents";
    }
    EXPECT_TRUE(display->saveBytes(*lit("greenvale"), record));
    EXPECT_EQ(slurp("greenvale"), std::string("\x00\x28\x50\x78\xa0\xc8", 6));
    EXPECT_FALSE(fs::exists(dir / "greenvale.tmp"));
    ByteArray back = newByteArray(6);
    EXPECT_TRUE(display->loadBytes(*lit("/greenvale"), back));
    EXPECT_EQ(back[5], 200);
}

TEST_F(DisplayTest, LoadShortFileKeepsBytesButAnswersFalse) {
    {
        std::ofstream f(dir / "short", std::ios::binary);
        f << "abc";
    }
    ByteArray buffer = newByteArray(6);
    EXPECT_FALSE(display->loadBytes(*lit("short"), buffer));
    EXPECT_EQ(buffer[2], 'c');
    ByteArray untouched = newByteArray(2);
    untouched[0] = 9;
    EXPECT_FALSE(display->loadBytes(*lit("missing"), untouched));
    EXPECT_EQ(untouched[0], 9);
}

TEST_F(DisplayTest, ASaveWritesANewFileOfItsOwnNeverOnePlantedUnderTheTemporaryName) {
    {
        std::ofstream f(dir / "keep", std::ios::binary);
        f << "old";
    }
    {
        std::ofstream f(dir / "victim", std::ios::binary);
        f << "precious";
    }
    // A directory and a link where a fixed temporary name would go block nothing and
    // are not written through.
    fs::create_directories(dir / "keep.tmp");
    fs::create_symlink(dir / "victim", dir / "keep.0.tmp");
    ByteArray record = newByteArray(3);
    record[0] = 'n';
    record[1] = 'e';
    record[2] = 'w';
    EXPECT_TRUE(display->saveBytes(*lit("keep"), record));
    EXPECT_EQ(slurp("keep"), "new");
    EXPECT_EQ(slurp("victim"), "precious");
    EXPECT_TRUE(fs::is_symlink(dir / "keep.0.tmp"));
}

TEST_F(DisplayTest, AFailedSaveSaysSoAndLeavesNoTemporary) {
    // A folder where the file should be: the new file cannot take its place.
    fs::create_directories(dir / "keep" / "inside");
    ByteArray record = newByteArray(3);
    EXPECT_FALSE(display->saveBytes(*lit("keep"), record));
    EXPECT_TRUE(fs::is_directory(dir / "keep" / "inside"));
    for (const auto& entry : fs::directory_iterator(dir)) {
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
    }
}

TEST_F(DisplayTest, DecodeJpegChecksItsRanges) {
    ByteArray source = newByteArray(10);
    IntArray pixels = newIntArray(4);
    platform->jpegFill = 0x123456;
    EXPECT_EQ(display->decodeJpeg(source, 2, 8, pixels, 1), 3);
    EXPECT_EQ(platform->jpegLength, 8);
    EXPECT_EQ(pixels[0], 0);
    EXPECT_EQ(pixels[3], 0x123456);
    EXPECT_EQ(display->decodeJpeg(source, 3, 8, pixels, 0), 0);
    EXPECT_EQ(display->decodeJpeg(source, 0, 1, pixels, 5), 0);
    EXPECT_EQ(platform->jpegCalls, 1);
}

TEST_F(DisplayTest, InvalidateIsDoubledInDoubledPixelMode) {
    display->invalidateRect(1, 2, 3, 4);
    platform->highResolution = true;
    EXPECT_TRUE(display->isDoubled());
    display->invalidateRect(1, 2, 3, 4);
    ASSERT_EQ(platform->invalidated.size(), 2u);
    EXPECT_EQ(platform->invalidated[0], (FakePlatform::Rect{1, 2, 3, 4}));
    EXPECT_EQ(platform->invalidated[1], (FakePlatform::Rect{2, 4, 6, 8}));
}

namespace {
class SaveFolderPlatform final : public fairholm::Platform {
public:
    explicit SaveFolderPlatform(std::string folder) : m_folder(std::move(folder)) {}
    bool isPocketPC() const override { return false; }
    bool isHighResolution() const override { return false; }
    void invalidateWindowRect(int32_t, int32_t, int32_t, int32_t) override {}
    void playSoundFile(const char*) override {}
    const char* saveDirectory() const override { return m_folder.c_str(); }

private:
    std::string m_folder;
};
}  // namespace

TEST(DisplaySaveFolder, StateGoesToThePlatformsFolderNotTheProgramDirectory) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("fairholm-save-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    auto display =
        fairholm::make<fairholm::Vdisplay>(fairholm::make<SaveFolderPlatform>(folder.string() + "/"));
    fairholm::ByteArray record = fairholm::newByteArray(6);
    record[4] = 3;
    ASSERT_TRUE(display->saveBytes(*fairholm::lit("/greenvale"), record));
    EXPECT_EQ(fs::file_size(folder / "greenvale"), 6u);
    fairholm::ByteArray back = fairholm::newByteArray(6);
    EXPECT_TRUE(display->loadBytes(*fairholm::lit("greenvale"), back));
    EXPECT_EQ(back[4], 3);
    fairholm::ByteArray longer = fairholm::newByteArray(8);
    EXPECT_FALSE(display->loadBytes(*fairholm::lit("greenvale"), longer));  // short file
    EXPECT_EQ(longer[4], 3);                                                // but read
    fs::remove_all(folder);
}
