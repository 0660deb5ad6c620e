#include "platform/win32/Win32Platform.h"

#include <mmsystem.h>

#include "game/Golf.h"

namespace fairholm {

Win32Platform::Win32Platform(HWND window, bool pocketPC, bool highResolution)
    : m_window(window), m_pocketPC(pocketPC), m_highResolution(highResolution) {}

// Runs on the game thread right after the rectangle was painted into the back buffer.
void Win32Platform::invalidateWindowRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (!m_game) {
        return;
    }
    const IntArray& source = m_game->backBuffer();
    const int32_t shift = m_highResolution ? 1 : 0;
    if (!m_frame.store(source.data(), source.length(), m_game->getWidth(), m_game->getHeight(), left >> shift,
                       top >> shift, (right + shift) >> shift, (bottom + shift) >> shift)) {
        return;
    }
    const RECT rect{left, top, right, bottom};
    InvalidateRect(m_window, &rect, FALSE);
}

// The path is in the program's code page, as the runtime opens files with it.
void Win32Platform::playSoundFile(const char* path) {
    wchar_t wide[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH) == 0) {
        return;  // does not fit: not played
    }
    // No default sound for a missing file: a sound that cannot be played stays silent.
    PlaySoundW(wide, nullptr, SND_ASYNC | SND_FILENAME | SND_NODEFAULT);
}

void Win32Platform::requestExit() {
    PostMessageW(m_window, WM_CLOSE, 0, 0);
}

}  // namespace fairholm
