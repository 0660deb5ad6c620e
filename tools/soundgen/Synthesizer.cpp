#include "tools/soundgen/Synthesizer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/soundgen/Layer.h"
#include "tools/soundgen/Params.h"
#include "tools/soundgen/Random.h"
#include "tools/soundgen/Tune.h"

namespace fairholm::soundgen {

namespace {

double fromDb(double db) {
    return std::pow(10.0, db / 20.0);
}

void addEcho(std::vector<double>& x, double sampleRate, double delay, double feedback, double mix) {
    const std::size_t d = std::max<std::size_t>(1, static_cast<std::size_t>(delay * sampleRate));
    std::vector<double> line(x.size(), 0.0);
    double damped = 0.0;
    for (std::size_t n = d; n < x.size(); ++n) {
        // The repeats lose their top end a little, as in a room.
        damped += 0.5 * (x[n - d] + feedback * line[n - d] - damped);
        line[n] = damped;
    }
    for (std::size_t n = 0; n < x.size(); ++n) {
        x[n] += mix * line[n];
    }
}

void removeDc(std::vector<double>& x, double sampleRate) {
    // One-pole high-pass at 20 Hz, then the remaining mean.
    const double r = std::exp(-2.0 * std::numbers::pi * 20.0 / sampleRate);
    double previousIn = 0.0;
    double previousOut = 0.0;
    double sum = 0.0;
    for (double& s : x) {
        const double out = s - previousIn + r * previousOut;
        previousIn = s;
        previousOut = out;
        s = out;
        sum += out;
    }
    if (!x.empty()) {
        const double mean = sum / static_cast<double>(x.size());
        for (double& s : x) {
            s -= mean;
        }
    }
}

// RMS of the loudest 50 ms window (stepped by 10 ms).
double loudestRms(const std::vector<double>& x, double sampleRate) {
    const std::size_t window = static_cast<std::size_t>(0.05 * sampleRate);
    const std::size_t hop = static_cast<std::size_t>(0.01 * sampleRate);
    double best = 0.0;
    for (std::size_t from = 0; from < x.size(); from += hop) {
        const std::size_t to = std::min(x.size(), from + window);
        double sum = 0.0;
        for (std::size_t n = from; n < to; ++n) {
            sum += x[n] * x[n];
        }
        best = std::max(best, std::sqrt(sum / static_cast<double>(window)));
        if (to == x.size()) {
            break;
        }
    }
    return best;
}

// Fades both ends smoothly (raised cosine), then takes out what is left of the
// mean in the shape of the same fades, so that the ends stay exactly at zero and
// the whole sound averages to zero.
void fadeAndCentre(std::vector<double>& x, double sampleRate, double fadeIn, double fadeOut) {
    std::vector<double> weight(x.size(), 1.0);
    const std::size_t in = std::min(x.size(), static_cast<std::size_t>(fadeIn * sampleRate));
    const std::size_t out = std::min(x.size(), static_cast<std::size_t>(fadeOut * sampleRate));
    for (std::size_t n = 0; n < in; ++n) {
        weight[n] *=
            0.5 - 0.5 * std::cos(std::numbers::pi * static_cast<double>(n) / static_cast<double>(in));
    }
    for (std::size_t n = 0; n < out; ++n) {
        weight[x.size() - 1 - n] *=
            0.5 - 0.5 * std::cos(std::numbers::pi * static_cast<double>(n) / static_cast<double>(out));
    }
    double sum = 0.0;
    double weights = 0.0;
    for (std::size_t n = 0; n < x.size(); ++n) {
        x[n] *= weight[n];
        sum += x[n];
        weights += weight[n];
    }
    if (weights > 0.0) {
        const double offset = sum / weights;
        for (std::size_t n = 0; n < x.size(); ++n) {
            x[n] -= offset * weight[n];
        }
    }
}

}  // namespace

bool Synthesizer::render(const SoundDesc& sound, std::vector<std::int16_t>& samples,
                         std::string& error) const {
    const double rate = kSampleRate;
    Params p(sound.entries, "sound " + sound.name);
    const double tempo = p.number("tempo", 120.0, 20.0, 400.0);
    const int transpose = p.integer("transpose", 0, -24, 24);
    const double tail = p.number("tail", 0.2, 0.0, 10.0);
    const double level = p.number("level", -14.0, -60.0, 0.0);
    const double ceiling = p.number("ceiling", -1.0, -60.0, -0.1);
    const double fadeIn = p.number("fadein", 0.002, 0.0, 1.0);
    const double fadeOut = p.number("fadeout", 0.02, 0.0, 2.0);
    const std::vector<double> echo = p.numbers("echo", {0.0, 0.0, 0.0}, 0.0, 1.0);
    if (echo.size() != 3) {
        p.fail("sound " + sound.name + ": 'echo' takes a delay, a feedback and a mix");
    }
    const double seed = p.number("seed", -1.0, -1.0, 4294967295.0);

    Tune tune;
    if (p.ok() && !tune.read(sound, tempo, transpose, error)) {
        return false;
    }
    const double length = p.number("length", tune.empty() ? 1.0 : tune.duration() + tail, 0.01, kMaxSeconds);
    if (!p.finish(error)) {
        return false;
    }
    if (length > kMaxSeconds) {
        error = "sound " + sound.name + " is longer than " + std::to_string(static_cast<int>(kMaxSeconds)) +
                " seconds";
        return false;
    }

    std::vector<double> mix(static_cast<std::size_t>(std::lround(length * rate)), 0.0);
    Random random(seed >= 0.0 ? static_cast<std::uint64_t>(seed) : seedFromName(sound.name.c_str()));
    for (const ScriptBlock& block : sound.blocks) {
        if (block.kind != "layer") {
            continue;
        }
        Layer layer;
        if (!layer.read(block, length, error)) {
            return false;
        }
        layer.render(mix, rate, random);
    }
    tune.render(mix, rate);

    if (echo[2] > 0.0 && echo[0] > 0.0) {
        addEcho(mix, rate, echo[0], std::min(echo[1], 0.95), echo[2]);
    }
    removeDc(mix, rate);
    const double loudness = loudestRms(mix, rate);
    double peak = 0.0;
    for (double s : mix) {
        peak = std::max(peak, std::abs(s));
    }
    if (loudness <= 0.0 || peak <= 0.0) {
        error = "sound " + sound.name + " is silent";
        return false;
    }
    const double gain = std::min(fromDb(level) / loudness, fromDb(ceiling) / peak);
    for (double& s : mix) {
        s *= gain;
    }
    fadeAndCentre(mix, rate, fadeIn, fadeOut);
    // Centring can lift a peak by a hair: the ceiling still holds.
    double finalPeak = 0.0;
    for (double v : mix) {
        finalPeak = std::max(finalPeak, std::abs(v));
    }
    if (finalPeak > fromDb(ceiling)) {
        for (double& v : mix) {
            v *= fromDb(ceiling) / finalPeak;
        }
    }

    samples.resize(mix.size());
    for (std::size_t n = 0; n < mix.size(); ++n) {
        const double v = std::clamp(std::round(mix[n] * 32767.0), -32767.0, 32767.0);
        samples[n] = static_cast<std::int16_t>(v);
    }
    return true;
}

}  // namespace fairholm::soundgen
