// The shells' start-up and end: the game made, sized and run on its own thread, stopped,
// waited for and taken apart.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/GameSession.h"
#include "runtime/Clock.h"
#include "runtime/Runtime.h"
#include "tests/support/QuietPlatform.h"

using namespace fairholm;
using fairholm::testing::QuietPlatform;

namespace {

// Counts the rectangles the game loop asks the window to show (from the game thread).
class CountingPlatform final : public Platform {
public:
    bool isPocketPC() const override { return false; }
    bool isHighResolution() const override { return false; }
    void invalidateWindowRect(int32_t, int32_t, int32_t, int32_t) override { ++presented; }
    void playSoundFile(const char*) override {}
    std::atomic<int> presented{0};
};

// A clock whose sleeps block until it is opened: a game loop caught inside a frame.
class GateClock final : public Clock {
public:
    uint32_t currentTimeMillis() override { return m_now.load(); }
    void sleep(uint32_t milliseconds) override {
        std::unique_lock<std::mutex> hold(m_lock);
        m_sleeping = true;
        m_changed.notify_all();
        m_changed.wait(hold, [this] { return m_open; });
        m_now += milliseconds;
    }
    void waitForSleeper() {
        std::unique_lock<std::mutex> hold(m_lock);
        m_changed.wait(hold, [this] { return m_sleeping; });
    }
    void open() {
        std::lock_guard<std::mutex> hold(m_lock);
        m_open = true;
        m_changed.notify_all();
    }

private:
    std::atomic<uint32_t> m_now{1000};
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_sleeping = false;
    bool m_open = false;
};

}  // namespace

TEST(GameSession, HighResolutionWindowsHalveTheGame) {
    EXPECT_TRUE(GameSession::isHighResolution(480));
    EXPECT_FALSE(GameSession::isHighResolution(479));
    EXPECT_EQ(GameSession::gameSize(480, true), 240);
    EXPECT_EQ(GameSession::gameSize(537, true), 268);
    EXPECT_EQ(GameSession::gameSize(240, false), 240);
}

TEST(GameSession, StartUpMakesTheTitleStateAtTheGameSize) {
    GameSession small(make<QuietPlatform>(), 240, 320);
    EXPECT_EQ(small.game().state(), Golf::TitleSetup);
    EXPECT_EQ(small.game().getWidth(), 240);
    EXPECT_EQ(small.game().backBuffer().length(), 240 * 320);
    EXPECT_FALSE(small.highResolution());
    GameSession large(make<QuietPlatform>(), 480, 640);
    EXPECT_TRUE(large.highResolution());
    EXPECT_EQ(large.game().getWidth(), 240);
    EXPECT_EQ(large.game().getHeight(), 320);
}

TEST(GameSession, TheLoopRunsOnItsOwnThreadUntilStoppedAndNothingIsLeft) {
    const auto play = [] {
        std::atomic<bool> ended{false};
        std::thread::id loopThread;
        auto platform = make<CountingPlatform>();
        GameSession session(platform, 240, 320);
        session.start([&] {
            loopThread = std::this_thread::get_id();
            ended = true;
        });
        while (platform->presented == 0) {  // the loop has drawn its first frame
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        EXPECT_TRUE(session.stop());
        EXPECT_TRUE(ended);
        EXPECT_NE(loopThread, std::this_thread::get_id());
        EXPECT_TRUE(session.stop());  // a second stop has nothing left to do
    };
    play();
    const int64_t before = Object::liveObjects();
    play();
    EXPECT_EQ(Object::liveObjects(), before);
}

TEST(GameSession, ALoopStuckInAFrameIsLeftAloneAfterTheTimeout) {
    auto gate = make<GateClock>();
    Runtime::setClock(gate);
    auto ended = std::make_shared<std::atomic<bool>>(false);
    {
        auto session = std::make_unique<GameSession>(make<QuietPlatform>(), 240, 320);
        session->start([ended] { *ended = true; });
        gate->waitForSleeper();
        EXPECT_FALSE(session->stop(20));
        EXPECT_FALSE(session->stop(20));  // abandoned for good
        session.reset();
        EXPECT_FALSE(*ended);
        gate->open();  // the loop finishes its frame, sees the stop and ends
    }
    while (!*ended) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    Runtime::setClock(nullptr);
}
