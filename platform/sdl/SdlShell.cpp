#include "platform/sdl/SdlShell.h"

#include <cstdio>
#include <ctime>
#include <memory>

#include "platform/Launcher.h"
#include "platform/PngWriter.h"

namespace fairholm {

namespace {

// Engine key for a key of the keyboard: arrows, Enter, the soft keys F1 and F2, Escape
// and the digits. Everything else arrives as typed text.
int32_t engineKey(SDL_Keycode key) {
    switch (key) {
        case SDLK_LEFT:
            return 1;
        case SDLK_RIGHT:
            return 2;
        case SDLK_UP:
            return 3;
        case SDLK_DOWN:
            return 4;
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
        case SDLK_F1:
            return 5;
        case SDLK_F2:
            return 6;
        case SDLK_ESCAPE:
            return 7;
        default:
            break;
    }
    if (key >= SDLK_0 && key <= SDLK_9) {
        return '0' + (key - SDLK_0);
    }
    if (key >= SDLK_KP_1 && key <= SDLK_KP_9) {
        return '1' + (key - SDLK_KP_1);
    }
    if (key == SDLK_KP_0) {
        return '0';
    }
    return 0;
}

// The soft keys and back are queued again on release, like a handset's.
bool queuedOnRelease(SDL_Keycode key) {
    return key == SDLK_F1 || key == SDLK_F2 || key == SDLK_ESCAPE;
}

int32_t controllerKey(uint8_t button) {
    switch (button) {
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
            return 1;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
            return 2;
        case SDL_CONTROLLER_BUTTON_DPAD_UP:
            return 3;
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
            return 4;
        case SDL_CONTROLLER_BUTTON_A:
        case SDL_CONTROLLER_BUTTON_START:
            return 5;
        case SDL_CONTROLLER_BUTTON_B:
            return 6;
        case SDL_CONTROLLER_BUTTON_BACK:
            return 7;
        case SDL_CONTROLLER_BUTTON_X:
            return '1';  // club menu
        case SDL_CONTROLLER_BUTTON_Y:
            return '7';  // view from above
        case SDL_CONTROLLER_BUTTON_LEFTSHOULDER:
            return '1';  // zoom in on the map
        case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER:
            return '3';  // zoom out on the map
        default:
            return 0;
    }
}

}  // namespace

SdlShell::SdlShell(Options options) : m_options(std::move(options)) {}

SdlShell::~SdlShell() {
    if (m_gameThread.joinable()) {
        m_game->stop();
        m_gameThread.join();
    }
    if (m_game) {
        m_game->dismantle();
    }
    m_game = nullptr;
    m_platform = nullptr;
    m_sound.reset();
    if (m_controller) {
        SDL_GameControllerClose(m_controller);
    }
    if (m_texture) {
        SDL_DestroyTexture(m_texture);
    }
    if (m_renderer) {
        SDL_DestroyRenderer(m_renderer);
    }
    if (m_window) {
        SDL_DestroyWindow(m_window);
    }
    SDL_Quit();
}

bool SdlShell::createWindow() {
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_GAMECONTROLLER) != 0) {
        std::fprintf(stderr, "fairholm: %s\n", SDL_GetError());
        return false;
    }
    m_window = SDL_CreateWindow("Greenvale", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                m_options.windowWidth, m_options.windowHeight, SDL_WINDOW_RESIZABLE);
    if (!m_window) {
        std::fprintf(stderr, "fairholm: %s\n", SDL_GetError());
        return false;
    }
    m_renderer = SDL_CreateRenderer(m_window, -1, SDL_RENDERER_PRESENTVSYNC);
    if (!m_renderer) {
        m_renderer = SDL_CreateRenderer(m_window, -1, SDL_RENDERER_SOFTWARE);
    }
    if (!m_renderer) {
        std::fprintf(stderr, "fairholm: %s\n", SDL_GetError());
        return false;
    }
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "nearest");
    return true;
}

