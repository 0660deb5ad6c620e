// fairholm: the game in a desktop window.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/Launcher.h"
#include "platform/sdl/SdlShell.h"
#include "platform/SingleInstance.h"
#include "runtime/ProgramDirectory.h"

using namespace fairholm;

namespace {

const char* const usage =
    "usage: fairholm [options]\n"
    "  --pocketpc        play as on a Pocket PC (stylus taps, menus without key digits);\n"
    "                    the default is a Smartphone, whose menus show each entry's key\n"
    "  --size WxH        window size (default 480x640; 480 wide or more doubles every pixel)\n"
    "  --fullscreen      start in full screen (F11 or Alt+Enter toggles)\n"
    "  --script FILE     play timed input from FILE (the headless script format)\n"
    "  --quit-after MS   close after MS milliseconds\n"
    "  --data DIR        read the data files from DIR instead of the executable's folder\n"
    "  --help            this text\n"
    "Keys: arrows, Enter (action), F1/F2 (soft keys), Escape (back), 0-9, # and *;\n"
    "F11 full screen, F12 screenshot.\n";

}  // namespace

int main(int argc, char** argv) {
    SdlShell::Options options;
    const char* dataDirectory = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            std::fputs(usage, stdout);
            return 0;
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
        } else if (arg == "--quit-after" && hasValue) {
            options.quitAfter = static_cast<uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        } else {
            std::fprintf(stderr, "fairholm: unknown option %s\n%s", arg.c_str(), usage);
            return 2;
        }
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
    SingleInstance instance(ProgramDirectory::get());
    if (!instance.isFirst()) {
        std::puts("fairholm is already running.");
        return 0;
    }
    options.instance = &instance;
    SdlShell shell(std::move(options));
    return shell.run();
}
