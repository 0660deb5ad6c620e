#pragma once

#include <cstdint>

namespace fairholm {

// A round of 18 holes played in order: the hole being played, the strokes taken on it
// (penalties included) and the total of the finished holes. Finishing a hole scores it
// and moves on to the next one; after the 18th the round is over and starts again at
// hole 1 with a total of 0.
class Round {
public:
    // What finishing a hole gives: the announcement and the numbers of the scorecard.
    struct HoleScore {
        const char* announcement;  // "Par", "Birdie!", "Eagle!", "Double Eagle!", "Score", "Game Over"
        int32_t hole;              // the hole just finished, 0 to 17
        int32_t par;
        int32_t strokes;
        int32_t overPar;   // strokes - par
        int32_t total;     // the round's strokes so far, this hole included
        int32_t relative;  // the round against the pars of the holes played
        bool roundOver;    // the 18th hole: the round starts again
    };

    // The announcement for a hole of `par` played in `strokes`: by strokes under par,
    // 0 "Par", 1 "Birdie!", 2 "Eagle!", 3 "Double Eagle!", anything else "Score"; the
    // last hole always announces "Game Over".
    static const char* announcementFor(int32_t par, int32_t strokes, bool lastHole);

    // Starts playing at `hole` with `total` strokes from the holes before it.
    void start(int32_t hole, int32_t total);
    // The set-up of a hole: no strokes yet.
    void startHole() {
        m_strokes = 0;
        m_penalties = 0;
    }
    // A stroke played.
    void addStroke() { m_strokes += 1; }
    // A penalty stroke (out of bounds, water): counted with the strokes.
    void addPenalty() {
        m_strokes += 1;
        m_penalties += 1;
    }
    // The ball is holed: scores the hole, adds it to the total and names the next hole.
    HoleScore finishHole();

    int32_t hole() const { return m_hole; }
    int32_t strokes() const { return m_strokes; }
    int32_t penalties() const { return m_penalties; }
    int32_t total() const { return m_total; }
    int32_t par() const;

    // For tests and tools that set up a situation directly.
    void setStrokes(int32_t strokes) { m_strokes = strokes; }

private:
    int32_t m_hole = 0;
    int32_t m_strokes = 0;
    int32_t m_penalties = 0;
    int32_t m_total = 0;
};

}  // namespace fairholm
