// The real headless executable, driven by scripts over the synthetic test content.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "game/Course.h"
#include "game/Match.h"
#include "tests/support/CommandOutput.h"
#include "tests/support/TestContent.h"

namespace fs = std::filesystem;
using fairholm::Course;
using fairholm::Match;

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

namespace {

// What a headless round of several players printed: the turns in order and each
// player's card (the strokes of every hole) and place.
struct MatchRun {
    struct Turn {
        int32_t hole;
        int32_t player;
    };
    std::vector<Turn> turns;
    std::vector<std::vector<int32_t>> strokes;  // by player, then hole
    std::vector<int32_t> totals;
    std::vector<int32_t> relatives;
    std::vector<std::array<int32_t, 3>> table;  // place, player, total
    uint32_t winners = 0;
};

MatchRun readMatch(const std::string& out) {
    MatchRun run;
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        int hole = 0;
        int player = 0;
        int total = 0;
        int relative = 0;
        int place = 0;
        char strokes[128] = {};
        if (std::sscanf(line.c_str(), "turn hole=%d player=%d", &hole, &player) == 2) {
            run.turns.push_back({hole - 1, player - 1});
        } else if (line.rfind("card ", 0) == 0) {
            const size_t at = line.find("strokes=");
            if (at != std::string::npos &&
                std::sscanf(line.c_str() + at, "strokes=%127s total=%d relative=%d", strokes, &total,
                            &relative) == 3) {
                std::vector<int32_t> card;
                std::istringstream numbers(strokes);
                std::string n;
                while (std::getline(numbers, n, ',')) {
                    card.push_back(std::stoi(n));
                }
                run.strokes.push_back(card);
                run.totals.push_back(total);
                run.relatives.push_back(relative);
            }
        } else if (std::sscanf(line.c_str(), "table place=%d player=%d total=%d", &place, &player, &total) ==
                   3) {
            run.table.push_back({place, player - 1, total});
            if (line.find(" winner") != std::string::npos) {
                run.winners |= 1u << (player - 1);
            }
        }
    }
    return run;
}

// The order of honours, worked out from the cards: the first hole in the players'
// order, every other one by the hole before's scores, a tie keeping the order before.
void expectHonours(const MatchRun& run, size_t players, int32_t fromHole = 0) {
    std::vector<int32_t> order;
    for (const MatchRun::Turn& turn : run.turns) {
        if (turn.hole == fromHole) {
            order.push_back(turn.player);
        }
    }
    if (fromHole == 0) {
        ASSERT_EQ(order.size(), players);
        for (size_t i = 0; i < players; ++i) {
            EXPECT_EQ(order[i], static_cast<int32_t>(i)) << "the first tee in the players' order";
        }
    }
    for (int32_t hole = fromHole + 1; hole < Course::holeCount; ++hole) {
        std::vector<int32_t> played;
        for (const MatchRun::Turn& turn : run.turns) {
            if (turn.hole == hole) {
                played.push_back(turn.player);
            }
        }
        if (order.size() == players) {
            std::stable_sort(order.begin(), order.end(), [&run, hole](int32_t a, int32_t b) {
                return run.strokes[static_cast<size_t>(a)][static_cast<size_t>(hole - 1)] <
                       run.strokes[static_cast<size_t>(b)][static_cast<size_t>(hole - 1)];
            });
            EXPECT_EQ(played, order) << "hole " << hole + 1;
        }
        order = played;
    }
}

