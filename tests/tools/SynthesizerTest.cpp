#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tools/soundgen/SoundScript.h"
#include "tools/soundgen/Synthesizer.h"
#include "tools/soundgen/Tune.h"

using namespace fairholm::soundgen;

namespace {

constexpr double kRate = Synthesizer::kSampleRate;

// Renders the first sound of a description; fails the test on any error.
std::vector<std::int16_t> render(const std::string& text) {
    SoundScript script;
    std::string error;
    EXPECT_TRUE(script.parse(text, error)) << error;
    std::vector<std::int16_t> samples;
    if (!script.sounds().empty()) {
        EXPECT_TRUE(Synthesizer().render(script.sounds()[0], samples, error)) << error;
    }
    return samples;
}

std::string renderError(const std::string& text) {
    SoundScript script;
    std::string error;
    EXPECT_TRUE(script.parse(text, error)) << error;
    std::vector<std::int16_t> samples;
    EXPECT_FALSE(Synthesizer().render(script.sounds().at(0), samples, error)) << text;
    return error;
}

// Upward zero crossings between two times: the frequency of a plain tone.
double crossingsPerSecond(const std::vector<std::int16_t>& s, double from, double to) {
    const std::size_t a = static_cast<std::size_t>(from * kRate);
    const std::size_t b = std::min(s.size(), static_cast<std::size_t>(to * kRate));
    int count = 0;
    for (std::size_t i = a + 1; i < b; ++i) {
        if (s[i - 1] < 0 && s[i] >= 0) {
            ++count;
        }
    }
    return count / (to - from);
}

double loudestWindowDb(const std::vector<std::int16_t>& s) {
    const std::size_t window = static_cast<std::size_t>(0.05 * kRate);
    double best = 0.0;
    for (std::size_t from = 0; from + window <= s.size(); from += 50) {
        double sum = 0.0;
        for (std::size_t n = from; n < from + window; ++n) {
            sum += (s[n] / 32767.0) * (s[n] / 32767.0);
        }
        best = std::max(best, sum / window);
    }
    return 10.0 * std::log10(best);
}

int peak(const std::vector<std::int16_t>& s) {
    int p = 0;
    for (std::int16_t v : s) {
        p = std::max(p, std::abs(static_cast<int>(v)));
    }
    return p;
}

}  // namespace

TEST(Tune, NotePitches) {
    double f = 0.0;
    ASSERT_TRUE(Tune::pitch("A4", 0, f));
    EXPECT_DOUBLE_EQ(f, 440.0);
    ASSERT_TRUE(Tune::pitch("A5", 0, f));
    EXPECT_DOUBLE_EQ(f, 880.0);
    ASSERT_TRUE(Tune::pitch("C4", 0, f));
    EXPECT_NEAR(f, 261.626, 0.001);
    ASSERT_TRUE(Tune::pitch("F#4", 0, f));
    EXPECT_NEAR(f, 369.994, 0.001);
    ASSERT_TRUE(Tune::pitch("Bb3", 0, f));
    EXPECT_NEAR(f, 233.082, 0.001);
    ASSERT_TRUE(Tune::pitch("G4", 2, f));  // transposed up a tone
    EXPECT_DOUBLE_EQ(f, 440.0);
    for (const char* bad : {"", "A", "H4", "a4", "A#", "A9", "Ax4", "A44", "C#b4"}) {
        EXPECT_FALSE(Tune::pitch(bad, 0, f)) << bad;
    }
}

TEST(Synthesizer, ToneLayerHasItsFrequencyAndLength) {
    const auto s = render("sound t\n length 1\n layer tone\n  freq 1000\nend\n");
    ASSERT_EQ(s.size(), 22050u);
    EXPECT_NEAR(crossingsPerSecond(s, 0.1, 0.9), 1000.0, 3.0);
}

TEST(Synthesizer, GlideMovesGeometricallyBetweenItsPoints) {
    const auto s = render("sound t\n length 2\n layer tone\n  freq 400 1600\nend\n");
    // Half way through a geometric glide from 400 to 1600 Hz sounds 800 Hz.
    EXPECT_NEAR(crossingsPerSecond(s, 0.95, 1.05), 800.0, 25.0);
    EXPECT_NEAR(crossingsPerSecond(s, 0.05, 0.15), 400.0 * std::pow(4.0, 0.05), 25.0);
}

