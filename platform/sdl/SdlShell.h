#pragma once

#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "game/Golf.h"
#include "game/ReplayPlayer.h"
#include "game/ReplayReader.h"
#include "game/ReplayRecorder.h"
#include "platform/GameSession.h"
#include "platform/KeyBindings.h"
#include "platform/ShellInput.h"
#include "platform/SingleInstance.h"
#include "platform/WindowScale.h"
#include "platform/headless/HeadlessScript.h"
#include "platform/sdl/SdlPlatform.h"
#include "platform/sdl/SdlSound.h"
#include "runtime/Ref.h"

namespace fairholm {

// The desktop shell: the main thread owns the window, the events and the presentation;
// a second thread runs the game loop.
//
// The window shows the game as WindowScale works it out: by default the game keeps the
// size the first window asked for and is enlarged by whole steps, centred (Fit); with a
// scale it is the window's size divided by it (Fixed); classic is the handset's way
// (TopLeft). The desktop comforts of the game are on unless classic.
class SdlShell {
public:
    struct Options {
        int32_t windowWidth = 480;
        int32_t windowHeight = 640;
        bool pocketPC = false;
        bool fullscreen = false;
        // The handset game as designed: no comforts, the game's size follows the window.
        bool classic = false;
        // Shows the game at exactly this factor (1 to 8); 0 fits the window by whole steps.
        int32_t scale = 0;
        // Prints the play (state, strokes, club, aim, power) on standard output.
        bool logStrokes = false;
        // Where the window's size is remembered when the program ends; empty: nowhere.
        std::string windowConfig;
        // The player's keys and buttons on top of the key table (SDL codes).
        KeyBindings bindings{KeyTable::Host::Sdl};
        // Input played from a script on the interface thread (times in real ms), and an
        // optional time after which the shell closes itself: for tests.
        HeadlessScript script;
        uint32_t quitAfter = 0;
        // Asks to bring the window to the front when another start was refused (borrowed).
        SingleInstance* instance = nullptr;
        // Records the game into the replay library in the save folder (ReplayLibrary).
        bool record = true;
        // Plays this recording back instead of a game: its size, device and comforts.
        std::shared_ptr<ReplayReader> replay;
    };

    explicit SdlShell(Options options);
    ~SdlShell();
    SdlShell(const SdlShell&) = delete;
    SdlShell& operator=(const SdlShell&) = delete;

    // Runs until the window closes or the game ends the program; the exit code.
    int run();

private:
    bool createWindow();
    void handle(const SDL_Event& event);
    void handleKey(const SDL_KeyboardEvent& key, bool down);
    void handleText(const char* text);
    void handleButton(uint8_t button, bool down);
    void handleMouse(int32_t x, int32_t y, bool down);
    // Shows the latest frame; `again` redraws the last one even when no new frame came.
    void present(bool again = false);
    void toggleFullscreen();
    void screenshot();
    void playScript(uint32_t elapsed);
    WindowScale::Size windowSize() const;
    WindowScale::Size frameSize() const { return {m_frame.width, m_frame.height}; }
    void windowResized(int32_t width, int32_t height);
    void rememberWindowSize();
    // The journal of the game: a recorder into the replay library, a player, or none.
    Ref<Journal> makeJournal();
    // Game thread, when the loop has ended.
    void gameEnded();
    // The window's title during a playback: where it is and how it runs.
    void showReplayStatus();

    Options m_options;
    uint32_t m_wakeEvent = 0;
    SDL_Window* m_window = nullptr;
    SDL_Renderer* m_renderer = nullptr;
    SDL_Texture* m_texture = nullptr;
    int32_t m_textureWidth = 0;
    int32_t m_textureHeight = 0;
    bool m_highResolution = false;
    WindowScale m_scale = WindowScale::topLeft(false);
    WindowScale::Size m_gameSize;  // the size last asked of the game
    bool m_stylusDown = false;     // a press on the picture waits for its release
    bool m_swallowText = false;    // the last key pressed was a bound one: not its character
    bool m_fullscreen = false;
    bool m_quit = false;
    size_t m_nextScriptEvent = 0;
    SDL_GameController* m_controller = nullptr;
    ShellInput m_input;

    Ref<ReplayRecorder> m_recorder;
    Ref<ReplayPlayer> m_player;
    std::string m_recordingPath;
    std::atomic<bool> m_replayOver{false};
    bool m_replayReported = false;
    std::string m_title;

    Ref<SdlPlatform> m_platform;
    std::unique_ptr<GameSession> m_session;
    Golf* m_game = nullptr;  // the session's
    std::unique_ptr<SdlSound> m_sound;
    SdlPlatform::Frame m_frame;
};

}  // namespace fairholm
