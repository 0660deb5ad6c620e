#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/sprite/Platform.h"

namespace fairholm {

// The platform as the browser shell provides it. Everything runs on the page's one
// thread: the game asks for repaints and sounds, and the shell picks them up each time
// the game sleeps. The saved state lives in a folder the page keeps in IndexedDB; every
// file written there is handed to the browser's storage at once.
class WebPlatform final : public Platform {
public:
    // `saveFolder` ends with a separator.
    WebPlatform(bool pocketPC, std::string saveFolder)
        : m_pocketPC(pocketPC), m_saveFolder(std::move(saveFolder)) {}

    bool isPocketPC() const override { return m_pocketPC; }
    bool isHighResolution() const override { return false; }
    void invalidateWindowRect(int32_t, int32_t, int32_t, int32_t) override { m_dirty = true; }
    void playSoundFile(const char* path) override;
    const char* saveDirectory() const override { return m_saveFolder.c_str(); }
    bool replaceFile(const char* path, const uint8_t* bytes, int32_t length) override;

    // Whether the game asked for a repaint since the last call.
    bool takeDirty() {
        const bool dirty = m_dirty;
        m_dirty = false;
        return dirty;
    }
    // The sounds asked for since the last call, oldest first.
    std::vector<std::string> takeSounds() { return std::move(m_sounds); }

private:
    const bool m_pocketPC;
    const std::string m_saveFolder;
    bool m_dirty = true;
    std::vector<std::string> m_sounds;
};

}  // namespace fairholm
