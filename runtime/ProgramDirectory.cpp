#include "runtime/ProgramDirectory.h"

#include <cstring>

namespace fairholm {

namespace {
// Written once at start-up, before any other thread exists.
char programDirectory[ProgramDirectory::maxPath] = {};
}  // namespace

bool ProgramDirectory::setFromExecutablePath(const char* executablePath) {
    size_t length = std::strlen(executablePath);
    while (length > 0 && executablePath[length - 1] != '/' && executablePath[length - 1] != '\\') {
        --length;
    }
    if (length >= maxPath) {
        return false;
    }
    std::memcpy(programDirectory, executablePath, length);
    programDirectory[length] = 0;
    return true;
}

bool ProgramDirectory::set(const char* directory) {
    size_t length = std::strlen(directory);
    const bool needsSeparator = length > 0 && directory[length - 1] != '/' && directory[length - 1] != '\\';
    if (length + (needsSeparator ? 1 : 0) >= maxPath) {
        return false;
    }
    std::memcpy(programDirectory, directory, length);
    if (needsSeparator) {
        programDirectory[length++] = '/';
    }
    programDirectory[length] = 0;
    return true;
}

const char* ProgramDirectory::get() {
    return programDirectory;
}

bool ProgramDirectory::resolvePath(const String& name, char (&out)[maxPath]) {
    const char* text = name.chars();
    if (text[0] == '/') {
        ++text;
    }
    const size_t directoryLength = std::strlen(programDirectory);
    const size_t nameLength = std::strlen(text);
    if (directoryLength + nameLength >= maxPath) {
        out[0] = 0;
        return false;
    }
    std::memcpy(out, programDirectory, directoryLength);
    std::memcpy(out + directoryLength, text, nameLength + 1);
    return true;
}

}  // namespace fairholm