TEST(Synthesizer, TuneLengthFollowsTempoAndNotes) {
    // Two beats at 120 per minute: one second held (gate 1), 0.1 s release, 0.2 s tail.
    const auto s =
        render("sound m\n tempo 120\n tail 0.2\n track a\n  gate 1\n  release 0.1\n  notes A4:2\nend\n");
    EXPECT_EQ(s.size(), static_cast<std::size_t>(std::lround(1.3 * kRate)));
    EXPECT_NEAR(crossingsPerSecond(s, 0.2, 0.9), 440.0, 3.0);
    // The rest after the note is silent.
    EXPECT_EQ(peak(std::vector<std::int16_t>(s.begin() + static_cast<long>(1.15 * kRate), s.end())), 0);
}

TEST(Synthesizer, RestsAndChordsPlaceNotesInTime) {
    const auto s = render(
        "sound m\n tempo 60\n tail 0\n track a\n  gate 1\n  release 0.01\n"
        "  notes r:1 C4+E4+G4:1\nend\n");
    EXPECT_EQ(peak(std::vector<std::int16_t>(s.begin(), s.begin() + static_cast<long>(0.99 * kRate))), 0);
    EXPECT_GT(peak(std::vector<std::int16_t>(s.begin() + static_cast<long>(1.1 * kRate), s.end())), 1000);
}

TEST(Synthesizer, LoudnessReachesItsLevelUnderTheCeiling) {
    const auto quiet = render("sound t\n length 1\n level -20\n layer tone\n  freq 500\nend\n");
    EXPECT_NEAR(loudestWindowDb(quiet), -20.0, 0.2);
    // A sine at -3 dB RMS would peak above -1 dB: the ceiling wins.
    const auto loud = render("sound t\n length 1\n level -3\n ceiling -6\n layer tone\n  freq 500\nend\n");
    EXPECT_LE(peak(loud), static_cast<int>(32767 * std::pow(10.0, -6.0 / 20.0)) + 1);
    EXPECT_GE(peak(loud), static_cast<int>(32767 * std::pow(10.0, -6.0 / 20.0)) - 2);
}

TEST(Synthesizer, EndsFadeToSilence) {
    const auto s = render("sound t\n length 0.5\n layer noise\n  attack 0\n  release 0\nend\n");
    EXPECT_EQ(s.front(), 0);
    EXPECT_EQ(s.back(), 0);
    // Well inside, the noise is loud.
    EXPECT_GT(peak(std::vector<std::int16_t>(s.begin() + 2000, s.begin() + 4000)), 5000);
}

TEST(Synthesizer, RemovesDcOffset) {
    // Noise low-passed at 10 Hz wanders far from zero; the mastering takes it out.
    const auto s = render("sound t\n length 1\n layer noise\n  filter lowpass\n  cutoff 10\nend\n");
    double sum = 0.0;
    for (std::int16_t v : s) {
        sum += v;
    }
    EXPECT_LT(std::abs(sum / static_cast<double>(s.size())), 30.0);
}

TEST(Synthesizer, SameDescriptionSameSamplesAndSeedsMatter) {
    const std::string text =
        "sound t\n length 0.3\n layer noise\n layer bubbles\n layer train\n  count 4\nend\n";
    EXPECT_EQ(render(text), render(text));
    const auto seeded = render(
        "sound t\n seed 7\n length 0.3\n layer noise\n layer bubbles\n layer train\n"
        "  count 4\nend\n");
    EXPECT_NE(seeded, render(text));
}

