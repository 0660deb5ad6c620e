#include "tools/packgen/TextureMaker.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "tools/packgen/Noise.h"

namespace fairholm::packgen {

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr int n = TextureMaker::size;

int wrap(int v) {
    return ((v % n) + n) % n;
}

// Brightness of a height field lit from +x and +z (the lower right of the map): the
// same sun that throws the sprites' shadows back and to the left. Slopes that fall
// towards the sun face it and are brighter.
double lit(const std::function<double(int, int)>& height, int x, int y, double strength) {
    const double dx = height(wrap(x + 1), y % n) - height(wrap(x - 1), y % n);
    const double dy = height(x % n, wrap(y + 1)) - height(x % n, wrap(y - 1));
    return 1.0 - strength * (dx + dy) * 0.5;
}

uint32_t pack(const Colour& c) {
    auto ch = [](double v) { return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); };
    return 0xFF000000u | ch(c.r) << 16 | ch(c.g) << 8 | ch(c.b);
}

}  // namespace

bool TextureMaker::make(const std::string& kind, Picture& out, std::string& error) const {
    out = Picture();
    out.width = n;
    out.height = n;
    out.label = kind;
    out.argb.assign(static_cast<size_t>(n * n), 0);
    const Script& p = m_palette;
    std::function<Colour(int, int)> texel;

    if (kind == "rough") {
        const Colour dark = p.colour("rough.dark");
        const Colour mid = p.colour("rough.mid");
        const Colour light = p.colour("rough.light");
        auto height = [](int x, int y) {
            return Noise::fractal(11, x, y, 8, n, 3) * 0.7 + Noise::lattice(12, x, y) * 0.3;
        };
        texel = [=](int x, int y) {
            const double h = Noise::fractal(11, x, y, 8, n, 3);
            Colour c = dark.mix(mid, std::clamp(h * 1.6 - 0.3, 0.0, 1.0));
            const double blade = Noise::lattice(13, x, y);
            if (blade > 0.8) {
                c = c.mix(light, 0.4);
            } else if (blade < 0.15) {
                c = c.mix(dark.scaled(0.8), 0.4);
            }
            return c.scaled(lit(height, x, y, 0.5));
        };
    } else if (kind == "fairway") {
        const Colour dark = p.colour("fairway.dark");
        const Colour light = p.colour("fairway.light");
        auto height = [](int x, int y) { return Noise::fractal(21, x, y, 4, n, 2); };
        texel = [=](int x, int y) {
            // Two mowing stripes across the square, eight yards each.
            const bool lightStripe = (x / 16) % 2 == 0;
            Colour c = lightStripe ? light : dark;
            const double grain = Noise::lattice(22, x, y);
            c = c.scaled(0.96 + grain * 0.08);
            return c.scaled(lit(height, x, y, 0.18));
        };
    } else if (kind == "water") {
        const Colour deep = p.colour("water.deep");
        const Colour mid = p.colour("water.mid");
        const Colour light = p.colour("water.light");
        texel = [=](int x, int y) {
            const double body = Noise::fractal(31, x, y, 16, n, 2);
            Colour c = deep.mix(mid, body);
            // Ripples: whole periods across the square in both directions.
            const double phase = Noise::fractal(32, x, y, 8, n, 2) * 2.0;
            const double wave = std::sin(2.0 * pi * (2.0 * x + 3.0 * y) / n + phase * pi);
            if (wave > 0.8) {
                c = c.mix(light, (wave - 0.8) * 3.0);
            } else if (wave < -0.85) {
                c = c.mix(deep.scaled(0.85), 0.5);
            }
            return c;
        };
    } else if (kind == "green") {
        const Colour base = p.colour("green.base");
        const Colour light = p.colour("green.light");
        texel = [=](int x, int y) {
            // The putting surface is drawn unfiltered: only broad, gentle variation.
            const double body = Noise::fractal(41, x, y, 16, n, 2);
            Colour c = base.mix(light, body * 0.8);
            if ((x / 8 + y / 8) % 2 == 0) {
                c = c.scaled(1.025);
            }
            return c;
        };
    } else if (kind == "tee") {
        const Colour base = p.colour("tee.base");
        const Colour light = p.colour("tee.light");
        auto height = [](int x, int y) { return Noise::fractal(51, x, y, 4, n, 2); };
        texel = [=](int x, int y) {
            // Short grass cut both ways: a checker of 8-yard squares.
            const bool square = ((x / 16) + (y / 16)) % 2 == 0;
            Colour c = square ? light : base;
            c = c.scaled(0.97 + Noise::lattice(52, x, y) * 0.06);
            return c.scaled(lit(height, x, y, 0.15));
        };
    } else if (kind == "sand") {
        const Colour base = p.colour("sand.base");
        const Colour light = p.colour("sand.light");
        const Colour dark = p.colour("sand.dark");
        auto height = [](int x, int y) {
            return std::sin(2.0 * pi * (x + 2.0 * y) / n + Noise::fractal(61, x, y, 16, n, 1) * 4.0) * 0.25 +
                   Noise::fractal(62, x, y, 8, n, 2) * 0.5;
        };
        texel = [=](int x, int y) {
            Colour c = base.mix(light, Noise::fractal(63, x, y, 8, n, 2) * 0.7);
            const double grain = Noise::lattice(64, x, y);
            if (grain > 0.9) {
                c = c.mix(dark, 0.55);
            } else if (grain < 0.08) {
                c = c.mix(light, 0.8);
            }
            return c.scaled(lit(height, x, y, 0.35));
        };
    } else if (kind == "heather") {
        const Colour base = p.colour("heather.base");
        const Colour purple = p.colour("heather.purple");
        const Colour dune = p.colour("heather.dune");
        // Low tussocks: small clumps only, so that the square does not show as a
        // pattern when it repeats across the map.
        auto height = [](int x, int y) {
            return Noise::fractal(71, x, y, 4, n, 2) * 0.7 + Noise::lattice(72, x, y) * 0.3;
        };
        texel = [=](int x, int y) {
            // Heather flowers texel by texel over sandy ground: fine grain only.
            Colour c = base.mix(dune, Noise::fractal(74, x, y, 8, n, 2) * 0.3);
            c = c.mix(purple, 0.25 + 0.35 * Noise::lattice(73, x, y) * Noise::fractal(76, x, y, 4, n, 1));
            c = c.scaled(0.92 + Noise::lattice(75, x, y) * 0.16);
            return c.scaled(lit(height, x, y, 0.45));
        };
    } else {
        error = "unknown texture " + kind;
        return false;
    }
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            out.argb[static_cast<size_t>(y * n + x)] = pack(texel(x, y));
        }
    }
    return true;
}

}  // namespace fairholm::packgen
