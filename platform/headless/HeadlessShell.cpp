#include "platform/headless/HeadlessShell.h"

#include <cstdio>

#include "platform/PngWriter.h"
#include "platform/ShellInput.h"
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
    const bool high = GameSession::isHighResolution(m_options.windowWidth);
    m_platform = make<HeadlessPlatform>(m_options.pocketPC, high);
    m_session = std::make_unique<GameSession>(m_platform, m_options.windowWidth, m_options.windowHeight);
    m_game = &m_session->game();
    m_game->setComfort(m_options.comfort);
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
    std::fflush(stdout);
    return 0;
}

std::string HeadlessShell::summary() const {
    const Golf& g = *m_game;
    // The surface under the ball (0 when no hole is being played).
    int32_t lie = 0;
    if (g.terrain() && g.ballSprite() && g.ballSprite()->hasParent()) {
        lie = g.terrain()->surfaceAt(g.ballSprite()->getWorldX(), g.ballSprite()->getWorldZ());
    }
    char line[192];
    std::snprintf(line, sizeof line, "end time=%u state=%d hole=%d strokes=%d total=%d club=%d lie=%d", m_now,
                  g.state(), g.holeIndex() + 1, g.strokes(), g.roundTotal(), g.club(), lie);
    return line;
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
    if (!m_stateDumped && m_options.dumpOnState >= 0 && m_game->state() == m_options.dumpOnState) {
        m_stateDumped = true;
        dump(m_options.dumpOnStateFile);
    }
    if (m_options.hashFrames) {
        hashFrame();
    }
    bool done = m_nextEvent >= events.size() && m_now >= m_scriptEnd + m_options.linger;
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
    const IntArray& pixels = m_game->backBuffer();
    const int32_t width = m_game->getWidth();
    const int32_t height = m_game->getHeight();
    const int32_t count = pixels.length() < width * height ? pixels.length() : width * height;
    // Four interleaved FNV-1a lanes over the pixel words, then the size.
    uint64_t lanes[4] = {0xcbf29ce484222325ull, 0x84222325cbf29ce4ull, 0x9ce484222325cbf2ull,
                         0x2325cbf29ce48422ull};
    constexpr uint64_t prime = 0x100000001b3ull;
    const int32_t* p = pixels.data();
    int32_t i = 0;
    for (; i + 4 <= count; i += 4) {
        for (int32_t lane = 0; lane < 4; ++lane) {
            lanes[lane] = (lanes[lane] ^ static_cast<uint32_t>(p[i + lane])) * prime;
        }
    }
    for (; i < count; ++i) {
        lanes[0] = (lanes[0] ^ static_cast<uint32_t>(p[i])) * prime;
    }
    uint64_t frame =
        (static_cast<uint64_t>(static_cast<uint32_t>(width)) << 32) | static_cast<uint32_t>(height);
    for (const uint64_t lane : lanes) {
        frame = (frame ^ lane) * prime;
    }
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
