#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/soundgen/SoundScript.h"

namespace fairholm::soundgen {

// Turns one sound description into 16-bit samples: mixes its effect layers and its
// tune, then masters the mix.
//
// Sound settings: length (seconds; a tune's own length plus `tail` when absent),
// tempo (beats per minute), transpose (semitones), tail (seconds of silence room
// after a tune), echo (delay in seconds, feedback and mix, 0..1 each), level (the
// loudest 50 ms of the sound, RMS in dB below full scale), ceiling (highest peak
// allowed, dB below full scale; it wins over level), fadein and fadeout (seconds),
// seed (the noise generator's start; the name's hash when absent).
//
// Mastering: echo, removal of any DC offset (a 20 Hz high-pass and the exact mean),
// gain to the target level under the ceiling, smooth fades at both ends (after
// which the mean is taken out once more), rounding to 16 bits.
class Synthesizer {
public:
    static constexpr std::uint32_t kSampleRate = 22050;
    static constexpr double kMaxSeconds = 30.0;

    bool render(const SoundDesc& sound, std::vector<std::int16_t>& samples, std::string& error) const;
};

}  // namespace fairholm::soundgen
