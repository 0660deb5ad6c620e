#include "platform/sdl/SdlPlatform.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "game/Golf.h"

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
    const IntArray& source = m_game->backBuffer();
    const int32_t width = m_game->getWidth();
    const int32_t height = m_game->getHeight();
    if (width <= 0 || height <= 0 || source.length() < width * height) {
        return;
    }
    const int32_t shift = m_highResolution ? 1 : 0;
    const int32_t l = std::clamp(left >> shift, 0, width);
    const int32_t r = std::clamp((right + shift) >> shift, 0, width);
    const int32_t t = std::clamp(top >> shift, 0, height);
    const int32_t b = std::clamp((bottom + shift) >> shift, 0, height);
    {
        std::lock_guard guard(m_lock);
        const bool resized = m_frame.width != width || m_frame.height != height;
        if (resized) {
            m_frame.width = width;
            m_frame.height = height;
            m_frame.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
        }
        // A new size repaints the whole screen, so a full copy is never wasted.
        const int32_t x0 = resized ? 0 : l, x1 = resized ? width : r;
        const int32_t y0 = resized ? 0 : t, y1 = resized ? height : b;
        for (int32_t y = y0; y < y1; ++y) {
            const size_t row = static_cast<size_t>(y) * static_cast<size_t>(width);
            std::memcpy(&m_frame.pixels[row + static_cast<size_t>(x0)], source.data() + row + x0,
                        sizeof(int32_t) * static_cast<size_t>(std::max(0, x1 - x0)));
        }
        m_frameChanged = true;
    }
    wake();
}

bool SdlPlatform::takeFrame(Frame& out) {
    std::lock_guard guard(m_lock);
    if (!m_frameChanged) {
        return false;
    }
    m_frameChanged = false;
    out.width = m_frame.width;
    out.height = m_frame.height;
    out.pixels = m_frame.pixels;
    return true;
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
    SDL_Event event{};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
}

}  // namespace fairholm
