#include "setuplaunch/SetupLauncher.h"

#include <cstring>

namespace fairholm {

int SetupLauncher::run(const char* commandLine) {
    char value[pathSize];
    uint32_t size = pathSize;
    std::string manager;
    if (!m_platform.readManagerValue(value, size) || !valueText(value, size, manager)) {
        m_platform.showError(errorText, errorCaption);
        return 0;
    }

    std::string argument;
    if (isTrigger(commandLine)) {
        std::string path;
        if (launcherPath(path)) {
            argument = installArgument(path);
        }
    }

    // Returns only when the manager could not be started; that is not reported.
    m_platform.startOverlay(manager.c_str(), argument.c_str());
    return 0;
}

bool SetupLauncher::isTrigger(const char* commandLine) {
    return commandLine != nullptr && std::strcmp(commandLine, triggerArgument) == 0;
}

bool SetupLauncher::valueText(const char* bytes, uint32_t size, std::string& text) {
    if (size > pathSize) {
        return false;
    }
    const void* zero = std::memchr(bytes, 0, size);
    if (zero == nullptr && size == pathSize) {
        return false;
    }
    size_t length = zero != nullptr ? static_cast<size_t>(static_cast<const char*>(zero) - bytes) : size;
    text.assign(bytes, length);
    return true;
}

std::string SetupLauncher::directoryOf(std::string_view path) {
    size_t separator = path.find_last_of("\\/");
    if (separator == std::string_view::npos) {
        return std::string();
    }
    return std::string(path.substr(0, separator + 1));
}

std::string SetupLauncher::installArgument(std::string_view launcherPath) {
    std::string argument = "\"";
    argument += directoryOf(launcherPath);
    argument += installationFile;
    argument += '"';
    return argument;
}

bool SetupLauncher::launcherPath(std::string& path) {
    for (uint32_t size = pathSize; size <= maxModulePathSize; size *= 2) {
        // One spare byte: some systems leave a cut path without its terminator.
        std::string buffer(size + 1, '\0');
        uint32_t length = m_platform.moduleFileName(buffer.data(), size);
        if (length == 0) {
            return false;
        }
        if (length < size) {
            buffer.resize(length);
            path = std::move(buffer);
            return true;
        }
    }
    return false;
}

}  // namespace fairholm
