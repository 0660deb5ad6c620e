#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>

#include "game/Golf.h"
#include "platform/GameSession.h"
#include "platform/SharedFrame.h"
#include "platform/ShellInput.h"
#include "platform/win32/Win32Platform.h"
#include "runtime/Ref.h"

namespace fairholm {

// The Windows program around the game: one window on the interface thread, which turns
// messages into key codes and paints the latest frame, and a game thread that runs the
// game loop. One instance per process.
class Win32Shell {
public:
    struct Options {
        // Client area of the window; 480 wide or more shows every game pixel doubled.
        int32_t windowWidth = 480;
        int32_t windowHeight = 640;
        // Behave as a Pocket PC even when the system does not say so.
        bool pocketPC = false;
        // The handset game without the desktop comforts.
        bool classic = false;
        // Records the game into replays\ in the save folder (ReplayLibrary).
        bool record = true;
    };

    Win32Shell(HINSTANCE instance, const Options& options);
    ~Win32Shell();
    Win32Shell(const Win32Shell&) = delete;
    Win32Shell& operator=(const Win32Shell&) = delete;

    // Start-up, the game thread and the message loop; the exit code. A second start
    // brings the running window to the front and answers 0 at once.
    int run(int showCommand);

private:
    bool initInstance(int showCommand);
    LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void paint(HWND window);
    bool stopGame();

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    static Win32Shell* s_shell;

    const HINSTANCE m_instance;
    const Options m_options;
    wchar_t m_title[100] = {};
    wchar_t m_windowClass[100] = {};
    HWND m_mainWindow = nullptr;
    bool m_isPocketPC = false;
    bool m_isHighResolution = false;
    int32_t m_screenWidth = 0;
    int32_t m_screenHeight = 0;
    Ref<Win32Platform> m_platform;
    std::unique_ptr<GameSession> m_session;
    Golf* m_game = nullptr;  // the session's
    ShellInput m_input;
    SharedFrame::Frame m_frame;
};

}  // namespace fairholm
