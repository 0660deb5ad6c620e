#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "game/Journal.h"
#include "game/ReplayModel.h"
#include "game/ReplayReader.h"
#include "runtime/Ref.h"

namespace fairholm {

// Plays a recording back (Journal): answers each observation of the game from the
// recording, and is the game's clock while it does. The game code is the one that
// played, so it makes the same frames again.
//
// Instant playback (the headless shell) passes every millisecond the game sleeps, and
// every jump of the recorded clock, to the inner clock at once. Real-time playback
// keeps the recorded pace, and reads the viewer's keys from the game's own queue (the
// recording answers the game's questions instead) as controls: pause, a quarter speed,
// four times the speed, one frame at a time, on to the next stroke, stop.
//
// The recording must fit the game: when the game asks something else than the
// recording holds next, or a stroke's fingerprint differs, playback stops there and
// says so; it never goes on with a different game. Saves are not written.
class ReplayPlayer final : public Journal {
public:
    enum class Control { None, Pause, Slow, Fast, Step, NextStroke, Quit };
    enum class Outcome {
        Playing,   // not over yet
        Ended,     // played to the end of a whole recording
        CutShort,  // played to the end of what there was
        Diverged,  // the game no longer followed the recording
        Stopped,   // the viewer stopped it
    };

    ReplayPlayer(Ref<Clock> inner, ReplayReader reader, bool realTime);

    // The control a game key stands for during playback.
    static Control controlForKey(int32_t code);
    // A control from any thread (the shells' own keys); applied at the next frame.
    void control(Control control);

    // Clock.
    uint32_t currentTimeMillis() override;
    void sleep(uint32_t milliseconds) override;

    // Journal.
    void begin(Golf& game) override;
    int32_t key(int32_t live) override;
    bool keyDown(int32_t code, bool live) override;
    int32_t pointerX(int32_t live) override;
    int32_t pointerY(int32_t live) override;
    uint64_t requestedSize(uint64_t live) override;
    bool running(bool live) override;
    void pointerSet(int32_t x, int32_t y) override;
    bool savedRecord(bool whole, const ByteArray& record) override;
    int32_t savedFile(int32_t got, const ByteArray& buffer) override;
    bool writesFiles() const override { return false; }
    bool saved(bool live) override;
    void stroke(uint32_t fingerprint) override;

    // Ends the playback where it is (game thread): not a failure.
    void stopPlayback(std::string why) { stopWith(Outcome::Stopped, std::move(why)); }
    // Called after the game's loop has ended: settles the outcome.
    void finish() override;

    const ReplayReader& reader() const { return m_reader; }
    Outcome outcome() const { return m_outcome.load(std::memory_order_acquire); }
    // What the outcome means, in a sentence (empty while playing).
    std::string message() const;
    int32_t strokesPlayed() const { return m_strokes.load(std::memory_order_acquire); }
    bool paused() const { return m_paused.load(std::memory_order_acquire); }
    // Game milliseconds a real one shows: 4 fast, 1, or a quarter (answered as -4).
    int32_t speed() const { return m_speed.load(std::memory_order_acquire); }
    // Game time since the first reading.
    uint32_t elapsed() const { return m_model.time - m_start; }
    // Called on the game thread after each stroke, with its number (from 1).
    void onStroke(std::function<void(int32_t)> watcher) { m_strokeWatcher = std::move(watcher); }

private:
    // The next observation is of `kind`: true when the recording holds a record for
    // it (now in m_current), false when the model's prediction stands.
    bool take(uint8_t kind);
    // The same for kinds that are always recorded.
    bool takeRecord(uint8_t kind);
    void advance();
    void stopWith(Outcome outcome, std::string message);
    void pace(uint32_t gameMillis);
    void readControls();
    void apply(Control control);

    Ref<Clock> m_inner;
    ReplayReader m_reader;
    const bool m_realTime;
    Golf* m_game = nullptr;  // borrowed: the game owns its journal
    ReplayModel m_model;
    ReplayReader::Entry m_next;
    ReplayReader::Entry m_current;
    bool m_haveNext = false;
    uint32_t m_hitsLeft = 0;
    bool m_stopped = false;
    bool m_started = false;
    uint32_t m_start = 0;
    uint64_t m_dueQuarters = 0;
    bool m_skipping = false;
    bool m_stepping = false;
    std::function<void(int32_t)> m_strokeWatcher;

    std::atomic<Outcome> m_outcome{Outcome::Playing};
    std::atomic<int32_t> m_strokes{0};
    std::atomic<bool> m_paused{false};
    std::atomic<int32_t> m_speed{1};
    std::atomic<int32_t> m_pending{0};  // a Control from another thread
    mutable std::mutex m_messageLock;
    std::string m_message;
};

}  // namespace fairholm
