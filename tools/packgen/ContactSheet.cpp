#include "tools/packgen/ContactSheet.h"

#include <algorithm>

#include "tools/formats/PackWriter.h"
#include "tools/packgen/Canvas.h"
#include "tools/packgen/PngWriter.h"
#include "tools/packgen/TitleMaker.h"

namespace fairholm::packgen {

namespace {

constexpr int pageWidth = 1440;
constexpr int margin = 12;
constexpr int labelHeight = 18;
constexpr uint32_t page = 0xFF5A5E62;
constexpr uint32_t cell = 0xFF9A9C9E;
constexpr uint32_t marker = 0xFFFF00FF;

struct Placed {
    int x, y, scale, tiles;
};

uint32_t blend(uint32_t d, uint32_t s, int level) {
    auto ch = [&](int shift) {
        const uint32_t a = (d >> shift) & 0xFF;
        const uint32_t b = (s >> shift) & 0xFF;
        return ((a * static_cast<uint32_t>(7 - level) + b * static_cast<uint32_t>(level)) / 7) << shift;
    };
    return 0xFF000000u | ch(16) | ch(8) | ch(0);
}

}  // namespace

bool ContactSheet::write(const std::vector<Picture>& pictures, const std::string& labelFont,
                         const std::string& path, std::string& error) {
    // Flow the pictures into rows.
    std::vector<Placed> placed;
    int x = margin;
    int y = margin;
    int rowHeight = 0;
    for (size_t i = 0; i < pictures.size(); ++i) {
        const Picture& p = pictures[i];
        const bool texture = p.width == 32 && p.height == 32 && p.anchorX == 0 && p.anchorY == 0;
        const int scale = p.height <= 16 ? 6 : p.height <= 128 ? 2 : 1;
        const int tiles = texture ? 2 : 1;
        // Room for the label too: about 6 pixels a character at this size.
        const int labelWidth = static_cast<int>((std::to_string(i).size() + 2 + p.label.size()) * 6);
        const int w = std::max(p.width * scale * tiles, labelWidth);
        const int h = p.height * scale * tiles + labelHeight;
        if (x + w + margin > pageWidth) {
            x = margin;
            y += rowHeight + margin;
            rowHeight = 0;
        }
        placed.push_back({x, y, scale, tiles});
        x += w + margin;
        rowHeight = std::max(rowHeight, h);
    }
    const int pageHeight = y + rowHeight + margin;
    std::vector<uint32_t> sheet(static_cast<size_t>(pageWidth * pageHeight), page);
    auto put = [&](int px, int py, uint32_t colour) {
        if (px >= 0 && py >= 0 && px < pageWidth && py < pageHeight) {
            sheet[static_cast<size_t>(py * pageWidth + px)] = colour;
        }
    };

    Canvas labels(pageWidth, pageHeight);
    Shape text;
    for (size_t i = 0; i < pictures.size(); ++i) {
        const Picture& p = pictures[i];
        const Placed& at = placed[i];
        const int w = p.width * at.scale * at.tiles;
        const int h = p.height * at.scale * at.tiles;
        const int top = at.y + labelHeight;
        for (int yy = 0; yy < h; ++yy) {
            for (int xx = 0; xx < w; ++xx) {
                const int sx = (xx / at.scale) % p.width;
                const int sy = (yy / at.scale) % p.height;
                // What the engine draws: the pixel as decoded from the pack.
                const uint32_t decoded =
                    formats::PackWriter::expectedPixel(p.argb[static_cast<size_t>(sy * p.width + sx)]);
                const int level = static_cast<int>(decoded >> 29);
                put(at.x + xx, top + yy, blend(cell, decoded, level));
            }
        }
        if (at.tiles == 1) {
            const int hx = at.x + p.anchorX * at.scale + at.scale / 2;
            const int hy = top + p.anchorY * at.scale + at.scale / 2;
            for (int d = -3; d <= 3; ++d) {
                if (d != 0) {
                    put(hx + d, hy, marker);
                    put(hx, hy + d, marker);
                }
            }
        }
        double advance = 0.0;
        const std::string label = std::to_string(i) + (p.label.empty() ? "" : "  " + p.label);
        if (!TitleMaker::outline(labelFont, label, at.x, at.y + 13.0, 10.0, text, advance, error)) {
            return false;
        }
    }
    labels.fill(text, Colour{1.0, 1.0, 1.0});
    const std::vector<uint32_t> ink = labels.argb();
    for (size_t i = 0; i < sheet.size(); ++i) {
        const int level = static_cast<int>((ink[i] >> 24) * 7 / 255);
        if (level > 0) {
            sheet[i] = blend(sheet[i], ink[i], level);
        }
    }
    if (!PngWriter::write(path, pageWidth, pageHeight, sheet)) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

bool ContactSheet::writeStrip(const std::vector<Picture>& pictures, int first, int count, int scale,
                              const std::string& path) {
    if (first < 0 || count < 1 || scale < 1 || first + count > static_cast<int>(pictures.size())) {
        return false;
    }
    // Frames share one canvas size; eight to a row.
    const Picture& model = pictures[static_cast<size_t>(first)];
    const int perRow = std::min(count, 8);
    const int rows = (count + perRow - 1) / perRow;
    const int cw = model.width * scale;
    const int ch = model.height * scale;
    const int width = cw * perRow;
    const int height = ch * rows;
    std::vector<uint32_t> strip(static_cast<size_t>(width * height), 0xFF4C9131);
    for (int i = 0; i < count; ++i) {
        const Picture& p = pictures[static_cast<size_t>(first + i)];
        const int left = (i % perRow) * cw;
        const int top = (i / perRow) * ch;
        for (int y = 0; y < std::min(ch, p.height * scale); ++y) {
            for (int x = 0; x < std::min(cw, p.width * scale); ++x) {
                uint32_t& d = strip[static_cast<size_t>((top + y) * width + left + x)];
                // Sky above a horizon a third of the way down, grass below.
                d = y < ch / 3 ? 0xFF3399FF : ((x / scale / 8) % 2 == 0 ? 0xFF4C9131 : 0xFF56A03A);
                const double bx = (x + 0.5) / scale - (p.anchorX + 0.5);
                const double by = (y + 0.5) / scale - (p.anchorY - 2.2);
                if (bx * bx + by * by < 2.7 * 2.7) {
                    d = 0xFFFAFAF6;
                }
                const uint32_t s = formats::PackWriter::expectedPixel(
                    p.argb[static_cast<size_t>((y / scale) * p.width + x / scale)]);
                const int level = static_cast<int>(s >> 29);
                if (level > 0) {
                    d = blend(d, s, level);
                }
            }
        }
    }
    return PngWriter::write(path, width, height, strip);
}

}  // namespace fairholm::packgen
