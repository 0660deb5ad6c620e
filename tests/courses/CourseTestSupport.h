#pragma once

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/render3d/VpolyTerrain.h"
#include "tools/coursec/CourseCompiler.h"
#include "tools/coursec/CourseSource.h"
#include "tools/coursec/CourseTerrain.h"

namespace fairholm::test {

// A folder of its own for compiled test courses, removed afterwards.
class CourseFolder {
public:
    CourseFolder()
        : m_dir(std::filesystem::temp_directory_path() / ("fairholm-courses-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(m_dir);
    }
    ~CourseFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }
    std::string path(const std::string& name) const { return (m_dir / name).string(); }

    // Parses, checks and compiles `text` into the file `name`; the errors (parse or
    // check) come back in `errors`, empty on success.
    bool compile(const std::string& text, const std::string& name, std::string& errors) {
        coursec::CourseSource source;
        if (!source.parse(text, errors)) {
            return false;
        }
        coursec::CourseCompiler compiler(source);
        if (!compiler.check(errors)) {
            return false;
        }
        const std::vector<uint8_t> bytes = compiler.build();
        std::FILE* f = std::fopen(path(name).c_str(), "wb");
        if (!f) {
            errors = "cannot write";
            return false;
        }
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        return true;
    }

    Ref<VpolyTerrain> load(const std::string& name) { return coursec::CourseTerrain::load(path(name)); }

private:
    std::filesystem::path m_dir;
};

// Compiler errors for a source expected to fail the checks (empty when it compiles).
inline std::string checkErrors(const std::string& text) {
    coursec::CourseSource source;
    std::string errors;
    if (!source.parse(text, errors)) {
        return "parse: " + errors;
    }
    coursec::CourseCompiler compiler(source);
    compiler.check(errors);
    return errors;
}

inline fixed yards(double v) {
    return static_cast<fixed>(v * 32768);
}

}  // namespace fairholm::test
