#include "tools/icongen/Icon.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace fairholm::icongen {

namespace {

constexpr double units = 32;
constexpr double corner = 5;  // radius of the square's corners
constexpr double horizon = 19;
constexpr uint32_t sky = 0x3399FF, green = 0x2EA03C, dark = 0x1E7028, pole = 0xE8E8E8, flag = 0xE02020,
                   ball = 0xFFFFFF, cup = 0x101010;

struct Point {
    double x, z;
};

// The shapes, back to front: each says whether a point of the square is inside it.
bool inSquare(double x, double y) {
    const double cx = std::clamp(x, corner, units - corner);
    const double cy = std::clamp(y, corner, units - corner);
    return x >= 0 && y >= 0 && x <= units && y <= units &&
           (x - cx) * (x - cx) + (y - cy) * (y - cy) <= corner * corner;
}
bool inEllipse(double x, double y, double cx, double cy, double rx, double ry) {
    const double u = (x - cx) / rx, v = (y - cy) / ry;
    return u * u + v * v <= 1;
}
const Point flagCorners[] = {{14, 4}, {24.5, 7.5}, {14, 11}};
bool inFlag(double x, double y) {
    bool inside = false;
    for (int i = 0, j = 2; i < 3; j = i++) {
        const Point a = flagCorners[i], b = flagCorners[j];
        if ((a.z > y) != (b.z > y) && x < (b.x - a.x) * (y - a.z) / (b.z - a.z) + a.x) {
            inside = !inside;
        }
    }
    return inside;
}

// The colour at a point, or no colour (transparent) outside the square.
bool colourAt(double x, double y, uint32_t& colour) {
    if (!inSquare(x, y)) {
        return false;
    }
    colour = y < horizon ? sky : (y >= 28 ? dark : green);
    if (inEllipse(x, y, 13, 24, 3.2, 1.4)) {
        colour = cup;
    }
    if (x >= 12 && x <= 14 && y >= 4 && y <= 24) {
        colour = pole;
    }
    if (inFlag(x, y)) {
        colour = flag;
    }
    if (inEllipse(x, y, 22.5, 24, 2.5, 2.5)) {
        colour = ball;
    }
    return true;
}

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

}  // namespace

std::vector<uint32_t> Icon::render(int size) {
    std::vector<uint32_t> pixels(static_cast<size_t>(size) * size, 0);
    constexpr int samples = 4;  // a side: 16 samples a pixel
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            double r = 0, g = 0, b = 0;
            int covered = 0;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    const double x = (px + (sx + 0.5) / samples) * units / size;
                    const double y = (py + (sy + 0.5) / samples) * units / size;
                    uint32_t c = 0;
                    if (colourAt(x, y, c)) {
                        r += (c >> 16) & 0xFF;
                        g += (c >> 8) & 0xFF;
                        b += c & 0xFF;
                        ++covered;
                    }
                }
            }
            if (covered == 0) {
                continue;
            }
            const auto channel = [&](double sum) {
                return static_cast<uint32_t>(std::lround(sum / covered));
            };
            const uint32_t alpha = static_cast<uint32_t>(std::lround(255.0 * covered / (samples * samples)));
            pixels[static_cast<size_t>(py) * size + px] =
                alpha << 24 | channel(r) << 16 | channel(g) << 8 | channel(b);
        }
    }
    return pixels;
}

std::string Icon::svg() {
    char text[2048];
    std::snprintf(
        text, sizeof text,
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"0 0 32 32\">\n"
        "  <defs><clipPath id=\"square\"><rect width=\"32\" height=\"32\" rx=\"%g\"/></clipPath></defs>\n"
        "  <g clip-path=\"url(#square)\">\n"
        "    <rect width=\"32\" height=\"32\" fill=\"#%06X\"/>\n"
        "    <rect y=\"%g\" width=\"32\" height=\"%g\" fill=\"#%06X\"/>\n"
        "    <rect y=\"28\" width=\"32\" height=\"4\" fill=\"#%06X\"/>\n"
        "  </g>\n"
        "  <ellipse cx=\"13\" cy=\"24\" rx=\"3.2\" ry=\"1.4\" fill=\"#%06X\"/>\n"
        "  <rect x=\"12\" y=\"4\" width=\"2\" height=\"20\" fill=\"#%06X\"/>\n"
        "  <polygon points=\"%g,%g %g,%g %g,%g\" fill=\"#%06X\"/>\n"
        "  <circle cx=\"22.5\" cy=\"24\" r=\"2.5\" fill=\"#%06X\"/>\n"
        "</svg>\n",
        corner, sky, horizon, 28 - horizon, green, dark, cup, pole, flagCorners[0].x, flagCorners[0].z,
        flagCorners[1].x, flagCorners[1].z, flagCorners[2].x, flagCorners[2].z, flag, ball);
    return text;
}

std::vector<uint8_t> Icon::ico(const std::vector<int>& sizes) {
    // Each picture: a bitmap header, the colours bottom-up (BGRA) and a 1-bit mask of
    // the transparent pixels, rows padded to four bytes.
    std::vector<std::vector<uint8_t>> images;
    for (int size : sizes) {
        const std::vector<uint32_t> pixels = render(size);
        const int maskRow = ((size + 31) / 32) * 4;
        std::vector<uint8_t> image;
        put32(image, 40);
        put32(image, static_cast<uint32_t>(size));
        put32(image, static_cast<uint32_t>(size * 2));
        put16(image, 1);
        put16(image, 32);
        put32(image, 0);
        put32(image, static_cast<uint32_t>(size * size * 4 + maskRow * size));
        for (int i = 0; i < 4; ++i) {
            put32(image, 0);
        }
        for (int y = size - 1; y >= 0; --y) {
            for (int x = 0; x < size; ++x) {
                put32(image, pixels[static_cast<size_t>(y) * size + x]);  // 0xAARRGGBB little-endian: B G R A
            }
        }
        for (int y = size - 1; y >= 0; --y) {
            std::vector<uint8_t> row(static_cast<size_t>(maskRow), 0);
            for (int x = 0; x < size; ++x) {
                if ((pixels[static_cast<size_t>(y) * size + x] >> 24) == 0) {
                    row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
                }
            }
            image.insert(image.end(), row.begin(), row.end());
        }
        images.push_back(std::move(image));
    }
    std::vector<uint8_t> out;
    put16(out, 0);
    put16(out, 1);
    put16(out, static_cast<uint32_t>(images.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const int size = sizes[i];
        out.push_back(static_cast<uint8_t>(size >= 256 ? 0 : size));
        out.push_back(static_cast<uint8_t>(size >= 256 ? 0 : size));
        out.push_back(0);
        out.push_back(0);
        put16(out, 1);
        put16(out, 32);
        put32(out, static_cast<uint32_t>(images[i].size()));
        put32(out, offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const auto& image : images) {
        out.insert(out.end(), image.begin(), image.end());
    }
    return out;
}

}  // namespace fairholm::icongen
