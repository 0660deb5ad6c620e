#pragma once

#include <cstdint>
#include <vector>

#include "game/ReplayFormat.h"

namespace fairholm {

// Builds a replay file (ReplayFormat): counts the observations the model predicted and
// writes a record for each one it did not.
class ReplayWriter {
public:
    void setHeader(ReplayFormat::Header header) { m_header = std::move(header); }
    const ReplayFormat::Header& header() const { return m_header; }

    // An observation the model predicted.
    void hit() { ++m_hits; }
    // Starts a record of `kind` after the predicted observations counted so far; its
    // payload is then appended to the bytes answered.
    std::vector<uint8_t>& record(uint8_t kind);

    // The whole file as it stands, closed by an End record with `reason`.
    std::vector<uint8_t> file(uint8_t reason) const;

    // Observations so far, predicted or not.
    uint64_t observations() const { return m_observations + m_hits; }
    size_t recordBytes() const { return m_records.size(); }

private:
    static void lead(std::vector<uint8_t>& out, uint8_t kind, uint32_t hits);

    ReplayFormat::Header m_header;
    std::vector<uint8_t> m_records;
    uint32_t m_hits = 0;
    uint64_t m_observations = 0;
};

}  // namespace fairholm
