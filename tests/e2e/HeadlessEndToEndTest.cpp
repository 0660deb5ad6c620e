// The real headless executable, driven by scripts over the synthetic test content.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/CommandOutput.h"
#include "tests/support/TestContent.h"

namespace fs = std::filesystem;

namespace {

class HeadlessRun : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("fairholm-e2e-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
        ASSERT_TRUE(fairholm::testing::TestContent::write(dir.string()));
    }
    void TearDown() override { fs::remove_all(dir); }

    // Runs the headless game with `script`; returns its standard output.
    std::string run(const std::string& script, const std::string& options = "") {
        const fs::path scriptFile = dir / "input.script";
        std::ofstream(scriptFile) << script;
        const std::string command = std::string(FAIRHOLM_HEADLESS) + " --data " + dir.string() +
                                    " --script " + scriptFile.string() + " " + options + " 2>&1";
        return fairholm::testing::commandOutput(command, status);
    }

    static std::string endLine(const std::string& output) {
        const size_t at = output.rfind("end time=");
        return at == std::string::npos ? "" : output.substr(at, output.find('\n', at) - at);
    }

    fs::path dir;
    int status = -1;
};

}  // namespace

TEST_F(HeadlessRun, StartsToTheMainMenuAndDumpsTheTitle) {
    const std::string out = run("at 3000 dump " + (dir / "title.png").string() + "\n");
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find("sound music"), std::string::npos) << out;
    EXPECT_NE(endLine(out).find("state=9"), std::string::npos) << out;
    ASSERT_TRUE(fs::exists(dir / "title.png"));
    EXPECT_GT(fs::file_size(dir / "title.png"), 200u);
}

TEST_F(HeadlessRun, ANewGameWithAShot) {
    const std::string out =
        run("at 2500 char N\n"
            "at 4000 key action\n"  // the meter starts
            "at 5200 key action\n"  // and stops: the swing
            "at 30000 dump " +
            (dir / "after.png").string() + "\n");
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find("sound swing"), std::string::npos) << out;
    EXPECT_NE(out.find("sound hit"), std::string::npos) << out;
    EXPECT_NE(endLine(out).find("strokes=1"), std::string::npos) << out;
    EXPECT_NE(endLine(out).find("hole=1"), std::string::npos) << out;
}

TEST_F(HeadlessRun, TheMapAndBack) {
    const std::string out =
        run("at 2500 char N\n"
            "at 4000 key '7'\n"
            "at 4500 key '1'\n"
            "at 5000 dump " +
                (dir / "map.png").string() +
                "\n"
                "at 5200 key '9'\n",
            "--dump-on-state 4:" + (dir / "state4.png").string());
    EXPECT_EQ(status, 0) << out;
    EXPECT_TRUE(fs::exists(dir / "state4.png"));
    EXPECT_NE(out.find("state=4"), std::string::npos) << out;
    EXPECT_NE(endLine(out).find("state=6"), std::string::npos) << out;
}

TEST_F(HeadlessRun, OptionsAreSavedAndReadByTheNextStart) {
    std::string out = run("at 2500 char S\nat 2700 char F\n");
    EXPECT_EQ(status, 0) << out;
    std::ifstream saved(dir / "greenvale", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, std::string("\0\0\0\0\3\0", 6));
    // Sound is off now: the next start plays nothing.
    out = run("at 2500 char N\n");
    EXPECT_EQ(out.find("sound "), std::string::npos) << out;
}

TEST_F(HeadlessRun, ExitEndsTheProgram) {
    const std::string out = run("at 2500 key back\nat 60000 stop\n");
    EXPECT_EQ(status, 0) << out;
    // The run ended long before the scripted stop.
    const std::string end = endLine(out);
    ASSERT_FALSE(end.empty()) << out;
    EXPECT_LT(std::stoi(end.substr(9)), 10000) << end;
}

TEST_F(HeadlessRun, BadScriptsAreRefused) {
    const std::string out = run("at soon key 5\n");
    EXPECT_NE(status, 0);
    EXPECT_NE(out.find("line 1"), std::string::npos) << out;
}

