// fontgen <font file> <pixel size> <line height> <output file>
//
// Renders characters 32 to 126 of an outline font, hinted at the pixel size, into a
// bitmap font file of the game: one cell per character, one line high, coverage in
// 16 levels, run-length coded.

#include <cstdio>
#include <cstdlib>
#include <string>

#include "runtime/Version.h"
#include "tools/fontgen/FontRasterizer.h"
#include "tools/formats/FontWriter.h"

using namespace fairholm;

namespace {
bool readInt(const char* text, int& value) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (end == text || *end != 0 || v < 1 || v > 1000) {
        return false;
    }
    value = static_cast<int>(v);
    return true;
}
}  // namespace

int main(int argc, char** argv) {
    if (fairholm::answerVersion(argc, argv, "fontgen")) {
        return 0;
    }
    int pixelSize = 0;
    int lineHeight = 0;
    if (argc != 5 || !readInt(argv[2], pixelSize) || !readInt(argv[3], lineHeight)) {
        std::fprintf(stderr, "usage: fontgen <font file> <pixel size> <line height> <output file>\n");
        return 2;
    }
    fontgen::RasterFont font;
    std::string error;
    if (!fontgen::FontRasterizer::render(argv[1], pixelSize, lineHeight, 32, 126, font, error)) {
        std::fprintf(stderr, "fontgen: %s\n", error.c_str());
        return 1;
    }
    formats::FontWriter writer(font.spaceWidth, font.lineHeight, font.sizeMetric, font.firstChar,
                               font.lastChar);
    for (const fontgen::GlyphCell& cell : font.glyphs) {
        if (!cell.empty()) {
            writer.setGlyph(cell.code, cell.width, cell.coverage);
        }
    }
    if (!writer.save(argv[4])) {
        std::fprintf(stderr, "fontgen: cannot write %s\n", argv[4]);
        return 1;
    }
    return 0;
}
