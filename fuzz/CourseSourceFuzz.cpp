// libFuzzer target: arbitrary text as a course source; what parses is checked, and what
// passes the checks is compiled and loaded as the game loads a course pack.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/FuzzFile.h"
#include "tools/coursec/CourseCompiler.h"
#include "tools/coursec/CourseSource.h"
#include "tools/coursec/CourseTerrain.h"

using namespace fairholm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    coursec::CourseSource source;
    std::string error;
    if (!source.parse(text, error)) {
        return 0;
    }
    coursec::CourseCompiler compiler(source);
    std::string problems;
    if (!compiler.check(problems)) {
        return 0;
    }
    const std::vector<uint8_t> bytes = compiler.build();
    fuzz::writeInput("course", bytes.data(), bytes.size());
    Ref<VpolyTerrain> terrain = coursec::CourseTerrain::load(std::string(ProgramDirectory::get()) + "course");
    if (terrain) {
        terrain->heightAt(256 << 15, 256 << 15);
        terrain->surfaceAt(100 << 15, 400 << 15);
    }
    return 0;
}
