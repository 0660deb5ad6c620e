#include "platform/Launcher.h"

#include <sys/stat.h>
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
    // Beside the game only in a folder of the player's own that is no system
    // installation (marked by the file "installed"): an installed game keeps its saves
    // in the player's data folder, also when root plays it, for whom every folder is
    // writable.
    const char* program = ProgramDirectory::get();
    const char* folderPath = program[0] ? program : ".";
    const std::string mark = std::string(program) + installedMark;
    struct stat info {};
    if (::stat(folderPath, &info) == 0 && info.st_uid == ::geteuid() && ::access(folderPath, W_OK) == 0 &&
        ::access(mark.c_str(), F_OK) != 0) {
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

std::string Launcher::configFile(const char* name) {
    std::string folder;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/') {
        folder = config;
    } else if (const char* home = std::getenv("HOME"); home && home[0]) {
        folder = std::string(home) + "/.config";
    } else {
        return "";
    }
    return folder + "/fairholm/" + name;
}

bool Launcher::makeConfigFolder(const std::string& file) {
    const std::filesystem::path folder = std::filesystem::path(file).parent_path();
    if (folder.empty()) {
        return true;
    }
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return std::filesystem::is_directory(folder, ignored);
}

}  // namespace fairholm
