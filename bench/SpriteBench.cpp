#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "engine/sprite/Vfont.h"
#include "engine/sprite/Viewport.h"
#include "engine/sprite/Vilib.h"
#include "engine/sprite/Vpicture.h"
#include "engine/sprite/Vsprite.h"
#include "engine/sprite/Vtext.h"
#include "runtime/ProgramDirectory.h"
#include "tools/formats/FontWriter.h"
#include "tools/formats/PackWriter.h"

using namespace fairholm;
using fairholm::formats::FontWriter;
using fairholm::formats::PackWriter;

namespace {

constexpr int kSide = 128;

// Picture content: a disc of opaque pixels with soft (partly transparent) edges on a
// transparent ground, colours from a small palette so that the history gets hits.
std::vector<uint32_t> sceneImage(int w, int h, bool withAlpha) {
    std::mt19937 random(11);
    const uint32_t palette[] = {0x2E7D32, 0x388E3C, 0x43A047, 0x66BB6A, 0x8D6E63, 0xFFFFFF, 0x1565C0};
    std::vector<uint32_t> px(static_cast<size_t>(w * h));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const int dx = 2 * x - w;
            const int dy = 2 * y - h;
            const int d = dx * dx + dy * dy;
            const int r = w * w;
            uint32_t alpha = 0xFF;
            if (withAlpha) {
                alpha = d > r ? 0 : (d > r * 3 / 4 ? 0x80 : 0xFF);
            }
            px[static_cast<size_t>(y * w + x)] = (alpha << 24) | palette[random() % 7];
        }
    }
    return px;
}

