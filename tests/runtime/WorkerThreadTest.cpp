#include "runtime/WorkerThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

namespace fairholm {
namespace {

TEST(WorkerThread, RunsEachJobOnItsOwnThreadAndWaitSeesItsWork) {
    WorkerThread worker;
    std::vector<int> results(100, 0);
    std::thread::id ran;
    for (int round = 0; round < 100; ++round) {
        // Written before start: the job must see it; written by the job: wait must.
        results[round] = -1;
        ASSERT_TRUE(worker.start([&results, &ran, round] {
            results[round] = results[round] == -1 ? round * 2 : -2;
            ran = std::this_thread::get_id();
        }));
        worker.wait();
        EXPECT_EQ(results[round], round * 2);
        EXPECT_NE(ran, std::this_thread::get_id());
    }
}

TEST(WorkerThread, OwnerWorksAlongsideTheJob) {
    WorkerThread worker;
    std::vector<int> halves(2000, 0);
    ASSERT_TRUE(worker.start([&halves] {
        for (size_t i = 1000; i < halves.size(); ++i) {
            halves[i] = static_cast<int>(i);
        }
    }));
    for (size_t i = 0; i < 1000; ++i) {
        halves[i] = static_cast<int>(i);
    }
    worker.wait();
    for (size_t i = 0; i < halves.size(); ++i) {
        ASSERT_EQ(halves[i], static_cast<int>(i));
    }
}

TEST(WorkerThread, DestroyedWithoutAJobOrRightAfterOne) {
    { WorkerThread idle; }
    int done = 0;
    {
        WorkerThread worker;
        ASSERT_TRUE(worker.start([&done] { done = 1; }));
        worker.wait();
    }
    EXPECT_EQ(done, 1);
    // Dropped while a job may still run: the job finishes before the thread goes.
    int late = 0;
    {
        WorkerThread worker;
        ASSERT_TRUE(worker.start([&late] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            late = 1;
        }));
    }
    EXPECT_EQ(late, 1);
}

TEST(WorkerThread, WithoutAThreadTheOwnerIsToldToWorkAlone) {
    WorkerThread::setThreadsAllowed(false);
    WorkerThread worker;
    bool ran = false;
    EXPECT_FALSE(worker.start([&] { ran = true; }));
    EXPECT_FALSE(worker.start([&] { ran = true; }));  // and stays so
    WorkerThread::setThreadsAllowed(true);
    EXPECT_FALSE(ran);
    WorkerThread later;
    EXPECT_TRUE(later.start([&] { ran = true; }));
    later.wait();
    EXPECT_TRUE(ran);
}

// finish() either withdraws a job the helper has not taken (it then never runs, so the
// owner may let go of what the job refers to) or waits for it to be done; over many
// jobs both happen, and a withdrawn one never runs late.
TEST(WorkerThread, FinishWithdrawsAJobNotTakenOrWaitsForIt) {
    WorkerThread worker;
    std::atomic<int32_t> runs{0};
    int32_t withdrawn = 0;
    int32_t ran = 0;
    for (int32_t i = 0; i < 2000; ++i) {
        const int32_t before = runs.load();
        ASSERT_TRUE(worker.start([&runs] { runs.fetch_add(1); }));
        if (worker.finish()) {
            ++ran;
            EXPECT_EQ(runs.load(), before + 1);
        } else {
            ++withdrawn;
            EXPECT_EQ(runs.load(), before);
        }
    }
    // The last job is over either way: nothing runs after it.
    worker.start([] {});
    worker.wait();
    EXPECT_EQ(runs.load(), ran);
    EXPECT_GT(ran + withdrawn, 0);
    RecordProperty("withdrawn", withdrawn);
    RecordProperty("ran", ran);
}

}  // namespace

}  // namespace fairholm
