// Finds a dialog window by its title (waiting at most the given number of milliseconds,
// default 30000) and prints it and its child windows, one line each:
//   window|<title>
//   child|<class>|<control id>|<kind>|<text>
// where kind is "icon" for a visible icon static that holds an icon, "no-icon" for an
// icon static that shows nothing, and "-" otherwise. Exit code 1 when no such
// window appears.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

BOOL CALLBACK printChild(HWND child, LPARAM) {
    char className[256] = {};
    char text[1024] = {};
    GetClassNameA(child, className, sizeof className);
    GetWindowTextA(child, text, sizeof text);
    LONG style = GetWindowLongA(child, GWL_STYLE);
    const char* kind = "-";
    if (lstrcmpiA(className, "Static") == 0 && (style & SS_TYPEMASK) == SS_ICON) {
        bool shown = IsWindowVisible(child) && SendMessageA(child, STM_GETICON, 0, 0) != 0;
        kind = shown ? "icon" : "no-icon";
    }
    std::printf("child|%s|%d|%s|%s\n", className, GetDlgCtrlID(child), kind, text);
    return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::printf("usage: dialogtext <title> [milliseconds]\n");
        return 2;
    }
    DWORD waitMillis = argc > 2 ? static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)) : 30000;
    DWORD start = GetTickCount();
    HWND dialog = nullptr;
    while ((dialog = FindWindowA("#32770", argv[1])) == nullptr) {
        if (GetTickCount() - start > waitMillis) {
            std::printf("no dialog titled %s\n", argv[1]);
            return 1;
        }
        Sleep(100);
    }
    char title[1024] = {};
    GetWindowTextA(dialog, title, sizeof title);
    std::printf("window|%s\n", title);
    EnumChildWindows(dialog, printChild, 0);
    std::fflush(stdout);
    return 0;
}
