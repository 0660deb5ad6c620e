// fairholm: the game in a desktop window.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include <SDL.h>

#include "platform/KeyConfig.h"
#include "platform/Launcher.h"
#include "platform/ReplayLibrary.h"
#include "platform/SingleInstance.h"
#include "platform/WindowConfig.h"
#include "platform/sdl/SdlShell.h"
#include "runtime/ProgramDirectory.h"
#include "runtime/Version.h"

using namespace fairholm;

namespace {

const char* const usage =
    "usage: fairholm [options]\n"
    "  --pocketpc        play as on a Pocket PC (stylus taps, menus without key digits);\n"
    "                    the default is a Smartphone, whose menus show each entry's key\n"
    "  --size WxH        window size (default 480x640, or the size the window had when the\n"
    "                    game last ended; 480 wide or more renders at half size, doubled)\n"
    "  --scale N         show the game at exactly N times (1 to 8); its size is then the\n"
    "                    window's divided by N. Without it the game keeps its size and is\n"
    "                    enlarged by whole steps to fit the window, centred\n"
    "  --classic         the handset game as designed: no desktop comforts, the game's\n"
    "                    size follows the window, the picture at the top-left\n"
    "  --keys FILE       the key configuration to read instead of the usual one\n"
    "  --fullscreen      start in full screen (F11 or Alt+Enter toggles)\n"
    "  --script FILE     play timed input from FILE (the headless script format)\n"
    "  --quit-after MS   close after MS milliseconds\n"
    "  --log-strokes     print the play (state, strokes, club, aim, power) on standard output\n"
    "  --data DIR        read the data files from DIR instead of the executable's folder\n"
    "  --replay FILE     play a recording back (FILE, or 'last' for the newest one); keys:\n"
    "                    Enter or P pause, Down or S a quarter speed, Up or F four times,\n"
    "                    Right or . one frame, # or N on to the next stroke, Escape stops\n"
    "  --replays         list the recordings kept, newest first\n"
    "  --no-record       do not record this game (every game is recorded otherwise)\n"
    "  --help            this text\n"
    "  --version         the version\n";

void printHelp() {
    std::fputs(usage, stdout);
    std::printf(
        "Keys (F11 or Alt+Enter full screen, F12 screenshot; # * Space and letters\n"
        "arrive as typed characters):\n%s",
        KeyConfig::describeDefaults().c_str());
    const std::string keys = Launcher::configFile("keys.conf");
    const std::string window = Launcher::configFile("window.conf");
    std::printf("Key configuration: %s\n%s", keys.empty() ? "(no settings folder: set HOME)" : keys.c_str(),
                KeyConfig::formatHelp());
    std::printf("The window's size is remembered in %s (not with --classic, --size or --script).\n",
                window.empty() ? "(no settings folder)" : window.c_str());
}

// SDL's name of a key or of a game-controller button; 0 or less when it has none.
int32_t sdlKey(const std::string& name) {
    return static_cast<int32_t>(SDL_GetKeyFromName(name.c_str()));
}

int32_t sdlButton(const std::string& name) {
    return static_cast<int32_t>(SDL_GameControllerGetButtonFromString(name.c_str()));
}

// The player's key configuration: `path`, or the usual file when empty. Its problems are
// said on standard error; what is broken is left out.
KeyBindings loadKeys(const std::string& path) {
    KeyConfig config;
    const std::string file = path.empty() ? Launcher::configFile("keys.conf") : path;
    if (!file.empty()) {
        config.load(file, !path.empty());
    }
    KeyBindings bindings = config.resolve(KeyTable::Host::Sdl, sdlKey, sdlButton);
    for (const std::string& message : config.errors()) {
        std::fprintf(stderr, "fairholm: %s\n", message.c_str());
    }
    return bindings;
}

}  // namespace

