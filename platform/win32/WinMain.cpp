// fairholm.exe: the game in a Windows window.
//
//   fairholm.exe [--size WxH] [--pocketpc] [--classic]
//
// --size sets the window's client area (default 480x640; 480 wide or more doubles every
// game pixel), --pocketpc behaves as on a Pocket PC (menus without key digits), --classic
// plays the handset game without the desktop comforts (Golf::setComfort).

#include <windows.h>

#include <cwchar>

#include "platform/win32/Win32Shell.h"

using namespace fairholm;

namespace {

Win32Shell::Options parseOptions() {
    Win32Shell::Options options;
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments) {
        return options;
    }
    for (int i = 1; i < count; ++i) {
        if (std::wcscmp(arguments[i], L"--pocketpc") == 0) {
            options.pocketPC = true;
        } else if (std::wcscmp(arguments[i], L"--classic") == 0) {
            options.classic = true;
        } else if (std::wcscmp(arguments[i], L"--size") == 0 && i + 1 < count) {
            int width = 0;
            int height = 0;
            if (std::swscanf(arguments[++i], L"%dx%d", &width, &height) == 2 && width >= 64 && height >= 64 &&
                width <= 8192 && height <= 8192) {
                options.windowWidth = width;
                options.windowHeight = height;
            }
        }
    }
    LocalFree(arguments);
    return options;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    Win32Shell shell(instance, parseOptions());
    return shell.run(showCommand);
}
