#include "platform/GameSession.h"

#include <chrono>
#include <system_error>
#include <utility>
#include <vector>

#include "engine/sprite/Vdisplay.h"
#include "runtime/Runtime.h"

namespace fairholm {

GameSession::GameSession(Ref<Platform> platform, int32_t windowWidth, int32_t windowHeight,
                         Ref<Journal> journal)
    : GameSession(std::move(platform),
                  WindowScale::Size{gameSize(windowWidth, isHighResolution(windowWidth)),
                                    gameSize(windowHeight, isHighResolution(windowWidth))},
                  isHighResolution(windowWidth), std::move(journal)) {}

GameSession::GameSession(Ref<Platform> platform, WindowScale::Size firstSize, bool highResolution,
                         Ref<Journal> journal)
    : m_game(make<Golf>()), m_journal(std::move(journal)), m_highResolution(highResolution) {
    if (m_journal) {
        // The journal sees the game's clock from its first reading (the display's).
        m_previousClock = Runtime::currentClock();
        Runtime::setClock(m_journal);
        m_game->setJournal(m_journal);
    }
    m_game->setDisplay(make<Vdisplay>(std::move(platform)));
    m_game->setSize(firstSize.width, firstSize.height);
}

namespace {

// Games whose loop never ended: they stay as they are, still reachable, for the
// process's last moments (the shell then ends the process).
std::vector<Ref<Golf>>& abandonedGames() {
    static auto* games = new std::vector<Ref<Golf>>();
    return *games;
}

}  // namespace

GameSession::~GameSession() {
    if (!stop()) {
        abandonedGames().push_back(std::move(m_game));
    }
}

bool GameSession::start(std::function<void()> ended) {
    Golf* game = m_game.ptr();
    Journal* journal = m_journal.ptr();
    auto loop = [game, journal, ending = m_ending, ended = std::move(ended)] {
        game->run();
        if (journal) {
            journal->finish();
        }
        if (ended) {
            ended();
        }
        std::lock_guard<std::mutex> hold(ending->lock);
        ending->ended = true;
        ending->signal.notify_all();
    };
#if defined(__cpp_exceptions)
    try {
        m_thread = std::thread(std::move(loop));
    } catch (const std::system_error&) {
        return false;
    }
#else
    m_thread = std::thread(std::move(loop));
#endif
    return true;
}

void GameSession::runHere() {
    m_game->run();
    if (m_journal) {
        m_journal->finish();
    }
}

bool GameSession::stop(uint32_t timeoutMillis) {
    if (m_abandoned) {
        return false;
    }
    if (m_game) {
        m_game->stop();
    }
    if (m_thread.joinable()) {
        Ending& ending = *m_ending;
        std::unique_lock<std::mutex> hold(ending.lock);
        const auto hasEnded = [&ending] { return ending.ended; };
        if (timeoutMillis == forever) {
            ending.signal.wait(hold, hasEnded);
        } else if (!ending.signal.wait_for(hold, std::chrono::milliseconds(timeoutMillis), hasEnded)) {
            m_abandoned = true;
            m_thread.detach();
            return false;
        }
        hold.unlock();
        m_thread.join();
    }
    if (m_game) {
        m_game->dismantle();
        m_game = nullptr;
    }
    if (m_previousClock) {
        Runtime::setClock(std::move(m_previousClock));
        m_previousClock = nullptr;
    }
    return true;
}

}  // namespace fairholm
