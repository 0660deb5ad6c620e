#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "setuplaunch/LauncherPlatform.h"

namespace fairholm {

// The desktop installer launcher: finds the device application manager through the
// registry and replaces itself by it, handing it the "setup.ini" that lies beside the
// launcher when started with "/Install".
class SetupLauncher {
public:
    static constexpr const char* managerKey =
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\CEAPPMGR.EXE";
    // KEY_READ.
    static constexpr uint32_t keyAccess = 0x20019;
    // Capacity of the registry value buffer and of the first module path buffer.
    static constexpr uint32_t pathSize = 260;
    // Longest module path the launcher asks for when the first buffer is too small.
    static constexpr uint32_t maxModulePathSize = 65536;
    static constexpr const char* triggerArgument = "/Install";
    static constexpr const char* installationFile = "setup.ini";
    static constexpr const char* errorText =
        "Can not find ActiveSync. Please reinstall ActiveSync and than run this installation again.";
    static constexpr const char* errorCaption = "Installation";

    explicit SetupLauncher(LauncherPlatform& platform) : m_platform(platform) {}

    // The whole launcher: the command line is the one the runtime hands to the entry point
    // (without the program's own name). Returns the exit code, always 0; on success it
    // does not return at all.
    int run(const char* commandLine);

    // True when the command line is exactly "/Install", byte for byte.
    static bool isTrigger(const char* commandLine);

    // The registry value as text: the bytes up to the first zero. A value that fills the
    // whole buffer without a zero has no room for its terminator and is refused (false).
    static bool valueText(const char* bytes, uint32_t size, std::string& text);

    // The directory part of a path: everything up to and including the last backslash
    // or slash; empty when there is none.
    static std::string directoryOf(std::string_view path);

    // The quoted path of "setup.ini" in the directory of `launcherPath`.
    static std::string installArgument(std::string_view launcherPath);

    // The launcher's full path, asking again with a larger buffer while the answer is cut.
    // False when the path cannot be had whole.
    bool launcherPath(std::string& path);

private:
    LauncherPlatform& m_platform;
};

}  // namespace fairholm
