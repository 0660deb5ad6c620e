#include "game/ReplayReader.h"

#include <cstdio>
#include <cstring>

#include "engine/sprite/Viewport.h"

namespace fairholm {

namespace {

constexpr int32_t maxPointer = 2 * ReplayFormat::maxSide;

uint16_t u16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t u32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

bool ReplayReader::refuse(const std::string& why) {
    m_message = why;
    m_records = 0;
    m_recordsStart = 0;
    m_recordsEnd = 0;
    m_next = 0;
    return false;
}

bool ReplayReader::load(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        return refuse("cannot read " + path);
    }
    std::vector<uint8_t> bytes;
    uint8_t block[4096];
    size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
        if (bytes.size() + got > maxFileBytes) {
            std::fclose(file);
            return refuse(path + " is too large to be a recording");
        }
        bytes.insert(bytes.end(), block, block + got);
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        return refuse("cannot read " + path);
    }
    return open(std::move(bytes));
}

bool ReplayReader::readHeader(size_t& at) {
    const uint8_t* p = m_bytes.data();
    const size_t fixedPart = 12;
    if (m_bytes.size() < 4 || std::memcmp(p, ReplayFormat::magic, 4) != 0) {
        return refuse("not a Fairholm recording");
    }
    if (m_bytes.size() < fixedPart) {
        return refuse("the recording is cut short before its first record");
    }
    m_header.formatVersion = u16(p + 4);
    if (m_header.formatVersion != ReplayFormat::version) {
        return refuse("a recording of format version " + std::to_string(m_header.formatVersion) +
                      "; this game reads version " + std::to_string(ReplayFormat::version));
    }
    m_header.width = u16(p + 6);
    m_header.height = u16(p + 8);
    m_header.flags = p[10];
    const size_t versionLength = p[11];
    if (m_header.width < 1 || m_header.width > ReplayFormat::maxSide || m_header.height < 1 ||
        m_header.height > ReplayFormat::maxSide) {
        return refuse("the recording's screen size is not one the game has");
    }
    if ((m_header.flags & ~ReplayFormat::knownFlags) != 0) {
        return refuse("the recording was made with settings this game does not know");
    }
    if (versionLength > ReplayFormat::maxGameVersion) {
        return refuse("the recording's version name is too long");
    }
    at = 12;
    if (m_bytes.size() < at + versionLength) {
        return refuse("the recording is cut short before its first record");
    }
    m_header.gameVersion.clear();
    for (size_t i = 0; i < versionLength; ++i) {
        const uint8_t c = p[at + i];
        if (c < 0x20 || c > 0x7E) {
            return refuse("the recording's version name is not text");
        }
        m_header.gameVersion.push_back(static_cast<char>(c));
    }
    at += versionLength;
    return true;
}

