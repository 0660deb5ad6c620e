#include "platform/web/WebShell.h"

#include <emscripten.h>

#include <cstdio>
#include <cstring>

#include "platform/ReplayLibrary.h"
#include "platform/web/WebClock.h"
#include "runtime/Runtime.h"

namespace fairholm {

namespace {

const char* const canvas = "#canvas";

}  // namespace

WebShell::~WebShell() {
    m_game = nullptr;
    m_session.reset();
    Runtime::setClock(nullptr);
}

int WebShell::run() {
    Runtime::setClock(make<WebClock>([this] { beforeSleep(); }));
    m_platform = make<WebPlatform>(m_options.pocketPC, "/save/");
    Ref<Journal> recorder;
    if (m_options.record) {
        recorder = ReplayLibrary(m_platform->saveDirectory()).startRecording(m_platform);
    }
    m_session = std::make_unique<GameSession>(m_platform, m_options.width, m_options.height, recorder);
    m_game = &m_session->game();
    m_game->setComfort(!m_options.classic);

    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, true, onKeyDown);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, true, onKeyUp);
    emscripten_set_mousedown_callback(canvas, this, true, onMouseDown);
    emscripten_set_mouseup_callback(canvas, this, true, onMouseUp);
    // A button let go outside the canvas lifts the stylus where it touched.
    emscripten_set_mouseup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, this, false, onMouseUpOutside);
    emscripten_set_touchstart_callback(canvas, this, true, onTouchStart);
    emscripten_set_touchend_callback(canvas, this, true, onTouchEnd);
    emscripten_set_touchcancel_callback(canvas, this, true, onTouchEnd);

    m_session->runHere();
    present();
    EM_ASM(Module.fairholmEnded && Module.fairholmEnded());
    return 0;
}

void WebShell::beforeSleep() {
    present();
    playSounds();
    pollGamepads();
    ++m_sleeps;
}

void WebShell::pollGamepads() {
    // The browser tells of gamepads only when sampled; a pad's buttons are compared with
    // how they were at the last sleep.
    if (emscripten_sample_gamepad_data() != EMSCRIPTEN_RESULT_SUCCESS) {
        return;
    }
    const int count = emscripten_get_num_gamepads();
    for (int pad = 0; pad < count && pad < maxGamepads; ++pad) {
        EmscriptenGamepadEvent state;
        if (emscripten_get_gamepad_status(pad, &state) != EMSCRIPTEN_RESULT_SUCCESS || !state.connected) {
            continue;
        }
        uint32_t& held = m_gamepadButtons[pad];
        for (int b = 0; b < state.numButtons && b < 32; ++b) {
            const bool down = state.digitalButton[b] != 0;
            const uint32_t bit = 1u << b;
            if (down != ((held & bit) != 0)) {
                held ^= bit;
                m_input.button(*m_game, KeyTable::Host::Web, b, down);
            }
        }
    }
}

void WebShell::present() {
    if (!m_game || !m_platform->takeDirty()) {
        return;
    }
    const IntArray& pixels = m_game->backBuffer();
    const int32_t width = m_game->getWidth();
    const int32_t height = m_game->getHeight();
    if (width <= 0 || height <= 0 || pixels.length() < width * height) {
        return;
    }
    // 0x..RRGGBB words (the top byte is the engine's depth tag) into RGBA bytes.
    m_rgba.resize(static_cast<size_t>(width) * height * 4);
    const int32_t* from = pixels.data();
    uint8_t* to = m_rgba.data();
    for (int32_t i = 0; i < width * height; ++i, to += 4) {
        const uint32_t p = static_cast<uint32_t>(from[i]);
        to[0] = static_cast<uint8_t>(p >> 16);
        to[1] = static_cast<uint8_t>(p >> 8);
        to[2] = static_cast<uint8_t>(p);
        to[3] = 0xFF;
    }
    EM_ASM(
        {
            var c = Module.canvas;
            if (c.width != $1 || c.height != $2) {
                c.width = $1;
                c.height = $2;
                if (Module.fairholmLayout)
                    Module.fairholmLayout();
            }
            var ctx = Module.fairholmContext || (Module.fairholmContext = c.getContext('2d'));
            ctx.putImageData(new ImageData(new Uint8ClampedArray(HEAPU8.buffer, $0, $1 * $2 * 4), $1, $2), 0,
                             0);
            Module.fairholmFrames = (Module.fairholmFrames || 0) + 1;
        },
        m_rgba.data(), width, height);
}

void WebShell::playSounds() {
    for (const std::string& path : m_platform->takeSounds()) {
        EM_ASM(
            {
                if (Module.fairholmSound)
                    Module.fairholmSound(UTF8ToString($0));
            },
            path.c_str());
    }
}