void expectCardsAndTable(const MatchRun& run, size_t players) {
    ASSERT_EQ(run.strokes.size(), players);
    int32_t best = 1 << 30;
    for (size_t p = 0; p < players; ++p) {
        ASSERT_EQ(run.strokes[p].size(), static_cast<size_t>(Course::holeCount));
        int32_t total = 0;
        int32_t pars = 0;
        for (int32_t hole = 0; hole < Course::holeCount; ++hole) {
            const int32_t s = run.strokes[p][static_cast<size_t>(hole)];
            EXPECT_GE(s, 1);
            EXPECT_LE(s, Course::par(hole) + Match::pickUpOver) << "picked up at the limit";
            total += s;
            pars += Course::par(hole);
        }
        EXPECT_EQ(run.totals[p], total);
        EXPECT_EQ(run.relatives[p], total - pars);
        best = std::min(best, total);
    }
    ASSERT_EQ(run.table.size(), players);
    for (size_t i = 0; i < players; ++i) {
        const auto& [place, player, total] = run.table[i];
        EXPECT_EQ(total, run.totals[static_cast<size_t>(player)]);
        if (i > 0) {
            EXPECT_GE(total, run.table[i - 1][2]) << "best first";
            EXPECT_EQ(place,
                      total == run.table[i - 1][2] ? run.table[i - 1][0] : static_cast<int32_t>(i) + 1);
        }
        EXPECT_EQ(((run.winners >> player) & 1) != 0, total == best);
    }
}

}  // namespace

// Two and four players play 18 holes, the built-in player for each in turn.
TEST_F(HeadlessRun, TwoAndFourPlayersPlayARoundInTheOrderOfHonours) {
    const std::string two = run("at 1500 char P\nat 2000 char N\nat 2500 key up\nat 3000 key action\n",
                                "--comfort --bot --quiet --max-time 7200000");
    ASSERT_EQ(status, 0) << two;
    MatchRun r = readMatch(two);
    EXPECT_EQ(r.turns.size(), 2u * Course::holeCount);
    expectHonours(r, 2);
    expectCardsAndTable(r, 2);
    EXPECT_NE(endLine(two).find("state=9"), std::string::npos) << "back at the main menu: " << endLine(two);
    EXPECT_FALSE(fs::exists(dir / "greenvale")) << "the one-player round is left alone";

    const std::string four =
        run("at 1500 char P\nat 1700 char P\nat 1900 char P\nat 2200 char N\nat 2500 char A\nat 2600 char l\n"
            "at 2800 key down\nat 2900 key action\nat 3400 key up\nat 3450 key up\nat 3500 key action\n",
            "--comfort --bot --quiet --max-time 7200000");
    ASSERT_EQ(status, 0) << four;
    r = readMatch(four);
    EXPECT_EQ(r.turns.size(), 4u * Course::holeCount);
    expectHonours(r, 4);
    expectCardsAndTable(r, 4);
    EXPECT_NE(four.find("card player=1 name=Al golfer=male"), std::string::npos) << four;
    EXPECT_NE(four.find("card player=2 name=Player 2 golfer=female"), std::string::npos) << four;
}

// A round of two stopped halfway is saved; the next start resumes it from the main menu
// at the next turn, with the cards kept, and plays it out.
TEST_F(HeadlessRun, ARoundOfTwoIsSavedAndResumedMidRound) {
    const std::string first = run("at 1500 char P\nat 2000 char N\nat 2500 key up\nat 3000 key action\n",
                                  "--comfort --bot --quiet --max-time 300000");
    ASSERT_EQ(status, 0) << first;
    const MatchRun before = readMatch(first);
    ASSERT_FALSE(before.turns.empty());
    ASSERT_TRUE(fs::exists(dir / "greenvale-match"));
    // The turns that finished before the stop: all but the last one begun.
    const MatchRun::Turn stopped = before.turns.back();

    const std::string second = run("at 1500 char R\n", "--comfort --bot --quiet --max-time 7200000");
    ASSERT_EQ(status, 0) << second;
    const MatchRun after = readMatch(second);
    ASSERT_FALSE(after.turns.empty());
    EXPECT_EQ(after.turns.front().hole, stopped.hole) << second;
    EXPECT_EQ(after.turns.front().player, stopped.player) << "the turn that was not finished is played again";
    expectCardsAndTable(after, 2);
    expectHonours(after, 2, stopped.hole);
    for (size_t p = 0; p < 2; ++p) {
        for (int32_t hole = 0; hole < stopped.hole; ++hole) {
            EXPECT_EQ(after.strokes[p][static_cast<size_t>(hole)],
                      before.strokes[p][static_cast<size_t>(hole)])
                << "player " << p + 1 << " hole " << hole + 1;
        }
    }
}
