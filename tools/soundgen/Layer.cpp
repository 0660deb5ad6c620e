#include "tools/soundgen/Layer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/soundgen/Params.h"

namespace fairholm::soundgen {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Adds a decaying sum of sine partials starting at sample `first`.
void addRing(std::vector<double>& out, double sampleRate, long first, const std::vector<double>& freqs,
             const std::vector<double>& amps, double ring, double level) {
    const long span = static_cast<long>(8.0 * ring * sampleRate) + 1;
    const long last = std::min<long>(first + span, static_cast<long>(out.size()));
    for (std::size_t j = 0; j < freqs.size(); ++j) {
        if (freqs[j] >= 0.45 * sampleRate) {
            continue;
        }
        const double amp = level * (j < amps.size() ? amps[j] : 1.0 / static_cast<double>(j + 1));
        // Upper partials die away faster, as on a struck object.
        const double tau = ring / (1.0 + 0.5 * static_cast<double>(j));
        const double step = kTwoPi * freqs[j] / sampleRate;
        for (long n = std::max(first, 0L); n < last; ++n) {
            const double t = static_cast<double>(n - first) / sampleRate;
            out[static_cast<std::size_t>(n)] +=
                amp * std::exp(-t / tau) * std::sin(step * static_cast<double>(n - first));
        }
    }
}

}  // namespace

bool Layer::read(const ScriptBlock& block, double soundLength, std::string& error) {
    Params p(block.entries, "layer " + block.label + " (line " + std::to_string(block.line) + ")");
    if (block.label == "tone") {
        m_kind = Kind::Tone;
    } else if (block.label == "noise") {
        m_kind = Kind::Noise;
    } else if (block.label == "train") {
        m_kind = Kind::Train;
    } else if (block.label == "bubbles") {
        m_kind = Kind::Bubbles;
    } else {
        error = "line " + std::to_string(block.line) + ": unknown layer type '" + block.label +
                "' (tone, noise, train, bubbles)";
        return false;
    }
    m_start = p.number("start", 0.0, 0.0, soundLength);
    m_length = p.number("length", soundLength - m_start, 0.0, soundLength);
    m_length = std::min(m_length, soundLength - m_start);
    m_gain = p.number("gain", 1.0, 0.0, 10.0);
    // Impacts and bubbles carry their own onsets: their envelope only shapes how
    // strong each one is, so it starts at full level.
    const bool events = m_kind == Kind::Train || m_kind == Kind::Bubbles;
    m_envelope = Envelope::read(p, m_length, events ? 0.0 : 0.001);
    switch (m_kind) {
        case Kind::Tone:
            m_freq = Curve(p.numbers("freq", {440.0}, 10.0, 11000.0), true);
            m_harmonics = p.numbers("harmonics", {1.0}, 0.0, 10.0);
            m_mellow = p.number("mellow", 0.0, 0.0, 1000.0);
            break;
        case Kind::Noise: {
            const std::string f = p.word("filter", "none", {"none", "lowpass", "highpass", "bandpass"});
            m_filter = f == "lowpass"    ? Filter::Mode::Lowpass
                       : f == "highpass" ? Filter::Mode::Highpass
                       : f == "bandpass" ? Filter::Mode::Bandpass
                                         : Filter::Mode::None;
            m_cutoff = Curve(p.numbers("cutoff", {1000.0}, 10.0, 11000.0), true);
            m_q = p.number("q", 0.7, 0.1, 30.0);
            break;
        }
        case Kind::Train:
            m_count = p.integer("count", 1, 1, 200);
            m_gap = p.number("gap", 0.1, 0.001, 5.0);
            m_ratio = p.number("ratio", 1.0, 0.1, 2.0);
            m_damp = p.number("damp", 1.0, 0.0, 1.5);
            m_freqs = p.numbers("freq", {1000.0}, 10.0, 11000.0);
            m_amps = p.numbers("amps", {}, 0.0, 10.0);
            m_ring = p.number("ring", 0.02, 0.0005, 0.5);
            m_click = p.number("click", 0.0, 0.0, 10.0);
            m_jitter = p.number("jitter", 0.0, 0.0, 1.0);
            break;
        case Kind::Bubbles: {
            m_count = p.integer("count", 8, 1, 500);
            m_freqs = p.numbers("freq", {300.0, 1200.0}, 10.0, 11000.0);
            if (m_freqs.size() != 2 || m_freqs[0] > m_freqs[1]) {
                p.fail("line " + std::to_string(block.line) + ": bubbles need 'freq <lowest> <highest>'");
            }
            m_ring = p.number("ring", 0.03, 0.0005, 0.5);
            m_rise = p.number("rise", 2.0, 0.0, 50.0);
            break;
        }
    }
    // Keeps the work of a hostile description bounded.
    if (m_harmonics.size() > 16 || m_freqs.size() > 16) {
        p.fail("line " + std::to_string(block.line) + ": at most 16 harmonics or partials");
    }
    return p.finish(error);
}

