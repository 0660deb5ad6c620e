#include "platform/sdl/SdlShell.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>

#include "engine/sprite/EngineKey.h"
#include "platform/Launcher.h"
#include "platform/PngWriter.h"
#include "platform/ReplayLibrary.h"
#include "platform/ShellInput.h"
#include "platform/StrokeLog.h"
#include "platform/WindowConfig.h"
#include "runtime/ProgramDirectory.h"
#include "runtime/Runtime.h"

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
    if (m_options.replay) {
        m_options.pocketPC = m_options.replay->header().pocketPC();
    }
    m_platform = make<SdlPlatform>(m_options.pocketPC, m_highResolution, m_wakeEvent);
    m_platform->setSaveDirectory(Launcher::chooseSaveDirectory());
    m_platform->setStrokeLog(m_options.logStrokes);
    m_platform->keepWindowOnExit(m_options.replay != nullptr);
    const WindowScale::Size window{width, height};
    Ref<Journal> journal = makeJournal();
    if (m_options.replay) {
        // The game has the recorded size whatever the window; the picture fits it.
        const ReplayFormat::Header& header = m_options.replay->header();
        m_scale = WindowScale::fit(window);
        m_gameSize = {header.width, header.height};
        m_session = std::make_unique<GameSession>(m_platform, m_gameSize, m_highResolution, journal);
    } else if (m_options.classic) {
        m_scale = WindowScale::topLeft(m_highResolution);
        m_gameSize = WindowScale::firstGameSize(window);
        m_session = std::make_unique<GameSession>(m_platform, width, height, journal);
    } else {
        m_scale = m_options.scale > 0 ? WindowScale::fixed(m_options.scale) : WindowScale::fit(window);
        m_gameSize = m_scale.gameSize(window, WindowScale::firstGameSize(window));
        m_session = std::make_unique<GameSession>(m_platform, m_gameSize, m_highResolution, journal);
    }
    m_game = &m_session->game();
    m_game->setComfort(m_options.replay ? m_options.replay->header().comfort() : !m_options.classic);
    m_platform->setGame(m_game);
    m_input.setBindings(m_options.bindings);
    SDL_StartTextInput();
    if (m_options.fullscreen) {
        toggleFullscreen();
    }

    const bool started = m_session->start([this] { gameEnded(); });
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
        if (m_player) {
            showReplayStatus();
        }
        const uint32_t elapsed = SDL_GetTicks() - start;
        playScript(elapsed);
        if (m_options.quitAfter != 0 && elapsed >= m_options.quitAfter) {
            m_quit = true;
        }
        present();
    }
    m_session->stop();
    if (m_player) {
        m_replayOver.store(true, std::memory_order_release);
        showReplayStatus();  // says how it ended, when the window closed first
    }
    rememberWindowSize();
    return m_player && m_player->outcome() == ReplayPlayer::Outcome::Diverged ? 1 : 0;
}

Ref<Journal> SdlShell::makeJournal() {
    if (m_options.replay) {
        m_player = make<ReplayPlayer>(Runtime::currentClock(), *m_options.replay, true);
        return m_player;
    }
    if (!m_options.record) {
        return nullptr;
    }
    const char* saveFolder = m_platform->saveDirectory();
    const ReplayLibrary library(saveFolder ? saveFolder : ProgramDirectory::get());
    m_recorder = library.startRecording(m_platform, &m_recordingPath);
    if (!m_recorder) {
        std::fprintf(stderr, "fairholm: cannot keep recordings in %s; this game is not recorded\n",
                     library.folder().c_str());
    }
    return m_recorder;
}

void SdlShell::gameEnded() {
    if (m_options.logStrokes) {
        const uint32_t time = m_player ? m_player->elapsed() : m_recorder ? m_recorder->elapsed() : 0;
        std::printf("%s\n", StrokeLog::endLine(*m_game, time).c_str());
        if (m_recorder && m_recorder->strokes() > 0) {
            std::printf("recording %s\n", m_recordingPath.c_str());
        }
        std::fflush(stdout);
    }
    if (m_player) {
        // A playback's last frame stays up until the viewer closes it.
        m_replayOver.store(true, std::memory_order_release);
        SDL_Event wake{};
        wake.type = m_wakeEvent;
        SDL_PushEvent(&wake);
        return;
    }
    // The loop ends when the game asked to close; make sure the window hears it.
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
}

void SdlShell::showReplayStatus() {
    const bool over = m_replayOver.load(std::memory_order_acquire);
    std::string title = "Greenvale - replay";
    if (over && m_player->outcome() == ReplayPlayer::Outcome::Stopped && !m_replayReported) {
        m_quit = true;  // the viewer stopped it: the window goes with it
    }
    if (over) {
        title += " ended (any key closes)";
        if (!m_replayReported) {
            m_replayReported = true;
            std::printf("replay %s after %d strokes: %s\n",
                        m_player->outcome() == ReplayPlayer::Outcome::Diverged ? "failed" : "ended",
                        m_player->strokesPlayed(), m_player->message().c_str());
            std::fflush(stdout);
        }
    } else {
        title += ", stroke " + std::to_string(m_player->strokesPlayed() + 1);
        if (m_player->paused()) {
            title += ", paused";
        }
        const int32_t speed = m_player->speed();
        if (speed != 1) {
            title += speed > 0 ? ", 4x" : ", 1/4 speed";
        }
    }
    if (title != m_title) {
        m_title = title;
        SDL_SetWindowTitle(m_window, m_title.c_str());
    }
}

