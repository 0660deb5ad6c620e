#pragma once

#include <array>
#include <cstdio>
#include <string>

namespace fairholm::testing {

// Runs a shell command and returns what it printed; `status` gets its exit status as
// pclose reports it (-1 when it could not be started).
inline std::string commandOutput(const std::string& command, int& status) {
    std::string output;
    status = -1;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        std::array<char, 4096> buffer;
        size_t got;
        while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
            output.append(buffer.data(), got);
        }
        status = ::pclose(pipe);
    }
    return output;
}

}  // namespace fairholm::testing
