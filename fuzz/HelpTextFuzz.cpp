// libFuzzer target: arbitrary bytes as the help text, wrapped at a width from the first
// byte with a proportional font, read from its file and painted.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/sprite/Vfont.h"
#include "engine/sprite/Vtext.h"
#include "fuzz/FuzzFile.h"
#include "tools/formats/FontWriter.h"

using namespace fairholm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const Ref<Vfont> font = [] {
        formats::FontWriter writer(3, 7, 6, 33, 126);
        for (int c = 33; c <= 126; ++c) {
            const int width = 1 + c % 6;
            writer.setGlyph(
                c, width, std::vector<uint8_t>(static_cast<size_t>(width * 7), static_cast<uint8_t>(c % 16)));
        }
        const std::vector<uint8_t> bytes = writer.bytes();
        fuzz::writeInput("help-font.bin", bytes.data(), bytes.size());
        Ref<Vfont> loaded = make<Vfont>();
        loaded->load(*lit("help-font.bin"));
        return loaded;
    }();
    if (size == 0) {
        return 0;
    }
    fuzz::writeInput("help.txt", data + 1, size - 1);
    Ref<Vtext> help = make<Vtext>(nullptr);
    help->setFontAndText(font, nullptr);
    const int32_t width = data[0] % 80;
    help->setSize(width, 0);
    help->loadText(*lit("help.txt"));
    help->setColour(static_cast<int32_t>(0x80008080));
    help->layout(0, 0, 0x8000);
    IntArray fb = newIntArray(80 * 60);
    help->paint(fb, 80, 60, 0, 0, 80, 60);
    help->setWrappedText(*String::copyOf(std::string(reinterpret_cast<const char*>(data), size)));
    help->layout(1 << 15, -(3 << 15), 0x8000);
    help->paint(fb, 80, 60, 0, 0, 80, 60);
    return 0;
}
