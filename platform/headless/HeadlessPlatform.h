#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/sprite/Platform.h"

namespace fairholm {

// The platform of the headless shell: no window and no audio. It counts the repaint
// requests and logs the sounds the game asks for.
class HeadlessPlatform final : public Platform {
public:
    HeadlessPlatform(bool pocketPC, bool highResolution)
        : m_pocketPC(pocketPC), m_highResolution(highResolution) {}

    bool isPocketPC() const override { return m_pocketPC; }
    bool isHighResolution() const override { return m_highResolution; }
    void invalidateWindowRect(int32_t, int32_t, int32_t, int32_t) override {
        ++m_invalidations;
        if (m_presentWatcher) {
            m_presentWatcher();
        }
    }
    // Called at every repaint request, as a window would present the picture.
    void setPresentWatcher(std::function<void()> watcher) { m_presentWatcher = std::move(watcher); }
    void playSoundFile(const char* path) override;
    bool replaceFile(const char* path, const uint8_t* bytes, int32_t length) override;

    const std::vector<std::string>& sounds() const { return m_sounds; }
    int64_t invalidations() const { return m_invalidations; }

private:
    bool m_pocketPC;
    bool m_highResolution;
    int64_t m_invalidations = 0;
    std::vector<std::string> m_sounds;
    std::function<void()> m_presentWatcher;
};

}  // namespace fairholm
