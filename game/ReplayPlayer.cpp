#include "game/ReplayPlayer.h"

#include "engine/sprite/EngineKey.h"
#include "game/Golf.h"

namespace fairholm {

namespace {

// A real-time playback that falls this far behind starts its pace afresh rather than
// rushing to catch up; a recorded pause longer than this is shortened to it.
constexpr uint32_t maxCatchUp = 250;
constexpr uint32_t longestPause = 1000;
// Slices of a wait, so that controls take effect at once.
constexpr uint32_t slice = 10;

}  // namespace

ReplayPlayer::ReplayPlayer(Ref<Clock> inner, ReplayReader reader, bool realTime)
    : m_inner(std::move(inner)), m_reader(std::move(reader)), m_realTime(realTime) {
    m_reader.rewind();
    advance();
}

ReplayPlayer::Control ReplayPlayer::controlForKey(int32_t code) {
    switch (code) {
        case key::action:
        case key::space:
        case '5':
        case 'p':
        case 'P':
            return Control::Pause;
        case key::down:
        case '8':
        case 's':
        case 'S':
            return Control::Slow;
        case key::up:
        case '2':
        case 'f':
        case 'F':
            return Control::Fast;
        case key::right:
        case '6':
        case '.':
            return Control::Step;
        case '#':
        case '9':
        case 'n':
        case 'N':
            return Control::NextStroke;
        case key::back:
        case key::softRight:
        case 'q':
        case 'Q':
            return Control::Quit;
        default:
            return Control::None;
    }
}

void ReplayPlayer::control(Control control) {
    m_pending.store(static_cast<int32_t>(control), std::memory_order_release);
}

void ReplayPlayer::advance() {
    m_haveNext = m_reader.next(m_next);
    m_hitsLeft = m_haveNext ? m_next.hits : m_reader.endHits();
}

void ReplayPlayer::stopWith(Outcome outcome, std::string message) {
    if (m_stopped) {
        return;
    }
    m_stopped = true;
    {
        std::lock_guard<std::mutex> hold(m_messageLock);
        m_message = std::move(message);
    }
    m_outcome.store(outcome, std::memory_order_release);
    if (m_game) {
        m_game->stop();
    }
}

bool ReplayPlayer::take(uint8_t kind) {
    if (m_stopped) {
        return false;
    }
    if (m_hitsLeft > 0) {
        --m_hitsLeft;
        return false;
    }
    if (!m_haveNext) {
        if (m_reader.complete() && m_reader.endReason() == ReplayFormat::Finished) {
            stopWith(Outcome::Diverged, "the game went on after the recording ended");
        } else {
            stopWith(Outcome::CutShort, m_reader.message());
        }
        return false;
    }
    if (m_next.kind != kind) {
        stopWith(Outcome::Diverged, std::string("the recording does not fit this game: it asked for the ") +
                                        ReplayFormat::kindName(kind) + " where the recording has the " +
                                        ReplayFormat::kindName(m_next.kind) + " (recorded by version " +
                                        m_reader.header().gameVersion + ")");
        return false;
    }
    m_current = m_next;
    advance();
    return true;
}

bool ReplayPlayer::takeRecord(uint8_t kind) {
    if (!m_stopped && m_hitsLeft > 0) {
        // The recording has an observation it predicted here, never this.
        stopWith(Outcome::Diverged, std::string("the recording does not fit this game: it came to the ") +
                                        ReplayFormat::kindName(kind) +
                                        " where the recording has another observation (recorded by version " +
                                        m_reader.header().gameVersion + ")");
        return false;
    }
    return take(kind);
}

uint32_t ReplayPlayer::currentTimeMillis() {
    if (take(ReplayFormat::Time)) {
        const auto jump = static_cast<uint32_t>(m_current.a);
        m_model.time += jump;
        if (!m_started) {
            m_start = m_model.time;
        } else if (m_current.a > 0) {
            pace(jump);
        }
    }
    m_started = true;
    return m_model.time;
}

void ReplayPlayer::sleep(uint32_t milliseconds) {
    m_model.slept(milliseconds);
    pace(milliseconds);
}

void ReplayPlayer::pace(uint32_t gameMillis) {
    if (!m_realTime) {
        m_inner->sleep(gameMillis);
        return;
    }
    readControls();
    const auto now = [this] { return uint64_t{m_inner->currentTimeMillis()} * 4; };
    while (m_paused.load(std::memory_order_relaxed) && !m_stepping && !m_skipping && !m_stopped) {
        m_inner->sleep(slice);
        readControls();
        m_dueQuarters = now();
    }
    m_stepping = false;
    if (m_skipping || m_stopped) {
        m_inner->sleep(0);
        m_dueQuarters = now();
        return;
    }
    const int32_t speed = m_speed.load(std::memory_order_relaxed);
    const uint64_t quarters = speed == 4 ? 1 : speed == 1 ? 4 : 16;
    const uint32_t shown = gameMillis < longestPause ? gameMillis : longestPause;
    uint64_t real = now();
    if (m_dueQuarters + uint64_t{maxCatchUp} * 4 < real) {
        m_dueQuarters = real;
    }
    m_dueQuarters += shown * quarters;
    bool slept = false;
    while (m_dueQuarters > real && !m_stopped) {
        const uint64_t wait = (m_dueQuarters - real + 3) / 4;
        m_inner->sleep(static_cast<uint32_t>(wait < slice ? wait : slice));
        slept = true;
        readControls();
        if (m_skipping || m_paused.load(std::memory_order_relaxed)) {
            break;
        }
        real = now();
    }
    if (!slept) {
        m_inner->sleep(0);
    }
}

void ReplayPlayer::readControls() {
    const auto pending = static_cast<Control>(m_pending.exchange(0, std::memory_order_acq_rel));
    apply(pending);
    if (!m_game) {
        return;
    }
    // The recording answers the game's questions; the viewer's keys are controls.
    for (int32_t code = m_game->Viewport::nextKey(); code != 0; code = m_game->Viewport::nextKey()) {
        apply(controlForKey(code));
    }
}

void ReplayPlayer::apply(Control control) {
    switch (control) {
        case Control::None:
            break;
        case Control::Pause:
            m_paused.store(!m_paused.load(std::memory_order_relaxed), std::memory_order_release);
            break;
        case Control::Slow:
            m_speed.store(m_speed.load(std::memory_order_relaxed) == -4 ? 1 : -4, std::memory_order_release);
            break;
        case Control::Fast:
            m_speed.store(m_speed.load(std::memory_order_relaxed) == 4 ? 1 : 4, std::memory_order_release);
            break;
        case Control::Step:
            m_paused.store(true, std::memory_order_release);
            m_stepping = true;
            break;
        case Control::NextStroke:
            m_skipping = true;
            break;
        case Control::Quit:
            stopWith(Outcome::Stopped, "stopped by the viewer");
            break;
    }
}

void ReplayPlayer::begin(Golf& game) {
    m_game = &game;
    const ReplayFormat::Header& header = m_reader.header();
    const Vdisplay* display = game.display();
    const bool pocketPC = display && display->platform().isPocketPC();
    if (game.getWidth() != header.width || game.getHeight() != header.height ||
        game.comfort() != header.comfort() || pocketPC != header.pocketPC()) {
        stopWith(Outcome::Diverged, "the game is not set up as the recording was (size, comforts or device)");
    }
}

int32_t ReplayPlayer::key(int32_t) {
    return take(ReplayFormat::Key) ? m_current.a : m_model.key();
}

bool ReplayPlayer::keyDown(int32_t code, bool) {
    if (code < 0 || code >= ReplayModel::keyCodes) {
        take(ReplayFormat::KeyDown);
        return false;
    }
    if (take(ReplayFormat::KeyDown)) {
        if (m_current.a != code) {
            stopWith(Outcome::Diverged, "the recording does not fit this game: it looked at another key");
            return m_model.keyDown(code);
        }
        m_model.setKeyDown(code, !m_model.keyDown(code));
    }
    return m_model.keyDown(code);
}

int32_t ReplayPlayer::pointerX(int32_t) {
    if (take(ReplayFormat::PointerX)) {
        m_model.pointerX = m_current.a;
    }
    return m_model.pointerX;
}

int32_t ReplayPlayer::pointerY(int32_t) {
    if (take(ReplayFormat::PointerY)) {
        m_model.pointerY = m_current.a;
    }
    return m_model.pointerY;
}

uint64_t ReplayPlayer::requestedSize(uint64_t) {
    if (take(ReplayFormat::Size)) {
        m_model.size = static_cast<uint64_t>(static_cast<uint32_t>(m_current.a)) << 32 |
                       static_cast<uint32_t>(m_current.b);
    }
    return m_model.size;
}

bool ReplayPlayer::running(bool live) {
    if (take(ReplayFormat::Running)) {
        m_model.running = !m_model.running;
    }
    return m_model.running && live && !m_stopped;
}

void ReplayPlayer::pointerSet(int32_t x, int32_t y) {
    m_model.pointerX = x;
    m_model.pointerY = y;
}

bool ReplayPlayer::savedRecord(bool, const ByteArray& record) {
    if (!takeRecord(ReplayFormat::Record)) {
        return false;
    }
    const int32_t length = m_current.length < record.length() ? m_current.length : record.length();
    for (int32_t i = 0; i < record.length(); ++i) {
        record.data()[i] = i < length ? m_current.bytes[i] : 0;
    }
    return m_current.b != 0 && m_current.length == record.length();
}

int32_t ReplayPlayer::savedFile(int32_t, const ByteArray& buffer) {
    if (!takeRecord(ReplayFormat::Record)) {
        return -1;
    }
    const int32_t length = m_current.length < buffer.length() ? m_current.length : buffer.length();
    for (int32_t i = 0; i < length; ++i) {
        buffer.data()[i] = m_current.bytes[i];
    }
    return m_current.b != 0 ? length : -1;
}

bool ReplayPlayer::saved(bool) {
    if (take(ReplayFormat::Saved)) {
        m_model.saved = !m_model.saved;
    }
    return m_model.saved;
}

void ReplayPlayer::stroke(uint32_t fingerprint) {
    if (!takeRecord(ReplayFormat::Stroke)) {
        return;
    }
    const int32_t number = m_strokes.load(std::memory_order_relaxed) + 1;
    if (m_current.fingerprint != fingerprint) {
        stopWith(Outcome::Diverged, "the recording does not fit this game: stroke " + std::to_string(number) +
                                        " comes out differently (recorded by version " +
                                        m_reader.header().gameVersion + ")");
        return;
    }
    m_strokes.store(number, std::memory_order_release);
    m_skipping = false;
    if (m_strokeWatcher) {
        m_strokeWatcher(number);
    }
}

void ReplayPlayer::finish() {
    if (m_stopped) {
        return;
    }
    if (m_haveNext || m_hitsLeft > 0) {
        stopWith(Outcome::Diverged, "the game ended before the recording did");
    } else if (m_reader.complete() && m_reader.endReason() == ReplayFormat::Finished) {
        stopWith(Outcome::Ended, "the end of the recording");
    } else {
        stopWith(Outcome::CutShort, m_reader.message());
    }
}

std::string ReplayPlayer::message() const {
    std::lock_guard<std::mutex> hold(m_messageLock);
    return m_message;
}

}  // namespace fairholm
