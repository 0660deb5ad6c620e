#include <gtest/gtest.h>

#include "WavFile.h"
#include "tools/soundgen/WavWriter.h"

using namespace fairholm::soundgen;

TEST(WavWriter, WritesTheCanonicalHeaderAndLittleEndianSamples) {
    const std::vector<std::uint8_t> bytes = WavWriter::encode({0, 1, -1, 32767, -32767}, 22050);
    const std::vector<std::uint8_t> expected = {
        'R',  'I',  'F', 'F', 46,   0,    0,    0,    'W',  'A',
        'V',  'E',  // RIFF, 36 + 10 data bytes
        'f',  'm',  't', ' ', 16,   0,    0,    0,    1,    0,
        1,    0,  // PCM, mono
        0x22, 0x56, 0,   0,   0x44, 0xAC, 0,    0,    2,    0,
        16,   0,                                                    // 22050 Hz, 44100 bytes/s, 2, 16 bits
        'd',  'a',  't', 'a', 10,   0,    0,    0,                  // data size
        0,    0,    1,   0,   0xFF, 0xFF, 0xFF, 0x7F, 0x01, 0x80};  // samples
    EXPECT_EQ(bytes, expected);
}

TEST(WavWriter, RoundTripsThroughAnIndependentReader) {
    std::vector<std::int16_t> samples;
    for (int i = 0; i < 1001; ++i) {
        samples.push_back(static_cast<std::int16_t>((i * 7919) % 65536 - 32768));
    }
    WavFile wav;
    std::string problem;
    ASSERT_TRUE(wav.parse(WavWriter::encode(samples, 22050), problem)) << problem;
    EXPECT_EQ(wav.format, 1);
    EXPECT_EQ(wav.channels, 1);
    EXPECT_EQ(wav.sampleRate, 22050u);
    EXPECT_EQ(wav.samples, samples);
}

TEST(WavWriter, EmptySoundIsStillAValidFile) {
    WavFile wav;
    std::string problem;
    EXPECT_TRUE(wav.parse(WavWriter::encode({}, 22050), problem)) << problem;
    EXPECT_TRUE(wav.samples.empty());
}

TEST(WavWriter, ReaderRefusesDamagedFiles) {
    const std::vector<std::uint8_t> good = WavWriter::encode({1, 2, 3}, 22050);
    WavFile wav;
    std::string problem;
    std::vector<std::uint8_t> truncated(good.begin(), good.end() - 1);
    EXPECT_FALSE(wav.parse(truncated, problem));
    std::vector<std::uint8_t> badSize = good;
    badSize[40] = 200;  // data chunk claims more than the file holds
    EXPECT_FALSE(wav.parse(badSize, problem));
    std::vector<std::uint8_t> badTag = good;
    badTag[8] = 'X';
    EXPECT_FALSE(wav.parse(badTag, problem));
    EXPECT_FALSE(wav.parse({}, problem));
}

TEST(WavWriter, WriteFailsCleanlyOnAMissingFolder) {
    EXPECT_FALSE(WavWriter::write("/nonexistent-folder/x/y", {1, 2}, 22050));
}
