#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/sprite/Platform.h"
#include "game/Golf.h"
#include "runtime/Clock.h"

namespace fairholm::testing {

// A platform that remembers what the game asked of it.
class RecordingPlatform final : public Platform {
public:
    bool pocketPC = false;
    bool highResolution = false;
    int exitRequests = 0;
    int invalidations = 0;
    std::vector<std::string> sounds;

    bool isPocketPC() const override { return pocketPC; }
    bool isHighResolution() const override { return highResolution; }
    void invalidateWindowRect(int32_t, int32_t, int32_t, int32_t) override { ++invalidations; }
    void playSoundFile(const char* path) override;
    void requestExit() override { ++exitRequests; }
};

// Runs the real game loop on the test's thread, on a virtual clock, over the synthetic
// test content in a fresh program directory. Whenever the game sleeps, the clock moves
// on and the test's condition is checked; the loop stops once it holds.
class GameHarness {
public:
    explicit GameHarness(int32_t width = 240, int32_t height = 320, bool pocketPC = false);
    ~GameHarness();
    GameHarness(const GameHarness&) = delete;
    GameHarness& operator=(const GameHarness&) = delete;

    Golf& game() { return *m_game; }
    RecordingPlatform& platform() { return *m_platform; }
    uint32_t now() const { return m_now; }
    const std::string& directory() const { return m_directory; }

    // Runs until `done` holds (checked after every sleep of the game) or `limit`
    // milliseconds of game time have passed; answers whether `done` held.
    bool runUntil(const std::function<bool()>& done, uint32_t limit = 120000);
    // Runs `milliseconds` of game time.
    void runFor(uint32_t milliseconds);
    // Runs until the game is in `state`.
    bool runToState(int32_t state, uint32_t limit = 120000);

    // A key press and release as the window delivers them, now.
    void key(int32_t code);
    // Keys delivered while the game runs, `gap` milliseconds apart (so they also reach
    // modal loops such as the club menu), then `gap` more milliseconds of play.
    void keys(const std::vector<int32_t>& codes, uint32_t gap = 50);
    // Called whenever the game sleeps, to look at the game inside modal loops.
    void watch(std::function<void()> watcher) { m_watcher = std::move(watcher); }

    // From the title to the main menu on the screen (after the loading screen).
    void runToMainMenu();
    // From the title to aiming at the first hole ("New game").
    void startNewGame();

    // Text of a text sprite: its text followed by its digits.
    static std::string textOf(const Vtext* text);

    // The saved-state file as it is on disk (empty when missing).
    std::vector<uint8_t> savedFile() const;
    void writeSavedFile(const std::vector<uint8_t>& bytes) const;

    // A fresh game over the same program directory (as after a restart).
    void restart();

private:
    class SteppingClock;
    void advance(uint32_t milliseconds);
    void create();

    std::string m_directory;
    uint32_t m_now = 1000;
    std::function<bool()> m_done;
    std::function<void()> m_watcher;
    std::vector<std::pair<uint32_t, int32_t>> m_scheduled;
    uint32_t m_deadline = 0;
    bool m_satisfied = false;
    int32_t m_width;
    int32_t m_height;
    bool m_pocketPC;
    Ref<RecordingPlatform> m_platform;
    Ref<Golf> m_game;
};

}  // namespace fairholm::testing
