#include "tools/coursec/CourseOverview.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include <unistd.h>

#include "engine/sprite/Vilib.h"
#include "platform/PngWriter.h"
#include "runtime/ProgramDirectory.h"
#include "tools/coursec/CourseTerrain.h"
#include "tools/formats/PackWriter.h"

namespace fairholm::coursec {

namespace {

// Digits 3 x 5, one row per 3 bits.
constexpr uint16_t kDigits[10][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
};

class Canvas {
public:
    explicit Canvas(std::vector<int32_t>& pixels) : m_pixels(pixels) {}
    void put(int x, int y, uint32_t colour) {
        if (x >= 0 && y >= 0 && x < CourseOverview::size && y < CourseOverview::size) {
            m_pixels[static_cast<size_t>(y) * CourseOverview::size + x] = static_cast<int32_t>(colour);
        }
    }
    void box(int cx, int cy, int r, uint32_t colour) {
        for (int y = -r; y <= r; ++y) {
            for (int x = -r; x <= r; ++x) {
                put(cx + x, cy + y, colour);
            }
        }
    }
    void disc(int cx, int cy, double r, uint32_t colour) {
        const int n = static_cast<int>(std::ceil(r));
        for (int y = -n; y <= n; ++y) {
            for (int x = -n; x <= n; ++x) {
                if (x * x + y * y <= r * r) {
                    put(cx + x, cy + y, colour);
                }
            }
        }
    }
    void ring(int cx, int cy, double r, double w, uint32_t colour) {
        const int n = static_cast<int>(std::ceil(r + w));
        for (int y = -n; y <= n; ++y) {
            for (int x = -n; x <= n; ++x) {
                const double d = std::sqrt(static_cast<double>(x * x + y * y));
                if (std::fabs(d - r) <= w / 2) {
                    put(cx + x, cy + y, colour);
                }
            }
        }
    }
    void dashed(double x0, double y0, double x1, double y1, uint32_t colour) {
        const double len = std::hypot(x1 - x0, y1 - y0);
        for (double t = 0; t <= len; t += 1) {
            if (static_cast<int>(t) % 12 < 7) {
                const double x = x0 + (x1 - x0) * t / len, y = y0 + (y1 - y0) * t / len;
                put(static_cast<int>(x), static_cast<int>(y), colour);
                put(static_cast<int>(x) + 1, static_cast<int>(y), colour);
            }
        }
    }
    void number(int x, int y, int value, int px, uint32_t ink, uint32_t shadow) {
        const std::string text = std::to_string(value);
        for (int pass = 0; pass < 2; ++pass) {
            int cx = x;
            for (char c : text) {
                for (int row = 0; row < 5; ++row) {
                    for (int col = 0; col < 3; ++col) {
                        if (kDigits[c - '0'][row] & (4 >> col)) {
                            for (int a = 0; a < px; ++a) {
                                for (int b = 0; b < px; ++b) {
                                    put(cx + col * px + a + (pass == 0), y + row * px + b + (pass == 0),
                                        pass == 0 ? shadow : ink);
                                }
                            }
                        }
                    }
                }
                cx += 4 * px;
            }
        }
    }

private:
    std::vector<int32_t>& m_pixels;
};

// Stand-in textures 1..7 (picture 0 unused): the kind's colour with a little grain,
// mowing stripes on fairways and ripples on water.
void addTextures(formats::PackWriter& pack) {
    uint32_t seed = 12345;
    for (int kind = 0; kind <= 7; ++kind) {
        std::vector<uint32_t> texels(32 * 32);
        const uint32_t base = CourseOverview::kindColour(kind);
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                seed = seed * 1103515245u + 12345u;
                int grain = static_cast<int>((seed >> 16) % 7) - 3;
                if (kind == Fairway && (y / 8) % 2 == 0) {
                    grain += 10;
                }
                if (kind == Water && (x + 2 * y) % 16 < 2) {
                    grain += 14;
                }
                auto channel = [&](int shift) {
                    const int c = static_cast<int>((base >> shift) & 0xFF) + grain;
                    return static_cast<uint32_t>(c < 0 ? 0 : c > 255 ? 255 : c) << shift;
                };
                texels[static_cast<size_t>(y * 32 + x)] = 0xFF000000u | channel(16) | channel(8) | channel(0);
            }
        }
        pack.addRunLength(32, 32, 0, 0, texels);
    }
}

