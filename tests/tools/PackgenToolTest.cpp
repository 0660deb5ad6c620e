// The packgen program as the build runs it: the pack it writes again matches the one in
// the program directory, the contact sheet is a PNG, bad arguments are refused.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<char> bytesOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class PackgenTool : public ::testing::Test {
protected:
    void SetUp() override {
        folder =
            fs::temp_directory_path() /
            ("packgen_tool_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    static std::string quoted(const std::string& s) { return "\"" + s + "\""; }
    int run(const std::string& arguments) const {
        return std::system((quoted(PACKGEN_PATH) + " " + arguments + " 2>/dev/null").c_str());
    }
    std::string sources() const { return quoted(std::string(FAIRHOLM_SOURCE_DIR) + "/assets/pictures"); }

    fs::path folder;
};

TEST_F(PackgenTool, RegeneratingGivesTheBuiltPackByteForByte) {
    const fs::path out = folder / "golf.bin";
    ASSERT_EQ(run(sources() + " " + quoted(FAIRHOLM_FONT_DIR) + " " + quoted(out.string())), 0);
    const std::vector<char> fresh = bytesOf(out);
    ASSERT_FALSE(fresh.empty());
    EXPECT_TRUE(fresh == bytesOf(fs::path(FAIRHOLM_PROGRAM_DIR) / "golf.bin"));
}

TEST_F(PackgenTool, WritesTheContactSheetAndTheStrips) {
    const fs::path sheet = folder / "sheet.png";
    ASSERT_EQ(run(sources() + " " + quoted(FAIRHOLM_FONT_DIR) + " " + quoted((folder / "golf.bin").string()) +
                  " --sheet " + quoted(sheet.string())),
              0);
    for (const fs::path& png : {sheet, folder / "male-strip.png", folder / "female-strip.png"}) {
        const std::vector<char> bytes = bytesOf(png);
        ASSERT_GT(bytes.size(), 1000u) << png;
        EXPECT_EQ(std::string(bytes.begin() + 1, bytes.begin() + 4), "PNG") << png;
    }
}

TEST_F(PackgenTool, RefusesBadArguments) {
    const std::string out = quoted((folder / "golf.bin").string());
    EXPECT_NE(run(""), 0);
    EXPECT_NE(run(sources()), 0);
    EXPECT_NE(run("/nonexistent " + quoted(FAIRHOLM_FONT_DIR) + " " + out), 0);
    EXPECT_NE(run(sources() + " /nonexistent-fonts " + out), 0);
    EXPECT_NE(run(sources() + " " + quoted(FAIRHOLM_FONT_DIR) + " /nonexistent-folder/golf.bin"), 0);
    EXPECT_NE(run(sources() + " " + quoted(FAIRHOLM_FONT_DIR) + " " + out + " --sheep x.png"), 0);
    EXPECT_FALSE(fs::exists(folder / "golf.bin"));
}

}  // namespace
