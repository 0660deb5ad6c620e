#include "tests/game/GameHarness.h"

#include <unistd.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/sprite/Vdisplay.h"
#include "runtime/ProgramDirectory.h"
#include "runtime/Runtime.h"
#include "tests/support/TestContent.h"

namespace fairholm::testing {

namespace fs = std::filesystem;

void RecordingPlatform::playSoundFile(const char* path) {
    const char* slash = std::strrchr(path, '/');
    sounds.emplace_back(slash ? slash + 1 : path);
}

class GameHarness::SteppingClock final : public Clock {
public:
    explicit SteppingClock(GameHarness& harness) : m_harness(harness) {}
    uint32_t currentTimeMillis() override { return m_harness.m_now; }
    void sleep(uint32_t milliseconds) override { m_harness.advance(milliseconds); }

private:
    GameHarness& m_harness;
};

GameHarness::GameHarness(int32_t width, int32_t height, bool pocketPC)
    : m_width(width), m_height(height), m_pocketPC(pocketPC) {
    static std::atomic<int> serial{0};
    m_directory = (fs::temp_directory_path() /
                   ("fairholm-game-" + std::to_string(::getpid()) + "-" + std::to_string(serial++)))
                      .string();
    fs::create_directories(m_directory);
    TestContent::write(m_directory);
    ProgramDirectory::set(m_directory.c_str());
    Runtime::setClock(make<SteppingClock>(*this));
    create();
}

GameHarness::~GameHarness() {
    m_game->dismantle();
    m_game = nullptr;
    Runtime::setClock(nullptr);
    std::error_code ignored;
    fs::remove_all(m_directory, ignored);
}

void GameHarness::create() {
    if (m_game) {
        m_game->dismantle();
    }
    m_platform = make<RecordingPlatform>();
    m_platform->pocketPC = m_pocketPC;
    m_platform->highResolution = m_width >= 480;
    m_game = make<Golf>();
    m_game->setDisplay(make<Vdisplay>(m_platform));
    const int32_t shift = m_width >= 480 ? 1 : 0;
    m_game->setSize(m_width >> shift, m_height >> shift);
}

void GameHarness::restart() {
    create();
}

void GameHarness::advance(uint32_t milliseconds) {
    m_now += milliseconds;
    while (!m_scheduled.empty() && static_cast<int32_t>(m_now - m_scheduled.front().first) >= 0) {
        key(m_scheduled.front().second);
        m_scheduled.erase(m_scheduled.begin());
    }
    if (m_watcher) {
        m_watcher();
    }
    if (m_done && !m_satisfied && m_done()) {
        m_satisfied = true;
    }
    if (m_satisfied || static_cast<int32_t>(m_now - m_deadline) >= 0) {
        m_game->stop();
    }
}

bool GameHarness::runUntil(const std::function<bool()>& done, uint32_t limit) {
    m_done = done;
    m_satisfied = done();
    m_deadline = m_now + limit;
    if (!m_satisfied) {
        m_game->resume();
        m_game->run();
    }
    m_done = nullptr;
    return m_satisfied;
}

void GameHarness::runFor(uint32_t milliseconds) {
    runUntil([] { return false; }, milliseconds);
}

bool GameHarness::runToState(int32_t state, uint32_t limit) {
    return runUntil([this, state] { return m_game->state() == state; }, limit);
}

void GameHarness::key(int32_t code) {
    m_game->keyPressed(code);
    m_game->keyReleased(code);
}

void GameHarness::keys(const std::vector<int32_t>& codes, uint32_t gap) {
    uint32_t at = m_now;
    for (int32_t code : codes) {
        at += gap;
        m_scheduled.emplace_back(at, code);
    }
    runUntil([this, at] { return m_scheduled.empty() && static_cast<int32_t>(m_now - at) >= 50; });
}

void GameHarness::runToMainMenu() {
    runUntil([this] { return m_game->state() == Golf::MainMenu && m_game->mainMenu()->hasParent(); });
}

void GameHarness::startNewGame() {
    runToMainMenu();
    key('N');
    runToState(Golf::Aiming);
    runFor(50);
}

std::string GameHarness::textOf(const Vtext* text) {
    if (!text) {
        return "";
    }
    std::string result = text->text() ? text->text()->chars() : "";
    const Ref<String> digits = text->digitsText();
    if (digits) {
        result += digits->chars();
    }
    return result;
}

std::vector<uint8_t> GameHarness::savedFile() const {
    std::ifstream in(m_directory + "/greenvale", std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void GameHarness::writeSavedFile(const std::vector<uint8_t>& bytes) const {
    std::ofstream out(m_directory + "/greenvale", std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace fairholm::testing
