// The recordings left in the save folder: numbered in the order they were made, listed
// newest first, only the newest kept, and nothing else in the folder touched.
#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/ReplayLibrary.h"

using namespace fairholm;

namespace {

namespace fs = std::filesystem;

// A save folder of its own, removed at the end.
class SaveFolder {
public:
    SaveFolder() {
        static std::atomic<int> serial{0};
        m_path = (fs::temp_directory_path() /
                  ("fairholm-replays-" + std::to_string(::getpid()) + "-" + std::to_string(serial++)))
                     .string() +
                 "/";
        fs::create_directories(m_path);
    }
    ~SaveFolder() {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    SaveFolder(const SaveFolder&) = delete;
    SaveFolder& operator=(const SaveFolder&) = delete;

    const std::string& path() const { return m_path; }
    std::string replays() const { return m_path + "replays/"; }

private:
    std::string m_path;
};

void touch(const std::string& path, const std::string& text = "x") {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::string roundName(long number) {
    char name[32];
    std::snprintf(name, sizeof name, "round-%06ld.fhr", number);
    return name;
}

std::vector<std::string> names(const std::vector<std::string>& paths) {
    std::vector<std::string> result;
    for (const std::string& path : paths) {
        result.push_back(fs::path(path).filename().string());
    }
    return result;
}

}  // namespace

TEST(ReplayLibrary, TheFolderIsReplaysInTheSaveFolder) {
    EXPECT_EQ(ReplayLibrary("/some/where/").folder(), "/some/where/replays/");
    EXPECT_EQ(ReplayLibrary("").folder(), "replays/");
}

TEST(ReplayLibrary, NewRecordingsAreNumberedFromOneAndMakeTheFolder) {
    SaveFolder save;
    const ReplayLibrary library(save.path());
    EXPECT_FALSE(fs::exists(save.replays()));
    EXPECT_TRUE(library.list().empty());
    EXPECT_EQ(library.newest(), "");

    const std::string first = library.newRecording();
    EXPECT_EQ(first, save.replays() + "round-000001.fhr");
    EXPECT_TRUE(fs::is_directory(save.replays()));
    EXPECT_FALSE(fs::exists(first));  // named, not made
    // Until it is written the same name comes again.
    EXPECT_EQ(library.newRecording(), first);

    touch(first);
    EXPECT_EQ(library.newRecording(), save.replays() + "round-000002.fhr");
    touch(library.newRecording());
    EXPECT_EQ(library.newRecording(), save.replays() + "round-000003.fhr");
    EXPECT_EQ(library.newest(), save.replays() + "round-000002.fhr");
}

TEST(ReplayLibrary, TheNextNumberFollowsTheHighestOne) {
    SaveFolder save;
    const ReplayLibrary library(save.path());
    fs::create_directories(save.replays());
    for (long n : {3L, 41L, 7L}) {
        touch(save.replays() + roundName(n));
    }
    EXPECT_EQ(library.newRecording(), save.replays() + "round-000042.fhr");
    // Number 0 is a recording too, older than all others.
    SaveFolder other;
    fs::create_directories(other.replays());
    touch(other.replays() + roundName(0));
    const ReplayLibrary zero(other.path());
    EXPECT_EQ(zero.list(), std::vector<std::string>{other.replays() + "round-000000.fhr"});
    EXPECT_EQ(zero.newRecording(), other.replays() + "round-000001.fhr");
}

TEST(ReplayLibrary, NoNumberAfterTheLastOne) {
    SaveFolder save;
    const ReplayLibrary library(save.path());
    fs::create_directories(save.replays());
    touch(save.replays() + roundName(999998));
    EXPECT_EQ(library.newRecording(), save.replays() + "round-999999.fhr");
    touch(save.replays() + roundName(999999));
    EXPECT_EQ(library.newRecording(), "");
    EXPECT_EQ(library.newest(), save.replays() + "round-999999.fhr");
}

TEST(ReplayLibrary, ListsNewestFirstByNumberNotByName) {
    SaveFolder save;
    const ReplayLibrary library(save.path());
    fs::create_directories(save.replays());
    for (long n : {2L, 10L, 1L, 100L, 9L}) {
        touch(save.replays() + roundName(n));
    }
    EXPECT_EQ(names(library.list()), (std::vector<std::string>{roundName(100), roundName(10), roundName(9),
                                                               roundName(2), roundName(1)}));
    EXPECT_EQ(library.list().front(), save.replays() + roundName(100));
    EXPECT_EQ(library.newest(), save.replays() + roundName(100));
}

TEST(ReplayLibrary, NamesNotOursAreLeftOut) {
    SaveFolder save;
    const ReplayLibrary library(save.path());
    fs::create_directories(save.replays());
    touch(save.replays() + roundName(5));
    const std::vector<std::string> foreign = {
        "round-1.fhr",      "round-0000001.fhr", "round-00000a.fhr",
        "round-000004.FHR", "Round-000004.fhr",  "round-000004.fhr.tmp",
        "round_000004.fhr", "round-000004fhr",   ".round-000004.fhr",
        "notes.txt",        "round-+00004.fhr",  "round- 00004.fhr",
    };
    for (const std::string& name : foreign) {
        touch(save.replays() + name);
    }
    // A folder with one of our names is not a recording either.
    fs::create_directories(save.replays() + roundName(99));
    EXPECT_EQ(library.list(), std::vector<std::string>{save.replays() + roundName(5)});
    EXPECT_EQ(library.newest(), save.replays() + roundName(5));
    // Pruning never touches them.
    library.prune();
    for (const std::string& name : foreign) {
        EXPECT_TRUE(fs::exists(save.replays() + name)) << name;
    }
    EXPECT_TRUE(fs::is_directory(save.replays() + roundName(99)));
}

TEST(ReplayLibrary, PruneKeepsTheNewestTwenty) {
    SaveFolder save;
    const ReplayLibrary library(save.path());
    fs::create_directories(save.replays());
    touch(save.replays() + "notes.txt");
    for (long n = 1; n <= 25; ++n) {
        touch(save.replays() + roundName(n));
    }
    ASSERT_EQ(library.list().size(), 25u);
    library.prune();
    const std::vector<std::string> kept = library.list();
    ASSERT_EQ(kept.size(), ReplayLibrary::kept);
    EXPECT_EQ(kept.front(), save.replays() + roundName(25));
    EXPECT_EQ(kept.back(), save.replays() + roundName(6));
    for (long n = 1; n <= 5; ++n) {
        EXPECT_FALSE(fs::exists(save.replays() + roundName(n))) << n;
    }
    EXPECT_TRUE(fs::exists(save.replays() + "notes.txt"));
    // Again: nothing more goes.
    library.prune();
    EXPECT_EQ(library.list(), kept);
    // The numbering goes on after the highest, not from the count.
    EXPECT_EQ(library.newRecording(), save.replays() + roundName(26));
}

TEST(ReplayLibrary, PruneLeavesTwentyOrFewerAlone) {
    SaveFolder save;
    const ReplayLibrary library(save.path());
    library.prune();  // no folder at all
    EXPECT_FALSE(fs::exists(save.replays()));
    fs::create_directories(save.replays());
    for (long n = 1; n <= static_cast<long>(ReplayLibrary::kept); ++n) {
        touch(save.replays() + roundName(n * 3));
    }
    library.prune();
    EXPECT_EQ(library.list().size(), ReplayLibrary::kept);
    EXPECT_TRUE(fs::exists(save.replays() + roundName(3)));
}

TEST(ReplayLibrary, NoNewRecordingWhereTheFolderCannotBeMade) {
    SaveFolder save;
    touch(save.path() + "blocked");  // a file where the save folder should be
    const ReplayLibrary library(save.path() + "blocked/");
    EXPECT_EQ(library.newRecording(), "");
    EXPECT_TRUE(library.list().empty());
    EXPECT_EQ(library.newest(), "");
    // A file in the place of the replays folder.
    SaveFolder other;
    touch(other.path() + "replays");
    EXPECT_EQ(ReplayLibrary(other.path()).newRecording(), "");
}

TEST(ReplayLibrary, NumberOfReadsOnlyOurNames) {
    EXPECT_EQ(ReplayLibrary::numberOf("round-000001.fhr"), 1);
    EXPECT_EQ(ReplayLibrary::numberOf("round-000000.fhr"), 0);
    EXPECT_EQ(ReplayLibrary::numberOf("round-000123.fhr"), 123);
    EXPECT_EQ(ReplayLibrary::numberOf("round-100000.fhr"), 100000);
    EXPECT_EQ(ReplayLibrary::numberOf("round-999999.fhr"), 999999);
    for (const char* name : {
             "",
             "round-.fhr",
             "round-1.fhr",
             "round-00001.fhr",
             "round-0000001.fhr",
             "round-00000x.fhr",
             "round--00001.fhr",
             "round-+00001.fhr",
             "round- 00001.fhr",
             "round-0x0001.fhr",
             "round-000001.fhs",
             "round-000001.fh",
             "round-000001.fhrx",
             "round-000001fhr",
             "ROUND-000001.fhr",
             "rounds000001.fhr",
             " round-000001.fhr",
             "round-000001.fhr ",
             "replays/round-000001.fhr",
             "round-000001.fhr/",
         }) {
        EXPECT_EQ(ReplayLibrary::numberOf(name), -1) << '"' << name << '"';
    }
    // Digits only: no character of another alphabet slips through as one.
    EXPECT_EQ(ReplayLibrary::numberOf(std::string("round-00000") + char(0xD9) + ".fhr"), -1);
    EXPECT_EQ(ReplayLibrary::numberOf(std::string("round-00000\0.fhr", 16)), -1);
}

// A name the library hands out for a new recording is one nothing in the folder has:
// a folder, or a link to nowhere, under a recording's name takes its number too.
TEST(ReplayLibrary, ANewRecordingIsNeverNamedAfterSomethingAlreadyThere) {
    SaveFolder save;
    const ReplayLibrary library(save.path());
    fs::create_directories(save.replays());
    touch(save.replays() + roundName(1));
    fs::create_directories(save.replays() + roundName(2));
    fs::create_symlink(save.path() + "nowhere", save.replays() + roundName(3));
    const std::string next = library.newRecording();
    EXPECT_FALSE(next.empty());
    std::error_code error;
    EXPECT_FALSE(fs::exists(fs::symlink_status(next, error))) << next;
}