void Layer::render(std::vector<double>& out, double sampleRate, Random& random) const {
    switch (m_kind) {
        case Kind::Tone:
            renderTone(out, sampleRate);
            break;
        case Kind::Noise:
            renderNoise(out, sampleRate, random);
            break;
        case Kind::Train:
            renderTrain(out, sampleRate, random);
            break;
        case Kind::Bubbles:
            renderBubbles(out, sampleRate, random);
            break;
    }
}

void Layer::renderTone(std::vector<double>& out, double sampleRate) const {
    const long first = std::lround(m_start * sampleRate);
    const long count = std::lround(m_length * sampleRate);
    std::vector<double> phase(m_harmonics.size(), 0.0);
    for (long i = 0; i < count && first + i < static_cast<long>(out.size()); ++i) {
        const double t = static_cast<double>(i) / sampleRate;
        const double f = m_freq.at(m_length > 0.0 ? t / m_length : 0.0);
        double s = 0.0;
        for (std::size_t k = 0; k < m_harmonics.size(); ++k) {
            const double fk = f * static_cast<double>(k + 1);
            if (fk < 0.45 * sampleRate) {
                s += m_harmonics[k] * std::exp(-m_mellow * static_cast<double>(k) * t) * std::sin(phase[k]);
            }
            phase[k] = std::fmod(phase[k] + kTwoPi * fk / sampleRate, kTwoPi);
        }
        out[static_cast<std::size_t>(first + i)] += m_gain * m_envelope.at(t) * s;
    }
}

void Layer::renderNoise(std::vector<double>& out, double sampleRate, Random& random) const {
    Filter filter(m_filter, m_q, sampleRate);
    const long first = std::lround(m_start * sampleRate);
    const long count = std::lround(m_length * sampleRate);
    for (long i = 0; i < count && first + i < static_cast<long>(out.size()); ++i) {
        const double t = static_cast<double>(i) / sampleRate;
        const double s = filter.process(random.noise(), m_cutoff.at(m_length > 0.0 ? t / m_length : 0.0));
        out[static_cast<std::size_t>(first + i)] += m_gain * m_envelope.at(t) * s;
    }
}

void Layer::renderTrain(std::vector<double>& out, double sampleRate, Random& random) const {
    double t = 0.0;
    double gap = m_gap;
    double level = 1.0;
    for (int i = 0; i < m_count && t < m_length; ++i) {
        std::vector<double> freqs = m_freqs;
        for (double& f : freqs) {
            f *= 1.0 + 0.03 * m_jitter * random.noise();
        }
        const double amp = m_gain * level * m_envelope.at(t) * (1.0 + 0.3 * m_jitter * random.noise());
        const long first = std::lround((m_start + t) * sampleRate);
        addRing(out, sampleRate, first, freqs, m_amps, m_ring, amp);
        if (m_click > 0.0) {
            // A tick of noise of a couple of milliseconds marks the contact.
            const long span = static_cast<long>(0.004 * sampleRate);
            for (long n = 0; n < span && first + n < static_cast<long>(out.size()); ++n) {
                const double e = std::exp(-static_cast<double>(n) / (0.0008 * sampleRate));
                out[static_cast<std::size_t>(first + n)] += amp * m_click * e * random.noise();
            }
        }
        t += gap * (1.0 + m_jitter * 0.25 * random.noise());
        gap *= m_ratio;
        level *= m_damp;
    }
}

void Layer::renderBubbles(std::vector<double>& out, double sampleRate, Random& random) const {
    const double lowLog = std::log(m_freqs[0]);
    const double highLog = std::log(m_freqs[1]);
    for (int b = 0; b < m_count; ++b) {
        const double at = random.range(0.0, m_length);
        const double f0 = std::exp(random.range(lowLog, highLog));
        const double amp = m_gain * m_envelope.at(at) * random.range(0.3, 1.0);
        const long first = std::lround((m_start + at) * sampleRate);
        const long span = static_cast<long>(6.0 * m_ring * sampleRate);
        double phase = 0.0;
        for (long n = 0; n < span && first + n < static_cast<long>(out.size()); ++n) {
            const double t = static_cast<double>(n) / sampleRate;
            const double f = std::min(f0 * (1.0 + m_rise * t), 0.45 * sampleRate);
            // A short smooth onset keeps each bubble free of clicks.
            const double onset = std::min(1.0, t / 0.002);
            out[static_cast<std::size_t>(first + n)] += amp * onset * std::exp(-t / m_ring) * std::sin(phase);
            phase = std::fmod(phase + kTwoPi * f / sampleRate, kTwoPi);
        }
    }
}

}  // namespace fairholm::soundgen
