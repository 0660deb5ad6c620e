#include "platform/sdl/SdlPlatform.h"

#include <SDL.h>

#include "game/Golf.h"
#include "platform/AtomicFile.h"

namespace fairholm {

SdlPlatform::SdlPlatform(bool pocketPC, bool highResolution, uint32_t wakeEvent)
    : m_pocketPC(pocketPC), m_highResolution(highResolution), m_wakeEvent(wakeEvent) {}

void SdlPlatform::wake() {
    SDL_Event event{};
    event.type = m_wakeEvent;
    SDL_PushEvent(&event);
}

// Runs on the game thread right after the rectangle was painted into the back buffer:
// the rectangle is copied into the shared frame, which the interface thread presents.
void SdlPlatform::invalidateWindowRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (!m_game) {
        return;
    }
    // Window rectangles are doubled in doubled-pixel mode; the frame is in game pixels.
    const int32_t shift = m_highResolution ? 1 : 0;
    const IntArray& source = m_game->backBuffer();
    if (m_frame.store(source.data(), source.length(), m_game->getWidth(), m_game->getHeight(), left >> shift,
                      top >> shift, (right + shift) >> shift, (bottom + shift) >> shift)) {
        wake();
    }
    if (m_logStrokes) {
        m_strokeLog.sample(*m_game);
    }
}

bool SdlPlatform::replaceFile(const char* path, const uint8_t* bytes, int32_t length) {
    return AtomicFile::replace(path, bytes, length);
}

void SdlPlatform::playSoundFile(const char* path) {
    {
        std::lock_guard guard(m_lock);
        m_sounds.emplace_back(path);
    }
    wake();
}

std::vector<std::string> SdlPlatform::takeSounds() {
    std::lock_guard guard(m_lock);
    std::vector<std::string> sounds(m_sounds.begin(), m_sounds.end());
    m_sounds.clear();
    return sounds;
}

void SdlPlatform::requestExit() {
    if (m_keepWindow) {
        return;
    }
    SDL_Event event{};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
}

}  // namespace fairholm
