#include "platform/sdl/SdlShell.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>

#include "engine/sprite/EngineKey.h"
#include "platform/Launcher.h"
#include "platform/PngWriter.h"
#include "platform/ShellInput.h"

namespace fairholm {

namespace {

// The key table's SDL column, checked against SDL's own constants.
bool tableMatchesSdl() {
    const struct {
        const char* name;
        SDL_Keycode code;
    } keys[] = {{"Left", SDLK_LEFT},    {"Right", SDLK_RIGHT},  {"Up", SDLK_UP},
                {"Down", SDLK_DOWN},    {"Enter", SDLK_RETURN}, {"KeypadEnter", SDLK_KP_ENTER},
                {"F1", SDLK_F1},        {"F2", SDLK_F2},        {"Escape", SDLK_ESCAPE},
                {"0", SDLK_0},          {"9", SDLK_9},          {"Keypad0", SDLK_KP_0},
                {"Keypad1", SDLK_KP_1}, {"Keypad9", SDLK_KP_9}};
    for (const auto& key : keys) {
        const KeyTable::Row* row = KeyTable::find(KeyTable::Host::Sdl, key.code);
        if (!row || std::strcmp(row->name, key.name) != 0) {
            return false;
        }
    }
    return KeyTable::buttonKey(KeyTable::Host::Sdl, SDL_CONTROLLER_BUTTON_DPAD_LEFT) == key::left &&
           KeyTable::buttonKey(KeyTable::Host::Sdl, SDL_CONTROLLER_BUTTON_START) == key::action &&
           KeyTable::buttonKey(KeyTable::Host::Sdl, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER) == '3';
}

}  // namespace

SdlShell::SdlShell(Options options) : m_options(std::move(options)) {}

SdlShell::~SdlShell() {
    m_session.reset();
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
    if (!tableMatchesSdl()) {
        std::fprintf(stderr, "fairholm: the key table does not match this SDL\n");
        return 1;
    }
    if (!createWindow()) {
        return 1;
    }
    m_wakeEvent = SDL_RegisterEvents(1);
    m_sound = std::make_unique<SdlSound>();
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(m_window, &width, &height);
    m_highResolution = GameSession::isHighResolution(width);
    m_platform = make<SdlPlatform>(m_options.pocketPC, m_highResolution, m_wakeEvent);
    m_platform->setSaveDirectory(Launcher::chooseSaveDirectory());
    m_session = std::make_unique<GameSession>(m_platform, width, height);
    m_game = &m_session->game();
    m_platform->setGame(m_game);
    SDL_StartTextInput();
    if (m_options.fullscreen) {
        toggleFullscreen();
    }

    const bool started = m_session->start([] {
        // The loop ends when the game asked to close; make sure the window hears it.
        SDL_Event quit{};
        quit.type = SDL_QUIT;
        SDL_PushEvent(&quit);
    });
    if (!started) {
        std::fprintf(stderr, "fairholm: cannot start the game thread\n");
        return 1;
    }

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
    m_session->stop();
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
                m_game->setSize(GameSession::gameSize(w, m_highResolution),
                                GameSession::gameSize(h, m_highResolution));
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
    if (down) {
        m_input.keyDown(*m_game, KeyTable::Host::Sdl, code);
    } else {
        m_input.keyUp(*m_game, KeyTable::Host::Sdl, code);
    }
}

void SdlShell::handleText(const char* text) {
    for (const char* c = text; *c; ++c) {
        ShellInput::character(*m_game, static_cast<unsigned char>(*c));
    }
}

void SdlShell::handleButton(uint8_t button, bool down) {
    ShellInput::button(*m_game, KeyTable::Host::Sdl, button, down);
}

void SdlShell::handleMouse(int32_t x, int32_t y, bool down) {
    // In a window the picture is at the top-left, doubled on high-resolution screens;
    // in full screen the renderer's logical size already maps to frame-buffer pixels.
    if (!m_fullscreen && m_highResolution) {
        x >>= 1;
        y >>= 1;
    }
    ShellInput::stylus(*m_game, x, y, down);
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
