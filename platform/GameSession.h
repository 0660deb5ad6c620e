#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "engine/sprite/Platform.h"
#include "game/Golf.h"
#include "platform/WindowScale.h"
#include "runtime/Ref.h"

namespace fairholm {

// The start-up, the game thread and the end of every shell, in one place. A shell finds
// its program directory and makes its platform; the session then makes the display and
// the one game, hands the display over (the title state), asks for the first size (the
// frame buffer: half the window on screens 480 pixels wide or more), runs the game loop
// on a thread of its own (or on the caller's, headless) and takes the game apart at the
// end.
class GameSession {
public:
    static constexpr uint32_t forever = 0xFFFFFFFF;

    // Whether a window of this width shows the game at half size, stretched by 2.
    static bool isHighResolution(int32_t windowWidth) { return windowWidth >= 480; }
    // The game's own size for a window side.
    static int32_t gameSize(int32_t windowSize, bool highResolution) {
        return highResolution ? windowSize >> 1 : windowSize;
    }

    // With a journal, the game's observations go through it (a recording or a playback)
    // and it is the process clock while the session lasts.
    GameSession(Ref<Platform> platform, int32_t windowWidth, int32_t windowHeight,
                Ref<Journal> journal = nullptr);
    // The first size chosen by the shell (a window whose picture is scaled, WindowScale);
    // `highResolution` is what the platform answers.
    GameSession(Ref<Platform> platform, WindowScale::Size firstSize, bool highResolution,
                Ref<Journal> journal = nullptr);
    // Stops the loop, waits for it and takes the game apart.
    ~GameSession();
    GameSession(const GameSession&) = delete;
    GameSession& operator=(const GameSession&) = delete;

    Golf& game() const { return *m_game; }
    bool highResolution() const { return m_highResolution; }

    // Starts the game thread; false when no thread can be started. `ended` runs on it
    // when the loop has ended (the player left the game, or the shell stopped it).
    bool start(std::function<void()> ended);
    // Runs the loop on the calling thread until it ends.
    void runHere();
    // Stops the loop and waits at most `timeoutMillis` for the game thread, then takes
    // the game apart. False when the thread is still inside a frame: the game is then
    // left alone (the caller ends the process).
    bool stop(uint32_t timeoutMillis = forever);

private:
    // Shared with the game thread, which may outlive an abandoned session.
    struct Ending {
        std::mutex lock;
        std::condition_variable signal;
        bool ended = false;
    };

    Ref<Golf> m_game;
    Ref<Journal> m_journal;
    Ref<Clock> m_previousClock;
    bool m_highResolution;
    std::thread m_thread;
    std::shared_ptr<Ending> m_ending = std::make_shared<Ending>();
    bool m_abandoned = false;
};

}  // namespace fairholm