TEST_F(HeadlessRun, AProgramFolderTooLongForItsPathsRefusesToStart) {
    // 300 bytes of folders: the data would otherwise be read, and saves written, in the
    // working directory.
    const fs::path deep = dir / std::string(140, 'a') / std::string(140, 'b');
    fs::create_directories(deep);
    const fs::path copy = deep / "fairholm-headless";
    fs::copy_file(FAIRHOLM_HEADLESS, copy);
    const std::string command = copy.string() + " --quiet --script /dev/null 2>&1";
    const std::string output =
        fairholm::testing::commandOutput("cd " + dir.string() + " && " + command, status);
    EXPECT_NE(status, 0);
    EXPECT_NE(output.find("longer than 259 bytes"), std::string::npos) << output;
    EXPECT_EQ(output.find("end time="), std::string::npos) << output;
    EXPECT_FALSE(fs::exists(dir / "greenvale"));
}

namespace {

// A PNG file's width and height (from its IHDR chunk); 0 x 0 when it is not one.
std::array<uint32_t, 2> pngSize(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 24 || bytes.compare(1, 3, "PNG") != 0) {
        return {0, 0};
    }
    const auto word = [&bytes](size_t at) {
        uint32_t v = 0;
        for (size_t i = 0; i < 4; ++i) {
            v = v << 8 | static_cast<uint8_t>(bytes[at + i]);
        }
        return v;
    };
    return {word(16), word(20)};
}

}  // namespace

// A recorded shot played back: its flight drawn as a strip of frames side by side; a
// stroke the recording does not have, a recording cut short and one of another format
// version, each said as such.
TEST_F(HeadlessRun, ARecordingPlaysBackAndExportsAShot) {
    const fs::path recording = dir / "game.fhr";
    const std::string live = run("at 2500 char N\nat 4000 key action\nat 5200 key action\nat 20000 stop\n",
                                 "--record " + recording.string());
    ASSERT_EQ(status, 0) << live;
    ASSERT_TRUE(fs::exists(recording)) << live;

    const std::string replay = std::string(FAIRHOLM_HEADLESS) + " --data " + dir.string() + " --replay ";
    const fs::path strip = dir / "strip.png";
    std::string out = fairholm::testing::commandOutput(
        replay + recording.string() + " --export-shot 1 " + strip.string() + " 2>&1", status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find("shot 1: "), std::string::npos) << out;
    const auto size = pngSize(strip);
    EXPECT_EQ(size[1], 320u + 4) << "one row of frames with a border";
    EXPECT_GE(size[0], 2 * (240u + 2) + 2) << "frames of the flight side by side";
    EXPECT_EQ((size[0] - 2) % (240 + 2), 0u);

    out = fairholm::testing::commandOutput(
        replay + recording.string() + " --export-shot 2 " + (dir / "none.png").string() + " 2>&1", status);
    EXPECT_EQ(WEXITSTATUS(status), 1) << out;
    EXPECT_NE(out.find("the recording has no stroke 2"), std::string::npos) << out;

    // Cut short: played to where it ends, and said so.
    std::ifstream in(recording, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const fs::path cut = dir / "cut.fhr";
    std::ofstream(cut, std::ios::binary) << bytes.substr(0, bytes.size() - 8);
    out = fairholm::testing::commandOutput(replay + cut.string() + " 2>&1", status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_NE(out.find("cut short"), std::string::npos) << out;
    EXPECT_NE(out.find("replay ended after 1 strokes"), std::string::npos) << out;

    // Another format version: refused before anything is played.
    bytes[4] = 2;
    const fs::path other = dir / "other.fhr";
    std::ofstream(other, std::ios::binary) << bytes;
    out = fairholm::testing::commandOutput(replay + other.string() + " 2>&1", status);
    EXPECT_EQ(WEXITSTATUS(status), 2) << out;
    EXPECT_NE(out.find("format version 2; this game reads version 1"), std::string::npos) << out;
    EXPECT_EQ(out.find("end time="), std::string::npos) << out;
}
