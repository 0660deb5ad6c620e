#include "setuplaunch/Win32LauncherPlatform.h"

#include <windows.h>

#include <process.h>

#include "setuplaunch/SetupLauncher.h"

namespace fairholm {

static_assert(KEY_READ == SetupLauncher::keyAccess);

bool Win32LauncherPlatform::readManagerValue(char* buffer, uint32_t& size) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SetupLauncher::managerKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    DWORD type = 0;
    DWORD length = size;
    LONG status = RegQueryValueExA(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &length);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || length > size) {
        return false;
    }
    size = length;
    return true;
}

uint32_t Win32LauncherPlatform::moduleFileName(char* buffer, uint32_t size) {
    return GetModuleFileNameA(nullptr, buffer, size);
}

void Win32LauncherPlatform::showError(const char* text, const char* caption) {
    MessageBoxA(nullptr, text, caption, MB_ICONERROR);
}

void Win32LauncherPlatform::startOverlay(const char* program, const char* argument) {
    const char* const arguments[] = {program, argument, nullptr};
    _spawnv(_P_OVERLAY, program, arguments);
}

}  // namespace fairholm
