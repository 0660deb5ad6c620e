#include "game/Clubs.h"

#include "runtime/Assert.h"

namespace fairholm {

const Clubs::Club Clubs::clubTable[count] = {
    {"1 1W-250", 8191500, 1092}, {"2 3W-230", 7536180, 1365}, {"3 3i-200", 6553200, 1456},
    {"4 4i-185", 6061710, 1820}, {"5 5i-170", 5570220, 2184}, {"6 6i-155", 5078730, 2548},
    {"7 7i-140", 4587240, 2912}, {"8 8i-125", 4095750, 3276}, {"9 9i-110", 3604260, 3640},
    {"# PW-60", 1965960, 5461},  {"* PT-100", 1092200, 0},
};

const char* Clubs::name(int32_t club) {
    FAIRHOLM_ASSERT(isClub(club));
    return clubTable[club].label + 2;
}

int32_t Clubs::carryFor(int32_t club, int32_t power) {
    FAIRHOLM_ASSERT(isClub(club));
    return clubTable[club].carry * (power >> 15) / 200;
}

Clubs::Launch Clubs::launchFor(int32_t club, int32_t power) {
    const int32_t carry = carryFor(club, power);
    const angle loft = clubTable[club].loft;
    if (loft == 0) {
        return {fx::sqrt(int64_t{12} * carry), 0};
    }
    // The range of a drag-free projectile, R = v^2 sin(2L) / g, solved for v with
    // R = 0.9 x the carry.
    const int64_t range = (static_cast<int64_t>(carry) * 0x7333) >> 15;
    const fixed speed = fx::sqrt(range * gravity / fx::sin(2 * loft));
    return {fx::mul(speed, fx::cos(loft)), fx::mul(speed, fx::sin(loft))};
}

int32_t Clubs::forDistance(fixed distance, bool onGreen) {
    if (isShortGame(distance)) {
        return onGreen ? putter : pitchingWedge;
    }
    for (int32_t i = driver; i <= nineIron; ++i) {
        if (clubTable[i].carry < distance) {
            return i == driver ? driver : i - 1;
        }
    }
    return nineIron;
}

}  // namespace fairholm
