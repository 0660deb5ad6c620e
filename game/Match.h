#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace fairholm {

// A round of stroke play for two to four players on one device, taking turns: each
// player plays the hole out in turn, in the order of honours (the best score on the
// previous hole plays first; a tie keeps the order the players had). A ball that has
// taken `par + pickUpOver` strokes is picked up with that score, so that a round with a
// struggling player still ends. After the 18th hole the round is over and the table
// says who won.
class Match {
public:
    static constexpr int32_t minPlayers = 2;
    static constexpr int32_t maxPlayers = 4;
    static constexpr int32_t holeCount = 18;
    static constexpr int32_t pickUpOver = 5;
    static constexpr size_t maxName = 16;

    struct Player {
        std::string name;
        bool female = false;
        // Strokes on each hole, penalties included; 0 for a hole not played yet.
        std::array<int32_t, holeCount> strokes{};

        int32_t total() const;
        // The round against the pars of the holes played.
        int32_t relative() const;
        int32_t holesPlayed() const;
    };

    // A place in the table: the player and the round's strokes.
    struct Standing {
        int32_t player;
        int32_t total;
        int32_t relative;
        int32_t place;  // 1 for the lowest total; tied players share a place
    };

    // A new round for `players` players (clamped to 2 to 4), named "Player 1" ... with
    // the male golfer.
    void start(int32_t players);

    int32_t players() const { return m_players; }
    Player& player(int32_t index) { return m_player[static_cast<size_t>(index)]; }
    const Player& player(int32_t index) const { return m_player[static_cast<size_t>(index)]; }

    int32_t hole() const { return m_hole; }
    bool roundOver() const { return m_hole >= holeCount; }
    // Whose turn it is (an index of player()), and the place of the turn in the hole's order.
    int32_t current() const { return m_order[static_cast<size_t>(m_turn)]; }
    int32_t turn() const { return m_turn; }
    int32_t orderAt(int32_t turn) const { return m_order[static_cast<size_t>(turn)]; }
    // The strokes of the player whose turn it is, on this hole so far.
    int32_t strokes() const { return m_strokes; }

    // The stroke limit of a hole: at this many strokes the ball is picked up.
    static int32_t strokeLimit(int32_t hole);

    void addStroke() { ++m_strokes; }
    void addPenalty() { ++m_strokes; }
    // The turn's strokes as counted elsewhere (the game's own round).
    void setStrokes(int32_t strokes) { m_strokes = strokes; }
    // The current player has reached the hole's limit and must pick the ball up.
    bool mustPickUp() const { return m_strokes >= strokeLimit(m_hole); }

    // The current player's hole is over (holed, or picked up at the limit): the score is
    // kept and the turn passes on. True when it was the hole's last turn: the hole is
    // over, the next one (or the end of the round) follows with its order of honours.
    bool finishTurn();

    // The table of the round so far, best first.
    std::array<Standing, maxPlayers> standings() const;
    // The players sharing first place (a bit for each player index).
    uint32_t winners() const;

    // For the saved round and for tests: set the position directly. False when it is
    // not one a round can be in (MatchFile checks what it reads with it).
    bool restore(int32_t players, int32_t hole, int32_t turn, const std::array<int32_t, maxPlayers>& order,
                 int32_t strokes);

private:
    void orderForHole();

    int32_t m_players = minPlayers;
    std::array<Player, maxPlayers> m_player{};
    int32_t m_hole = 0;
    int32_t m_turn = 0;
    std::array<int32_t, maxPlayers> m_order{0, 1, 2, 3};
    int32_t m_strokes = 0;
};

}  // namespace fairholm
