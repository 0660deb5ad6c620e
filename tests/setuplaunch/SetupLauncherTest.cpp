#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "setuplaunch/SetupLauncher.h"

using namespace fairholm;

namespace {

// A desktop that answers from fields and records what the launcher asks of it.
class FakePlatform final : public LauncherPlatform {
public:
    // The registry: whether the key opens and what its default value holds.
    bool keyPresent = true;
    std::string value = "C:\\Program Files\\Microsoft ActiveSync\\CEAPPMGR.EXE";
    bool valueWithTerminator = true;

    // The module path and how a cut answer looks: with a terminator (newer systems) or
    // without one (older systems).
    std::string module = "C:\\Games\\Fairholm\\setuplaunch.exe";
    bool moduleFails = false;
    bool cutWithTerminator = true;

    // Results.
    std::vector<uint32_t> moduleBufferSizes;
    int errorBoxes = 0;
    std::string shownText;
    std::string shownCaption;
    int starts = 0;
    std::string startedProgram;
    std::string startedArgument;

    bool readManagerValue(char* buffer, uint32_t& size) override {
        if (!keyPresent) {
            return false;
        }
        uint32_t needed = static_cast<uint32_t>(value.size()) + (valueWithTerminator ? 1 : 0);
        if (needed > size) {
            return false;
        }
        std::memcpy(buffer, value.data(), value.size());
        if (valueWithTerminator) {
            buffer[value.size()] = 0;
        }
        size = needed;
        return true;
    }

    uint32_t moduleFileName(char* buffer, uint32_t size) override {
        moduleBufferSizes.push_back(size);
        if (moduleFails) {
            return 0;
        }
        if (module.size() < size) {
            std::memcpy(buffer, module.c_str(), module.size() + 1);
            return static_cast<uint32_t>(module.size());
        }
        if (cutWithTerminator) {
            std::memcpy(buffer, module.data(), size - 1);
            buffer[size - 1] = 0;
        } else {
            std::memcpy(buffer, module.data(), size);
        }
        return size;
    }

    void showError(const char* text, const char* caption) override {
        ++errorBoxes;
        shownText = text;
        shownCaption = caption;
    }

    void startOverlay(const char* program, const char* argument) override {
        ++starts;
        startedProgram = program;
        startedArgument = argument;
    }
};

const char* const kErrorText =
    "Can not find ActiveSync. Please reinstall ActiveSync and than run this installation again.";

}  // namespace

// --- The trigger argument --------------------------------------------------------------

TEST(SetupLauncherTrigger, OnlyTheExactTextCounts) {
    EXPECT_TRUE(SetupLauncher::isTrigger("/Install"));
    for (const char* other : {"/install", "/INSTALL", "/Install ", " /Install", "/Install\t", "/Installer",
                              "/Instal", "Install", "", "-Install", "\"/Install\""}) {
        EXPECT_FALSE(SetupLauncher::isTrigger(other)) << "[" << other << "]";
    }
    EXPECT_FALSE(SetupLauncher::isTrigger(nullptr));
}

// --- The launcher's directory and the argument ----------------------------------------

TEST(SetupLauncherDirectory, CutAfterTheLastBackslash) {
    EXPECT_EQ(SetupLauncher::directoryOf("C:\\Games\\Fairholm\\setuplaunch.exe"), "C:\\Games\\Fairholm\\");
    EXPECT_EQ(SetupLauncher::directoryOf("C:\\setuplaunch.exe"), "C:\\");
}

TEST(SetupLauncherDirectory, ForwardSlashesCountAsSeparators) {
    EXPECT_EQ(SetupLauncher::directoryOf("C:/Games/Fairholm/setuplaunch.exe"), "C:/Games/Fairholm/");
    EXPECT_EQ(SetupLauncher::directoryOf("C:\\Games/Fairholm\\setuplaunch.exe"), "C:\\Games/Fairholm\\");
    EXPECT_EQ(SetupLauncher::directoryOf("C:/Games\\Fairholm/setuplaunch.exe"), "C:/Games\\Fairholm/");
}

TEST(SetupLauncherDirectory, PathWithoutSeparatorLeavesNothing) {
    EXPECT_EQ(SetupLauncher::directoryOf("setuplaunch.exe"), "");
    EXPECT_EQ(SetupLauncher::directoryOf(""), "");
    EXPECT_EQ(SetupLauncher::directoryOf("\\"), "\\");
    EXPECT_EQ(SetupLauncher::directoryOf("C:\\Games\\"), "C:\\Games\\");
}

