#pragma once

#include <cstdint>

#include "runtime/Fixed.h"

namespace fairholm {

// The bag: eleven clubs, each with its menu label (key character, space, name), its
// nominal carry and its loft; how far a stroke carries at a power, the ball's launch
// speeds, and the club the game hands the player for a distance.
//
// Power is a 16.16 percentage: fullPower (100 << 16) is a full meter.
class Clubs {
public:
    struct Club {
        const char* label;
        fixed carry;
        angle loft;
    };
    // Launch speeds of a strike: along the ground (`h`) and upwards (`vy`).
    struct Launch {
        fixed h;
        fixed vy;
    };

    static constexpr int32_t count = 11;
    static constexpr int32_t driver = 0;
    static constexpr int32_t nineIron = 8;
    static constexpr int32_t pitchingWedge = 9;
    static constexpr int32_t putter = 10;
    static constexpr int32_t fullPower = 100 << 16;
    // Fixed steps per yard and per foot of the distances shown to the player.
    static constexpr fixed yard = 32766;
    static constexpr fixed foot = 10922;
    // The magnitude of the ball's gravity (10.981 units per time unit squared).
    static constexpr fixed gravity = 359834;

    static const Club clubTable[count];

    static bool isClub(int32_t index) { return index >= 0 && index < count; }
    // The name the HUD shows: the label from its third character ("1W-250").
    static const char* name(int32_t club);
    // The club's carry scaled by the power percentage.
    static int32_t carryFor(int32_t club, int32_t power);
    // Launch speeds that carry a drag-free ball 0.9 x the carry; the putter rolls it.
    static Launch launchFor(int32_t club, int32_t power);
    // Distances below the wedge's 60 yards are played with the wedge or the putter,
    // whichever the lie asks for; longer ones with one of the first nine clubs.
    static bool isShortGame(fixed distance) { return distance < clubTable[pitchingWedge].carry; }
    // The club for a distance: the shortest of the first nine whose carry still reaches
    // it (the driver when none does), and in the short game the putter on the green
    // (`onGreen`), the wedge elsewhere.
    static int32_t forDistance(fixed distance, bool onGreen);
};

}  // namespace fairholm
