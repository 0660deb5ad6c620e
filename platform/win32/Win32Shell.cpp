#include "platform/win32/Win32Shell.h"

#include <aclapi.h>
#include <shlobj.h>

#include <cwchar>
#include <string>

#include "platform/ReplayLibrary.h"
#include "platform/ShellInput.h"
#include "platform/win32/Resources.h"
#include "platform/win32/WindowInput.h"
#include "runtime/ProgramDirectory.h"

namespace fairholm {

namespace {

// The platform-type query of handheld systems; desktop Windows answers false.
constexpr UINT platformTypeQuery = 257;

// How long the end of the program waits for the game loop to finish its frame.
constexpr DWORD gameStopTimeout = 10000;

// The runtime opens its files with narrow paths in the program's code page; the
// executable's own path is turned into one. False when the program's folder cannot be
// named that way (too long, or not in the code page): the program then does not start,
// rather than read and write another folder.
bool setProgramDirectory() {
    wchar_t module[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, module, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return false;
    }
    char narrow[MAX_PATH * 2];
    BOOL lossy = FALSE;
    if (WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, module, -1, narrow, sizeof narrow, nullptr,
                            &lossy) <= 0 ||
        lossy) {
        return false;
    }
    return ProgramDirectory::setFromExecutablePath(narrow);
}

// Whether the running user owns the folder (an installed game's folder belongs to the
// system or the administrators).
bool ownedByUser(const char* folder) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoA(folder, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                              nullptr, &descriptor) != ERROR_SUCCESS) {
        return false;
    }
    bool same = false;
    HANDLE token = nullptr;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        alignas(TOKEN_USER) BYTE buffer[256];
        DWORD size = 0;
        if (GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size)) {
            same = EqualSid(owner, reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid) != FALSE;
        }
        CloseHandle(token);
    }
    LocalFree(descriptor);
    return same;
}

// Whether a file can be made in the folder (tried, and gone at once).
bool writable(const std::string& folder) {
    const std::string probe = folder + "fairholm-write-test.tmp";
    const HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

// The folder for the saved state, as on the desktop: beside the game when its folder is
// the user's own, writable and no installation (no file "installed" in it); else the
// user's application-data folder, %APPDATA%\fairholm\. Empty: beside the game.
std::string chooseSaveDirectory() {
    const std::string program = ProgramDirectory::get();
    const std::string folder = program.empty() ? std::string(".\\") : program;
    if (ownedByUser(folder.c_str()) && writable(folder) &&
        GetFileAttributesA((folder + "installed").c_str()) == INVALID_FILE_ATTRIBUTES) {
        return "";
    }
    char appData[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT,
                                appData))) {
        return "";
    }
    const std::string saves = std::string(appData) + "\\fairholm\\";
    CreateDirectoryA(saves.c_str(), nullptr);
    return saves;
}

bool systemSaysPocketPC() {
    wchar_t platform[MAX_PATH] = {};
    return SystemParametersInfoW(platformTypeQuery, MAX_PATH, platform, 0) &&
           std::wcscmp(platform, L"PocketPC") == 0;
}

}  // namespace

Win32Shell* Win32Shell::s_shell = nullptr;

Win32Shell::Win32Shell(HINSTANCE instance, const Options& options)
    : m_instance(instance), m_options(options) {
    s_shell = this;
}

Win32Shell::~Win32Shell() {
    stopGame();
    s_shell = nullptr;
}

