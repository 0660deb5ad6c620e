// Loads arbitrary bytes as a font and draws every character code.
#include <cstddef>
#include <cstdint>

#include "engine/sprite/Vfont.h"
#include "engine/sprite/Vtext.h"
#include "fuzz/FuzzFile.h"

using namespace fairholm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::writeInput("fuzz-font.bin", data, size);
    Ref<Vfont> font = make<Vfont>();
    font->load(*lit("fuzz-font.bin"));
    IntArray fb = newIntArray(40 * 30);
    for (int32_t c = -130; c < 260; ++c) {
        font->charWidth(c);
        font->drawChar(c, fb, 40, 30, 0, 0, 40, 30, (c & 31) << 14, (c & 7) << 15, -1, 0x8000);
        font->drawChar(c, fb, 40, 30, 5, 5, 20, 20, -(3 << 15), 2 << 15, 0x7F00FF00, 0x3000);
    }
    Ref<Vtext> text = make<Vtext>(nullptr);
    text->setFontAndText(font, lit("Fairway 12\nGreen"));
    text->setSize(30, 0);
    text->setWrappedText(*lit("a bb ccc dddd eeeee"));
    text->layout(0, 0, 0x8000);
    text->paint(fb, 40, 30, 0, 0, 40, 30);
    return 0;
}
