#include "game/ReplayWriter.h"

namespace fairholm {

void ReplayWriter::lead(std::vector<uint8_t>& out, uint8_t kind, uint32_t hits) {
    const uint32_t inlined = hits < ReplayFormat::inlineHits ? hits : ReplayFormat::inlineHits;
    out.push_back(static_cast<uint8_t>(kind << 4 | inlined));
    if (inlined == ReplayFormat::inlineHits) {
        ReplayFormat::putVarint(out, hits - ReplayFormat::inlineHits);
    }
}

std::vector<uint8_t>& ReplayWriter::record(uint8_t kind) {
    lead(m_records, kind, m_hits);
    m_observations += m_hits + 1;
    m_hits = 0;
    return m_records;
}

std::vector<uint8_t> ReplayWriter::file(uint8_t reason) const {
    std::vector<uint8_t> out;
    out.reserve(m_records.size() + 64);
    ReplayFormat::writeHeader(out, m_header);
    out.insert(out.end(), m_records.begin(), m_records.end());
    lead(out, ReplayFormat::End, m_hits);
    out.push_back(reason);
    ReplayFormat::putU32(out, ReplayFormat::crc32(out.data(), out.size()));
    return out;
}

}  // namespace fairholm
