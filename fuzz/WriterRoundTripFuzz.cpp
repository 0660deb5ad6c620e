// libFuzzer target: the writers of the data tools against the engine's readers. The
// first byte picks a format; the rest describes what is written (a picture, a font, a
// filled rectangle); what the engine reads back must be what was written.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "engine/render3d/Vpolyn.h"
#include "engine/render3d/Vswf.h"
#include "engine/sprite/Vdisplay.h"
#include "engine/sprite/Vfont.h"
#include "engine/sprite/Vilib.h"
#include "fuzz/FuzzFile.h"
#include "tests/support/QuietPlatform.h"
#include "tools/formats/FontWriter.h"
#include "tools/formats/PackWriter.h"
#include "tools/formats/SwfWriter.h"

using namespace fairholm;

namespace {

// The input's bytes after the header, read round and round.
struct Bytes {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    uint8_t next() { return size == 0 ? 0 : data[at++ % size]; }
    uint32_t word() {
        return uint32_t{next()} << 24 | uint32_t{next()} << 16 | uint32_t{next()} << 8 | next();
    }
};

void check(bool holds) {
    if (!holds) {
        std::abort();
    }
}

void pictureRoundTrip(Bytes& in) {
    const int width = 1 + in.next() % 40;
    const int height = 1 + in.next() % 20;
    std::vector<uint32_t> argb(static_cast<size_t>(width * height));
    for (uint32_t& pixel : argb) {
        pixel = in.word();
    }
    formats::PackWriter writer;
    writer.addRunLength(width, height, in.next() % 8, in.next() % 8, argb);
    const std::vector<uint8_t> bytes = writer.bytes();
    fuzz::writeInput("round.bin", bytes.data(), bytes.size());
    Ref<Vilib> pack = make<Vilib>(make<Vdisplay>(make<fairholm::testing::QuietPlatform>()), *lit("round"));
    check(pack->count() == 1);
    Ref<Vpicture> picture = pack->loadPicture(0);
    check(picture && picture->width() == width && picture->height() == height);
    for (size_t i = 0; i < argb.size(); ++i) {
        check(static_cast<uint32_t>(picture->pixels()[static_cast<int32_t>(i)]) ==
              formats::PackWriter::expectedPixel(argb[i]));
    }
}

void fontRoundTrip(Bytes& in) {
    const int first = 33 + in.next() % 40;
    const int last = first + in.next() % 60;
    formats::FontWriter writer(in.next() % 9, 1 + in.next() % 20, in.next() % 20, first, last);
    std::vector<int> widths(static_cast<size_t>(last - first + 1), 0);
    for (int c = first; c <= last; ++c) {
        if (in.next() % 3 == 0) {
            continue;  // no glyph
        }
        const int width = 1 + in.next() % 12;
        std::vector<uint8_t> coverage(static_cast<size_t>(width * (1 + in.next() % 12)));
        for (uint8_t& level : coverage) {
            level = in.next() % 16;
        }
        writer.setGlyph(c, width, coverage);
        widths[static_cast<size_t>(c - first)] = width;
    }
    const std::vector<uint8_t> bytes = writer.bytes();
    fuzz::writeInput("round-font.bin", bytes.data(), bytes.size());
    Ref<Vfont> font = make<Vfont>();
    check(font->load(*lit("round-font.bin")));
    for (int c = first; c <= last; ++c) {
        if (c != 32) {
            const int width = font->charWidth(c);
            // A glyph whose coverage is all empty is written without data, and so without a width.
            check(width == widths[static_cast<size_t>(c - first)] || width == 0);
        }
    }
}

void shapeRoundTrip(Bytes& in) {
    // A rectangle of at least 4 x 4 pixels in a 64 x 64 picture, filled with one colour.
    const int32_t x0 = in.next() % 48;
    const int32_t y0 = in.next() % 48;
    const int32_t x1 = x0 + 4 + in.next() % (60 - x0);
    const int32_t y1 = y0 + 4 + in.next() % (60 - y0);
    const uint32_t colour = 0xFF000000u | (in.word() & 0xFFFFFF);
    SwfWriter writer(64 * 20, 64 * 20);
    writer.beginShape(1);
    const int fill = writer.addSolidFill(colour);
    writer.addPolygon(fill, {{x0 * 20, y0 * 20}, {x1 * 20, y0 * 20}, {x1 * 20, y1 * 20}, {x0 * 20, y1 * 20}});
    writer.endShape();
    const std::vector<uint8_t> bytes = writer.finish();
    fuzz::writeInput("round-shape", bytes.data(), bytes.size());
    Ref<Vpolyn> picture = make<Vpolyn>();
    make<Vswf>()->load(picture, *lit("round-shape"), 64, 64, 64, 4, 0);
    const fixed cx = ((x0 + x1) << 15) / 2;
    const fixed cy = ((y0 + y1) << 15) / 2;
    check(static_cast<uint32_t>(picture->colorAt(cx, cy)) == (colour & 0xFFFFFF) ||
          static_cast<uint32_t>(picture->colorAt(cx, cy)) == colour);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    Bytes in{data + 1, size - 1};
    switch (data[0] % 3) {
        case 0:
            pictureRoundTrip(in);
            break;
        case 1:
            fontRoundTrip(in);
            break;
        default:
            shapeRoundTrip(in);
            break;
    }
    return 0;
}
