#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>

#include "engine/sprite/Platform.h"
#include "platform/SharedFrame.h"

namespace fairholm {

class Golf;

// The platform as the Win32 shell provides it. The game thread calls it: painted
// rectangles are copied into the shared frame and invalidated on the window (the window
// thread paints them), sounds go to PlaySoundW, and the end of the game closes the
// window.
class Win32Platform final : public Platform {
public:
    Win32Platform(HWND window, bool pocketPC, bool highResolution);

    // The game whose back buffer is presented; set before the game thread starts.
    void setGame(Golf* game) { m_game = game; }
    // The folder of the saved state (ending with a separator); empty: beside the game.
    void setSaveDirectory(std::string folder) { m_saveDirectory = std::move(folder); }
    const char* saveDirectory() const override {
        return m_saveDirectory.empty() ? nullptr : m_saveDirectory.c_str();
    }

    bool isPocketPC() const override { return m_pocketPC; }
    bool isHighResolution() const override { return m_highResolution; }
    void invalidateWindowRect(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    void playSoundFile(const char* path) override;
    // A new file of a name no one else has (CREATE_NEW), flushed, then moved over the
    // old one (MOVEFILE_REPLACE_EXISTING, written through).
    bool replaceFile(const char* path, const uint8_t* bytes, int32_t length) override;
    void requestExit() override;

    SharedFrame& frame() { return m_frame; }

private:
    const HWND m_window;
    const bool m_pocketPC;
    const bool m_highResolution;
    Golf* m_game = nullptr;
    std::string m_saveDirectory;
    SharedFrame m_frame;
};

}  // namespace fairholm
