// windowshot: copies the client area of the top-level window with the given title into
// a BMP file and reports what it shows, for the game's wine tests.
//
//   windowshot.exe <title> <file.bmp|-> [RRGGBB...]
//   windowshot.exe --close <title>
//
// Prints one line: size=WxH colours=<distinct colours> hash=<FNV-1a of the pixels>,
// followed by RRGGBB=<pixel count> for each colour asked for. Exit code 1 when no such
// window exists or it cannot be read.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <set>
#include <vector>

namespace {

bool writeBmp(const char* path, const std::vector<uint32_t>& pixels, int width, int height) {
    std::FILE* file = std::fopen(path, "wb");
    if (!file) {
        return false;
    }
    const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3u + 3u) & ~3u;
    const uint32_t imageBytes = rowBytes * static_cast<uint32_t>(height);
    BITMAPFILEHEADER fileHeader{};
    fileHeader.bfType = 0x4D42;
    fileHeader.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    fileHeader.bfSize = fileHeader.bfOffBits + imageBytes;
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;  // bottom-up
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = imageBytes;
    bool ok = std::fwrite(&fileHeader, sizeof fileHeader, 1, file) == 1 &&
              std::fwrite(&info, sizeof info, 1, file) == 1;
    std::vector<uint8_t> row(rowBytes, 0);
    for (int y = height - 1; y >= 0 && ok; --y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t p =
                pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
            row[static_cast<size_t>(x) * 3] = static_cast<uint8_t>(p);
            row[static_cast<size_t>(x) * 3 + 1] = static_cast<uint8_t>(p >> 8);
            row[static_cast<size_t>(x) * 3 + 2] = static_cast<uint8_t>(p >> 16);
        }
        ok = std::fwrite(row.data(), 1, row.size(), file) == row.size();
    }
    return std::fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: windowshot <title> <file.bmp|-> [RRGGBB...]\n");
        return 2;
    }
    const bool close = std::strcmp(argv[1], "--close") == 0;
    wchar_t title[256];
    if (MultiByteToWideChar(CP_ACP, 0, argv[close ? 2 : 1], -1, title, 256) == 0) {
        return 2;
    }
    const HWND window = FindWindowW(nullptr, title);
    if (!window) {
        std::printf("no window\n");
        return 1;
    }
    if (close) {
        return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    RECT client{};
    GetClientRect(window, &client);
    const int width = client.right - client.left;
    const int height = client.bottom - client.top;
    if (width <= 0 || height <= 0) {
        std::printf("empty window\n");
        return 1;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HDC windowDc = GetDC(window);
    const HDC memoryDc = CreateCompatibleDC(windowDc);
    const HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool copied = false;
    if (bitmap && bits) {
        const HGDIOBJ old = SelectObject(memoryDc, bitmap);
        copied = BitBlt(memoryDc, 0, 0, width, height, windowDc, 0, 0, SRCCOPY) != 0;
        GdiFlush();
        SelectObject(memoryDc, old);
    }
    std::vector<uint32_t> pixels;
    if (copied) {
        const auto* source = static_cast<const uint32_t*>(bits);
        pixels.assign(source, source + static_cast<size_t>(width) * static_cast<size_t>(height));
    }
    if (bitmap) {
        DeleteObject(bitmap);
    }
    DeleteDC(memoryDc);
    ReleaseDC(window, windowDc);
    if (!copied) {
        std::printf("cannot read the window\n");
        return 1;
    }

    std::set<uint32_t> colours;
    uint32_t hash = 2166136261u;
    for (uint32_t& p : pixels) {
        p &= 0xFFFFFF;
        colours.insert(p);
        for (int shift = 0; shift < 24; shift += 8) {
            hash = (hash ^ ((p >> shift) & 0xFF)) * 16777619u;
        }
    }
    std::printf("size=%dx%d colours=%u hash=%08x", width, height, static_cast<unsigned>(colours.size()),
                static_cast<unsigned>(hash));
    for (int i = 3; i < argc; ++i) {
        const uint32_t wanted = static_cast<uint32_t>(std::strtoul(argv[i], nullptr, 16)) & 0xFFFFFF;
        size_t count = 0;
        for (uint32_t p : pixels) {
            count += p == wanted ? 1 : 0;
        }
        std::printf(" %06X=%u", static_cast<unsigned>(wanted), static_cast<unsigned>(count));
    }
    std::printf("\n");
    if (argv[2][0] != '-' && !writeBmp(argv[2], pixels, width, height)) {
        std::printf("cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