TEST(Synthesizer, TrainImpactsComeCloserTogether) {
    const auto s = render(
        "sound r\n length 1\n fadein 0\n layer train\n  count 4\n  gap 0.2\n  ratio 0.5\n"
        "  freq 2000\n  ring 0.002\nend\n");
    // Impacts at 0, 0.2, 0.3 and 0.35 s; nothing after the last one has rung out.
    for (double t : {0.0, 0.2, 0.3, 0.35}) {
        const long at = static_cast<long>(t * kRate);
        EXPECT_GT(peak(std::vector<std::int16_t>(s.begin() + at, s.begin() + at + 40)), 1000) << t;
    }
    EXPECT_EQ(peak(std::vector<std::int16_t>(s.begin() + static_cast<long>(0.42 * kRate), s.end())), 0);
    EXPECT_LT(peak(std::vector<std::int16_t>(s.begin() + static_cast<long>(0.1 * kRate),
                                             s.begin() + static_cast<long>(0.19 * kRate))),
              50);
}

TEST(Synthesizer, ReportsBadDescriptions) {
    EXPECT_EQ(renderError("sound a\n layer tone\n  frq 440\nend\n"),
              "line 3: unknown key 'frq' in layer tone (line 2)");
    EXPECT_EQ(renderError("sound a\n lenght 1\n layer tone\nend\n"),
              "line 2: unknown key 'lenght' in sound a");
    EXPECT_EQ(renderError("sound a\n layer chirp\nend\n"),
              "line 2: unknown layer type 'chirp' (tone, noise, train, bubbles)");
    EXPECT_EQ(renderError("sound a\n length 31\n layer tone\nend\n"),
              "line 2: 'length': 31 is outside 0.01 to 30");
    EXPECT_EQ(renderError("sound a\n layer tone\n  gain 0\nend\n"), "sound a is silent");
    EXPECT_EQ(renderError("sound a\nend\n"), "sound a is silent");
    EXPECT_EQ(renderError("sound a\n echo 0.1 0.2\n layer tone\nend\n"),
              "sound a: 'echo' takes a delay, a feedback and a mix");
    EXPECT_EQ(renderError("sound a\n layer bubbles\n  freq 900 300\nend\n"),
              "line 2: bubbles need 'freq <lowest> <highest>'");
    EXPECT_EQ(renderError("sound a\n track x\n  notes C4\nend\n"),
              "track x (line 2): 'C4' needs a length, as in C5:1");
    EXPECT_EQ(renderError("sound a\n track x\n  notes H4:1\nend\n"),
              "track x (line 2): 'H4:1' is not a note (C4, F#5, Bb3, chords as C4+E4+G4, rests as r)");
    EXPECT_EQ(renderError("sound a\n track x\n  notes C4:0\nend\n"),
              "track x (line 2): 'C4:0' has a bad length (more than 0, at most 64 beats)");
    EXPECT_EQ(renderError("sound a\n track x\n  notes C4+:1\nend\n"),
              "track x (line 2): 'C4+:1' is not a note (C4, F#5, Bb3, chords as C4+E4+G4, rests as r)");
    EXPECT_EQ(renderError("sound a\n track x\n  vibrato 5\n  notes C4:1\nend\n"),
              "line 2: 'vibrato' takes a rate and a depth");
}

TEST(Synthesizer, HostileSizesAreRefusedNotAttempted) {
    EXPECT_EQ(renderError("sound a\n layer train\n  count 100000\nend\n"),
              "line 3: 'count': 100000 is outside 1 to 200");
    std::string longTune = "sound a\n tempo 400\n track x\n";
    for (int i = 0; i < 10; ++i) {
        longTune += "  notes C4:64\n";
    }
    longTune += "end\n";
    EXPECT_EQ(renderError(longTune), "track x is longer than 512 beats");
    EXPECT_EQ(renderError("sound a\n layer tone\n  harmonics 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1\nend\n"),
              "line 2: at most 16 harmonics or partials");
    EXPECT_EQ(renderError("sound a\n layer train\n  ring 1\nend\n"),
              "line 3: 'ring': 1 is outside 0.0005 to 0.5");
    std::string manyTracks = "sound a\n";
    for (int i = 0; i < 17; ++i) {
        manyTracks += " track t\n  notes C4:1\n";
    }
    EXPECT_EQ(renderError(manyTracks + "end\n"), "line 34: at most 16 tracks");
    // 64 beats at 20 per minute would last over three minutes.
    EXPECT_EQ(renderError("sound a\n tempo 20\n track x\n  notes C4:64\nend\n"),
              "sound a is longer than 30 seconds");
}
