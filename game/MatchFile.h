#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "game/Match.h"

namespace fairholm {

// The saved round of several players, "greenvale-match" beside the one-player record,
// written after every turn. Little-endian:
//
//   "FHMT", version (u8), players (u8), hole (u8, 18 when the round is over), turn (u8),
//   the hole's order (4 x u8), then for each player: flags (u8, 1 the female golfer),
//   name length (u8, at most 16) and the name (printable ASCII), the strokes of each
//   hole (18 x u8, 0 not played); last the CRC-32 of every byte before it.
//
// A file that is not one, of another version, damaged or describing a position no round
// can be in is refused as a whole: the game then starts a fresh round.
class MatchFile {
public:
    static constexpr const char* fileName = "greenvale-match";
    static constexpr uint8_t version = 1;
    static constexpr size_t maxBytes = 4 + 8 + 4 * (2 + Match::maxName + Match::holeCount) + 4;

    static std::vector<uint8_t> write(const Match& match);
    // Reads a saved round into `match`; false (and `match` untouched) when refused.
    static bool read(const uint8_t* bytes, size_t length, Match& match);
};

}  // namespace fairholm
