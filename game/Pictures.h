#pragma once

#include <cstdint>

namespace fairholm {

// The pictures of the image pack "golf" by number. Pictures 1 to 7 texture the ground:
// their numbers are the surface kinds (Surface::Kind).
struct Pictures {
    static constexpr int32_t title = 0;
    static constexpr int32_t pin = 8;
    static constexpr int32_t tree = 9;
    static constexpr int32_t bag = 10;
    static constexpr int32_t ball = 11;
    static constexpr int32_t shadow = 12;
    // The golfers' first frames, and the frames of a golfer from its first.
    static constexpr int32_t maleGolfer = 13;
    static constexpr int32_t femaleGolfer = 36;
    static constexpr int32_t golferFrames = 23;
    static constexpr int32_t stance = 0;       // address, full swing
    static constexpr int32_t backswing = 1;    // first frame of the full swing
    static constexpr int32_t swingSound = 5;   // the "swing" sound plays after this frame
    static constexpr int32_t impact = 9;       // the club meets the ball after this frame
    static constexpr int32_t finish = 16;      // last frame of the full swing
    static constexpr int32_t puttStance = 17;  // address, putting
    static constexpr int32_t puttBack = 18;    // the putter's backswing; the strike follows
    static constexpr int32_t puttFinish = 22;  // last frame of the putt
};

}  // namespace fairholm
