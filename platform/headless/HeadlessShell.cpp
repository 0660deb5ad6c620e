#include "platform/headless/HeadlessShell.h"

#include <cstdio>

#include "platform/PngWriter.h"
#include "platform/ShellInput.h"
#include "platform/StrokeLog.h"
#include "runtime/Runtime.h"

namespace fairholm {

// The process clock while the shell runs: time stands still until the game sleeps.
class HeadlessShell::ScriptedClock final : public Clock {
public:
    explicit ScriptedClock(HeadlessShell& shell) : m_shell(shell) {}
    uint32_t currentTimeMillis() override { return m_shell.m_now; }
    void sleep(uint32_t milliseconds) override { m_shell.advance(milliseconds); }

private:
    HeadlessShell& m_shell;
};

HeadlessShell::HeadlessShell(Options options, HeadlessScript script)
    : m_options(std::move(options)), m_script(std::move(script)) {
    if (!m_script.events().empty()) {
        m_scriptEnd = m_script.events().back().time;
    }
}

HeadlessShell::~HeadlessShell() {
    m_pilot.reset();
    m_game = nullptr;
    m_session.reset();
    Runtime::setClock(nullptr);
}

int HeadlessShell::run() {
    Runtime::setClock(make<ScriptedClock>(*this));
    if (m_options.replay) {
        const ReplayFormat::Header& header = m_options.replay->header();
        m_player = make<ReplayPlayer>(Runtime::currentClock(), *m_options.replay, false);
        m_player->onStroke([this](int32_t stroke) {
            if (stroke == m_options.exportShot) {
                m_shotInFlight = true;
            }
        });
        m_platform = make<HeadlessPlatform>(header.pocketPC(), header.highResolution());
        m_session = std::make_unique<GameSession>(m_platform, WindowScale::Size{header.width, header.height},
                                                  header.highResolution(), m_player);
        m_options.comfort = header.comfort();
    } else {
        const bool high = GameSession::isHighResolution(m_options.windowWidth);
        m_platform = make<HeadlessPlatform>(m_options.pocketPC, high);
        if (!m_options.recordFile.empty()) {
            const std::string file = m_options.recordFile;
            Ref<HeadlessPlatform> platform = m_platform;
            m_recorder = make<ReplayRecorder>(
                Runtime::currentClock(), [file, platform](const std::vector<uint8_t>& bytes) {
                    if (!platform->replaceFile(file.c_str(), bytes.data(),
                                               static_cast<int32_t>(bytes.size()))) {
                        std::fprintf(stderr, "could not write %s\n", file.c_str());
                    }
                });
        }
        m_session = std::make_unique<GameSession>(m_platform, m_options.windowWidth, m_options.windowHeight,
                                                  m_recorder);
    }
    m_game = &m_session->game();
    m_game->setComfort(m_options.comfort);
    if (m_options.logStrokes) {
        m_platform->setPresentWatcher([this] { m_strokeLog.sample(*m_game); });
    }
    if (m_options.pilot) {
        m_pilot = std::make_unique<HeadlessPilot>(*m_game);
    }
    // Events due at time 0 arrive before the first frame.
    advance(0);
    m_session->runHere();
    if (m_options.hashFrames) {
        printFrameDigest("end");
    }
    std::printf("%s\n", summary().c_str());
    printMatch();
    int code = 0;
    if (m_player) {
        const ReplayPlayer::Outcome outcome = m_player->outcome();
        std::printf("replay %s after %d strokes: %s\n",
                    outcome == ReplayPlayer::Outcome::Diverged ? "failed" : "ended",
                    m_player->strokesPlayed(), m_player->message().c_str());
        code = outcome == ReplayPlayer::Outcome::Diverged ? 1 : 0;
        if (m_options.exportShot > 0 && !m_shotDone) {
            if (m_shotInFlight) {
                writeShotStrip();
            } else {
                std::fprintf(stderr, "the recording has no stroke %d\n", m_options.exportShot);
                code = 1;
            }
        }
    }
    std::fflush(stdout);
    return code;
}

std::string HeadlessShell::summary() const {
    return StrokeLog::endLine(*m_game, m_now);
}

void HeadlessShell::advance(uint32_t milliseconds) {
    const uint32_t target = m_now + milliseconds;
    const auto& events = m_script.events();
    while (m_nextEvent < events.size() && events[m_nextEvent].time <= target) {
        const auto& event = events[m_nextEvent++];
        if (event.time > m_now) {
            m_now = event.time;
        }
        deliver(event);
    }
    m_now = target;

    if (m_options.logSounds) {
        const auto& sounds = m_platform->sounds();
        for (; m_soundsLogged < sounds.size(); ++m_soundsLogged) {
            std::printf("sound %s at %u\n", sounds[m_soundsLogged].c_str(), m_now);
        }
    }
    if (!m_stateDumped && m_options.dumpOnState >= 0) {
        const int32_t state = m_game->state();
        if (state == m_options.dumpOnState && m_dumpStateSeen != state) {
            ++m_dumpStateVisits;
        }
        m_dumpStateSeen = state;
        if (state == m_options.dumpOnState && m_dumpStateVisits == m_options.dumpOnStateVisit) {
            m_stateDumped = true;
            dump(m_options.dumpOnStateFile);
        }
    }
    if (m_options.hashFrames) {
        hashFrame();
    }
    if (m_player && m_options.exportShot > 0) {
        collectShot();
    }
    logTurns();
    bool done = m_nextEvent >= events.size() && m_now >= m_scriptEnd + m_options.linger;
    if (m_player) {
        // The recording decides when the game ends, or the exported shot does.
        done = false;
        if (m_shotDone) {
            m_player->stopPlayback("the shot is exported");
        } else if (m_now >= m_options.maxTime) {
            m_player->stopPlayback("stopped at the time limit");
        }
    }
    if (m_pilot) {
        // The player plays on after the script until the round is over.
        done = m_nextEvent >= events.size() && !m_pilot->act();
    }
    if (m_now >= m_options.maxTime || done) {
        m_game->stop();
    }
}

void HeadlessShell::hashFrame() {
    const int32_t state = m_game->state();
    if (state != m_lastState) {
        if (m_lastState >= 0) {
            char change[32];
            std::snprintf(change, sizeof change, "%d->%d", m_lastState, state);
            printFrameDigest(change);
        }
        m_lastState = state;
    }
    const int64_t invalidations = m_platform->invalidations();
    if (invalidations == m_hashedInvalidations) {
        return;
    }
    m_hashedInvalidations = invalidations;
    constexpr uint64_t prime = 0x100000001b3ull;
    const uint64_t frame = m_game->frameHash();
    m_frameDigest = (m_frameDigest ^ frame) * prime;
    ++m_framesHashed;
}

void HeadlessShell::printFrameDigest(const char* change) {
    std::printf("frames %u hash %016llx at %u %s\n", m_framesHashed,
                static_cast<unsigned long long>(m_frameDigest), m_now, change);
    m_framesHashed = 0;
    m_frameDigest = 0;
}

void HeadlessShell::deliver(const HeadlessScript::Event& event) {
    Golf& g = *m_game;
    switch (event.verb) {
        case HeadlessScript::Verb::Key:
        case HeadlessScript::Verb::Char:
            g.keyPressed(event.a);
            g.keyReleased(event.a);
            break;
        case HeadlessScript::Verb::Press:
            g.keyPressed(event.a);
            break;
        case HeadlessScript::Verb::Release:
            g.keyReleased(event.a);
            break;
        case HeadlessScript::Verb::Tap:
            ShellInput::stylus(g, event.a, event.b, true);
            ShellInput::stylus(g, event.a, event.b, false);
            break;
        case HeadlessScript::Verb::Resize:
            g.setSize(event.a, event.b);
            break;
        case HeadlessScript::Verb::Dump:
            dump(event.text);
            break;
        case HeadlessScript::Verb::Stop:
            g.stop();
            break;
    }
}

void HeadlessShell::logTurns() {
    const Golf& g = *m_game;
    if (!g.matchPlay() || g.match().roundOver() || g.state() != Golf::Aiming) {
        return;
    }
    const Match& m = g.match();
    const int32_t turn = m.hole() * Match::maxPlayers + m.turn();
    if (turn == m_loggedTurn) {
        return;
    }
    m_loggedTurn = turn;
    std::printf("turn hole=%d player=%d name=%s at %u\n", m.hole() + 1, m.current() + 1,
                m.player(m.current()).name.c_str(), m_now);
}

void HeadlessShell::printMatch() const {
    const Golf& g = *m_game;
    if (!g.matchPlay()) {
        return;
    }
    const Match& m = g.match();
    for (int32_t p = 0; p < m.players(); ++p) {
        const Match::Player& player = m.player(p);
        std::string strokes;
        for (const int32_t s : player.strokes) {
            strokes += (strokes.empty() ? "" : ",") + std::to_string(s);
        }
        std::printf("card player=%d name=%s golfer=%s strokes=%s total=%d relative=%d\n", p + 1,
                    player.name.c_str(), player.female ? "female" : "male", strokes.c_str(), player.total(),
                    player.relative());
    }
    for (const Match::Standing& s : m.standings()) {
        if (s.place > 0) {
            std::printf("table place=%d player=%d total=%d relative=%d%s\n", s.place, s.player + 1, s.total,
                        s.relative, m.roundOver() && ((m.winners() >> s.player) & 1) ? " winner" : "");
        }
    }
}

void HeadlessShell::collectShot() {
    if (!m_shotInFlight || m_shotDone) {
        return;
    }
    const int32_t state = m_game->state();
    const bool ballInPlay = state == Golf::BallInFlight || state == Golf::BallOnMap ||
                            state == Golf::FullSwing || state == Golf::Putt;
    if (!ballInPlay) {
        writeShotStrip();
        m_shotDone = true;
        return;
    }
    // A frame every 400 ms of the flight, the first one at the strike.
    constexpr uint32_t gap = 400;
    constexpr size_t mostFrames = 64;
    if ((m_shotFrames.empty() || m_now - m_lastShotFrame >= gap) && m_shotFrames.size() < mostFrames) {
        const IntArray& pixels = m_game->backBuffer();
        IntArray copy = newIntArray(pixels.length());
        Runtime::arrayCopy(pixels, 0, copy, 0, pixels.length());
        m_shotFrames.push_back(std::move(copy));
        m_lastShotFrame = m_now;
    }
}

bool HeadlessShell::writeShotStrip() {
    // Up to eight frames side by side, chosen evenly from the flight.
    constexpr size_t stripFrames = 8;
    const int32_t width = m_game->getWidth();
    const int32_t height = m_game->getHeight();
    const size_t count = m_shotFrames.size() < stripFrames ? m_shotFrames.size() : stripFrames;
    if (count == 0 || width <= 0 || height <= 0) {
        std::fprintf(stderr, "stroke %d left no frames to export\n", m_options.exportShot);
        return false;
    }
    constexpr int32_t border = 2;
    const int32_t stripWidth = static_cast<int32_t>(count) * (width + border) + border;
    const int32_t stripHeight = height + 2 * border;
    std::vector<int32_t> strip(static_cast<size_t>(stripWidth) * static_cast<size_t>(stripHeight), 0x202020);
    for (size_t i = 0; i < count; ++i) {
        const size_t pick = count == 1 ? 0 : i * (m_shotFrames.size() - 1) / (count - 1);
        const IntArray& frame = m_shotFrames[pick];
        if (frame.length() < width * height) {
            continue;
        }
        const int32_t left = border + static_cast<int32_t>(i) * (width + border);
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x) {
                strip[static_cast<size_t>(y + border) * static_cast<size_t>(stripWidth) +
                      static_cast<size_t>(left + x)] = frame.data()[y * width + x];
            }
        }
    }
    if (!PngWriter::write(m_options.exportFile, strip.data(), stripWidth, stripHeight, stripWidth)) {
        std::fprintf(stderr, "could not write %s\n", m_options.exportFile.c_str());
        return false;
    }
    std::printf("shot %d: %zu frames in %s\n", m_options.exportShot, count, m_options.exportFile.c_str());
    m_shotDone = true;
    return true;
}

void HeadlessShell::dump(const std::string& file) {
    const IntArray& pixels = m_game->backBuffer();
    const int32_t width = m_game->getWidth();
    const int32_t height = m_game->getHeight();
    if (pixels.length() < width * height || !PngWriter::write(file, pixels.data(), width, height, width)) {
        std::fprintf(stderr, "could not write %s\n", file.c_str());
        return;
    }
    std::printf("dump %s at %u state=%d\n", file.c_str(), m_now, m_game->state());
}

}  // namespace fairholm
