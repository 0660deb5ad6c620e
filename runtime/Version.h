#pragma once

#include <cstdio>
#include <cstring>

namespace fairholm {

// The release, kept in the file VERSION at the top of the source tree; every build
// passes it in as FAIRHOLM_VERSION.
inline constexpr const char* version = FAIRHOLM_VERSION;

// Prints "<program> <version>" and answers true when the only argument is --version.
inline bool answerVersion(int argc, char** argv, const char* program) {
    if (argc != 2 || std::strcmp(argv[1], "--version") != 0) {
        return false;
    }
    std::printf("%s %s\n", program, version);
    return true;
}

}  // namespace fairholm
