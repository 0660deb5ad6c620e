#pragma once

#include <cstdint>

namespace fairholm {

// Replacing a small file on a POSIX system so that it is always either the old file or
// the new one: the bytes go to a new temporary of a name no one else has (mkstemp: made
// exclusively, no link followed), are flushed to the disk, and the temporary then takes
// the old file's place (rename), whose folder is flushed too.
class AtomicFile {
public:
    // False when any step fails; the old file then stays as it was and no temporary is
    // left behind.
    static bool replace(const char* path, const uint8_t* bytes, int32_t length);
};

}  // namespace fairholm