TEST(SetupLauncherArgument, QuotedSetupIniInTheLauncherDirectory) {
    EXPECT_EQ(SetupLauncher::installArgument("C:\\Program Files\\Fairholm\\setuplaunch.exe"),
              "\"C:\\Program Files\\Fairholm\\setup.ini\"");
    EXPECT_EQ(SetupLauncher::installArgument("D:/cd/setuplaunch.exe"), "\"D:/cd/setup.ini\"");
    EXPECT_EQ(SetupLauncher::installArgument("setuplaunch.exe"), "\"setup.ini\"");
}

// --- The registry value --------------------------------------------------------------

TEST(SetupLauncherValue, TextEndsAtTheFirstZero) {
    std::string text;
    const char bytes[] = {'a', 'b', 0, 'c', 0};
    ASSERT_TRUE(SetupLauncher::valueText(bytes, sizeof bytes, text));
    EXPECT_EQ(text, "ab");
    ASSERT_TRUE(SetupLauncher::valueText(bytes, 0, text));
    EXPECT_EQ(text, "");
}

TEST(SetupLauncherValue, ValueWithoutTerminatorIsTerminatedWhenThereIsRoom) {
    std::string bytes(259, 'p');
    std::string text;
    ASSERT_TRUE(SetupLauncher::valueText(bytes.data(), 259, text));
    EXPECT_EQ(text, bytes);
}

TEST(SetupLauncherValue, FullBufferWithoutTerminatorIsRefused) {
    std::string bytes(260, 'p');
    std::string text = "unchanged";
    EXPECT_FALSE(SetupLauncher::valueText(bytes.data(), 260, text));
    EXPECT_EQ(text, "unchanged");
    bytes[259] = 0;
    ASSERT_TRUE(SetupLauncher::valueText(bytes.data(), 260, text));
    EXPECT_EQ(text.size(), 259u);
}

TEST(SetupLauncherValue, SizeBeyondTheBufferIsRefused) {
    std::string bytes(300, 'p');
    std::string text;
    EXPECT_FALSE(SetupLauncher::valueText(bytes.data(), 261, text));
}

// --- The whole launcher --------------------------------------------------------------

TEST(SetupLauncherRun, InstallStartsTheManagerWithTheQuotedSetupIni) {
    FakePlatform platform;
    EXPECT_EQ(SetupLauncher(platform).run("/Install"), 0);
    EXPECT_EQ(platform.errorBoxes, 0);
    ASSERT_EQ(platform.starts, 1);
    EXPECT_EQ(platform.startedProgram, "C:\\Program Files\\Microsoft ActiveSync\\CEAPPMGR.EXE");
    EXPECT_EQ(platform.startedArgument, "\"C:\\Games\\Fairholm\\setup.ini\"");
    ASSERT_FALSE(platform.moduleBufferSizes.empty());
    EXPECT_EQ(platform.moduleBufferSizes.front(), 260u);
}

TEST(SetupLauncherRun, OtherCommandLinesStartTheManagerWithAnEmptyArgument) {
    for (const char* commandLine : {"/install", "/Install ", "", "/INSTALL", "x"}) {
        FakePlatform platform;
        EXPECT_EQ(SetupLauncher(platform).run(commandLine), 0);
        ASSERT_EQ(platform.starts, 1) << commandLine;
        EXPECT_EQ(platform.startedArgument, "") << commandLine;
        EXPECT_TRUE(platform.moduleBufferSizes.empty()) << commandLine;
    }
    FakePlatform platform;
    EXPECT_EQ(SetupLauncher(platform).run(nullptr), 0);
    EXPECT_EQ(platform.startedArgument, "");
}

TEST(SetupLauncherRun, LauncherReachedThroughForwardSlashes) {
    FakePlatform platform;
    platform.module = "//server/share/games/setuplaunch.exe";
    SetupLauncher(platform).run("/Install");
    EXPECT_EQ(platform.startedArgument, "\"//server/share/games/setup.ini\"");
}

TEST(SetupLauncherRun, ManagerPathIsUsedUnchanged) {
    FakePlatform platform;
    platform.value = "ceappmgr";
    SetupLauncher(platform).run("/Install");
    EXPECT_EQ(platform.startedProgram, "ceappmgr");
}

TEST(SetupLauncherRun, MissingKeyShowsTheErrorBoxAndStartsNothing) {
    FakePlatform platform;
    platform.keyPresent = false;
    EXPECT_EQ(SetupLauncher(platform).run("/Install"), 0);
    EXPECT_EQ(platform.errorBoxes, 1);
    EXPECT_EQ(platform.shownText, kErrorText);
    EXPECT_EQ(platform.shownCaption, "Installation");
    EXPECT_EQ(platform.starts, 0);
}

