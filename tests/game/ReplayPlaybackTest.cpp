// A game recorded while it is played and its recording played back in a second game:
// the same frames, the same score, the same end; a recording that no longer fits the
// game stops where it stops fitting, one cut short plays up to where it ends, and the
// playback never writes the viewer's own state file.
#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "engine/sprite/EngineKey.h"
#include "engine/sprite/Vdisplay.h"
#include "game/Golf.h"
#include "game/ReplayFormat.h"
#include "game/ReplayPlayer.h"
#include "game/ReplayReader.h"
#include "game/ReplayRecorder.h"
#include "runtime/ProgramDirectory.h"
#include "runtime/Runtime.h"
#include "tests/game/GameHarness.h"
#include "tests/support/TestContent.h"

using namespace fairholm;

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

bool contains(const std::string& text, const std::string& piece) {
    return text.find(piece) != std::string::npos;
}

// A program directory of its own, with the synthetic test content.
class ProgramFolder {
public:
    ProgramFolder() {
        static std::atomic<int> serial{0};
        m_path = (fs::temp_directory_path() /
                  ("fairholm-replay-" + std::to_string(::getpid()) + "-" + std::to_string(serial++)))
                     .string();
        fs::create_directories(m_path);
        EXPECT_TRUE(fairholm::testing::TestContent::write(m_path));
    }
    ~ProgramFolder() {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    ProgramFolder(const ProgramFolder&) = delete;
    ProgramFolder& operator=(const ProgramFolder&) = delete;

    void use() const { ProgramDirectory::set(m_path.c_str()); }
    bool hasStateFile() const { return fs::exists(m_path + "/greenvale"); }
    Bytes stateFile() const {
        std::ifstream in(m_path + "/greenvale", std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void writeStateFile(const Bytes& bytes) const {
        std::ofstream out(m_path + "/greenvale", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

private:
    std::string m_path;
};

// One step of a player's script: once `when` holds, `wait` milliseconds later, a key
// is pressed and released (or only pressed, or only released), the stylus taps the
// point (code, y), the window asks for the size code x y, or the game is stopped.
struct Step {
    enum Action { Tap, Press, Release, Touch, Resize, Stop };
    std::function<bool(const Golf&)> when;
    Action action;
    int32_t code = 0;
    uint32_t wait = 100;
    int32_t y = 0;
};

bool always(const Golf&) {
    return true;
}

bool inState(const Golf& g, int32_t state) {
    return g.state() == state;
}

// The clock under the journal: time moves only when the game sleeps, and then the
// script goes on. Without a script the game runs until the time limit.
class ScriptClock final : public Clock {
public:
    explicit ScriptClock(std::vector<Step> steps, uint32_t limit)
        : m_steps(std::move(steps)), m_limit(limit) {}

    uint32_t currentTimeMillis() override { return m_now; }
    void sleep(uint32_t milliseconds) override {
        m_now += milliseconds;
        if (m_game) {
            drive();
        }
    }

    void attach(Golf* game) { m_game = game; }
    bool scriptDone() const { return m_next == m_steps.size(); }
    uint32_t now() const { return m_now; }
    // The step the script waits for, when it is not done (for the test's messages).
    size_t step() const { return m_next; }

private:
    void drive() {
        if (m_now - start > m_limit) {
            m_game->stop();
            return;
        }
        if (m_next == m_steps.size()) {
            return;
        }
        const Step& step = m_steps[m_next];
        if (!m_armed && step.when(*m_game)) {
            m_armed = true;
            m_due = m_now + step.wait;
        }
        if (!m_armed || static_cast<int32_t>(m_now - m_due) < 0) {
            return;
        }
        m_armed = false;
        ++m_next;
        switch (step.action) {
            case Step::Tap:
                m_game->keyPressed(step.code);
                m_game->keyReleased(step.code);
                break;
            case Step::Press:
                m_game->keyPressed(step.code);
                break;
            case Step::Release:
                m_game->keyReleased(step.code);
                break;
            case Step::Touch:
                // As the window delivers a tap: the point, then the action key.
                m_game->setPointer(step.code, step.y);
                m_game->keyPressed(key::action);
                m_game->keyReleased(key::action);
                break;
            case Step::Resize:
                m_game->setSize(step.code, step.y);
                break;
            case Step::Stop:
                m_game->stop();
                break;
        }
    }

    static constexpr uint32_t start = 1000;
    std::vector<Step> m_steps;
    uint32_t m_limit;
    uint32_t m_now = start;
    size_t m_next = 0;
    bool m_armed = false;
    uint32_t m_due = 0;
    Golf* m_game = nullptr;
};

// How a game ended.
struct Ending {
    int32_t state = -1;
    int32_t hole = -1;
    int32_t strokes = -1;
    int32_t total = -1;
    int32_t club = -1;
    angle aim = 0;
    uint64_t frame = 0;
    uint32_t fingerprint = 0;
    bool scriptDone = false;
};

// One sitting of the game over `journal`, set up as the shells' session sets it up: the
// journal is the game's journal and the process clock from the display's first reading
// on, over `clock`; the clock before it comes back at the end.
Ending sit(const ProgramFolder& folder, const Ref<ScriptClock>& clock, const Ref<Journal>& journal,
           int32_t width, int32_t height, bool comfort, bool pocketPC) {
    folder.use();
    Runtime::setClock(clock);
    const Ref<Clock> previous = Runtime::currentClock();
    Runtime::setClock(journal);
    Ending ending;
    {
        auto game = make<Golf>();
        game->setJournal(journal);
        auto platform = make<fairholm::testing::RecordingPlatform>();
        platform->pocketPC = pocketPC;
        game->setDisplay(make<Vdisplay>(platform));
        game->setSize(width, height);
        game->setComfort(comfort);
        clock->attach(game.ptr());
        game->run();
        journal->finish();
        clock->attach(nullptr);
        ending.state = game->state();
        ending.hole = game->holeIndex();
        ending.strokes = game->strokes();
        ending.total = game->roundTotal();
        ending.club = game->club();
        ending.aim = game->aim();
        ending.frame = game->frameHash();
        ending.fingerprint = game->fingerprint();
        ending.scriptDone = clock->scriptDone();
        game->dismantle();
    }
    Runtime::setClock(previous);
    EXPECT_EQ(&Runtime::clock(), clock.ptr());
    Runtime::setClock(nullptr);
    return ending;
}

void expectSameEnding(const Ending& played, const Ending& recorded) {
    EXPECT_EQ(played.state, recorded.state);
    EXPECT_EQ(played.hole, recorded.hole);
    EXPECT_EQ(played.strokes, recorded.strokes);
    EXPECT_EQ(played.total, recorded.total);
    EXPECT_EQ(played.club, recorded.club);
    EXPECT_EQ(played.aim, recorded.aim);
    EXPECT_EQ(played.frame, recorded.frame);
    EXPECT_EQ(played.fingerprint, recorded.fingerprint);
}

struct Recorded {
    Ending ending;
    Bytes file;
    std::vector<Bytes> handedOver;  // what reached the sink, in order
    int32_t strokes = 0;
    uint32_t elapsed = 0;
};

Recorded record(const ProgramFolder& folder, std::vector<Step> script, bool comfort = false,
                bool pocketPC = false) {
    Recorded r;
    auto clock = make<ScriptClock>(std::move(script), 300000);
    auto recorder = make<ReplayRecorder>(clock, [&r](const Bytes& file) { r.handedOver.push_back(file); });
    EXPECT_TRUE(recorder->writesFiles());
    r.ending = sit(folder, clock, recorder, 240, 320, comfort, pocketPC);
    r.file = recorder->file();
    r.strokes = recorder->strokes();
    r.elapsed = recorder->elapsed();
    return r;
}

struct Played {
    Ending ending;
    ReplayPlayer::Outcome outcome = ReplayPlayer::Outcome::Playing;
    std::string message;
    int32_t strokes = 0;
    uint32_t elapsed = 0;
};

// Plays `file` back in a game set up as its header says (or at another size).
Played play(const ProgramFolder& folder, const Bytes& file, int32_t width = 0, int32_t height = 0) {
    Played p;
    ReplayReader reader;
    EXPECT_TRUE(reader.open(file)) << reader.message();
    const ReplayFormat::Header header = reader.header();
    auto clock = make<ScriptClock>(std::vector<Step>{}, 600000);
    auto player = make<ReplayPlayer>(clock, std::move(reader), false);
    EXPECT_FALSE(player->writesFiles());
    p.ending = sit(folder, clock, player, width ? width : header.width, height ? height : header.height,
                   header.comfort(), header.pocketPC());
    p.outcome = player->outcome();
    p.message = player->message();
    p.strokes = player->strokesPlayed();
    p.elapsed = player->elapsed();
    return p;
}

// The recording played back in a fresh folder: to its end, and the game ends the same.
void expectPlaysBackTheSame(const Recorded& r) {
    ProgramFolder viewer;
    const Played p = play(viewer, r.file);
    EXPECT_EQ(p.outcome, ReplayPlayer::Outcome::Ended) << p.message;
    expectSameEnding(p.ending, r.ending);
}

// Where each record of a recording begins, and of what kind it is.
struct Spot {
    uint8_t kind;
    size_t start;
    size_t payload;
};

std::vector<Spot> spots(const Bytes& file) {
    std::vector<Spot> found;
    size_t at = 12 + file[11];
    const auto skipVarint = [&] {
        while (file[at++] & 0x80) {
        }
    };
    while (at < file.size()) {
        Spot s{static_cast<uint8_t>(file[at] >> 4), at, 0};
        const bool counted = (file[at] & 0x0F) == 0x0F;
        ++at;
        if (counted) {
            skipVarint();
        }
        s.payload = at;
        switch (s.kind) {
            case ReplayFormat::Key:
            case ReplayFormat::KeyDown:
            case ReplayFormat::PointerX:
            case ReplayFormat::PointerY:
            case ReplayFormat::Time:
                skipVarint();
                break;
            case ReplayFormat::Size:
                skipVarint();
                skipVarint();
                break;
            case ReplayFormat::Record:
                at += 2 + file[at + 1];
                break;
            case ReplayFormat::Stroke:
                at += 4;
                break;
            case ReplayFormat::End:
                at += 5;
                break;
            default:
                break;
        }
        found.push_back(s);
    }
    return found;
}

std::vector<Spot> spotsOf(const Bytes& file, uint8_t kind) {
    std::vector<Spot> found;
    for (const Spot& s : spots(file)) {
        if (s.kind == kind) {
            found.push_back(s);
        }
    }
    return found;
}

// The checksum made again after a change.
void reseal(Bytes& file) {
    const size_t body = file.size() - 4;
    const uint32_t crc = ReplayFormat::crc32(file.data(), body);
    for (int i = 0; i < 4; ++i) {
        file[body + i] = static_cast<uint8_t>(crc >> (8 * i));
    }
}

// The golfer changed and a new game started from the main menu, the aim turned, another club picked from the
// club menu, a swing, then the aim turned back and a second swing with its meter stopped sooner.
std::vector<Step> twoStrokes() {
    const auto menuShown = [](const Golf& g) {
        return g.state() == Golf::MainMenu && g.mainMenu()->hasParent();
    };
    const auto aiming = [](int32_t strokes) {
        return [strokes](const Golf& g) { return g.state() == Golf::Aiming && g.strokes() == strokes; };
    };
    const auto swinging = [](const Golf& g) { return inState(g, Golf::SwingMeter); };
    return {
        {menuShown, Step::Tap, 'F', 200},  // the other golfer: saved at once
        {menuShown, Step::Tap, 'N', 200},    {aiming(0), Step::Tap, '6', 300},
        {always, Step::Tap, '6', 100},       {always, Step::Tap, '1', 200},
        {always, Step::Tap, key::down, 300}, {always, Step::Tap, key::action, 300},
        {aiming(0), Step::Tap, '5', 300},    {swinging, Step::Tap, '5', 900},
        {aiming(1), Step::Tap, '4', 500},    {always, Step::Tap, '5', 300},
        {swinging, Step::Tap, '5', 600},     {aiming(2), Step::Stop, 0, 400},
    };
}

}  // namespace

// ---------------------------------------------------------------------------------

TEST(ReplayPlayback, AGamePlaysBackTheSameToTheEndOfItsRecording) {
    ProgramFolder live;
    const Recorded r = record(live, twoStrokes());
    ASSERT_TRUE(r.ending.scriptDone);
    EXPECT_EQ(r.ending.state, Golf::Aiming);
    EXPECT_EQ(r.ending.strokes, 2);
    EXPECT_NE(r.ending.club, 0);
    EXPECT_EQ(r.strokes, 2);
    EXPECT_TRUE(live.hasStateFile());  // the live game saves

    // The file reached the sink at each stroke, unfinished, and at the end, finished.
    ASSERT_EQ(r.handedOver.size(), 3u);
    EXPECT_EQ(r.handedOver.back(), r.file);
    ReplayReader reader;
    ASSERT_TRUE(reader.open(r.handedOver[0]));
    EXPECT_TRUE(reader.complete());
    EXPECT_EQ(reader.endReason(), ReplayFormat::Unfinished);
    EXPECT_EQ(reader.strokes(), 1);
    ASSERT_TRUE(reader.open(r.file)) << reader.message();
    EXPECT_TRUE(reader.complete());
    EXPECT_EQ(reader.endReason(), ReplayFormat::Finished);
    EXPECT_EQ(reader.strokes(), 2);
    EXPECT_EQ(reader.header().width, 240);
    EXPECT_EQ(reader.header().height, 320);
    EXPECT_FALSE(reader.header().comfort());
    // Compact: the frames between the player's inputs cost nothing.
    EXPECT_LT(r.file.size(), 400u);

    ProgramFolder viewer;
    const Played p = play(viewer, r.file);
    EXPECT_EQ(p.outcome, ReplayPlayer::Outcome::Ended) << p.message;
    EXPECT_EQ(p.message, "the end of the recording");
    EXPECT_EQ(p.strokes, 2);
    EXPECT_EQ(p.elapsed, r.elapsed);
    expectSameEnding(p.ending, r.ending);
    EXPECT_FALSE(viewer.hasStateFile());  // saves are not written
}

TEST(ReplayPlayback, TheViewersStateFileIsNeitherReadNorWritten) {
    ProgramFolder live;
    const Recorded r = record(live, twoStrokes());
    ASSERT_TRUE(r.ending.scriptDone);

    ProgramFolder viewer;
    const Bytes own = {3, 0, 10, 0, 3, 0};  // hole 4, 10 strokes, sound off, female golfer
    viewer.writeStateFile(own);
    const Played p = play(viewer, r.file);
    EXPECT_EQ(p.outcome, ReplayPlayer::Outcome::Ended) << p.message;
    expectSameEnding(p.ending, r.ending);
    EXPECT_EQ(viewer.stateFile(), own);
}

TEST(ReplayPlayback, AResumedRoundResumesFromTheRecordedStateFile) {
    ProgramFolder live;
    live.writeStateFile({3, 0, 10, 0, 0, 0});
    const auto menuShown = [](const Golf& g) {
        return g.state() == Golf::MainMenu && g.mainMenu()->hasParent();
    };
    const Recorded r = record(
        live,
        {
            {menuShown, Step::Tap, 'R', 200},
            {[](const Golf& g) { return inState(g, Golf::Aiming); }, Step::Tap, '5', 300},
            {[](const Golf& g) { return inState(g, Golf::SwingMeter); }, Step::Tap, '5', 700},
            {[](const Golf& g) { return g.state() == Golf::Aiming && g.strokes() == 1; }, Step::Stop, 0, 300},
        });
    ASSERT_TRUE(r.ending.scriptDone);
    EXPECT_EQ(r.ending.hole, 3);
    EXPECT_EQ(r.ending.total, 10);

    ProgramFolder viewer;  // no state file of its own
    const Played p = play(viewer, r.file);
    EXPECT_EQ(p.outcome, ReplayPlayer::Outcome::Ended) << p.message;
    expectSameEnding(p.ending, r.ending);
    EXPECT_EQ(p.ending.hole, 3);
    EXPECT_FALSE(viewer.hasStateFile());
}

TEST(ReplayPlayback, AHeldKeyAndTheComfortsPlayBackTheSame) {
    ProgramFolder live;
    const auto menuShown = [](const Golf& g) {
        return g.state() == Golf::MainMenu && g.mainMenu()->hasParent();
    };
    const auto flying = [](const Golf& g) { return inState(g, Golf::BallInFlight); };
    const Recorded r = record(
        live,
        {
            {menuShown, Step::Tap, 'N', 200},
            {[](const Golf& g) { return inState(g, Golf::Aiming); }, Step::Tap, '5', 300},
            {[](const Golf& g) { return inState(g, Golf::SwingMeter); }, Step::Tap, '5', 800},
            {flying, Step::Press, key::fast, 200},  // hurries the ball along
            {always, Step::Release, key::fast, 1500},
            {[](const Golf& g) { return g.state() == Golf::Aiming && g.strokes() == 1; }, Step::Stop, 0, 300},
        },
        true);
    ASSERT_TRUE(r.ending.scriptDone);
    EXPECT_FALSE(spotsOf(r.file, ReplayFormat::KeyDown).empty());
    ReplayReader reader;
    ASSERT_TRUE(reader.open(r.file));
    EXPECT_TRUE(reader.header().comfort());

    expectPlaysBackTheSame(r);
}

TEST(ReplayPlayback, StylusTapsAndResizesPlayBackTheSame) {
    ProgramFolder live;
    const auto menuShown = [](const Golf& g) {
        return g.state() == Golf::MainMenu && g.mainMenu()->hasParent();
    };
    const auto aiming = [](int32_t strokes) {
        return [strokes](const Golf& g) { return g.state() == Golf::Aiming && g.strokes() == strokes; };
    };
    const Recorded r =
        record(live,
               {
                   {menuShown, Step::Tap, 'N', 200},
                   {aiming(0), Step::Tap, '0', 300},     // the key help hidden
                   {always, Step::Touch, 10, 300, 300},  // left of the ball: turns left
                   {always, Step::Touch, 10, 200, 300},
                   {always, Step::Resize, 320, 300, 240},
                   {always, Step::Tap, '5', 400},
                   {[](const Golf& g) { return inState(g, Golf::SwingMeter); }, Step::Tap, '5', 700},
                   {aiming(1), Step::Resize, 240, 300, 320},
                   {always, Step::Stop, 0, 300},
               },
               false, true);
    ASSERT_TRUE(r.ending.scriptDone);
    EXPECT_EQ(r.ending.strokes, 1);
    EXPECT_FALSE(spotsOf(r.file, ReplayFormat::PointerX).empty());
    EXPECT_EQ(spotsOf(r.file, ReplayFormat::Size).size(), 3u);  // the first size and two changes
    ReplayReader reader;
    ASSERT_TRUE(reader.open(r.file));
    EXPECT_TRUE(reader.header().pocketPC());

    expectPlaysBackTheSame(r);
}

TEST(ReplayPlayback, AStrokeThatComesOutDifferentlyStopsThePlaybackThere) {
    ProgramFolder live;
    const Recorded r = record(live, twoStrokes());
    ASSERT_TRUE(r.ending.scriptDone);
    const std::vector<Spot> strokes = spotsOf(r.file, ReplayFormat::Stroke);
    ASSERT_EQ(strokes.size(), 2u);
    ASSERT_EQ(spots(r.file).back().kind, ReplayFormat::End);
    ASSERT_EQ(spots(r.file).back().start + 6, r.file.size());

    for (size_t which = 0; which < strokes.size(); ++which) {
        SCOPED_TRACE("stroke " + std::to_string(which + 1));
        Bytes altered = r.file;
        altered[strokes[which].payload + 2] ^= 0x01;
        reseal(altered);
        ReplayReader reader;
        ASSERT_TRUE(reader.open(altered)) << reader.message();
        ASSERT_TRUE(reader.complete());

        ProgramFolder viewer;
        const Played p = play(viewer, altered);
        EXPECT_EQ(p.outcome, ReplayPlayer::Outcome::Diverged);
        EXPECT_TRUE(contains(p.message, "the recording does not fit this game")) << p.message;
        EXPECT_TRUE(contains(p.message, "stroke " + std::to_string(which + 1) + " comes out differently"))
            << p.message;
        EXPECT_EQ(p.strokes, static_cast<int32_t>(which));
        EXPECT_FALSE(viewer.hasStateFile());
    }
}

namespace {

// The recording with one more predicted observation before its first stroke: the game
// strokes where the recording expects something else.
Bytes strokeComesEarly(const Bytes& file) {
    const std::vector<Spot> strokes = spotsOf(file, ReplayFormat::Stroke);
    EXPECT_FALSE(strokes.empty());
    Bytes altered = file;
    const size_t lead = strokes[0].start;
    if ((altered[lead] & 0x0F) < 14) {
        ++altered[lead];
    } else {
        EXPECT_EQ(altered[lead] & 0x0F, 15);
        EXPECT_LT(altered[lead + 1], 0x7F);  // one byte of count, which stays one byte
        ++altered[lead + 1];
    }
    reseal(altered);
    return altered;
}

}  // namespace

// The message of such a playback says in words what the game came to where.
TEST(ReplayPlayback, AStrokeWhereTheRecordingExpectsSomethingElseHasDiverged) {
    ProgramFolder live;
    const Recorded r = record(live, twoStrokes());
    ASSERT_TRUE(r.ending.scriptDone);
    ProgramFolder viewer;
    const Played p = play(viewer, strokeComesEarly(r.file));
    EXPECT_EQ(p.outcome, ReplayPlayer::Outcome::Diverged);
    EXPECT_TRUE(contains(p.message, "the recording does not fit this game")) << p.message;
    EXPECT_TRUE(contains(p.message, "stroke")) << p.message;
    EXPECT_FALSE(contains(p.message, "unknown")) << p.message;
    EXPECT_EQ(p.strokes, 0);
    EXPECT_FALSE(viewer.hasStateFile());
}

TEST(ReplayPlayback, AGameSetUpOtherwiseThanTheRecordingIsStoppedAtOnce) {
    ProgramFolder live;
    const Recorded r = record(live, twoStrokes());
    ASSERT_TRUE(r.ending.scriptDone);
    ProgramFolder viewer;
    const Played p = play(viewer, r.file, 176, 220);
    EXPECT_EQ(p.outcome, ReplayPlayer::Outcome::Diverged);
    EXPECT_TRUE(contains(p.message, "not set up as the recording was")) << p.message;
    EXPECT_EQ(p.strokes, 0);
    EXPECT_FALSE(viewer.hasStateFile());
}

TEST(ReplayPlayback, ARecordingCutShortPlaysUpToWhereItEnds) {
    ProgramFolder live;
    const Recorded r = record(live, twoStrokes());
    ASSERT_TRUE(r.ending.scriptDone);
    const std::vector<Spot> strokes = spotsOf(r.file, ReplayFormat::Stroke);
    ASSERT_EQ(strokes.size(), 2u);

    // Cut in the middle of the second stroke's record, and at the start of the End record.
    const std::vector<std::pair<size_t, int32_t>> cuts = {{strokes[1].payload + 2, 1},
                                                          {spots(r.file).back().start, 2}};
    for (const auto& [cut, played] : cuts) {
        SCOPED_TRACE("cut at " + std::to_string(cut) + " of " + std::to_string(r.file.size()));
        const Bytes shorter(r.file.begin(), r.file.begin() + static_cast<long>(cut));
        ProgramFolder viewer;
        const Played p = play(viewer, shorter);
        EXPECT_EQ(p.outcome, ReplayPlayer::Outcome::CutShort) << p.message;
        EXPECT_EQ(p.message, "the recording is cut short after " + std::to_string(played) + " strokes");
        EXPECT_EQ(p.strokes, played);
        EXPECT_GE(p.ending.strokes, played);
        EXPECT_FALSE(viewer.hasStateFile());
    }

    // The file handed over at the first stroke: whole, but of a game still running.
    ProgramFolder viewer;
    const Played p = play(viewer, r.handedOver[0]);
    EXPECT_EQ(p.outcome, ReplayPlayer::Outcome::CutShort) << p.message;
    EXPECT_TRUE(contains(p.message, "still running")) << p.message;
    EXPECT_EQ(p.strokes, 1);
    EXPECT_FALSE(viewer.hasStateFile());
}

TEST(ReplayPlayback, AGameThatGoesOnAfterTheRecordingEndedHasDiverged) {
    ProgramFolder live;
    const Recorded r = record(live, twoStrokes());
    ASSERT_TRUE(r.ending.scriptDone);
    // The last Running record (the loop's end) made the End record, after the same
    // count: the game then runs on past the end.
    const std::vector<Spot> running = spotsOf(r.file, ReplayFormat::Running);
    ASSERT_FALSE(running.empty());
    const Spot last = running.back();
    ASSERT_EQ(spots(r.file).back().start, last.payload);  // the End record follows it
    Bytes file(r.file.begin(), r.file.begin() + static_cast<long>(last.payload));
    file[last.start] = static_cast<uint8_t>(ReplayFormat::End << 4 | (file[last.start] & 0x0F));
    file.insert(file.end(), {ReplayFormat::Finished, 0, 0, 0, 0});
    reseal(file);
    ProgramFolder viewer;
    const Played p = play(viewer, file);
    EXPECT_EQ(p.outcome, ReplayPlayer::Outcome::Diverged) << p.message;
    EXPECT_EQ(p.message, "the game went on after the recording ended");
    EXPECT_EQ(p.strokes, 2);
}
