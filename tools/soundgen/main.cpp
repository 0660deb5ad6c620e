// soundgen <description> <output folder> [name...]
//
// Reads the sound description text, synthesises every sound it describes (or only
// the named ones, which must all be there) and writes each as a 16-bit mono WAV
// file named after the sound, without extension, into the output folder.

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "runtime/Version.h"
#include "tools/soundgen/SoundScript.h"
#include "tools/soundgen/Synthesizer.h"
#include "tools/soundgen/WavWriter.h"

using namespace fairholm::soundgen;

int main(int argc, char** argv) {
    if (fairholm::answerVersion(argc, argv, "soundgen")) {
        return 0;
    }
    if (argc < 3) {
        std::fprintf(stderr, "usage: soundgen <description> <output folder> [name...]\n");
        return 2;
    }
    const std::string source = argv[1];
    const std::string folder = argv[2];
    std::ifstream in(source, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "soundgen: cannot read %s\n", source.c_str());
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();

    SoundScript script;
    std::string error;
    if (!script.parse(text.str(), error)) {
        std::fprintf(stderr, "%s: %s\n", source.c_str(), error.c_str());
        return 1;
    }
    std::vector<const SoundDesc*> wanted;
    if (argc == 3) {
        for (const SoundDesc& s : script.sounds()) {
            wanted.push_back(&s);
        }
    }
    for (int i = 3; i < argc; ++i) {
        const SoundDesc* s = script.find(argv[i]);
        if (s == nullptr) {
            std::fprintf(stderr, "%s: no sound named '%s'\n", source.c_str(), argv[i]);
            return 1;
        }
        wanted.push_back(s);
    }
    Synthesizer synth;
    for (const SoundDesc* s : wanted) {
        std::vector<std::int16_t> samples;
        if (!synth.render(*s, samples, error)) {
            std::fprintf(stderr, "%s: %s\n", source.c_str(), error.c_str());
            return 1;
        }
        const std::string path = folder + "/" + s->name;
        if (!WavWriter::write(path, samples, Synthesizer::kSampleRate)) {
            std::fprintf(stderr, "soundgen: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