void WebShell::describe(char* line, size_t size) const {
    if (m_game) {
        std::snprintf(line, size, "state=%d hole=%d strokes=%d sound=%d sleeps=%u", m_game->state(),
                      m_game->holeIndex() + 1, m_game->strokes(), m_game->soundOff() ? 0 : 1, m_sleeps);
    }
}

void WebShell::keypad(int32_t engineKey, bool down) {
    if (!m_game || engineKey <= 0) {
        return;
    }
    if (down) {
        m_game->keyPressed(engineKey);
    } else {
        m_game->keyReleased(engineKey);
    }
}

bool WebShell::key(const EmscriptenKeyboardEvent& event, bool down) {
    if (!m_game || event.ctrlKey || event.metaKey || event.altKey) {
        return false;  // the browser's own shortcuts
    }
    const int32_t tableKey = KeyTable::webKey(event.code);
    if (tableKey >= 0) {
        if (down) {
            m_input.keyDown(*m_game, KeyTable::Host::Web, tableKey);
        } else {
            m_input.keyUp(*m_game, KeyTable::Host::Web, tableKey);
        }
        return true;
    }
    // '#', '*', space and letters arrive as the characters they type.
    const size_t length = std::strlen(event.key);
    if (length == 1 && static_cast<unsigned char>(event.key[0]) >= 0x20 &&
        static_cast<unsigned char>(event.key[0]) < 0x7F) {
        if (down && !event.repeat) {
            ShellInput::character(*m_game, static_cast<uint8_t>(event.key[0]));
        }
        return true;
    }
    return false;
}

void WebShell::stylusAt(double x, double y, bool down) {
    double cssWidth = 0;
    double cssHeight = 0;
    emscripten_get_element_css_size(canvas, &cssWidth, &cssHeight);
    const int32_t width = m_game->getWidth();
    const int32_t height = m_game->getHeight();
    if (cssWidth <= 0 || cssHeight <= 0) {
        return;
    }
    m_stylusX = static_cast<int32_t>(x * width / cssWidth);
    m_stylusY = static_cast<int32_t>(y * height / cssHeight);
    ShellInput::stylus(*m_game, m_stylusX, m_stylusY, down);
}

bool WebShell::mouse(const EmscriptenMouseEvent& event, bool down) {
    if (!m_game || event.button != 0 || down == m_stylusDown) {
        return false;
    }
    m_stylusDown = down;
    stylusAt(event.targetX, event.targetY, down);
    return true;
}

bool WebShell::touch(const EmscriptenTouchEvent& event, bool down) {
    if (!m_game) {
        return false;
    }
    for (int i = 0; i < event.numTouches; ++i) {
        const EmscriptenTouchPoint& point = event.touches[i];
        if (point.isChanged && down != m_stylusDown) {
            m_stylusDown = down;
            stylusAt(point.targetX, point.targetY, down);
            break;
        }
    }
    // Handled: no mouse events are made up from the touch.
    return true;
}

EM_BOOL WebShell::onKeyDown(int, const EmscriptenKeyboardEvent* event, void* shell) {
    return static_cast<WebShell*>(shell)->key(*event, true);
}
EM_BOOL WebShell::onKeyUp(int, const EmscriptenKeyboardEvent* event, void* shell) {
    return static_cast<WebShell*>(shell)->key(*event, false);
}
EM_BOOL WebShell::onMouseDown(int, const EmscriptenMouseEvent* event, void* shell) {
    return static_cast<WebShell*>(shell)->mouse(*event, true);
}
EM_BOOL WebShell::onMouseUp(int, const EmscriptenMouseEvent* event, void* shell) {
    return static_cast<WebShell*>(shell)->mouse(*event, false);
}
EM_BOOL WebShell::onMouseUpOutside(int, const EmscriptenMouseEvent* event, void* shell) {
    auto& self = *static_cast<WebShell*>(shell);
    if (event->button != 0 || !self.m_stylusDown || !self.m_game) {
        return false;
    }
    self.m_stylusDown = false;
    ShellInput::stylus(*self.m_game, self.m_stylusX, self.m_stylusY, false);
    return false;
}
EM_BOOL WebShell::onTouchStart(int, const EmscriptenTouchEvent* event, void* shell) {
    return static_cast<WebShell*>(shell)->touch(*event, true);
}
EM_BOOL WebShell::onTouchEnd(int, const EmscriptenTouchEvent* event, void* shell) {
    return static_cast<WebShell*>(shell)->touch(*event, false);
}

}  // namespace fairholm