TEST(SetupLauncherRun, ValueTooLongForTheBufferShowsTheErrorBox) {
    FakePlatform platform;
    platform.value = std::string(260, 'x');  // 261 bytes with its terminator
    EXPECT_EQ(SetupLauncher(platform).run("/Install"), 0);
    EXPECT_EQ(platform.errorBoxes, 1);
    EXPECT_EQ(platform.starts, 0);
}

TEST(SetupLauncherRun, UnterminatedValueFillingTheBufferShowsTheErrorBox) {
    FakePlatform platform;
    platform.value = std::string(260, 'x');
    platform.valueWithTerminator = false;
    EXPECT_EQ(SetupLauncher(platform).run("/Install"), 0);
    EXPECT_EQ(platform.errorBoxes, 1);
    EXPECT_EQ(platform.starts, 0);
}

TEST(SetupLauncherRun, UnterminatedShorterValueIsUsedWhole) {
    FakePlatform platform;
    platform.value = std::string(259, 'x');
    platform.valueWithTerminator = false;
    SetupLauncher(platform).run("");
    EXPECT_EQ(platform.errorBoxes, 0);
    EXPECT_EQ(platform.startedProgram, std::string(259, 'x'));
}

TEST(SetupLauncherRun, LongestValueThatFitsIsUsed) {
    FakePlatform platform;
    platform.value = std::string(259, 'y');  // 260 bytes with its terminator
    SetupLauncher(platform).run("");
    EXPECT_EQ(platform.errorBoxes, 0);
    EXPECT_EQ(platform.startedProgram, platform.value);
}

TEST(SetupLauncherRun, FailedStartIsSilent) {
    FakePlatform platform;
    // The fake returns from startOverlay, as a start that failed does.
    platform.value = "C:\\nowhere\\CEAPPMGR.EXE";
    EXPECT_EQ(SetupLauncher(platform).run("/Install"), 0);
    EXPECT_EQ(platform.errorBoxes, 0);
    EXPECT_EQ(platform.starts, 1);
}

// --- Long module paths ---------------------------------------------------------------

class SetupLauncherLongPath : public ::testing::TestWithParam<bool> {};

TEST_P(SetupLauncherLongPath, CutPathIsAskedForAgainWithALargerBuffer) {
    for (size_t directoryLength : {244u, 245u, 246u, 247u, 248u, 300u, 600u, 5000u, 32000u}) {
        FakePlatform platform;
        platform.cutWithTerminator = GetParam();
        std::string directory = "C:\\" + std::string(directoryLength - 4, 'd') + "\\";
        ASSERT_EQ(directory.size(), directoryLength);
        platform.module = directory + "setuplaunch.exe";
        SetupLauncher(platform).run("/Install");
        EXPECT_EQ(platform.startedArgument, "\"" + directory + "setup.ini\"") << directoryLength;
        EXPECT_EQ(platform.moduleBufferSizes.front(), 260u);
        EXPECT_TRUE(std::is_sorted(platform.moduleBufferSizes.begin(), platform.moduleBufferSizes.end()));
    }
}

INSTANTIATE_TEST_SUITE_P(CutWithAndWithoutTerminator, SetupLauncherLongPath, ::testing::Bool());

TEST(SetupLauncherRun, PathBeyondTheLargestBufferGivesAnEmptyArgument) {
    FakePlatform platform;
    platform.module = "C:\\" + std::string(70000, 'd') + "\\setuplaunch.exe";
    SetupLauncher(platform).run("/Install");
    ASSERT_EQ(platform.starts, 1);
    EXPECT_EQ(platform.startedArgument, "");
    EXPECT_LE(platform.moduleBufferSizes.back(), SetupLauncher::maxModulePathSize);
}

TEST(SetupLauncherRun, FailingModulePathGivesAnEmptyArgument) {
    FakePlatform platform;
    platform.moduleFails = true;
    SetupLauncher(platform).run("/Install");
    ASSERT_EQ(platform.starts, 1);
    EXPECT_EQ(platform.startedArgument, "");
}

TEST(SetupLauncherRun, PathExactlyFillingTheFirstBufferIsAskedForAgain) {
    // 259 characters fit in 260 bytes; 260 characters do not.
    for (size_t length : {259u, 260u}) {
        FakePlatform platform;
        platform.module = "C:\\" + std::string(length - 3 - 16, 'd') + "\\setuplaunch.exe";
        ASSERT_EQ(platform.module.size(), length);
        SetupLauncher(platform).run("/Install");
        EXPECT_EQ(platform.moduleBufferSizes.size(), length == 259 ? 1u : 2u);
        EXPECT_EQ(platform.startedArgument,
                  "\"" + SetupLauncher::directoryOf(platform.module) + "setup.ini\"");
    }
}
