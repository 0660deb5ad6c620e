#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fairholm::soundgen {

// Writes 16-bit mono PCM in a RIFF WAVE file: a 44-byte header (RIFF, "fmt " with
// format 1, one channel, the sample rate, 16 bits) and the "data" chunk.
class WavWriter {
public:
    static std::vector<std::uint8_t> encode(const std::vector<std::int16_t>& samples,
                                            std::uint32_t sampleRate);

    // Writes the file whole; false when it cannot be written.
    static bool write(const std::string& path, const std::vector<std::int16_t>& samples,
                      std::uint32_t sampleRate);
};

}  // namespace fairholm::soundgen
