#include "tools/soundgen/Tune.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "tools/soundgen/Params.h"

namespace fairholm::soundgen {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Reads one token of a notes line into note (its beat is set by the caller).
bool readNote(const std::string& token, int transpose, Note& note, std::string& problem) {
    const std::size_t colon = token.find(':');
    if (colon == std::string::npos) {
        problem = "'" + token + "' needs a length, as in C5:1";
        return false;
    }
    double beats = 0.0;
    if (!parseNumber(token.substr(colon + 1), beats) || beats <= 0.0 || beats > 64.0) {
        problem = "'" + token + "' has a bad length (more than 0, at most 64 beats)";
        return false;
    }
    note.beats = beats;
    const std::string pitches = token.substr(0, colon);
    if (pitches == "r") {
        return true;
    }
    std::size_t from = 0;
    while (from <= pitches.size()) {
        std::size_t plus = pitches.find('+', from);
        if (plus == std::string::npos) {
            plus = pitches.size();
        }
        double f = 0.0;
        if (!Tune::pitch(pitches.substr(from, plus - from), transpose, f)) {
            problem = "'" + token + "' is not a note (C4, F#5, Bb3, chords as C4+E4+G4, rests as r)";
            return false;
        }
        note.freqs.push_back(f);
        if (note.freqs.size() > 8) {
            problem = "'" + token + "' has more than 8 notes";
            return false;
        }
        from = plus + 1;
    }
    return true;
}

}  // namespace

bool Tune::pitch(const std::string& text, int transpose, double& freq) {
    static const int kSemitone[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    if (text.size() < 2 || text.size() > 3 || text[0] < 'A' || text[0] > 'G') {
        return false;
    }
    int semitone = kSemitone[text[0] - 'A'];
    std::size_t i = 1;
    if (text[i] == '#' || text[i] == 'b') {
        semitone += text[i] == '#' ? 1 : -1;
        ++i;
    }
    if (i + 1 != text.size() || text[i] < '0' || text[i] > '8') {
        return false;
    }
    const int octave = text[i] - '0';
    const int midi = 12 * (octave + 1) + semitone + transpose;
    freq = 440.0 * std::pow(2.0, static_cast<double>(midi - 69) / 12.0);
    return true;
}

bool Tune::read(const SoundDesc& sound, double tempo, int transpose, std::string& error) {
    m_tracks.clear();
    m_secondsPerBeat = 60.0 / tempo;
    for (const ScriptBlock& block : sound.blocks) {
        if (block.kind != "track") {
            continue;
        }
        if (m_tracks.size() == 16) {
            error = "line " + std::to_string(block.line) + ": at most 16 tracks";
            return false;
        }
        Params p(block.entries, "track " + block.label + " (line " + std::to_string(block.line) + ")");
        Track t;
        t.harmonics = p.numbers("harmonics", {1.0}, 0.0, 10.0);
        if (t.harmonics.size() > 16) {
            p.fail("line " + std::to_string(block.line) + ": at most 16 harmonics");
        }
        t.mellow = p.number("mellow", 0.0, 0.0, 1000.0);
        t.attack = p.number("attack", 0.01, 0.0005, 5.0);
        t.decay = p.number("decay", 0.2, 0.001, 10.0);
        t.sustain = p.number("sustain", 0.6, 0.0, 1.0);
        t.release = p.number("release", 0.1, 0.002, 5.0);
        t.gate = p.number("gate", 0.9, 0.05, 1.0);
        t.gain = p.number("gain", 0.5, 0.0, 10.0);
        const std::vector<double> vibrato = p.numbers("vibrato", {0.0, 0.0}, 0.0, 20.0);
        if (vibrato.size() != 2) {
            p.fail("line " + std::to_string(block.line) + ": 'vibrato' takes a rate and a depth");
        } else {
            t.vibratoRate = vibrato[0];
            t.vibratoDepth = vibrato[1];
        }
        t.detune = p.number("detune", 0.0, 0.0, 100.0);
        const int octave = p.integer("octave", 0, -4, 4);
        double beat = 0.0;
        for (const std::string& token : p.words("notes")) {
            Note note;
            std::string problem;
            if (!readNote(token, transpose + 12 * octave, note, problem)) {
                p.fail("track " + block.label + " (line " + std::to_string(block.line) + "): " + problem);
                break;
            }
            note.beat = beat;
            beat += note.beats;
            if (beat > 512.0) {
                p.fail("track " + block.label + " is longer than 512 beats");
                break;
            }
            t.notes.push_back(std::move(note));
        }
        if (!p.finish(error)) {
            return false;
        }
        m_tracks.push_back(std::move(t));
    }
    return true;
}

double Tune::duration() const {
    double end = 0.0;
    for (const Track& t : m_tracks) {
        for (const Note& n : t.notes) {
            if (!n.freqs.empty()) {
                end = std::max(end, (n.beat + n.beats * t.gate) * m_secondsPerBeat + t.release);
            }
        }
    }
    return end;
}

void Tune::render(std::vector<double>& out, double sampleRate) const {
    for (const Track& t : m_tracks) {
        for (const Note& n : t.notes) {
            renderNote(t, n, out, sampleRate);
        }
    }
}

void Tune::renderNote(const Track& track, const Note& note, std::vector<double>& out,
                      double sampleRate) const {
    const double start = note.beat * m_secondsPerBeat;
    const double held = note.beats * track.gate * m_secondsPerBeat;
    const long first = std::lround(start * sampleRate);
    const long count = static_cast<long>((held + track.release) * sampleRate);
    // Two copies a few cents apart give a fuller voice; one copy without detune.
    const int copies = track.detune > 0.0 ? 2 : 1;
    for (double base : note.freqs) {
        for (int c = 0; c < copies; ++c) {
            const double cents = copies == 1 ? 0.0 : (c == 0 ? -0.5 : 0.5) * track.detune;
            const double f = base * std::pow(2.0, cents / 1200.0);
            std::vector<double> phase(track.harmonics.size(), 0.0);
            double level = 0.0;
            double heldLevel = 0.0;
            for (long i = 0; i < count && first + i < static_cast<long>(out.size()); ++i) {
                const double t = static_cast<double>(i) / sampleRate;
                if (t < held) {
                    // Attack to full level, then an exponential settle to the sustain level.
                    const double rise = std::min(1.0, t / track.attack);
                    const double after = std::max(0.0, t - track.attack);
                    level = rise * (track.sustain + (1.0 - track.sustain) * std::exp(-after / track.decay));
                    heldLevel = level;
                } else {
                    const double r = 1.0 - (t - held) / track.release;
                    level = heldLevel * r * r;
                }
                // Vibrato fades in over the first quarter second of the note.
                const double vib =
                    track.vibratoDepth * std::min(1.0, t / 0.25) * std::sin(kTwoPi * track.vibratoRate * t);
                const double fi = f * std::pow(2.0, vib / 12.0);
                double s = 0.0;
                for (std::size_t k = 0; k < track.harmonics.size(); ++k) {
                    const double fk = fi * static_cast<double>(k + 1);
                    if (fk < 0.45 * sampleRate) {
                        s += track.harmonics[k] * std::exp(-track.mellow * static_cast<double>(k) * t) *
                             std::sin(phase[k]);
                    }
                    phase[k] = std::fmod(phase[k] + kTwoPi * fk / sampleRate, kTwoPi);
                }
                out[static_cast<std::size_t>(first + i)] += track.gain * level * s / copies;
            }
        }
    }
}

}  // namespace fairholm::soundgen
