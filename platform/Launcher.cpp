#include "platform/Launcher.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <filesystem>

#include "runtime/ProgramDirectory.h"

namespace fairholm {

bool Launcher::setProgramDirectory(const char* executablePath) {
    // The kernel's answer is the real location even when started through a link or
    // from another directory; argv[0] is the fallback where there is none.
    char self[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (length > 0) {
        self[length] = 0;
        return ProgramDirectory::setFromExecutablePath(self);
    }
    return ProgramDirectory::setFromExecutablePath(executablePath ? executablePath : "");
}

std::string Launcher::chooseSaveDirectory() {
    const char* program = ProgramDirectory::get();
    if (::access(program[0] ? program : ".", W_OK) == 0) {
        return "";
    }
    std::string folder;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && data[0] == '/') {
        folder = data;
    } else if (const char* home = std::getenv("HOME"); home && home[0]) {
        folder = std::string(home) + "/.local/share";
    } else {
        return "";
    }
    folder += "/fairholm/";
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return folder;
}

}  // namespace fairholm
