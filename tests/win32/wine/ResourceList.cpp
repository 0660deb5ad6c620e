// resourcelist: prints the resources of fairholm.exe that the window needs, one per line,
// for the game's wine tests.
//
//   resourcelist.exe <program.exe>
//
//   string|<id>|<text>        strings 1 and 2
//   icon|<id>|<width>x<height> the class icon
//   accelerator|<flags>|<key>|<command>
//   ceux|HI_RES_AWARE|<16-bit value>
#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

void printString(HMODULE module, UINT id) {
    wchar_t text[100] = {};
    const int length = LoadStringW(module, id, text, 100);
    char narrow[300] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
    std::printf("string|%u|%s\n", id, length > 0 ? narrow : "-");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: resourcelist <program.exe>\n");
        return 2;
    }
    const HMODULE module = LoadLibraryExA(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) {
        std::printf("cannot load %s\n", argv[1]);
        return 1;
    }
    printString(module, 1);
    printString(module, 2);

    if (const HICON icon =
            static_cast<HICON>(LoadImageW(module, MAKEINTRESOURCEW(101), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE))) {
        ICONINFO info{};
        BITMAP bitmap{};
        if (GetIconInfo(icon, &info) &&
            GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap)) {
            std::printf("icon|101|%ldx%ld\n", bitmap.bmWidth, bitmap.bmHeight);
        }
        if (info.hbmColor) {
            DeleteObject(info.hbmColor);
        }
        if (info.hbmMask) {
            DeleteObject(info.hbmMask);
        }
        DestroyIcon(icon);
    }

    // The accelerator table as stored: flags, key, command (8 bytes each on disk).
    if (const HRSRC found =
            FindResourceW(module, MAKEINTRESOURCEW(2), reinterpret_cast<LPCWSTR>(RT_ACCELERATOR))) {
        const DWORD size = SizeofResource(module, found);
        const auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(module, found)));
        for (DWORD at = 0; bytes && at + 8 <= size; at += 8) {
            const unsigned flags = bytes[at] | bytes[at + 1] << 8;
            const unsigned key = bytes[at + 2] | bytes[at + 3] << 8;
            const unsigned command = bytes[at + 4] | bytes[at + 5] << 8;
            std::printf("accelerator|%u|%u|%u\n", flags & 0x7F, key, command);
            if (flags & 0x80) {
                break;  // last entry
            }
        }
    }

    if (const HRSRC found = FindResourceW(module, L"HI_RES_AWARE", L"CEUX")) {
        const auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(module, found)));
        if (bytes && SizeofResource(module, found) >= 2) {
            std::printf("ceux|HI_RES_AWARE|%u\n", bytes[0] | bytes[1] << 8);
        }
    }
    FreeLibrary(module);
    return 0;
}
