// fairholm.exe: the game in a Windows window.
//
//   fairholm.exe [--size WxH] [--pocketpc] [--classic] [--no-record] | --version
//
// --size sets the window's client area (default 480x640; 480 wide or more doubles every
// game pixel), --pocketpc behaves as on a Pocket PC (menus without key digits), --classic
// plays the handset game without the desktop comforts (Golf::setComfort), --no-record
// leaves the game out of the recordings kept in the save folder's replays\.

#include <windows.h>

#include <cwchar>
#include <string>

#include "platform/win32/Win32Shell.h"
#include "runtime/Version.h"

using namespace fairholm;

namespace {

// Whether the only argument is --version.
bool versionAsked() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    const bool asked = arguments && count == 2 && std::wcscmp(arguments[1], L"--version") == 0;
    LocalFree(arguments);
    return asked;
}

// Writes the version on the standard output the program was given, or on the console
// it was started from (a window program has neither of its own).
void printVersion() {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if ((out == nullptr || out == INVALID_HANDLE_VALUE) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        out = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    }
    const std::string line = std::string("fairholm ") + fairholm::version + "\n";
    DWORD written = 0;
    if (out != nullptr && out != INVALID_HANDLE_VALUE) {
        WriteFile(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }
}

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
        } else if (std::wcscmp(arguments[i], L"--no-record") == 0) {
            options.record = false;
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
    if (versionAsked()) {
        printVersion();
        return 0;
    }
    Win32Shell shell(instance, parseOptions());
    return shell.run(showCommand);
}
