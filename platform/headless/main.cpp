// fairholm-headless: the game without a window, for tests, bots and pictures.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "platform/Launcher.h"
#include "platform/headless/HeadlessShell.h"
#include "runtime/ProgramDirectory.h"
#include "runtime/Version.h"

using namespace fairholm;

namespace {

const char* const usage =
    "usage: fairholm-headless [options]\n"
    "  --script FILE        timed input (see README: headless scripts); '-' reads standard input\n"
    "  --size WxH           window size (default 240x320; 480 wide or more renders at half size)\n"
    "  --pocketpc           behave as a Pocket PC (menus without key digits)\n"
    "  --max-time MS        stop after MS milliseconds of game time (default 600000)\n"
    "  --linger MS          keep running MS after the last scripted event (default 500)\n"
    "  --dump-on-state N:F  write the frame as PNG file F the first time the game is in state N\n"
    "                       (N@K:F the K-th time it comes to state N)\n"
    "  --data DIR           read the data files from DIR instead of the executable's folder\n"
    "  --quiet              do not log sounds\n"
    "  --hash-frames        print a digest of the frames drawn at every change of the game state\n"
    "  --bot                a built-in player plays the round after the script has started it\n"
    "  --comfort            the desktop comforts (Enter always swings, smooth turning, fast-forward,\n"
    "                       panels beside the pin); the default is the handset game (--classic)\n"
    "  --classic            the handset game, as by default\n"
    "  --log-strokes        print the play (state, strokes, club, aim, power, frame digest)\n"
    "  --record FILE        record the game into FILE\n"
    "  --replay FILE        play a recording back (its size, device and comforts)\n"
    "  --export-shot N PNG  with --replay: draw the flight of stroke N as a strip of frames\n"
    "  --version            the version\n";

bool parseSize(const char* text, int32_t& width, int32_t& height) {
    return std::sscanf(text, "%dx%d", &width, &height) == 2 && width > 0 && height > 0 && width <= 4096 &&
           height <= 4096;
}

}  // namespace

int main(int argc, char** argv) {
    if (fairholm::answerVersion(argc, argv, "fairholm-headless")) {
        return 0;
    }
    const bool programFound = Launcher::setProgramDirectory(argv[0]);
    bool dataNamed = false;
    HeadlessShell::Options options;
    std::string scriptText;
    bool maxTimeGiven = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            std::fputs(usage, stdout);
            return 0;
        } else if (arg == "--script" && hasValue) {
            const std::string file = argv[++i];
            std::stringstream buffer;
            if (file == "-") {
                buffer << std::cin.rdbuf();
            } else {
                std::ifstream in(file);
                if (!in) {
                    std::fprintf(stderr, "cannot read %s\n", file.c_str());
                    return 2;
                }
                buffer << in.rdbuf();
            }
            scriptText = buffer.str();
        } else if (arg == "--size" && hasValue) {
            if (!parseSize(argv[++i], options.windowWidth, options.windowHeight)) {
                std::fprintf(stderr, "bad size %s\n", argv[i]);
                return 2;
            }
        } else if (arg == "--pocketpc") {
            options.pocketPC = true;
        } else if (arg == "--max-time" && hasValue) {
            options.maxTime = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
            maxTimeGiven = true;
        } else if (arg == "--linger" && hasValue) {
            options.linger = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        } else if (arg == "--dump-on-state" && hasValue) {
            const char* spec = argv[++i];
            const char* colon = std::strchr(spec, ':');
            if (!colon || colon[1] == 0) {
                std::fprintf(stderr, "--dump-on-state takes STATE:FILE\n");
                return 2;
            }
            options.dumpOnState = std::atoi(spec);
            const char* at = std::strchr(spec, '@');
            options.dumpOnStateVisit = at && at < colon ? std::atoi(at + 1) : 1;
            options.dumpOnStateFile = colon + 1;
        } else if (arg == "--data" && hasValue) {
            if (!ProgramDirectory::set(argv[++i])) {
                std::fprintf(stderr, "data folder path too long\n");
                return 2;
            }
            dataNamed = true;
        } else if (arg == "--quiet") {
            options.logSounds = false;
        } else if (arg == "--hash-frames") {
            options.hashFrames = true;
        } else if (arg == "--bot") {
            options.pilot = true;
        } else if (arg == "--log-strokes") {
            options.logStrokes = true;
        } else if (arg == "--record" && hasValue) {
            options.recordFile = argv[++i];
        } else if (arg == "--replay" && hasValue) {
            auto reader = std::make_shared<ReplayReader>();
            if (!reader->load(argv[++i])) {
                std::fprintf(stderr, "%s: %s\n", argv[i], reader->message().c_str());
                return 2;
            }
            if (!reader->message().empty()) {
                std::fprintf(stderr, "%s: %s\n", argv[i], reader->message().c_str());
            }
            options.replay = std::move(reader);
            if (!maxTimeGiven) {
                options.maxTime = 0xFFFFFFFF;
            }
        } else if (arg == "--export-shot" && i + 2 < argc) {
            char* end = nullptr;
            const long stroke = std::strtol(argv[++i], &end, 10);
            if (end == argv[i] || *end != 0 || stroke < 1 || stroke > 100000) {
                std::fprintf(stderr, "bad stroke number %s\n", argv[i]);
                return 2;
            }
            options.exportShot = static_cast<int32_t>(stroke);
            options.exportFile = argv[++i];
        } else if (arg == "--comfort" || arg == "--classic") {
            options.comfort = arg == "--comfort";
        } else {
            std::fprintf(stderr, "unknown option %s\n%s", arg.c_str(), usage);
            return 2;
        }
    }
    if (!programFound && !dataNamed) {
        std::fprintf(
            stderr,
            "the path of the program's folder is longer than %d bytes: move the program to a shorter "
            "path, or name the data folder with --data\n",
            static_cast<int>(ProgramDirectory::maxPath - 1));
        return 2;
    }
    if (options.exportShot > 0 && !options.replay) {
        std::fprintf(stderr, "--export-shot goes with --replay\n");
        return 2;
    }
    if (options.replay && (options.pilot || !scriptText.empty() || !options.recordFile.empty())) {
        std::fprintf(stderr, "--replay plays the recording alone (no --script, --bot or --record)\n");
        return 2;
    }
    HeadlessScript script;
    std::string error;
    if (!script.parse(scriptText, error)) {
        std::fprintf(stderr, "script %s\n", error.c_str());
        return 2;
    }
    HeadlessShell shell(options, std::move(script));
    return shell.run();
}