std::string writeTextures(const std::filesystem::path& dir) {
    formats::PackWriter pack;
    addTextures(pack);
    const std::string name = "overview_textures";
    pack.save((dir / (name + ".bin")).string());
    return name;
}

std::vector<uint32_t> block(int width, int height, uint32_t argb) {
    return std::vector<uint32_t>(static_cast<size_t>(width * height), argb);
}

}  // namespace

bool CourseOverview::writeReviewPack(const std::string& path) {
    formats::PackWriter pack;
    addTextures(pack);  // 0 (unused here) and the ground 1..7
    std::vector<uint32_t> flag = block(12, 48, 0);
    for (int y = 0; y < 48; ++y) {
        flag[static_cast<size_t>(y * 12)] = 0xFFFFFFFF;
        flag[static_cast<size_t>(y * 12 + 1)] = 0xFFFFFFFF;
        for (int x = 2; x < 12 && y < 12; ++x) {
            flag[static_cast<size_t>(y * 12 + x)] = 0xFFE02020;
        }
    }
    pack.addRunLength(12, 48, 1, 47, flag);  // 8 pin
    std::vector<uint32_t> tree = block(32, 64, 0);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 32; ++x) {
            const double half = y < 50 ? 15.0 * y / 50 : 2;
            if (std::fabs(x - 15.5) <= half) {
                tree[static_cast<size_t>(y * 32 + x)] =
                    y < 50 ? 0xFF1E5A2A - (static_cast<uint32_t>(x + y) % 3) * 0x000800 : 0xFF5A3A1A;
            }
        }
    }
    pack.addRunLength(32, 64, 16, 63, tree);                    // 9 tree
    pack.addRunLength(8, 12, 4, 11, block(8, 12, 0xFF704020));  // 10 bag
    pack.addRunLength(4, 4, 2, 3, block(4, 4, 0xFFFFFFFF));     // 11 ball
    pack.addRunLength(4, 2, 2, 1, block(4, 2, 0x80000000));     // 12 shadow
    for (int frame = 13; frame <= 58; ++frame) {                // golfers
        std::vector<uint32_t> golfer = block(16, 40, 0);
        for (int y = 0; y < 40; ++y) {
            for (int x = 5; x < 11; ++x) {
                golfer[static_cast<size_t>(y * 16 + x)] = y < 8    ? 0xFFE0B090
                                                          : y < 24 ? 0xFF2050C0
                                                                   : 0xFF303030;
            }
        }
        pack.addRunLength(16, 40, 8, 39, golfer);
    }
    return pack.save(path);
}

uint32_t CourseOverview::kindColour(int kind) {
    static const uint32_t colours[8] = {0x808080, 0x3F7A30, 0x5DAE42, 0x2E6AB0,
                                        0x74D85E, 0x5CC24C, 0xE2D29A, 0x8C7F5E};
    return kind >= 0 && kind < 8 ? colours[kind] : 0x808080;
}

