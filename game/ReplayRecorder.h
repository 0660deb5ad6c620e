#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "game/Journal.h"
#include "game/ReplayModel.h"
#include "game/ReplayWriter.h"
#include "runtime/Ref.h"

namespace fairholm {

// Records what the game observes (Journal) into a replay file, and is the game's clock
// while it does.
//
// The clock it gives is a frame clock kept in step with the real one: between the
// player's inputs it moves only by what the game sleeps (sleeping as long as it takes
// the real clock to catch up), so its readings are exactly what the model predicts and
// cost nothing to record. At the first reading after an input, and whenever it has
// fallen more than `maxLag` behind, it takes the real time: those readings are written.
// Frames keep their real pace, and the game still reads the moment of each key press.
//
// The file so far reaches `sink` at every stroke and when the loop has ended.
class ReplayRecorder final : public Journal {
public:
    using Sink = std::function<void(const std::vector<uint8_t>& file)>;
    static constexpr uint32_t maxLag = 100;

    // `inner` is the real clock (or the shell's own).
    explicit ReplayRecorder(Ref<Clock> inner, Sink sink = nullptr);

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
    bool writesFiles() const override { return true; }
    bool saved(bool live) override;
    void stroke(uint32_t fingerprint) override;

    // The loop has ended: the last file goes to the sink, marked finished.
    void finish() override;

    // The recording as it stands (unfinished until finish()).
    std::vector<uint8_t> file() const;
    int32_t strokes() const { return m_strokes; }
    // Game time since the first reading.
    uint32_t elapsed() const { return m_time - m_start; }

private:
    void flush(uint8_t reason);
    // A stylus coordinate against the one last seen.
    int32_t pointer(uint8_t kind, int32_t& seen, int32_t live);

    Ref<Clock> m_inner;
    Sink m_sink;
    ReplayWriter m_writer;
    ReplayModel m_model;
    uint32_t m_time = 0;
    uint32_t m_start = 0;
    bool m_started = false;
    bool m_begun = false;
    bool m_inputSeen = false;
    bool m_finished = false;
    int32_t m_strokes = 0;
};

}  // namespace fairholm
