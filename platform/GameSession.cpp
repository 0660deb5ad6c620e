#include "platform/GameSession.h"

#include <chrono>
#include <system_error>
#include <utility>
#include <vector>

#include "engine/sprite/Vdisplay.h"

namespace fairholm {

GameSession::GameSession(Ref<Platform> platform, int32_t windowWidth, int32_t windowHeight)
    : GameSession(std::move(platform),
                  WindowScale::Size{gameSize(windowWidth, isHighResolution(windowWidth)),
                                    gameSize(windowHeight, isHighResolution(windowWidth))},
                  isHighResolution(windowWidth)) {}

GameSession::GameSession(Ref<Platform> platform, WindowScale::Size firstSize, bool highResolution)
    : m_game(make<Golf>()), m_highResolution(highResolution) {
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
    auto loop = [game, ending = m_ending, ended = std::move(ended)] {
        game->run();
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
    return true;
}

}  // namespace fairholm