bool CourseOverview::render(const std::string& packPath, const std::vector<HoleMark>& holes,
                            std::vector<int32_t>& pixels) {
    namespace fs = std::filesystem;
    const fs::path pack = fs::absolute(packPath);
    const fs::path dir = fs::temp_directory_path() / ("fairholm-overview-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    ProgramDirectory::set(dir.c_str());
    Ref<Vilib> textures = make<Vilib>(nullptr, *String::copyOf(writeTextures(dir)));
    Ref<VpolyTerrain> terrain = CourseTerrain::load(pack.string(), textures);
    if (!terrain) {
        fs::remove_all(dir);
        return false;
    }
    pixels.assign(static_cast<size_t>(size) * size, 0);
    IntArray target = newIntArray(size * size);
    terrain->layout(0, 0, scale * 32768);
    terrain->paint(target, size, size, 0, 0, size, size);
    for (int i = 0; i < size * size; ++i) {
        pixels[static_cast<size_t>(i)] = target[i] & 0xFFFFFF;
    }
    textures = Ref<Vilib>();
    terrain = Ref<VpolyTerrain>();
    std::error_code ignored;
    fs::remove_all(dir, ignored);

    Canvas canvas(pixels);
    const double s = scale;
    for (const HoleMark& h : holes) {
        const bool dogleg = h.aim.x != h.pin.x || h.aim.z != h.pin.z;
        if (dogleg) {
            canvas.dashed(h.tee.x * s, h.tee.z * s, h.aim.x * s, h.aim.z * s, 0xFFFFFF);
            canvas.dashed(h.aim.x * s, h.aim.z * s, h.pin.x * s, h.pin.z * s, 0xFFFFFF);
            canvas.ring(static_cast<int>(h.aim.x * s), static_cast<int>(h.aim.z * s), 5, 2, 0xFFE000);
        } else {
            canvas.dashed(h.tee.x * s, h.tee.z * s, h.pin.x * s, h.pin.z * s, 0xFFFFFF);
        }
        canvas.box(static_cast<int>(h.tee.x * s), static_cast<int>(h.tee.z * s), 4, 0x000000);
        canvas.box(static_cast<int>(h.tee.x * s), static_cast<int>(h.tee.z * s), 3, 0xFFFFFF);
        canvas.disc(static_cast<int>(h.pin.x * s), static_cast<int>(h.pin.z * s), 4.5, 0xFFFFFF);
        canvas.disc(static_cast<int>(h.pin.x * s), static_cast<int>(h.pin.z * s), 3, 0xE01010);
        canvas.number(static_cast<int>(h.tee.x * s) + 9, static_cast<int>(h.tee.z * s) - 5, h.number, 3,
                      0xFFFFFF, 0x000000);
    }
    return true;
}

bool CourseOverview::write(const std::string& packPath, const std::vector<HoleMark>& holes,
                           const std::string& pngPath) {
    std::vector<int32_t> pixels;
    return render(packPath, holes, pixels) && PngWriter::write(pngPath, pixels.data(), size, size, size);
}

CourseOverview::Frame CourseOverview::frameOf(const HoleMark& hole) {
    const double xs[] = {hole.tee.x, hole.aim.x, hole.pin.x};
    const double zs[] = {hole.tee.z, hole.aim.z, hole.pin.z};
    double x0 = xs[0], x1 = xs[0], z0 = zs[0], z1 = zs[0];
    for (int i = 1; i < 3; ++i) {
        x0 = std::min(x0, xs[i]);
        x1 = std::max(x1, xs[i]);
        z0 = std::min(z0, zs[i]);
        z1 = std::max(z1, zs[i]);
    }
    // Neither side shorter than half the other, so a straight hole keeps its
    // surroundings in view.
    const double widen = std::max(0.0, ((z1 - z0) / 2 - (x1 - x0)) / 2);
    const double heighten = std::max(0.0, ((x1 - x0) / 2 - (z1 - z0)) / 2);
    x0 -= widen;
    x1 += widen;
    z0 -= heighten;
    z1 += heighten;
    auto onMap = [](double yards) { return std::clamp(static_cast<int>(yards * scale), 0, size); };
    Frame frame;
    frame.x = onMap(x0 - margin);
    frame.y = onMap(z0 - margin);
    frame.width = onMap(x1 + margin) - frame.x;
    frame.height = onMap(z1 + margin) - frame.y;
    return frame;
}

bool CourseOverview::writeHoles(const std::string& packPath, const std::vector<HoleMark>& holes,
                                const std::string& prefix) {
    std::vector<int32_t> pixels;
    if (!render(packPath, holes, pixels)) {
        return false;
    }
    for (const HoleMark& hole : holes) {
        const Frame frame = frameOf(hole);
        char number[8];
        std::snprintf(number, sizeof number, "%02d", hole.number % 100);
        const int32_t* first = pixels.data() + static_cast<size_t>(frame.y) * size + frame.x;
        if (!PngWriter::write(prefix + number + ".png", first, frame.width, frame.height, size)) {
            return false;
        }
    }
    return true;
}

}  // namespace fairholm::coursec
