#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace fairholm::formats {

// Builds font files: five varint header values, a (length, width) pair per character
// code, then the glyphs' run bytes. Each run byte covers (b >> 4) pixels (0 = 16) at
// coverage b & 15.
class FontWriter {
public:
    FontWriter(int spaceWidth, int lineHeight, int sizeMetric, int firstChar, int lastChar);

    // Sets a glyph from its coverage (0..15), `width` pixels per row, row-major.
    void setGlyph(int code, int width, const std::vector<uint8_t>& coverage);
    // Sets a glyph's run bytes exactly as given.
    void setGlyphRuns(int code, int width, std::vector<uint8_t> runs);

    std::vector<uint8_t> bytes() const;
    bool save(const std::string& path) const;

    // Run bytes for coverage values; trailing empty pixels are left out (a glyph ends
    // with its data).
    static std::vector<uint8_t> encodeRuns(const std::vector<uint8_t>& coverage);
    // 8-bit ink to coverage 0..15 (nearest).
    static uint8_t coverageLevel(uint32_t ink) { return static_cast<uint8_t>((ink * 15 + 127) / 255); }

private:
    struct Glyph {
        int width = 0;
        std::vector<uint8_t> runs;
    };
    int m_spaceWidth, m_lineHeight, m_sizeMetric, m_firstChar, m_lastChar;
    std::map<int, Glyph> m_glyphs;
};

}  // namespace fairholm::formats
