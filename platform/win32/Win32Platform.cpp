#include "platform/win32/Win32Platform.h"

#include <mmsystem.h>

#include <cstdio>

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

bool Win32Platform::replaceFile(const char* path, const uint8_t* bytes, int32_t length) {
    if (!path || length < 0 || (length > 0 && !bytes)) {
        return false;
    }
    char temporary[MAX_PATH + 32];
    HANDLE file = INVALID_HANDLE_VALUE;
    for (unsigned attempt = 0; attempt < 64 && file == INVALID_HANDLE_VALUE; ++attempt) {
        const int written = std::snprintf(temporary, sizeof temporary, "%s.%lu-%u.tmp", path,
                                          static_cast<unsigned long>(GetCurrentProcessId()), attempt);
        if (written <= 0 || static_cast<size_t>(written) >= sizeof temporary) {
            return false;
        }
        file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) {
            return false;
        }
    }
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    bool ok = length == 0 || (WriteFile(file, bytes, static_cast<DWORD>(length), &written, nullptr) &&
                              written == static_cast<DWORD>(length));
    ok = FlushFileBuffers(file) && ok;
    ok = CloseHandle(file) && ok;
    if (!ok || !MoveFileExA(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(temporary);
        return false;
    }
    return true;
}

void Win32Platform::requestExit() {
    PostMessageW(m_window, WM_CLOSE, 0, 0);
}

}  // namespace fairholm
