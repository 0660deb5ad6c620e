#pragma once

#include <cstdint>
#include <string>

namespace fairholm {

// The parts of start-up that ask a POSIX system (the desktop and headless shells): where
// the program and the saved state live. The rest of start-up is GameSession's.
class Launcher {
public:
    // Sets the program directory from the executable's real path (the system's answer,
    // argv[0] only where the system has none). False when that folder's path is too long
    // for the game's paths: the program must then not start, rather than read and write
    // another folder.
    static bool setProgramDirectory(const char* executablePath);

    // The file that marks a program directory as a system installation (cmake --install
    // writes it).
    static constexpr const char* installedMark = "installed";

    // The folder for the saved state: empty when the program directory belongs to the
    // running user, is writable and holds no installedMark (it is kept beside the game), else
    // $XDG_DATA_HOME/fairholm/ or ~/.local/share/fairholm/ (created when missing), ending
    // with a separator.
    static std::string chooseSaveDirectory();

    // The path of the desktop shell's settings file `name`: $XDG_CONFIG_HOME/fairholm/name,
    // else ~/.config/fairholm/name; empty when neither is known. Nothing is created.
    static std::string configFile(const char* name);
    // Makes the folder a settings file lies in (and its parents); false when it is not
    // there afterwards.
    static bool makeConfigFolder(const std::string& file);
};

}  // namespace fairholm
