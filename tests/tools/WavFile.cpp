#include "WavFile.h"

#include <fstream>
#include <iterator>

namespace {
std::uint32_t get32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
           static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
std::uint16_t get16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}
bool tagIs(const std::vector<std::uint8_t>& b, std::size_t at, const char* tag) {
    return std::string(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at) + 4) == tag;
}
}  // namespace

std::vector<std::uint8_t> readFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WavFile::parse(const std::vector<std::uint8_t>& b, std::string& problem) {
    if (b.size() < 12 || !tagIs(b, 0, "RIFF") || !tagIs(b, 8, "WAVE")) {
        problem = "no RIFF/WAVE header";
        return false;
    }
    if (get32(b, 4) != b.size() - 8) {
        problem = "RIFF size does not match the file size";
        return false;
    }
    bool haveFormat = false;
    bool haveData = false;
    std::size_t at = 12;
    while (at < b.size()) {
        if (b.size() - at < 8) {
            problem = "truncated chunk header";
            return false;
        }
        const std::uint32_t size = get32(b, at + 4);
        if (size > b.size() - at - 8) {
            problem = "chunk runs past the end of the file";
            return false;
        }
        const std::size_t body = at + 8;
        if (tagIs(b, at, "fmt ")) {
            if (size != 16) {
                problem = "fmt chunk is not 16 bytes";
                return false;
            }
            format = get16(b, body);
            channels = get16(b, body + 2);
            sampleRate = get32(b, body + 4);
            byteRate = get32(b, body + 8);
            blockAlign = get16(b, body + 12);
            bitsPerSample = get16(b, body + 14);
            haveFormat = true;
        } else if (tagIs(b, at, "data")) {
            if (!haveFormat || size % 2 != 0) {
                problem = "data chunk before fmt, or odd data size";
                return false;
            }
            samples.clear();
            for (std::size_t i = 0; i < size; i += 2) {
                samples.push_back(static_cast<std::int16_t>(get16(b, body + i)));
            }
            haveData = true;
        }
        at = body + size + (size & 1);
    }
    if (at != b.size()) {
        problem = "trailing bytes after the last chunk";
        return false;
    }
    if (!haveFormat || !haveData) {
        problem = "missing fmt or data chunk";
        return false;
    }
    return true;
}