int SdlShell::run() {
    if (!createWindow()) {
        return 1;
    }
    m_wakeEvent = SDL_RegisterEvents(1);
    m_sound = std::make_unique<SdlSound>();
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(m_window, &width, &height);
    m_highResolution = Launcher::isHighResolution(width);
    m_platform = make<SdlPlatform>(m_options.pocketPC, m_highResolution, m_wakeEvent);
    m_platform->setSaveDirectory(Launcher::chooseSaveDirectory());
    m_game = Launcher::createGame(m_platform, width, height);
    m_platform->setGame(m_game.ptr());
    SDL_StartTextInput();
    if (m_options.fullscreen) {
        toggleFullscreen();
    }

    Golf* game = m_game.ptr();
    m_gameThread = std::thread([game] {
        game->run();
        // The loop ends when the game asked to close; make sure the window hears it.
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
    });

    const uint32_t start = SDL_GetTicks();
    while (!m_quit) {
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, 10)) {
            handle(event);
            while (!m_quit && SDL_PollEvent(&event)) {
                handle(event);
            }
        }
        if (m_options.instance && m_options.instance->raiseRequested()) {
            SDL_RestoreWindow(m_window);
            SDL_RaiseWindow(m_window);
        }
        const uint32_t elapsed = SDL_GetTicks() - start;
        playScript(elapsed);
        if (m_options.quitAfter != 0 && elapsed >= m_options.quitAfter) {
            m_quit = true;
        }
        present();
    }
    m_game->stop();
    m_gameThread.join();
    return 0;
}

void SdlShell::playScript(uint32_t elapsed) {
    const auto& events = m_options.script.events();
    while (m_nextScriptEvent < events.size() && events[m_nextScriptEvent].time <= elapsed) {
        const auto& event = events[m_nextScriptEvent++];
        switch (event.verb) {
            case HeadlessScript::Verb::Key:
            case HeadlessScript::Verb::Char:
                m_game->keyPressed(event.a);
                m_game->keyReleased(event.a);
                break;
            case HeadlessScript::Verb::Press:
                m_game->keyPressed(event.a);
                break;
            case HeadlessScript::Verb::Release:
                m_game->keyReleased(event.a);
                break;
            case HeadlessScript::Verb::Tap:
                handleMouse(event.a << (m_highResolution ? 1 : 0), event.b << (m_highResolution ? 1 : 0),
                            true);
                handleMouse(event.a << (m_highResolution ? 1 : 0), event.b << (m_highResolution ? 1 : 0),
                            false);
                break;
            case HeadlessScript::Verb::Resize:
                SDL_SetWindowSize(m_window, event.a, event.b);
                break;
            case HeadlessScript::Verb::Dump:
                present();
                if (!m_frame.pixels.empty()) {
                    PngWriter::write(event.text, m_frame.pixels.data(), m_frame.width, m_frame.height,
                                     m_frame.width);
                }
                break;
            case HeadlessScript::Verb::Stop:
                m_quit = true;
                break;
        }
    }
}

void SdlShell::handle(const SDL_Event& event) {
    switch (event.type) {
        case SDL_QUIT:
            m_quit = true;
            break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_EXPOSED) {
                present(true);
            }
            if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED && !m_fullscreen) {
                const int32_t w = event.window.data1;
                const int32_t h = event.window.data2;
                m_game->setSize(Launcher::gameSize(w, m_highResolution),
                                Launcher::gameSize(h, m_highResolution));
            }
            break;
        case SDL_KEYDOWN:
            handleKey(event.key, true);
            break;
        case SDL_KEYUP:
            handleKey(event.key, false);
            break;
        case SDL_TEXTINPUT:
            handleText(event.text.text);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            if (event.button.button == SDL_BUTTON_LEFT) {
                handleMouse(event.button.x, event.button.y, event.type == SDL_MOUSEBUTTONDOWN);
            }
            break;
        case SDL_CONTROLLERDEVICEADDED:
            if (!m_controller) {
                m_controller = SDL_GameControllerOpen(event.cdevice.which);
            }
            break;
        case SDL_CONTROLLERBUTTONDOWN:
        case SDL_CONTROLLERBUTTONUP:
            handleButton(event.cbutton.button, event.type == SDL_CONTROLLERBUTTONDOWN);
            break;
        default:
            if (event.type == m_wakeEvent) {
                for (const std::string& path : m_platform->takeSounds()) {
                    m_sound->play(path);
                }
            }
            break;
    }
}

