#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/Golf.h"
#include "game/ReplayPlayer.h"
#include "game/ReplayReader.h"
#include "game/ReplayRecorder.h"
#include "platform/GameSession.h"
#include "platform/StrokeLog.h"
#include "platform/headless/HeadlessPilot.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/headless/HeadlessScript.h"
#include "runtime/Clock.h"

namespace fairholm {

// Runs the real game without a window on a virtual clock. The game loop runs on the
// calling thread; every time it sleeps, the clock jumps ahead and the script's events
// that fall due are delivered, so a run is deterministic and takes no real time.
class HeadlessShell {
public:
    struct Options {
        int32_t windowWidth = 240;
        int32_t windowHeight = 320;
        bool pocketPC = false;
        uint32_t maxTime = 600000;     // game milliseconds before the run is stopped
        uint32_t linger = 500;         // game milliseconds run after the last event
        int32_t dumpOnState = -1;      // dump the first frame shown in this state
        int32_t dumpOnStateVisit = 1;  // ... the state's visit that is dumped (1: the first)
        std::string dumpOnStateFile;
        bool logSounds = true;
        // Print a digest of every frame drawn, one line each time the game state changes.
        bool hashFrames = false;
        // Let the built-in player play the round (see HeadlessPilot).
        bool pilot = false;
        // The desktop comforts (Golf::setComfort); off: the handset game.
        bool comfort = false;
        // Print the play as the desktop shell's --log-strokes does.
        bool logStrokes = false;
        // Record the game into this file.
        std::string recordFile;
        // Play this recording back (opened): size, device and comforts come from it.
        std::shared_ptr<ReplayReader> replay;
        // With a replay: the stroke (from 1) whose flight is drawn as a strip into the file.
        int32_t exportShot = 0;
        std::string exportFile;
    };

    HeadlessShell(Options options, HeadlessScript script);
    ~HeadlessShell();

    // Runs until the script, the time limit or the game ends; returns the exit code.
    int run();

    Golf& game() { return *m_game; }
    uint32_t now() const { return m_now; }

    // Writes one line describing where the game ended.
    std::string summary() const;
    ReplayPlayer* player() const { return m_player.ptr(); }

private:
    class ScriptedClock;
    void advance(uint32_t milliseconds);
    void deliver(const HeadlessScript::Event& event);
    void dump(const std::string& file);
    // Folds the frame into the digest when it was drawn again since the last look.
    void hashFrame();
    void printFrameDigest(const char* change);
    // A line at each turn of a round of several players, and its table at the end.
    void logTurns();
    void printMatch() const;
    // Keeps frames of the exported shot's flight; writes the strip once it is over.
    void collectShot();
    bool writeShotStrip();

    Options m_options;
    HeadlessScript m_script;
    size_t m_nextEvent = 0;
    uint32_t m_now = 0;
    uint32_t m_scriptEnd = 0;
    size_t m_soundsLogged = 0;
    bool m_stateDumped = false;
    int32_t m_dumpStateVisits = 0;
    int32_t m_dumpStateSeen = -1;  // the state at the last look, for counting visits
    int64_t m_hashedInvalidations = -1;
    uint64_t m_frameDigest = 0;
    uint32_t m_framesHashed = 0;
    int32_t m_lastState = -1;
    int32_t m_loggedTurn = -1;  // hole * 4 + turn of the last turn line
    std::unique_ptr<HeadlessPilot> m_pilot;
    StrokeLog m_strokeLog;
    Ref<ReplayRecorder> m_recorder;
    Ref<ReplayPlayer> m_player;
    std::vector<IntArray> m_shotFrames;
    uint32_t m_lastShotFrame = 0;
    bool m_shotInFlight = false;
    bool m_shotDone = false;
    Ref<HeadlessPlatform> m_platform;
    std::unique_ptr<GameSession> m_session;
    Golf* m_game = nullptr;  // the session's
};

}  // namespace fairholm