int Win32Shell::run(int showCommand) {
    if (!setProgramDirectory()) {
        MessageBoxW(
            nullptr,
            L"The path of the game's folder is too long or has characters this system cannot pass on. "
            L"Move the game to a shorter path.",
            L"Greenvale", MB_OK | MB_ICONERROR);
        return 2;
    }
    m_isPocketPC = m_options.pocketPC || systemSaysPocketPC();
    if (!initInstance(showCommand)) {
        return 0;
    }
    m_platform = make<Win32Platform>(m_mainWindow, m_isPocketPC, m_isHighResolution);
    m_platform->setSaveDirectory(chooseSaveDirectory());
    Ref<Journal> recorder;
    if (m_options.record) {
        const char* saveFolder = m_platform->saveDirectory();
        recorder =
            ReplayLibrary(saveFolder ? saveFolder : ProgramDirectory::get()).startRecording(m_platform);
    }
    m_session = std::make_unique<GameSession>(m_platform, m_screenWidth, m_screenHeight, recorder);
    m_game = &m_session->game();
    m_game->setComfort(!m_options.classic);
    m_platform->setGame(m_game);

    // The loop ends when the player left the game: make sure the window closes.
    const HWND window = m_mainWindow;
    if (!m_session->start([window] { PostMessageW(window, WM_CLOSE, 0, 0); })) {
        DestroyWindow(m_mainWindow);
    }

    const HACCEL accelerators = LoadAcceleratorsW(m_instance, MAKEINTRESOURCEW(IDR_ACCELERATORS));
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!accelerators || !TranslateAcceleratorW(message.hwnd, accelerators, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    const int exitCode = static_cast<int>(message.wParam);
    if (!stopGame()) {
        // The game loop is stuck inside a frame: end the process without taking the
        // game apart under its feet.
        ExitProcess(static_cast<UINT>(exitCode));
    }
    return exitCode;
}

bool Win32Shell::initInstance(int showCommand) {
    LoadStringW(m_instance, IDS_TITLE, m_title, 100);
    LoadStringW(m_instance, IDS_CLASS, m_windowClass, 100);

    // One instance: a second start brings the first window to the front and ends.
    if (const HWND running = FindWindowW(m_windowClass, m_title)) {
        if (IsIconic(running)) {
            ShowWindow(running, SW_RESTORE);
        }
        SetForegroundWindow(running);
        m_mainWindow = running;
        return false;
    }

    WNDCLASSW windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = m_instance;
    windowClass.hIcon = LoadIconW(m_instance, MAKEINTRESOURCEW(IDI_FAIRHOLM));
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = m_windowClass;
    if (!RegisterClassW(&windowClass)) {
        return false;
    }

    // A desktop window with a frame whose client area has the handheld's screen size.
    const DWORD style = WS_VISIBLE | WS_OVERLAPPEDWINDOW;
    RECT frame{0, 0, m_options.windowWidth, m_options.windowHeight};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    m_mainWindow = CreateWindowExW(0, m_windowClass, m_title, style, CW_USEDEFAULT, CW_USEDEFAULT,
                                   frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                   m_instance, nullptr);
    if (!m_mainWindow) {
        return false;
    }

    RECT client{};
    GetClientRect(m_mainWindow, &client);
    m_screenWidth = client.right - client.left;
    m_screenHeight = client.bottom - client.top;
    m_isHighResolution = m_screenWidth >= 480;

    ShowWindow(m_mainWindow, showCommand);
    UpdateWindow(m_mainWindow);
    return true;
}

LRESULT CALLBACK Win32Shell::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!s_shell) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return s_shell->handle(window, message, wParam, lParam);
}

LRESULT Win32Shell::handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Golf* const game = m_game;
    switch (message) {
        case WM_CREATE:
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_SIZE:
            if (wParam == SIZE_MINIMIZED) {
                return 0;  // the game keeps its size while the window is an icon
            }
            m_screenWidth = WindowInput::packedLow(static_cast<uintptr_t>(lParam));
            m_screenHeight = WindowInput::packedHigh(static_cast<uintptr_t>(lParam));
            if (game) {
                WindowInput::resize(*game, m_screenWidth, m_screenHeight, m_isHighResolution);
            }
            return 0;
        case WM_PAINT:
            paint(window);
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the picture covers the window: nothing is erased
        case WM_KEYDOWN:
            if (game) {
                m_input.keyDown(*game, KeyTable::Host::Win32, static_cast<int32_t>(wParam));
            }
            return 0;
        case WM_KEYUP:
            if (game) {
                m_input.keyUp(*game, KeyTable::Host::Win32, static_cast<int32_t>(wParam));
            }
            return 0;
        case WM_CHAR:
            if (game) {
                ShellInput::character(*game, static_cast<uint32_t>(wParam));
            }
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
            if (game) {
                WindowInput::button(*game, static_cast<uintptr_t>(lParam), m_isHighResolution,
                                    message == WM_LBUTTONDOWN);
            }
            return 0;
        default:
            // Activation, setting changes, the accelerators' commands and everything
            // else: a desktop has no handheld shell to tell.
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

// The whole latest frame at every paint: 1:1 at the top-left corner, or stretched over
// the window on high-resolution screens.
void Win32Shell::paint(HWND window) {
    PAINTSTRUCT paintStruct;
    const HDC dc = BeginPaint(window, &paintStruct);
    if (m_game && dc) {
        m_platform->frame().take(m_frame);
        const int32_t width = m_frame.width;
        const int32_t height = m_frame.height;
        if (width > 0 && height > 0) {
            BITMAPINFO header{};
            header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
            header.bmiHeader.biWidth = width;
            header.bmiHeader.biHeight = -height;  // rows top-down
            header.bmiHeader.biPlanes = 1;
            header.bmiHeader.biBitCount = 32;
            header.bmiHeader.biCompression = BI_RGB;
            if (m_isHighResolution) {
                StretchDIBits(dc, 0, 0, m_screenWidth, m_screenHeight, 0, 0, width, height,
                              m_frame.pixels.data(), &header, DIB_RGB_COLORS, SRCCOPY);
            } else {
                SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                                  static_cast<UINT>(height), m_frame.pixels.data(), &header, DIB_RGB_COLORS);
            }
        }
    }
    EndPaint(window, &paintStruct);
}

// Stops the game loop, waits for its thread and takes the game apart; false when the
// thread did not end in time (the game is then left alone).
bool Win32Shell::stopGame() {
    if (m_session && !m_session->stop(gameStopTimeout)) {
        return false;
    }
    m_game = nullptr;
    m_session.reset();
    m_platform = nullptr;
    return true;
}

}  // namespace fairholm
