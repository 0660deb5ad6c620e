#include "game/ReplayFormat.h"

#include "runtime/Crc32.h"

namespace fairholm {

const char* ReplayFormat::kindName(uint8_t kind) {
    static constexpr const char* names[kindCount] = {"key",    "key state", "stylus x", "stylus y",
                                                     "size",   "time",      "running",  "save",
                                                     "record", "stroke",    "end"};
    return kind < kindCount ? names[kind] : "unknown";
}

void ReplayFormat::writeHeader(std::vector<uint8_t>& out, const Header& header) {
    out.insert(out.end(), magic, magic + 4);
    out.push_back(static_cast<uint8_t>(header.formatVersion));
    out.push_back(static_cast<uint8_t>(header.formatVersion >> 8));
    out.push_back(static_cast<uint8_t>(header.width));
    out.push_back(static_cast<uint8_t>(header.width >> 8));
    out.push_back(static_cast<uint8_t>(header.height));
    out.push_back(static_cast<uint8_t>(header.height >> 8));
    out.push_back(header.flags);
    const size_t length =
        header.gameVersion.size() < maxGameVersion ? header.gameVersion.size() : maxGameVersion;
    out.push_back(static_cast<uint8_t>(length));
    out.insert(out.end(), header.gameVersion.begin(), header.gameVersion.begin() + static_cast<long>(length));
}

void ReplayFormat::putVarint(std::vector<uint8_t>& out, uint32_t value) {
    while (value >= 0x80) {
        out.push_back(static_cast<uint8_t>(value | 0x80));
        value >>= 7;
    }
    out.push_back(static_cast<uint8_t>(value));
}

void ReplayFormat::putSigned(std::vector<uint8_t>& out, int32_t value) {
    const auto bits = static_cast<uint32_t>(value);
    putVarint(out, (bits << 1) ^ (value < 0 ? 0xFFFFFFFFu : 0u));
}

void ReplayFormat::putU32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<uint8_t>(value >> shift));
    }
}

int ReplayFormat::getVarint(const uint8_t* bytes, size_t end, size_t& at, uint32_t& value) {
    uint32_t result = 0;
    for (size_t i = 0; i < 5; ++i) {
        if (at + i >= end) {
            return 1;
        }
        const uint8_t byte = bytes[at + i];
        if (i == 4 && byte > 0x0F) {
            return -1;
        }
        result |= static_cast<uint32_t>(byte & 0x7F) << (7 * i);
        if ((byte & 0x80) == 0) {
            at += i + 1;
            value = result;
            return 0;
        }
    }
    return -1;
}

int ReplayFormat::getSigned(const uint8_t* bytes, size_t end, size_t& at, int32_t& value) {
    uint32_t bits = 0;
    const int got = getVarint(bytes, end, at, bits);
    if (got == 0) {
        value = static_cast<int32_t>((bits >> 1) ^ (0u - (bits & 1)));
    }
    return got;
}

uint32_t ReplayFormat::crc32(const uint8_t* bytes, size_t length) {
    return Crc32::of(bytes, length);
}

}  // namespace fairholm