void SdlShell::rememberWindowSize() {
    if (m_options.windowConfig.empty() || m_fullscreen) {
        return;
    }
    const WindowScale::Size window = windowSize();
    WindowConfig::save(m_options.windowConfig, window.width, window.height);
}

WindowScale::Size SdlShell::windowSize() const {
    int width = 0;
    int height = 0;
    SDL_GetWindowSize(m_window, &width, &height);
    return {width, height};
}

void SdlShell::windowResized(int32_t width, int32_t height) {
    if (m_options.classic) {
        if (!m_fullscreen) {
            m_game->setSize(GameSession::gameSize(width, m_highResolution),
                            GameSession::gameSize(height, m_highResolution));
        }
        return;
    }
    const WindowScale::Size size = m_scale.gameSize({width, height}, m_gameSize, m_fullscreen);
    if (!(size == m_gameSize)) {
        m_gameSize = size;
        m_game->setSize(size.width, size.height);
    }
    // The picture moves (or is enlarged) even when the game keeps its size.
    present(true);
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
                if (m_options.classic) {
                    handleMouse(event.a << (m_highResolution ? 1 : 0), event.b << (m_highResolution ? 1 : 0),
                                true);
                    handleMouse(event.a << (m_highResolution ? 1 : 0), event.b << (m_highResolution ? 1 : 0),
                                false);
                } else {
                    int32_t x = event.a;
                    int32_t y = event.b;
                    m_scale.toWindow(windowSize(), frameSize(), x, y);
                    handleMouse(x, y, true);
                    handleMouse(x, y, false);
                }
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
            if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
                windowResized(event.window.data1, event.window.data2);
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
    if (down && m_replayOver.load(std::memory_order_acquire)) {
        m_quit = true;
        return;
    }
    const bool alt = (key.keysym.mod & KMOD_ALT) != 0;
    if (down) {
        // A bound key's character (Space, a letter) is not the game's: the key is.
        m_swallowText = m_input.isBound(KeyTable::Host::Sdl, code);
    }
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
    if (m_swallowText) {
        m_swallowText = false;
        return;
    }
    for (const char* c = text; *c; ++c) {
        ShellInput::character(*m_game, static_cast<unsigned char>(*c));
    }
}

void SdlShell::handleButton(uint8_t button, bool down) {
    m_input.button(*m_game, KeyTable::Host::Sdl, button, down);
}

void SdlShell::handleMouse(int32_t x, int32_t y, bool down) {
    if (m_options.classic) {
        // In a window the picture is at the top-left, doubled on high-resolution screens;
        // in full screen the renderer's logical size already maps to frame-buffer pixels.
        if (!m_fullscreen && m_highResolution) {
            x >>= 1;
            y >>= 1;
        }
        ShellInput::stylus(*m_game, x, y, down);
        return;
    }
    // A press on a black bar is no tap; the release of a press on the picture always
    // reaches the game (at the picture's nearest pixel), so the stylus is never left down.
    if (m_frame.width <= 0) {
        return;
    }
    const bool inside = m_scale.toGame(windowSize(), frameSize(), x, y);
    if (down) {
        if (!inside) {
            return;
        }
        m_stylusDown = true;
    } else if (!m_stylusDown) {
        return;
    } else {
        m_stylusDown = false;
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
        if (m_fullscreen && m_options.classic) {
            SDL_RenderSetLogicalSize(m_renderer, m_frame.width, m_frame.height);
        }
    }
    if (!m_texture) {
        return;
    }
    SDL_UpdateTexture(m_texture, nullptr, m_frame.pixels.data(), m_frame.width * 4);
    SDL_SetRenderDrawColor(m_renderer, 0, 0, 0, 255);
    SDL_RenderClear(m_renderer);
    if (!m_options.classic) {
        const WindowScale::Rect picture = m_scale.picture(windowSize(), frameSize());
        const SDL_Rect target{picture.x, picture.y, picture.width, picture.height};
        SDL_RenderCopy(m_renderer, m_texture, nullptr, &target);
    } else if (m_fullscreen) {
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
    if (!m_options.classic) {
        // WindowScale places the picture on the screen as in a window: whole steps.
        const WindowScale::Size window = windowSize();
        windowResized(window.width, window.height);
    } else if (m_fullscreen) {
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
    char stamp[64];
    const std::time_t now = std::time(nullptr);
    std::strftime(stamp, sizeof stamp, "fairholm-%Y%m%d-%H%M%S", std::localtime(&now));
    // Shots within the same second get a number rather than replacing each other.
    std::string name = std::string(stamp) + ".png";
    struct stat existing {};
    for (int n = 2; ::stat(name.c_str(), &existing) == 0 && n < 1000; ++n) {
        name = std::string(stamp) + "-" + std::to_string(n) + ".png";
    }
    if (PngWriter::write(name.c_str(), m_frame.pixels.data(), m_frame.width, m_frame.height, m_frame.width)) {
        std::printf("screenshot %s\n", name.c_str());
        std::fflush(stdout);
    }
}

}  // namespace fairholm
