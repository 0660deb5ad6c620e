#pragma once

#include <cstdint>

#include "game/Golf.h"
#include "runtime/Fixed.h"

namespace fairholm {

// A deterministic player for the headless shell: between two frames it looks at the
// game and queues the keys a player would press. Before each stroke it tries the aims
// the turn keys can reach and every power the meter shows, with the game's own ball
// rules over the course, and plays the one that ends nearest the pin; then it turns,
// starts the meter and stops it at that power. It dismisses the scorecard and leaves
// the map, and ends the run when the round is over.
//
// It never changes the club the game chose and leaves the menus to the script: a run
// starts it from the main menu with "New game" or "Resume game".
class HeadlessPilot {
public:
    explicit HeadlessPilot(Golf& game) : m_game(game) {}

    // One look at the game between frames; false once the round is over.
    bool act();

    // Strokes planned so far (a plan per stroke played).
    int32_t plans() const { return m_plans; }

private:
    struct Plan {
        angle aim = 0;
        int32_t power = 0;
    };

    // The best stroke from where the ball lies now.
    Plan plan();
    // Distance in fixed units from the pin where a stroke ends; penalties and balls
    // that never rest count as far away.
    int64_t judge(int32_t club, angle aim, int32_t power);
    void press(int32_t key);

    Golf& m_game;
    bool m_planned = false;
    Plan m_plan;
    int32_t m_plans = 0;
    // The hole whose scorecard was last dismissed, and whether the last hole has been
    // played: the round is over when the main menu comes back after it.
    bool m_lastHoleDone = false;
};

}  // namespace fairholm
