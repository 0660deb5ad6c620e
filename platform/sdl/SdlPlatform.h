#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "engine/sprite/Platform.h"
#include "platform/SharedFrame.h"
#include "platform/StrokeLog.h"

namespace fairholm {

class Golf;

// The platform as the SDL desktop shell provides it. The game thread calls it; what
// must reach the window (finished frames, sounds, the end of the program) is handed to
// the interface thread under a lock and announced with an SDL event.
class SdlPlatform final : public Platform {
public:
    SdlPlatform(bool pocketPC, bool highResolution, uint32_t wakeEvent);

    // The game whose back buffer is presented; set before the game thread starts.
    void setGame(Golf* game) { m_game = game; }
    // Prints the game's play as it goes (--log-strokes); set before the game thread starts.
    void setStrokeLog(bool on) { m_logStrokes = on; }
    // The game asking to close does not close the window (a playback's last frame stays
    // up for the viewer); set before the game thread starts.
    void keepWindowOnExit(bool keep) { m_keepWindow = keep; }

    bool isPocketPC() const override { return m_pocketPC; }
    bool isHighResolution() const override { return m_highResolution; }
    void invalidateWindowRect(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    void playSoundFile(const char* path) override;
    void requestExit() override;
    bool replaceFile(const char* path, const uint8_t* bytes, int32_t length) override;
    const char* saveDirectory() const override {
        return m_saveDirectory.empty() ? nullptr : m_saveDirectory.c_str();
    }
    void setSaveDirectory(std::string folder) { m_saveDirectory = std::move(folder); }

    using Frame = SharedFrame::Frame;
    // Copies the frame when it changed since the last call; false when it did not.
    bool takeFrame(Frame& out) { return m_frame.take(out); }
    // Sound paths asked for since the last call, oldest first.
    std::vector<std::string> takeSounds();

private:
    void wake();

    const bool m_pocketPC;
    const bool m_highResolution;
    const uint32_t m_wakeEvent;
    Golf* m_game = nullptr;
    bool m_logStrokes = false;
    bool m_keepWindow = false;
    StrokeLog m_strokeLog;  // game thread
    std::string m_saveDirectory;

    SharedFrame m_frame;
    std::mutex m_lock;  // guards the sound list
    std::deque<std::string> m_sounds;
};

}  // namespace fairholm
