#include "tools/formats/FontWriter.h"

#include <cstdio>

#include "tools/formats/PackWriter.h"

namespace fairholm::formats {

FontWriter::FontWriter(int spaceWidth, int lineHeight, int sizeMetric, int firstChar, int lastChar)
    : m_spaceWidth(spaceWidth),
      m_lineHeight(lineHeight),
      m_sizeMetric(sizeMetric),
      m_firstChar(firstChar),
      m_lastChar(lastChar) {}

std::vector<uint8_t> FontWriter::encodeRuns(const std::vector<uint8_t>& coverage) {
    size_t end = coverage.size();
    while (end > 0 && (coverage[end - 1] & 15) == 0) {
        --end;
    }
    std::vector<uint8_t> out;
    size_t n = 0;
    while (n < end) {
        const uint8_t c = coverage[n] & 15;
        size_t run = 1;
        while (n + run < end && run < 16 && (coverage[n + run] & 15) == c) {
            ++run;
        }
        out.push_back(static_cast<uint8_t>(((run & 15) << 4) | c));
        n += run;
    }
    return out;
}

void FontWriter::setGlyph(int code, int width, const std::vector<uint8_t>& coverage) {
    setGlyphRuns(code, width, encodeRuns(coverage));
}

void FontWriter::setGlyphRuns(int code, int width, std::vector<uint8_t> runs) {
    m_glyphs[code] = Glyph{width, std::move(runs)};
}

std::vector<uint8_t> FontWriter::bytes() const {
    std::vector<uint8_t> out;
    PackWriter::putVarInt(out, static_cast<uint32_t>(m_spaceWidth));
    PackWriter::putVarInt(out, static_cast<uint32_t>(m_lineHeight));
    PackWriter::putVarInt(out, static_cast<uint32_t>(m_sizeMetric));
    PackWriter::putVarInt(out, static_cast<uint32_t>(m_firstChar));
    PackWriter::putVarInt(out, static_cast<uint32_t>(m_lastChar));
    std::vector<uint8_t> data;
    for (int code = m_firstChar; code <= m_lastChar; ++code) {
        auto it = m_glyphs.find(code);
        if (it == m_glyphs.end() || it->second.runs.empty()) {
            PackWriter::putVarInt(out, 0);
            continue;
        }
        PackWriter::putVarInt(out, static_cast<uint32_t>(it->second.runs.size()));
        PackWriter::putVarInt(out, static_cast<uint32_t>(it->second.width));
        data.insert(data.end(), it->second.runs.begin(), it->second.runs.end());
    }
    PackWriter::putVarInt(out, static_cast<uint32_t>(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

bool FontWriter::save(const std::string& path) const {
    const std::vector<uint8_t> data = bytes();
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        return false;
    }
    const bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace fairholm::formats
