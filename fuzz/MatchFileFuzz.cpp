// libFuzzer target: arbitrary bytes as the saved round of several players. A file that
// is read must describe a round that can go on (whose turn it is, a limit it is under)
// and must be written back byte for byte; one that is refused leaves the round as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "game/Match.h"
#include "game/MatchFile.h"

using namespace fairholm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Match match;
    match.start(3);
    const std::vector<uint8_t> fresh = MatchFile::write(match);
    if (!MatchFile::read(data, size, match)) {
        if (MatchFile::write(match) != fresh) {
            std::abort();
        }
        return 0;
    }
    if (MatchFile::write(match) != std::vector<uint8_t>(data, data + size)) {
        std::abort();
    }
    if (match.players() < Match::minPlayers || match.players() > Match::maxPlayers) {
        std::abort();
    }
    // The round plays on to its end from there.
    for (int32_t turns = 0; !match.roundOver(); ++turns) {
        if (turns > Match::holeCount * Match::maxPlayers || match.current() < 0 ||
            match.current() >= match.players()) {
            std::abort();
        }
        match.addStroke();
        match.finishTurn();
    }
    const auto table = match.standings();
    if (table[0].place != 1 || match.winners() == 0) {
        std::abort();
    }
    return 0;
}
