// Pictures for the desktop test: the game's PNG screenshots (F12) and X window captures
// (xwd), compared and measured.
//
//   desktop_shot size FILE                      WIDTHxHEIGHT
//   desktop_shot diff A B X Y W H               pixels that differ within the rectangle
//   desktop_shot scaled WINDOW GAME FACTOR      how WINDOW shows GAME enlarged by FACTOR,
//                                               centred between black bars
//   desktop_shot png FILE OUT                   FILE written as the PNG file OUT
//
// FILE, A, B, WINDOW and GAME are PNG or XWD files (told apart by their first bytes).
// The answers are one line of key=value fields on standard output; exit code 2 when a
// file cannot be read.
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;  // 0xRRGGBB
    uint32_t at(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

bool readPng(const std::string& path, Picture& picture) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        return false;
    }
    image.format = PNG_FORMAT_RGB;
    std::vector<uint8_t> bytes(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    picture.width = static_cast<int32_t>(image.width);
    picture.height = static_cast<int32_t>(image.height);
    picture.pixels.resize(static_cast<size_t>(picture.width) * picture.height);
    for (size_t i = 0; i < picture.pixels.size(); ++i) {
        picture.pixels[i] = uint32_t{bytes[i * 3]} << 16 | uint32_t{bytes[i * 3 + 1]} << 8 | bytes[i * 3 + 2];
    }
    return true;
}

uint32_t bigEndian(const std::vector<uint8_t>& bytes, size_t at) {
    return uint32_t{bytes[at]} << 24 | uint32_t{bytes[at + 1]} << 16 | uint32_t{bytes[at + 2]} << 8 |
           bytes[at + 3];
}

// An xwd capture: a ZPixmap of 24 or 32 bits a pixel, either byte order.
bool readXwd(const std::vector<uint8_t>& bytes, Picture& picture) {
    if (bytes.size() < 100) {
        return false;
    }
    const auto field = [&bytes](int index) { return bigEndian(bytes, static_cast<size_t>(index) * 4); };
    const uint32_t headerSize = field(0);
    const uint32_t format = field(2);
    const uint32_t width = field(4);
    const uint32_t height = field(5);
    const uint32_t byteOrder = field(7);
    const uint32_t bitsPerPixel = field(11);
    const uint32_t bytesPerLine = field(12);
    const uint32_t masks[3] = {field(14), field(15), field(16)};
    const uint32_t colours = field(19);
    if (field(1) != 7 || format != 2 || (bitsPerPixel != 32 && bitsPerPixel != 24) || width == 0 ||
        height == 0 || width > 16384 || height > 16384 || headerSize < 100) {
        return false;
    }
    const size_t data = size_t{headerSize} + size_t{colours} * 12;
    if (data + size_t{bytesPerLine} * height > bytes.size() || bytesPerLine < width * (bitsPerPixel / 8)) {
        return false;
    }
    picture.width = static_cast<int32_t>(width);
    picture.height = static_cast<int32_t>(height);
    picture.pixels.resize(size_t{width} * height);
    const auto channel = [](uint32_t value, uint32_t mask) {
        if (mask == 0) {
            return uint32_t{0};
        }
        int shift = 0;
        while (!(mask >> shift & 1)) {
            ++shift;
        }
        const uint32_t bits = mask >> shift;
        const uint32_t raw = (value & mask) >> shift;
        return bits >= 255 ? raw >> (32 - __builtin_clz(bits) - 8) : raw * 255 / bits;
    };
    const uint32_t step = bitsPerPixel / 8;
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            const uint8_t* p = bytes.data() + data + size_t{y} * bytesPerLine + size_t{x} * step;
            uint32_t value = 0;
            for (uint32_t b = 0; b < step; ++b) {
                value |= uint32_t{p[byteOrder == 0 ? b : step - 1 - b]} << (8 * b);
            }
            picture.pixels[size_t{y} * width + x] =
                channel(value, masks[0]) << 16 | channel(value, masks[1]) << 8 | channel(value, masks[2]);
        }
    }
    return true;
}

bool read(const std::string& path, Picture& picture) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
    if (bytes.size() >= 8 && std::memcmp(bytes.data(), "\x89PNG", 4) == 0) {
        return readPng(path, picture);
    }
    return readXwd(bytes, picture);
}

