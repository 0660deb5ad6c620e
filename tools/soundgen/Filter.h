#pragma once

namespace fairholm::soundgen {

// State-variable filter in the trapezoidal (zero-delay feedback) form: stable for any
// cutoff below Nyquist, and the cutoff may change every sample (sweeps).
class Filter {
public:
    enum class Mode { None, Lowpass, Highpass, Bandpass };

    Filter(Mode mode, double q, double sampleRate);

    // Filters one sample with the given cutoff in Hz.
    double process(double in, double cutoff);

private:
    Mode m_mode;
    double m_k;
    double m_sampleRate;
    double m_ic1 = 0.0;
    double m_ic2 = 0.0;
};

}  // namespace fairholm::soundgen
