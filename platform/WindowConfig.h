#pragma once

#include <cstdint>
#include <string>

namespace fairholm {

// The remembered size of the desktop window (window.conf in the settings folder): a
// comment line and one line `size WxH`. A size is sane from 64 to 8192 pixels a side;
// anything else in the file makes the whole file count as broken.
class WindowConfig {
public:
    static constexpr int32_t minSide = 64;
    static constexpr int32_t maxSide = 8192;
    static constexpr size_t maxBytes = 4096;

    // The size the text names; false (with the reason and the line, the size untouched)
    // when it names none.
    static bool parse(const std::string& text, int32_t& width, int32_t& height, std::string& error);
    static std::string format(int32_t width, int32_t height);
    static bool isSane(int32_t width, int32_t height);

    // Reads the file: true with the size when it holds a sane one. A missing file is
    // silent; a broken one is said on standard error (naming the file), and false.
    static bool load(const std::string& path, int32_t& width, int32_t& height);
    // Writes the file in one piece (the old one or the new one, never half), making its
    // folder when missing; a side beyond the sane range is written as its nearest sane
    // value. Says on standard error when it cannot.
    static bool save(const std::string& path, int32_t width, int32_t height);
};

}  // namespace fairholm
