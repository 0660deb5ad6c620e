#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A strict reader of 16-bit PCM WAV files for the tests, written independently of
// the tool's writer so that the two check each other.
struct WavFile {
    std::uint16_t format = 0;
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint32_t byteRate = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::vector<std::int16_t> samples;

    // Parses bytes; false with a reason when anything disagrees (sizes, tags, chunks).
    bool parse(const std::vector<std::uint8_t>& bytes, std::string& problem);

    double seconds() const {
        return sampleRate == 0 ? 0.0 : static_cast<double>(samples.size()) / sampleRate;
    }
};

std::vector<std::uint8_t> readFileBytes(const std::string& path);
