#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "game/ReplayFormat.h"

namespace fairholm {

// Reads a replay file (ReplayFormat). `open` checks all of it before anything is
// played: a file that is not a recording, of another format version, damaged (its
// checksum does not match) or holding values no game could have observed is refused
// with a message; one cut short (no End record) is accepted up to its last whole record
// and says so. `next` then hands the records out in order.
class ReplayReader {
public:
    static constexpr size_t maxFileBytes = size_t{16} << 20;

    struct Entry {
        uint32_t hits = 0;  // predicted observations before this one
        uint8_t kind = 0;
        int32_t a = 0;  // key code, stylus coordinate, width, time difference
        int32_t b = 0;  // height; for a record, whether the file filled it
        uint32_t fingerprint = 0;
        uint8_t length = 0;
        uint8_t bytes[ReplayFormat::maxRecordBytes] = {};
    };

    // False when the file is refused; message() then says why.
    bool open(std::vector<uint8_t> bytes);
    // Reads a file from the disk and opens it.
    bool load(const std::string& path);

    const ReplayFormat::Header& header() const { return m_header; }
    const std::string& message() const { return m_message; }
    // The file ends with its End record (and the checksum matched).
    bool complete() const { return m_complete; }
    uint8_t endReason() const { return m_endReason; }
    // Predicted observations after the last record (those the End record counts).
    uint32_t endHits() const { return m_endHits; }
    int32_t strokes() const { return m_strokes; }
    size_t records() const { return m_records; }
    size_t fileBytes() const { return m_bytes.size(); }

    // The next record; false after the last one. The records are read again as they
    // are handed out (open checked them all), so a file takes no more room than itself.
    bool next(Entry& entry);
    void rewind() { m_next = m_recordsStart; }

private:
    bool refuse(const std::string& why);
    bool readHeader(size_t& at);
    // Reads one record at `at`; 0 when it is whole, 1 when the file ends inside it,
    // -1 when it holds something no recording has.
    int readEntry(size_t& at, Entry& entry, std::string& why) const;

    std::vector<uint8_t> m_bytes;
    ReplayFormat::Header m_header;
    size_t m_recordsStart = 0;
    size_t m_recordsEnd = 0;  // the End record, or where the file was cut
    size_t m_records = 0;
    size_t m_next = 0;
    std::string m_message;
    bool m_complete = false;
    uint8_t m_endReason = ReplayFormat::Unfinished;
    uint32_t m_endHits = 0;
    int32_t m_strokes = 0;
};

}  // namespace fairholm