int32_t number(const char* text) {
    return static_cast<int32_t>(std::strtol(text, nullptr, 10));
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    Picture a;
    Picture b;
    if (command == "size" && argc == 3) {
        if (!read(argv[2], a)) {
            std::fprintf(stderr, "desktop_shot: cannot read %s\n", argv[2]);
            return 2;
        }
        std::printf("%dx%d\n", a.width, a.height);
        return 0;
    }
    if (command == "diff" && argc == 8) {
        if (!read(argv[2], a) || !read(argv[3], b)) {
            std::fprintf(stderr, "desktop_shot: cannot read %s or %s\n", argv[2], argv[3]);
            return 2;
        }
        const int32_t x0 = number(argv[4]);
        const int32_t y0 = number(argv[5]);
        const int32_t w = number(argv[6]);
        const int32_t h = number(argv[7]);
        int64_t differ = 0;
        int64_t total = 0;
        for (int32_t y = y0; y < y0 + h; ++y) {
            for (int32_t x = x0; x < x0 + w; ++x) {
                if (x < 0 || y < 0 || x >= a.width || y >= a.height || x >= b.width || y >= b.height) {
                    continue;
                }
                ++total;
                differ += a.at(x, y) != b.at(x, y) ? 1 : 0;
            }
        }
        std::printf("differ=%lld of=%lld\n", static_cast<long long>(differ), static_cast<long long>(total));
        return 0;
    }
    if (command == "scaled" && argc == 5) {
        if (!read(argv[2], a) || !read(argv[3], b)) {
            std::fprintf(stderr, "desktop_shot: cannot read %s or %s\n", argv[2], argv[3]);
            return 2;
        }
        const int32_t f = number(argv[4]);
        if (f < 1) {
            return 2;
        }
        const int32_t w = b.width * f;
        const int32_t h = b.height * f;
        const int32_t left = (a.width - w) / 2;
        const int32_t top = (a.height - h) / 2;
        // Blocks of f x f window pixels that are not one colour, window pixels outside
        // the picture that are not black, blocks unlike the game's pixel, and the edges
        // of the picture that show anything at all.
        int64_t mixed = 0;
        int64_t bars = 0;
        int64_t unlike = 0;
        int64_t lit = 0;
        for (int32_t y = 0; y < a.height; ++y) {
            for (int32_t x = 0; x < a.width; ++x) {
                const bool inside = x >= left && y >= top && x < left + w && y < top + h;
                if (!inside && a.at(x, y) != 0) {
                    ++bars;
                }
            }
        }
        if (left >= 0 && top >= 0 && left + w <= a.width && top + h <= a.height) {
            for (int32_t by = 0; by < b.height; ++by) {
                for (int32_t bx = 0; bx < b.width; ++bx) {
                    const uint32_t first = a.at(left + bx * f, top + by * f);
                    bool uniform = true;
                    for (int32_t y = 0; y < f && uniform; ++y) {
                        for (int32_t x = 0; x < f; ++x) {
                            if (a.at(left + bx * f + x, top + by * f + y) != first) {
                                uniform = false;
                                break;
                            }
                        }
                    }
                    mixed += uniform ? 0 : 1;
                    unlike += first != b.at(bx, by) ? 1 : 0;
                    const bool edge = bx == 0 || by == 0 || bx == b.width - 1 || by == b.height - 1;
                    lit += edge && first != 0 ? 1 : 0;
                }
            }
        } else {
            mixed = unlike = int64_t{b.width} * b.height;
        }
        std::printf(
            "window=%dx%d game=%dx%d picture=%d,%d,%dx%d mixed=%lld bars=%lld unlike=%lld edge=%lld\n",
            a.width, a.height, b.width, b.height, left, top, w, h, static_cast<long long>(mixed),
            static_cast<long long>(bars), static_cast<long long>(unlike), static_cast<long long>(lit));
        return 0;
    }
    if (command == "png" && argc == 4) {
        if (!read(argv[2], a)) {
            std::fprintf(stderr, "desktop_shot: cannot read %s\n", argv[2]);
            return 2;
        }
        std::vector<uint8_t> bytes(a.pixels.size() * 3);
        for (size_t i = 0; i < a.pixels.size(); ++i) {
            bytes[i * 3] = static_cast<uint8_t>(a.pixels[i] >> 16);
            bytes[i * 3 + 1] = static_cast<uint8_t>(a.pixels[i] >> 8);
            bytes[i * 3 + 2] = static_cast<uint8_t>(a.pixels[i]);
        }
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        image.width = static_cast<png_uint_32>(a.width);
        image.height = static_cast<png_uint_32>(a.height);
        image.format = PNG_FORMAT_RGB;
        if (!png_image_write_to_file(&image, argv[3], 0, bytes.data(), 0, nullptr)) {
            std::fprintf(stderr, "desktop_shot: cannot write %s\n", argv[3]);
            return 2;
        }
        return 0;
    }
    std::fprintf(
        stderr,
        "usage: desktop_shot size FILE | diff A B X Y W H | scaled WINDOW GAME FACTOR | png FILE OUT\n");
    return 2;
}
