#include "engine/sprite/Platform.h"

#include <cstdio>
#include <cstring>

namespace fairholm {

bool Platform::replaceFile(const char* path, const uint8_t* bytes, int32_t length) {
    if (!path || length < 0 || (length > 0 && !bytes)) {
        return false;
    }
    // A temporary of our own: "x" opens only a file that did not exist, so neither an
    // old temporary nor anything planted under its name is written into.
    char temporary[512];
    std::FILE* file = nullptr;
    for (int attempt = 0; attempt < 64 && !file; ++attempt) {
        const int written = std::snprintf(temporary, sizeof temporary, "%s.%d.tmp", path, attempt);
        if (written <= 0 || static_cast<size_t>(written) >= sizeof temporary) {
            return false;
        }
        file = std::fopen(temporary, "wbx");
    }
    if (!file) {
        return false;
    }
    bool written = length == 0 ||
                   std::fwrite(bytes, 1, static_cast<size_t>(length), file) == static_cast<size_t>(length);
    written = std::fflush(file) == 0 && written;
    written = std::fclose(file) == 0 && written;
    if (!written || std::rename(temporary, path) != 0) {
        std::remove(temporary);
        return false;
    }
    return true;
}

}  // namespace fairholm
