#include "tools/soundgen/Filter.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace fairholm::soundgen {

Filter::Filter(Mode mode, double q, double sampleRate)
    : m_mode(mode), m_k(1.0 / std::max(q, 0.05)), m_sampleRate(sampleRate) {}

double Filter::process(double in, double cutoff) {
    if (m_mode == Mode::None) {
        return in;
    }
    const double fc = std::clamp(cutoff, 10.0, 0.45 * m_sampleRate);
    const double g = std::tan(std::numbers::pi * fc / m_sampleRate);
    const double a1 = 1.0 / (1.0 + g * (g + m_k));
    const double a2 = g * a1;
    const double a3 = g * a2;
    const double v3 = in - m_ic2;
    const double v1 = a1 * m_ic1 + a2 * v3;
    const double v2 = m_ic2 + a2 * m_ic1 + a3 * v3;
    m_ic1 = 2.0 * v1 - m_ic1;
    m_ic2 = 2.0 * v2 - m_ic2;
    switch (m_mode) {
        case Mode::Lowpass:
            return v2;
        case Mode::Highpass:
            return in - m_k * v1 - v2;
        case Mode::Bandpass:
            return m_k * v1;  // unity gain at the centre frequency
        case Mode::None:
            break;
    }
    return in;
}

}  // namespace fairholm::soundgen
