#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "runtime/ProgramDirectory.h"

namespace fairholm::fuzz {

// Writes the fuzzer's input as a data file in a private program directory.
inline void writeInput(const char* name, const uint8_t* data, size_t size) {
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() / ("fairholm-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        ProgramDirectory::set(d.c_str());
        return d;
    }();
    std::FILE* f = std::fopen((dir / name).c_str(), "wb");
    if (f) {
        if (size > 0) {
            std::fwrite(data, 1, size, f);
        }
        std::fclose(f);
    }
}

}  // namespace fairholm::fuzz