void SdlShell::handleKey(const SDL_KeyboardEvent& key, bool down) {
    const SDL_Keycode code = key.keysym.sym;
    const bool alt = (key.keysym.mod & KMOD_ALT) != 0;
    if (down && (code == SDLK_F11 || (alt && (code == SDLK_RETURN || code == SDLK_KP_ENTER)))) {
        if (!key.repeat) {
            toggleFullscreen();
        }
        return;
    }
    if (down && code == SDLK_F12) {
        if (!key.repeat) {
            screenshot();
        }
        return;
    }
    const int32_t engine = engineKey(code);
    if (engine <= 0) {
        return;
    }
    if (down) {
        m_game->keyPressed(engine);
        return;
    }
    if (queuedOnRelease(code)) {
        m_game->keyPressed(engine);
    }
    m_game->keyReleased(engine);
}

void SdlShell::handleText(const char* text) {
    for (const char* c = text; *c; ++c) {
        const int32_t code = static_cast<unsigned char>(*c);
        // Digits, Enter and Escape come through their keys; codes above 127 are not keys.
        if (code >= 128 || code == 13 || code == 27 || (code >= '0' && code <= '9')) {
            continue;
        }
        m_game->keyPressed(code);
        m_game->keyReleased(code);
    }
}

void SdlShell::handleButton(uint8_t button, bool down) {
    const int32_t engine = controllerKey(button);
    if (engine <= 0) {
        return;
    }
    if (down) {
        m_game->keyPressed(engine);
    } else {
        m_game->keyReleased(engine);
    }
}

void SdlShell::handleMouse(int32_t x, int32_t y, bool down) {
    // In a window the picture is at the top-left, doubled on high-resolution screens;
    // in full screen the renderer's logical size already maps to frame-buffer pixels.
    if (!m_fullscreen && m_highResolution) {
        x >>= 1;
        y >>= 1;
    }
    m_game->setPointer(x, y);
    if (down) {
        m_game->keyPressed(5);
    } else {
        m_game->keyReleased(5);
    }
}

void SdlShell::present(bool again) {
    if ((!m_platform->takeFrame(m_frame) && !again) || m_frame.width <= 0) {
        return;
    }
    if (!m_texture || m_textureWidth != m_frame.width || m_textureHeight != m_frame.height) {
        if (m_texture) {
            SDL_DestroyTexture(m_texture);
        }
        m_texture = SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                      m_frame.width, m_frame.height);
        m_textureWidth = m_frame.width;
        m_textureHeight = m_frame.height;
        if (m_fullscreen) {
            SDL_RenderSetLogicalSize(m_renderer, m_frame.width, m_frame.height);
        }
    }
    if (!m_texture) {
        return;
    }
    SDL_UpdateTexture(m_texture, nullptr, m_frame.pixels.data(), m_frame.width * 4);
    SDL_SetRenderDrawColor(m_renderer, 0, 0, 0, 255);
    SDL_RenderClear(m_renderer);
    if (m_fullscreen) {
        SDL_RenderCopy(m_renderer, m_texture, nullptr, nullptr);
    } else {
        const int32_t factor = m_highResolution ? 2 : 1;
        const SDL_Rect target{0, 0, m_frame.width * factor, m_frame.height * factor};
        SDL_RenderCopy(m_renderer, m_texture, nullptr, &target);
    }
    SDL_RenderPresent(m_renderer);
}

void SdlShell::toggleFullscreen() {
    m_fullscreen = !m_fullscreen;
    SDL_SetWindowFullscreen(m_window, m_fullscreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    if (m_fullscreen) {
        // The game keeps its size; the picture is scaled by whole steps where it fits.
        SDL_RenderSetLogicalSize(m_renderer, m_textureWidth, m_textureHeight);
        SDL_RenderSetIntegerScale(m_renderer, SDL_TRUE);
    } else {
        SDL_RenderSetLogicalSize(m_renderer, 0, 0);
        SDL_RenderSetIntegerScale(m_renderer, SDL_FALSE);
    }
}

void SdlShell::screenshot() {
    if (m_frame.pixels.empty()) {
        return;
    }
    char name[64];
    const std::time_t now = std::time(nullptr);
    std::strftime(name, sizeof name, "fairholm-%Y%m%d-%H%M%S.png", std::localtime(&now));
    if (PngWriter::write(name, m_frame.pixels.data(), m_frame.width, m_frame.height, m_frame.width)) {
        std::printf("screenshot %s\n", name);
    }
}

}  // namespace fairholm
