// libFuzzer target: arbitrary bytes as the registry value that names the application
// manager, and as the launcher's own module path.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "setuplaunch/SetupLauncher.h"

using namespace fairholm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto* bytes = reinterpret_cast<const char*>(data);
    std::string text;
    if (SetupLauncher::valueText(bytes, static_cast<uint32_t>(size), text)) {
        // The text is the value up to its first zero, and leaves room for a terminator in
        // the launcher's buffer.
        if (text.size() > size || text.find('\0') != std::string::npos ||
            text.size() >= SetupLauncher::pathSize) {
            std::abort();
        }
    }
    const std::string_view path(bytes, size);
    const std::string directory = SetupLauncher::directoryOf(path);
    if (directory.size() > size || path.substr(0, directory.size()) != directory) {
        std::abort();  // the directory is the path's beginning
    }
    const std::string argument = SetupLauncher::installArgument(path);
    if (argument.size() < 2 || argument.front() != '"' || argument.back() != '"') {
        std::abort();
    }
    SetupLauncher::isTrigger(text.c_str());
    return 0;
}
