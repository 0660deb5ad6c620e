#pragma once

#include <cstddef>
#include <string>

namespace fairholm {

// Reading one of the desktop shell's small settings files (window.conf, keys.conf) up to
// a size that fits its purpose: a larger file, a folder or a file that cannot be read is
// refused whole, so that the shell falls back on its defaults.
class ConfigFile {
public:
    enum class Status { Read, Missing, TooLarge, Unreadable };

    // Reads `path` into `text` when it holds at most `maxBytes` bytes.
    static Status read(const std::string& path, size_t maxBytes, std::string& text);
    // What went wrong, for a message: "larger than 64 KiB", "cannot be read".
    static std::string describe(Status status, size_t maxBytes);
};

}  // namespace fairholm
