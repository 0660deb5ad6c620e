// The game in a web browser: the page (shell.html) preloads the data files into /data,
// keeps /save in IndexedDB and starts this program with the page's options as
// arguments: --size WxH, --classic, --pocketpc, --no-record.

#include <emscripten.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/web/WebShell.h"
#include "runtime/ProgramDirectory.h"

using namespace fairholm;

namespace {

WebShell* shell = nullptr;

}  // namespace

// The page's keypad: an engine key pressed (down 1) or released (down 0).
extern "C" EMSCRIPTEN_KEEPALIVE void fairholm_keypad(int engineKey, int down) {
    if (shell) {
        shell->keypad(engineKey, down != 0);
    }
}

// Where the game is, for the page's tests: "state=6 hole=1 strokes=0 sound=1 sleeps=812".
extern "C" EMSCRIPTEN_KEEPALIVE const char* fairholm_status() {
    static char line[128];
    line[0] = 0;
    if (shell) {
        shell->describe(line, sizeof line);
    }
    return line;
}

int main(int argc, char** argv) {
    WebShell::Options options;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--classic") == 0) {
            options.classic = true;
        } else if (std::strcmp(argv[i], "--pocketpc") == 0) {
            options.pocketPC = true;
        } else if (std::strcmp(argv[i], "--no-record") == 0) {
            options.record = false;
        } else if (std::strcmp(argv[i], "--size") == 0 && i + 1 < argc) {
            int width = 0;
            int height = 0;
            if (std::sscanf(argv[++i], "%dx%d", &width, &height) == 2 && width >= 96 && height >= 96 &&
                width <= 1024 && height <= 1024) {
                options.width = width;
                options.height = height;
            }
        }
    }
    ProgramDirectory::set("/data/");
    WebShell web(options);
    shell = &web;
    const int code = web.run();
    shell = nullptr;
    return code;
}
