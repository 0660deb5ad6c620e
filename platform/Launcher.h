#pragma once

#include <cstdint>
#include <string>

namespace fairholm {

// The parts of start-up that ask a POSIX system (the desktop and headless shells): where
// the program and the saved state live. The rest of start-up is GameSession's.
class Launcher {
public:
    // Sets the program directory from the executable's path (argv[0] or the
    // platform's own answer).
    static void setProgramDirectory(const char* executablePath);

    // The folder for the saved state: empty when the program directory is writable (it
    // is kept beside the game), else $XDG_DATA_HOME/fairholm/ or ~/.local/share/fairholm/
    // (created when missing), ending with a separator.
    static std::string chooseSaveDirectory();
};

}  // namespace fairholm
