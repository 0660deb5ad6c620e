// The real headless executable, driven by scripts over the synthetic test content.
#include <gtest/gtest.h>

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