// A program directory with one pack and one font, shared by every benchmark.
struct Assets {
    Assets() {
        dir = std::filesystem::temp_directory_path() / ("fairholm-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        ProgramDirectory::set(dir.c_str());
        PackWriter writer;
        writer.addRunLength(kSide, kSide, 0, 0, sceneImage(kSide, kSide, true));   // 0: soft edges
        writer.addRunLength(kSide, kSide, 0, 0, sceneImage(kSide, kSide, false));  // 1: opaque
        writer.addRunLength(240, 320, 0, 0, sceneImage(240, 320, false));          // 2: backdrop
        writer.save((dir / "bench.bin").string());
        FontWriter font(4, 13, 13, 33, 126);
        for (int c = 33; c <= 126; ++c) {
            std::vector<uint8_t> coverage(7 * 11);
            for (size_t i = 0; i < coverage.size(); ++i) {
                coverage[i] = static_cast<uint8_t>(
                    (i * 7 + static_cast<size_t>(c)) % 3 == 0 ? 15 : (i % 5 == 0 ? 8 : 0));
            }
            font.setGlyph(c, 7, coverage);
        }
        font.save((dir / "bench-font.bin").string());
        pack = make<Vilib>(nullptr, *lit("bench"));
        this->font = make<Vfont>();
        this->font->load(*lit("bench-font.bin"));
        std::filesystem::remove_all(dir);
    }
    std::filesystem::path dir;
    Ref<Vilib> pack;
    Ref<Vfont> font;
};

Assets& assets() {
    static Assets instance;
    return instance;
}

IntArray frameBuffer(int32_t w, int32_t h) {
    IntArray fb = newIntArray(w * h);
    for (int32_t i = 0; i < fb.length(); ++i) {
        fb[i] = 0x40000000 | (i * 2654435761u & 0xFFFFFF);
    }
    return fb;
}

void perPixel(benchmark::State& state, int64_t pixels) {
    state.counters["ns_per_pixel"] =
        benchmark::Counter(static_cast<double>(pixels) * 1e-9,
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_RunLengthDecode(benchmark::State& state) {
    Ref<Vpicture> picture = assets().pack->getPicture(static_cast<int32_t>(state.range(0)));
    std::vector<uint32_t> out(static_cast<size_t>(kSide * kSide));
    for (auto _ : state) {
        Vilib::decodeRunLength(picture->encoded().data(), picture->encoded().length(), out.data(),
                               kSide * kSide);
        benchmark::DoNotOptimize(out.data());
    }
    perPixel(state, kSide * kSide);
}
BENCHMARK(BM_RunLengthDecode)->Arg(0)->Arg(1);

void BM_DirectPathDraw(benchmark::State& state) {
    const int32_t frame = static_cast<int32_t>(state.range(0));
    IntArray fb = frameBuffer(240, 320);
    assets().pack->getPicture(frame)->releasePixels();
    for (auto _ : state) {
        assets().pack->drawImage(frame, fb, 240, 320, 50, 60, 50 + kSide, 60 + kSide, 50 << 15, 60 << 15,
                                 0x8000, 0, 0x8000);
        benchmark::DoNotOptimize(fb.data());
    }
    perPixel(state, kSide * kSide);
}
BENCHMARK(BM_DirectPathDraw)->Arg(0)->Arg(1);

// Cached draw: (frame, scale, opacity).
void BM_CachedDraw(benchmark::State& state) {
    const int32_t frame = static_cast<int32_t>(state.range(0));
    const fixed scale = static_cast<fixed>(state.range(1));
    const fixed opacity = static_cast<fixed>(state.range(2));
    Ref<Vpicture> picture = assets().pack->loadPicture(frame);
    IntArray fb = frameBuffer(240, 320);
    const int32_t side = static_cast<int32_t>((static_cast<int64_t>(kSide) * scale) >> 15);
    int32_t hidden = 0;
    for (auto _ : state) {
        hidden += picture->draw(fb, 240, 320, 20, 30, 20 + side, 30 + side, 20 << 15, 30 << 15, scale, 0x40,
                                opacity);
        benchmark::DoNotOptimize(fb.data());
    }
    benchmark::DoNotOptimize(hidden);
    perPixel(state, static_cast<int64_t>(side) * side);
}
BENCHMARK(BM_CachedDraw)
    ->ArgNames({"frame", "scale", "opacity"})
    ->Args({1, 0x8000, 0x8000})    // opaque, unscaled
    ->Args({0, 0x8000, 0x8000})    // soft edges (level 4 blends), unscaled
    ->Args({1, 0x8000, 0x4000})    // opaque at half opacity: every pixel blended
    ->Args({1, 0x4000, 0x4000})    // half scale, half opacity
    ->Args({1, 0x10000, 0x8000});  // double scale

void BM_FillRect(benchmark::State& state) {
    const int32_t argb = static_cast<int32_t>(static_cast<uint32_t>(state.range(0)));
    Ref<Vsprite> sprite = make<Vsprite>();
    IntArray fb = frameBuffer(240, 320);
    for (auto _ : state) {
        sprite->fillRect(fb, 240, 320, 0, 0, 240, 320, argb);
        benchmark::DoNotOptimize(fb.data());
    }
    perPixel(state, 240 * 320);
}
BENCHMARK(BM_FillRect)->Arg(0xFF336699)->Arg(0x80336699)->Arg(0x40336699);

void BM_TextDraw(benchmark::State& state) {
    Vtext::setDefaultFont(assets().font);
    Ref<Vtext> text = make<Vtext>(lit("Hole 7  Par 4  Yards 412"));
    text->setPosition(4, 100);
    text->setOpacity(static_cast<fixed>(state.range(0)));
    text->layout(0, 0, 0x8000);
    IntArray fb = frameBuffer(240, 320);
    for (auto _ : state) {
        text->paint(fb, 240, 320, text->left(), text->top(), text->right(), text->bottom());
        benchmark::DoNotOptimize(fb.data());
    }
    state.counters["glyphs"] = 24;
    perPixel(state, static_cast<int64_t>(text->getWidth()) * text->getHeight());
}
BENCHMARK(BM_TextDraw)->Arg(0x8000)->Arg(0x4000);

// The whole 240 x 320 screen repainted: backdrop picture, eight sprites with soft
// edges at several scales, a translucent panel with three text rows.
void BM_FullRepaint(benchmark::State& state) {
    Vtext::setDefaultFont(assets().font);
    Vsprite::setRowMargin(2);
    Ref<Viewport> screen = make<Viewport>();
    screen->setSize(240, 320);
    Ref<Vsprite> backdrop = make<Vsprite>();
    backdrop->setImage(assets().pack, 2);
    backdrop->setZ(200 << 15);
    screen->addChild(backdrop);
    assets().pack->loadPicture(2);
    for (int i = 0; i < 8; ++i) {
        Ref<Vsprite> s = make<Vsprite>();
        s->setImage(assets().pack, i & 1);
        s->setPosition(10 + i * 25, 20 + i * 30);
        s->setScale(0x2000 + i * 0x1000);
        s->setZ((100 - i) << 15);
        screen->addChild(s);
    }
    assets().pack->loadPicture(0);
    assets().pack->loadPicture(1);
    Ref<Vsprite> panel = make<Vsprite>();
    panel->setColour(static_cast<int32_t>(0x80000000u));
    panel->addTextRow(lit("Hole 7  Par 4"));
    panel->addTextRowDigits(lit("Strokes "), 3);
    panel->addTextRow(lit("Wind 12 mph"));
    panel->setPosition(8, 240);
    screen->addChild(panel);
    for (auto _ : state) {
        screen->invalidateRect(0, 0, 240, 320);
        screen->repaint();
        benchmark::DoNotOptimize(screen->backBuffer().data());
    }
    perPixel(state, 240 * 320);
    panel->removeAllChildren();
    screen->removeAllChildren();
}
BENCHMARK(BM_FullRepaint);

// Presenting: the back buffer copied into a window-sized frame buffer.
void BM_BackBufferCopy(benchmark::State& state) {
    Ref<Viewport> screen = make<Viewport>();
    screen->setSize(240, 320);
    IntArray fb = frameBuffer(240, 320);
    for (auto _ : state) {
        screen->paint(fb, 240, 320, 0, 0, 240, 320);
        benchmark::DoNotOptimize(fb.data());
    }
    perPixel(state, 240 * 320);
}
BENCHMARK(BM_BackBufferCopy);

}  // namespace
