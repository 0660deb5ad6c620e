#include <gtest/gtest.h>

#include "tools/soundgen/Params.h"
#include "tools/soundgen/SoundScript.h"

using namespace fairholm::soundgen;

namespace {
std::string parseError(const std::string& text) {
    SoundScript script;
    std::string error;
    EXPECT_FALSE(script.parse(text, error)) << text;
    return error;
}
}  // namespace

TEST(SoundScript, ReadsSoundsBlocksAndEntriesIgnoringComments) {
    SoundScript script;
    std::string error;
    ASSERT_TRUE(
        script.parse("# heading\n"
                     "sound beep   # a test\n"
                     "  length 0.5\n"
                     "  layer tone\n"
                     "    freq 440 880\n"
                     "  track tune\n"
                     "    notes C4:1\n"
                     "    notes D4:1\n"
                     "end\n"
                     "\n"
                     "sound boop\r\n"
                     "end",
                     error))
        << error;
    ASSERT_EQ(script.sounds().size(), 2u);
    const SoundDesc& beep = script.sounds()[0];
    EXPECT_EQ(beep.name, "beep");
    EXPECT_EQ(beep.line, 2);
    ASSERT_EQ(beep.entries.size(), 1u);
    EXPECT_EQ(beep.entries[0].key, "length");
    EXPECT_EQ(beep.entries[0].values, std::vector<std::string>{"0.5"});
    ASSERT_EQ(beep.blocks.size(), 2u);
    EXPECT_EQ(beep.blocks[0].kind, "layer");
    EXPECT_EQ(beep.blocks[0].label, "tone");
    EXPECT_EQ(beep.blocks[0].entries[0].values, (std::vector<std::string>{"440", "880"}));
    EXPECT_EQ(beep.blocks[1].label, "tune");
    EXPECT_EQ(beep.blocks[1].entries.size(), 2u);
    EXPECT_EQ(beep.blocks[1].entries[1].line, 8);
    EXPECT_EQ(script.find("boop"), &script.sounds()[1]);
    EXPECT_EQ(script.find("nothing"), nullptr);
}

TEST(SoundScript, StructureErrorsNameTheLine) {
    EXPECT_EQ(parseError("end\n"), "line 1: 'end' without an open sound");
    EXPECT_EQ(parseError("length 1\n"), "line 1: 'length' outside a sound");
    EXPECT_EQ(parseError("sound a\nsound b\n"), "line 2: sound 'a' is not closed with 'end'");
    EXPECT_EQ(parseError("sound a\n"), "sound 'a' is not closed with 'end'");
    EXPECT_EQ(parseError("sound a\nend\nsound a\nend\n"), "line 3: sound 'a' is defined twice");
    EXPECT_EQ(parseError("sound a\n  layer\nend\n"), "line 2: expected 'layer <type>'");
    EXPECT_EQ(parseError("sound a\n  track x y\nend\n"), "line 2: expected 'track <name>'");
    EXPECT_EQ(parseError("sound a\nend now\n"), "line 2: 'end' without an open sound");
}

TEST(SoundScript, RefusesNamesThatAreNotPlainFileNames) {
    EXPECT_TRUE(SoundScript::isValidName("incup"));
    EXPECT_TRUE(SoundScript::isValidName("hole_2-b"));
    EXPECT_FALSE(SoundScript::isValidName(""));
    EXPECT_FALSE(SoundScript::isValidName("../music"));
    EXPECT_FALSE(SoundScript::isValidName("a/b"));
    EXPECT_FALSE(SoundScript::isValidName(".hidden"));
    EXPECT_FALSE(SoundScript::isValidName("-dash"));
    EXPECT_FALSE(SoundScript::isValidName(std::string(33, 'a')));
    EXPECT_TRUE(SoundScript::isValidName(std::string(32, 'a')));
    EXPECT_EQ(parseError("sound ../x\nend\n"), "line 1: expected 'sound <name>' with a plain file name");
}

TEST(SoundScript, RefusesControlAndNonAsciiBytes) {
    EXPECT_EQ(parseError("sound a\n  length 1\x01\nend\n"), "line 2: unexpected character");
    EXPECT_EQ(parseError("sound a\xe9\nend\n"), "line 1: unexpected character");
    EXPECT_EQ(parseError(std::string("sound a\n\0\nend\n", 13)), "line 2: unexpected character");
}

