#include "game/Match.h"

#include <algorithm>

#include "game/Course.h"

namespace fairholm {

int32_t Match::Player::total() const {
    int32_t sum = 0;
    for (const int32_t s : strokes) {
        sum += s;
    }
    return sum;
}

int32_t Match::Player::holesPlayed() const {
    int32_t played = 0;
    for (const int32_t s : strokes) {
        played += s > 0 ? 1 : 0;
    }
    return played;
}

int32_t Match::Player::relative() const {
    int32_t against = 0;
    for (int32_t hole = 0; hole < holeCount; ++hole) {
        if (strokes[static_cast<size_t>(hole)] > 0) {
            against += strokes[static_cast<size_t>(hole)] - Course::par(hole);
        }
    }
    return against;
}

void Match::start(int32_t players) {
    m_players = std::clamp(players, minPlayers, maxPlayers);
    for (int32_t i = 0; i < maxPlayers; ++i) {
        Player& p = m_player[static_cast<size_t>(i)];
        p = Player{};
        p.name = "Player " + std::to_string(i + 1);
    }
    m_hole = 0;
    m_turn = 0;
    m_order = {0, 1, 2, 3};
    m_strokes = 0;
}

int32_t Match::strokeLimit(int32_t hole) {
    return Course::par(hole) + pickUpOver;
}

bool Match::finishTurn() {
    if (roundOver()) {
        return false;
    }
    const int32_t limit = strokeLimit(m_hole);
    m_player[static_cast<size_t>(current())].strokes[static_cast<size_t>(m_hole)] =
        std::clamp(m_strokes, int32_t{1}, limit);
    m_strokes = 0;
    if (++m_turn < m_players) {
        return false;
    }
    m_turn = 0;
    ++m_hole;
    if (!roundOver()) {
        orderForHole();
    }
    return true;
}

void Match::orderForHole() {
    // Honours: the previous hole's scores, lowest first; a tie keeps the order the
    // players had on that hole.
    const size_t previous = static_cast<size_t>(m_hole - 1);
    std::stable_sort(m_order.begin(), m_order.begin() + m_players, [this, previous](int32_t a, int32_t b) {
        return m_player[static_cast<size_t>(a)].strokes[previous] <
               m_player[static_cast<size_t>(b)].strokes[previous];
    });
}

std::array<Match::Standing, Match::maxPlayers> Match::standings() const {
    std::array<Standing, maxPlayers> table{};
    for (int32_t i = 0; i < m_players; ++i) {
        const Player& p = m_player[static_cast<size_t>(i)];
        table[static_cast<size_t>(i)] = {i, p.total(), p.relative(), 0};
    }
    std::stable_sort(table.begin(), table.begin() + m_players,
                     [](const Standing& a, const Standing& b) { return a.total < b.total; });
    for (int32_t i = 0; i < m_players; ++i) {
        Standing& s = table[static_cast<size_t>(i)];
        s.place = i > 0 && s.total == table[static_cast<size_t>(i - 1)].total
                      ? table[static_cast<size_t>(i - 1)].place
                      : i + 1;
    }
    return table;
}

uint32_t Match::winners() const {
    uint32_t bits = 0;
    for (const Standing& s : standings()) {
        if (s.place == 1) {
            bits |= 1u << s.player;
        }
    }
    return bits;
}

bool Match::restore(int32_t players, int32_t hole, int32_t turn, const std::array<int32_t, maxPlayers>& order,
                    int32_t strokes) {
    if (players < minPlayers || players > maxPlayers || hole < 0 || hole > holeCount || turn < 0 ||
        turn >= players || (hole == holeCount && turn != 0) || strokes < 0 ||
        (hole < holeCount && strokes >= strokeLimit(hole))) {
        return false;
    }
    // The order is the players, each once.
    uint32_t seen = 0;
    for (int32_t i = 0; i < players; ++i) {
        const int32_t who = order[static_cast<size_t>(i)];
        if (who < 0 || who >= players || (seen & (1u << who)) != 0) {
            return false;
        }
        seen |= 1u << who;
    }
    // Every hole before this one played by everyone, within its limit; this hole by
    // those whose turn has passed; nothing after.
    for (int32_t p = 0; p < maxPlayers; ++p) {
        const Player& player = m_player[static_cast<size_t>(p)];
        for (int32_t h = 0; h < holeCount; ++h) {
            const int32_t s = player.strokes[static_cast<size_t>(h)];
            bool played = p < players && h < hole;
            if (p < players && h == hole) {
                for (int32_t t = 0; t < turn; ++t) {
                    played = played || order[static_cast<size_t>(t)] == p;
                }
            }
            if (played ? (s < 1 || s > strokeLimit(h)) : s != 0) {
                return false;
            }
        }
    }
    m_players = players;
    m_hole = hole;
    m_turn = turn;
    m_order = order;
    for (int32_t i = players; i < maxPlayers; ++i) {
        m_order[static_cast<size_t>(i)] = i;
    }
    m_strokes = strokes;
    return true;
}

}  // namespace fairholm
