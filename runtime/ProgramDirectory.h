#pragma once

#include <cstddef>

#include "runtime/String.h"

namespace fairholm {

// The folder that holds the executable and every data file of the game. Data files
// are named by short relative names ("golf.bin", "f13.bin", "greenvale") that
// resolvePath turns into paths inside it.
class ProgramDirectory {
public:
    // Longest path, terminating zero included, that a resolved name may have.
    static constexpr size_t maxPath = 260;

    // Sets the directory from the executable's own path: everything after the last
    // slash or backslash is cut; the separator stays. A path without a separator gives
    // the empty directory (names resolve against the working directory). Returns false,
    // leaving the directory unchanged, when the result would not fit.
    static bool setFromExecutablePath(const char* executablePath);

    // Sets the directory itself; a separator is added when missing.
    static bool set(const char* directory);

    static const char* get();

    // Writes the directory followed by `name` (one leading slash dropped) into `out`.
    // Returns false, with `out` holding an empty text, when the path does not fit.
    static bool resolvePath(const String& name, char (&out)[maxPath]);
};

}  // namespace fairholm