TEST(SoundScript, EmptyTextHasNoSounds) {
    SoundScript script;
    std::string error;
    EXPECT_TRUE(script.parse("", error));
    EXPECT_TRUE(script.sounds().empty());
    EXPECT_TRUE(script.parse("# only a comment", error));
    EXPECT_TRUE(script.sounds().empty());
}

TEST(ParseNumber, AcceptsDecimalsAndRefusesEverythingElse) {
    double v = 0.0;
    EXPECT_TRUE(parseNumber("12", v));
    EXPECT_EQ(v, 12.0);
    EXPECT_TRUE(parseNumber("-0.25", v));
    EXPECT_EQ(v, -0.25);
    EXPECT_TRUE(parseNumber("1e-3", v));
    EXPECT_DOUBLE_EQ(v, 0.001);
    v = 7.0;
    for (const char* bad : {"", "inf", "nan", "0x10", "1e999", "1.2.3", "3 ", "--1", "1,5"}) {
        EXPECT_FALSE(parseNumber(bad, v)) << bad;
    }
    EXPECT_EQ(v, 7.0);
    EXPECT_FALSE(parseNumber(std::string(41, '1'), v));
}

TEST(Params, ReadsTypedValuesWithDefaultsAndRanges) {
    const std::vector<ScriptEntry> entries = {
        {1, "gain", {"0.5"}}, {2, "count", {"3"}}, {3, "freq", {"100", "200"}}, {4, "filter", {"lowpass"}}};
    Params p(entries, "test");
    EXPECT_EQ(p.number("gain", 1.0, 0.0, 1.0), 0.5);
    EXPECT_EQ(p.integer("count", 1, 1, 10), 3);
    EXPECT_EQ(p.numbers("freq", {}, 10.0, 1000.0), (std::vector<double>{100.0, 200.0}));
    EXPECT_EQ(p.word("filter", "none", {"none", "lowpass"}), "lowpass");
    EXPECT_EQ(p.number("absent", 4.0, 0.0, 10.0), 4.0);
    std::string error;
    EXPECT_TRUE(p.finish(error)) << error;
}

TEST(Params, ReportsUnknownKeysAndBadValues) {
    const std::vector<ScriptEntry> typo = {{7, "frq", {"440"}}};
    Params a(typo, "layer tone");
    std::string error;
    EXPECT_FALSE(a.finish(error));
    EXPECT_EQ(error, "line 7: unknown key 'frq' in layer tone");

    const std::vector<ScriptEntry> range = {{3, "gain", {"11"}}};
    Params b(range, "x");
    EXPECT_EQ(b.number("gain", 1.0, 0.0, 10.0), 1.0);
    EXPECT_FALSE(b.finish(error));
    EXPECT_EQ(error, "line 3: 'gain': 11 is outside 0 to 10");

    const std::vector<ScriptEntry> twice = {{1, "gain", {"1"}}, {2, "gain", {"2"}}};
    Params c(twice, "x");
    c.number("gain", 1.0, 0.0, 10.0);
    EXPECT_FALSE(c.finish(error));
    EXPECT_EQ(error, "line 2: 'gain' is given more than once");

    const std::vector<ScriptEntry> fraction = {{5, "count", {"2.5"}}};
    Params d(fraction, "x");
    EXPECT_EQ(d.integer("count", 1, 0, 10), 1);
    EXPECT_FALSE(d.finish(error));

    const std::vector<ScriptEntry> word = {{6, "filter", {"comb"}}};
    Params e(word, "x");
    EXPECT_EQ(e.word("filter", "none", {"none", "lowpass"}), "none");
    EXPECT_FALSE(e.finish(error));
    EXPECT_EQ(error, "line 6: 'filter' must be one of none, lowpass");

    const std::vector<ScriptEntry> empty = {{9, "freq", {}}};
    Params f(empty, "x");
    f.numbers("freq", {1.0}, 0.0, 10.0);
    EXPECT_FALSE(f.finish(error));
    EXPECT_EQ(error, "line 9: 'freq' needs between 1 and 64 numbers");
}