int main(int argc, char** argv) {
    if (fairholm::answerVersion(argc, argv, "fairholm")) {
        return 0;
    }
    SdlShell::Options options;
    const char* dataDirectory = nullptr;
    bool sizeGiven = false;
    std::string keysFile;
    std::string replayName;
    bool listReplays = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            printHelp();
            return 0;
        } else if (arg == "--classic") {
            options.classic = true;
        } else if (arg == "--log-strokes") {
            options.logStrokes = true;
        } else if (arg == "--scale" && hasValue) {
            char* end = nullptr;
            const long scale = std::strtol(argv[++i], &end, 10);
            if (end == argv[i] || *end != 0 || scale < 1 || scale > WindowScale::maxFactor) {
                std::fprintf(stderr, "fairholm: bad scale %s (1 to %d)\n", argv[i],
                             static_cast<int>(WindowScale::maxFactor));
                return 2;
            }
            options.scale = static_cast<int32_t>(scale);
        } else if (arg == "--keys" && hasValue) {
            keysFile = argv[++i];
            if (keysFile.empty()) {
                std::fprintf(stderr, "fairholm: --keys needs a file name\n");
                return 2;
            }
        } else if (arg == "--pocketpc") {
            options.pocketPC = true;
        } else if (arg == "--fullscreen") {
            options.fullscreen = true;
        } else if (arg == "--size" && hasValue) {
            if (std::sscanf(argv[++i], "%dx%d", &options.windowWidth, &options.windowHeight) != 2 ||
                options.windowWidth < 64 || options.windowHeight < 64 || options.windowWidth > 8192 ||
                options.windowHeight > 8192) {
                std::fprintf(stderr, "fairholm: bad size %s\n", argv[i]);
                return 2;
            }
            sizeGiven = true;
        } else if (arg == "--script" && hasValue) {
            std::ifstream in(argv[++i]);
            std::stringstream text;
            text << in.rdbuf();
            std::string error;
            if (!in || !options.script.parse(text.str(), error)) {
                std::fprintf(stderr, "fairholm: script %s: %s\n", argv[i],
                             in ? error.c_str() : "cannot read");
                return 2;
            }
        } else if (arg == "--data" && hasValue) {
            dataDirectory = argv[++i];
        } else if (arg == "--replay" && hasValue) {
            replayName = argv[++i];
        } else if (arg == "--replays") {
            listReplays = true;
        } else if (arg == "--no-record") {
            options.record = false;
        } else if (arg == "--quit-after" && hasValue) {
            options.quitAfter = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        } else {
            std::fprintf(stderr, "fairholm: unknown option %s\n%s", arg.c_str(), usage);
            return 2;
        }
    }

    if (options.classic && options.scale > 0) {
        std::fprintf(stderr, "fairholm: --scale does not go with --classic\n");
        return 2;
    }

    const bool programFound = Launcher::setProgramDirectory(argv[0]);
    if (dataDirectory && !ProgramDirectory::set(dataDirectory)) {
        std::fprintf(stderr, "fairholm: data folder path too long\n");
        return 2;
    }
    if (!programFound && !dataDirectory) {
        std::fprintf(stderr,
                     "fairholm: the path of the program's folder is longer than %d bytes: move the game to a "
                     "shorter path, or name the data folder with --data\n",
                     static_cast<int>(ProgramDirectory::maxPath - 1));
        return 2;
    }
    if (listReplays || !replayName.empty()) {
        const std::string saveFolder = Launcher::chooseSaveDirectory();
        const ReplayLibrary library(saveFolder.empty() ? std::string(ProgramDirectory::get()) : saveFolder);
        if (listReplays) {
            for (const std::string& path : library.list()) {
                std::puts(path.c_str());
            }
            return 0;
        }
        const std::string path = replayName == "last" ? library.newest() : replayName;
        if (path.empty()) {
            std::fprintf(stderr, "fairholm: no recordings in %s\n", library.folder().c_str());
            return 2;
        }
        auto reader = std::make_shared<ReplayReader>();
        if (!reader->load(path)) {
            std::fprintf(stderr, "fairholm: %s: %s\n", path.c_str(), reader->message().c_str());
            return 2;
        }
        if (!reader->message().empty()) {
            std::printf("%s: %s\n", path.c_str(), reader->message().c_str());
        }
        if (!sizeGiven) {
            // Twice the recorded size, as a high-resolution window shows it.
            options.windowWidth = reader->header().width * 2;
            options.windowHeight = reader->header().height * 2;
        }
        options.replay = std::move(reader);
        options.record = false;
    }
    SingleInstance instance(ProgramDirectory::get());
    if (!instance.isFirst()) {
        std::puts("fairholm is already running.");
        return 0;
    }
    options.instance = &instance;
    // The window's size is remembered between runs of a window sized by the player; a
    // scripted run is a test and leaves the player's settings alone.
    if (!options.classic && !sizeGiven && options.script.events().empty() && !options.replay) {
        options.windowConfig = Launcher::configFile("window.conf");
        if (!options.windowConfig.empty()) {
            WindowConfig::load(options.windowConfig, options.windowWidth, options.windowHeight);
        }
    }
    options.bindings = loadKeys(keysFile);
    SdlShell shell(std::move(options));
    return shell.run();
}
