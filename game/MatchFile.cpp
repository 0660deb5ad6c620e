#include "game/MatchFile.h"

#include <cstring>

#include "runtime/Crc32.h"

namespace fairholm {

namespace {

constexpr uint8_t magic[4] = {'F', 'H', 'M', 'T'};

bool printable(const std::string& name) {
    for (const char c : name) {
        if (c < 0x20 || c > 0x7E) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::vector<uint8_t> MatchFile::write(const Match& match) {
    std::vector<uint8_t> out(magic, magic + 4);
    out.push_back(version);
    out.push_back(static_cast<uint8_t>(match.players()));
    out.push_back(static_cast<uint8_t>(match.hole()));
    out.push_back(static_cast<uint8_t>(match.turn()));
    for (int32_t i = 0; i < Match::maxPlayers; ++i) {
        out.push_back(static_cast<uint8_t>(match.orderAt(i)));
    }
    for (int32_t i = 0; i < match.players(); ++i) {
        const Match::Player& p = match.player(i);
        std::string name = p.name.substr(0, Match::maxName);
        if (name.empty() || !printable(name)) {
            name = "Player " + std::to_string(i + 1);
        }
        out.push_back(p.female ? 1 : 0);
        out.push_back(static_cast<uint8_t>(name.size()));
        out.insert(out.end(), name.begin(), name.end());
        for (const int32_t s : p.strokes) {
            out.push_back(static_cast<uint8_t>(s));
        }
    }
    const uint32_t crc = Crc32::of(out.data(), out.size());
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<uint8_t>(crc >> shift));
    }
    return out;
}

bool MatchFile::read(const uint8_t* bytes, size_t length, Match& match) {
    constexpr size_t fixedPart = 12;
    if (!bytes || length < fixedPart + 4 || length > maxBytes || std::memcmp(bytes, magic, 4) != 0 ||
        bytes[4] != version) {
        return false;
    }
    const uint32_t stored =
        static_cast<uint32_t>(bytes[length - 4]) | static_cast<uint32_t>(bytes[length - 3]) << 8 |
        static_cast<uint32_t>(bytes[length - 2]) << 16 | static_cast<uint32_t>(bytes[length - 1]) << 24;
    if (Crc32::of(bytes, length - 4) != stored) {
        return false;
    }
    const int32_t players = bytes[5];
    if (players < Match::minPlayers || players > Match::maxPlayers) {
        return false;
    }
    std::array<int32_t, Match::maxPlayers> order{};
    for (size_t i = 0; i < order.size(); ++i) {
        order[i] = bytes[8 + i];
    }
    Match read;
    read.start(players);
    const size_t end = length - 4;
    size_t at = fixedPart;
    for (int32_t i = 0; i < players; ++i) {
        if (end - at < 2) {
            return false;
        }
        const uint8_t flags = bytes[at];
        const size_t nameLength = bytes[at + 1];
        at += 2;
        if (flags > 1 || nameLength > Match::maxName || end - at < nameLength + Match::holeCount) {
            return false;
        }
        Match::Player& p = read.player(i);
        p.female = flags == 1;
        p.name.assign(reinterpret_cast<const char*>(bytes + at), nameLength);
        at += nameLength;
        if (!printable(p.name)) {
            return false;
        }
        for (int32_t h = 0; h < Match::holeCount; ++h) {
            p.strokes[static_cast<size_t>(h)] = bytes[at++];
        }
    }
    if (at != end || !read.restore(players, bytes[6], bytes[7], order, 0)) {
        return false;
    }
    match = read;
    return true;
}

}  // namespace fairholm