int ReplayReader::readEntry(size_t& at, Entry& entry, std::string& why) const {
    const uint8_t* p = m_bytes.data();
    const size_t end = m_bytes.size();
    if (at >= end) {
        return 1;
    }
    const uint8_t leadByte = p[at++];
    entry = Entry{};
    entry.kind = leadByte >> 4;
    entry.hits = leadByte & 0x0F;
    if (entry.hits == ReplayFormat::inlineHits) {
        uint32_t more = 0;
        const int got = ReplayFormat::getVarint(p, end, at, more);
        if (got != 0 || more > 0xFFFFFFFFu - ReplayFormat::inlineHits) {
            why = "a count that does not fit";
            return got > 0 ? 1 : -1;
        }
        entry.hits += more;
    }
    const auto varint = [&](uint32_t& value) { return ReplayFormat::getVarint(p, end, at, value); };
    const auto signedVarint = [&](int32_t& value) { return ReplayFormat::getSigned(p, end, at, value); };
    int got = 0;
    switch (entry.kind) {
        case ReplayFormat::Key:
            got = signedVarint(entry.a);
            if (got == 0 && (entry.a == 0 || entry.a < -128 || entry.a > 127)) {
                why = "a key no keyboard has";
                return -1;
            }
            break;
        case ReplayFormat::KeyDown: {
            uint32_t code = 0;
            got = varint(code);
            if (got == 0 && code > static_cast<uint32_t>(Viewport::lastKeyCode)) {
                why = "a key no keyboard has";
                return -1;
            }
            entry.a = static_cast<int32_t>(code);
            break;
        }
        case ReplayFormat::PointerX:
        case ReplayFormat::PointerY:
            got = signedVarint(entry.a);
            if (got == 0 && (entry.a < -maxPointer || entry.a > maxPointer)) {
                why = "a stylus position off any screen";
                return -1;
            }
            break;
        case ReplayFormat::Size: {
            uint32_t width = 0;
            uint32_t height = 0;
            got = varint(width);
            if (got == 0) {
                got = varint(height);
            }
            if (got == 0 && (width < 1 || width > ReplayFormat::maxSide || height < 1 ||
                             height > ReplayFormat::maxSide)) {
                why = "a screen size the game does not have";
                return -1;
            }
            entry.a = static_cast<int32_t>(width);
            entry.b = static_cast<int32_t>(height);
            break;
        }
        case ReplayFormat::Time:
            got = signedVarint(entry.a);
            break;
        case ReplayFormat::Running:
        case ReplayFormat::Saved:
            break;
        case ReplayFormat::Record:
            if (end - at < 2) {
                return 1;
            }
            entry.b = p[at];
            entry.length = p[at + 1];
            if (entry.b > 1 || entry.length > ReplayFormat::maxRecordBytes) {
                why = "a saved record that does not fit";
                return -1;
            }
            at += 2;
            if (end - at < entry.length) {
                return 1;
            }
            std::memcpy(entry.bytes, p + at, entry.length);
            at += entry.length;
            break;
        case ReplayFormat::Stroke:
            if (end - at < 4) {
                return 1;
            }
            entry.fingerprint = u32(p + at);
            at += 4;
            break;
        case ReplayFormat::End:
            if (end - at < 5) {
                return 1;
            }
            entry.b = p[at];
            entry.fingerprint = u32(p + at + 1);
            if (entry.b > ReplayFormat::Unfinished) {
                why = "an ending this game does not know";
                return -1;
            }
            at += 5;
            break;
        default:
            why = "a record of a kind this game does not know";
            return -1;
    }
    if (got < 0) {
        why = "a value that does not fit";
    }
    return got;
}

bool ReplayReader::open(std::vector<uint8_t> bytes) {
    m_bytes = std::move(bytes);
    m_records = 0;
    m_recordsStart = 0;
    m_recordsEnd = 0;
    m_next = 0;
    m_message.clear();
    m_complete = false;
    m_endReason = ReplayFormat::Unfinished;
    m_endHits = 0;
    m_strokes = 0;
    if (m_bytes.size() > maxFileBytes) {
        return refuse("too large to be a recording");
    }
    size_t at = 0;
    if (!readHeader(at)) {
        return false;
    }
    m_recordsStart = at;
    m_next = at;
    for (;;) {
        const size_t start = at;
        Entry entry;
        std::string why;
        const int got = readEntry(at, entry, why);
        if (got < 0) {
            return refuse("the recording is damaged: " + why + " at byte " + std::to_string(start));
        }
        if (got > 0) {
            m_recordsEnd = start;
            m_message = "the recording is cut short after " + std::to_string(m_strokes) + " strokes";
            return true;
        }
        if (entry.kind == ReplayFormat::End) {
            if (ReplayFormat::crc32(m_bytes.data(), at - 4) != entry.fingerprint) {
                return refuse("the recording is damaged: its checksum does not match");
            }
            if (at != m_bytes.size()) {
                return refuse("the recording is damaged: there is more after its end");
            }
            m_recordsEnd = start;
            m_complete = true;
            m_endReason = static_cast<uint8_t>(entry.b);
            m_endHits = entry.hits;
            if (m_endReason == ReplayFormat::Unfinished) {
                m_message = "the recording stops where the game was last saved, still running";
            }
            return true;
        }
        if (entry.kind == ReplayFormat::Stroke) {
            ++m_strokes;
        }
        ++m_records;
    }
}

bool ReplayReader::next(Entry& entry) {
    if (m_next >= m_recordsEnd) {
        return false;
    }
    std::string why;
    return readEntry(m_next, entry, why) == 0;
}

}  // namespace fairholm
