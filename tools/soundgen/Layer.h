#pragma once

#include <string>
#include <vector>

#include "tools/soundgen/Curve.h"
#include "tools/soundgen/Envelope.h"
#include "tools/soundgen/Filter.h"
#include "tools/soundgen/Random.h"
#include "tools/soundgen/SoundScript.h"

namespace fairholm::soundgen {

// One effect layer of a sound, added into the sound's sample buffer.
//
// Settings every layer has: start and length (seconds; the length defaults to the
// rest of the sound), gain, and the envelope (attack, hold, decay, release). For
// train and bubbles the envelope sets the level of each impact or bubble from its
// start time, and attack defaults to 0.
//
//   tone     a pitched tone: freq (one or more points of a glide, Hz), harmonics
//            (amplitudes of partials 1, 2, 3..., at most 16), mellow (how much faster the upper
//            partials die away, per second)
//   noise    white noise through a filter: filter (none, lowpass, highpass,
//            bandpass), cutoff (points of a sweep, Hz), q (resonance)
//   train    a run of impacts that come closer and weaker, as a ball bouncing to
//            rest: count, gap (seconds to the second impact), ratio (each gap is the
//            previous one times this), damp (each impact's level is the previous one
//            times this), freq and amps (the partials that ring at every impact),
//            ring (their decay time constant), click (level of a short noise tick
//            at each impact), jitter (random spread 0..1 of timing and pitch)
//   bubbles  short rising chirps at random times: count, freq (lowest and highest
//            pitch), ring (decay time constant), rise (pitch rise per second, as a
//            fraction of the start pitch)
class Layer {
public:
    enum class Kind { Tone, Noise, Train, Bubbles };

    // Reads a "layer" block; soundLength bounds the layer's span.
    bool read(const ScriptBlock& block, double soundLength, std::string& error);

    // Adds the layer into out (sampleRate samples per second), drawing any
    // randomness from random.
    void render(std::vector<double>& out, double sampleRate, Random& random) const;

private:
    void renderTone(std::vector<double>& out, double sampleRate) const;
    void renderNoise(std::vector<double>& out, double sampleRate, Random& random) const;
    void renderTrain(std::vector<double>& out, double sampleRate, Random& random) const;
    void renderBubbles(std::vector<double>& out, double sampleRate, Random& random) const;

    Kind m_kind = Kind::Tone;
    double m_start = 0.0;
    double m_length = 0.0;
    double m_gain = 1.0;
    Envelope m_envelope;
    Curve m_freq;
    std::vector<double> m_freqs;
    std::vector<double> m_harmonics;
    double m_mellow = 0.0;
    Filter::Mode m_filter = Filter::Mode::None;
    Curve m_cutoff;
    double m_q = 0.7;
    int m_count = 0;
    double m_gap = 0.0;
    double m_ratio = 1.0;
    double m_damp = 1.0;
    std::vector<double> m_amps;
    double m_ring = 0.02;
    double m_click = 0.0;
    double m_jitter = 0.0;
    double m_rise = 0.0;
};

}  // namespace fairholm::soundgen
