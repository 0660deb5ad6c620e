#pragma once

#include <string>
#include <vector>

#include "tools/soundgen/SoundScript.h"

namespace fairholm::soundgen {

// A note or chord of a track: when it starts and how long it lasts, in beats, and
// the pitches that sound together (empty for a rest).
struct Note {
    double beat = 0.0;
    double beats = 0.0;
    std::vector<double> freqs;
};

// The tracks of a tune, played together: each "track" block is one instrument.
//
// Track settings: notes (tokens "C5:1", "F#4:0.5", "Bb3:2", chords "C4+E4+G4:2",
// rests "r:1"; the number after the colon is the length in beats; several notes
// lines follow on), harmonics (amplitudes of partials 1, 2, 3...), mellow (how much
// faster the upper partials die away, per second), attack (seconds), decay (time
// constant from full level down to the sustain level), sustain (0..1), release
// (seconds after the note ends), gate (part of the note's length it is held),
// gain, vibrato (rate in Hz and depth in semitones), detune (cents between two
// slightly detuned copies of the voice; 0 for one), octave (shift in octaves).
class Tune {
public:
    // Reads the sound's tracks; tempo in beats per minute, transpose in semitones.
    bool read(const SoundDesc& sound, double tempo, int transpose, std::string& error);

    bool empty() const { return m_tracks.empty(); }

    // Seconds from the first note to the end of the last release.
    double duration() const;

    // Adds every track into out.
    void render(std::vector<double>& out, double sampleRate) const;

    // Frequency in Hz of a note token's pitch ("A4" = 440, "C4" middle C), shifted
    // by transpose semitones; false when the text is not a note name.
    static bool pitch(const std::string& text, int transpose, double& freq);

private:
    struct Track {
        std::vector<Note> notes;
        std::vector<double> harmonics;
        double mellow = 0.0;
        double attack = 0.01;
        double decay = 0.2;
        double sustain = 0.6;
        double release = 0.1;
        double gate = 0.9;
        double gain = 0.5;
        double vibratoRate = 0.0;
        double vibratoDepth = 0.0;
        double detune = 0.0;
    };

    void renderNote(const Track& track, const Note& note, std::vector<double>& out, double sampleRate) const;

    std::vector<Track> m_tracks;
    double m_secondsPerBeat = 0.5;
};

}  // namespace fairholm::soundgen
