#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

// Builds without exceptions (the browser's) cannot catch a thread that fails to start:
// they start the helper through the POSIX interface, which answers with an error code.
#if !defined(__cpp_exceptions) && __has_include(<pthread.h>)
#include <pthread.h>
#define FAIRHOLM_WORKER_PTHREAD 1
#endif

namespace fairholm {

// A helper thread that runs one job at a time for its owner: start() hands it a
// job, wait() returns once the job is done. The thread is made on the first job and
// joined when the worker is destroyed. The state lives under one mutex; two counters
// beside it let each side spin briefly for the other before it sleeps, so that
// back-to-back jobs do not pay for waking a thread.
class WorkerThread {
public:
    WorkerThread() = default;
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;
    ~WorkerThread();

    // Starts `job` on the helper thread; the job before it must have been waited for.
    // False when no thread can be had: the caller then does the work itself.
    bool start(std::function<void()> job);
    // Returns when the started job is done.
    void wait();
    // Withdraws the started job when the helper has not taken it yet (a helper that has
    // no core to run on would keep the owner waiting for nothing), else waits for it as
    // wait() does. True when the job ran, false when it was withdrawn unrun.
    bool finish();

    // Whether helper threads may be started at all in this process (they may unless a
    // test says otherwise); a worker that may not start one answers false to start().
    static void setThreadsAllowed(bool allowed) {
        s_threadsAllowed.store(allowed, std::memory_order_relaxed);
    }

private:
    void serve();
    // Starts the helper thread; false when none can be had. Never throws.
    bool startThread();
    bool hasThread() const;
    void joinThread();

    inline static std::atomic<bool> s_threadsAllowed{true};

    std::mutex m_mutex;
    std::condition_variable m_jobReady;
    std::condition_variable m_jobDone;
    std::function<void()> m_job;
    bool m_pending = false;  // a job waits to be taken
    bool m_running = false;  // a job was started and is not done
    bool m_quit = false;
    bool m_failed = false;
    std::atomic<uint32_t> m_started{0};   // jobs started (and the quit request)
    std::atomic<uint32_t> m_finished{0};  // the m_started count of the last job done
#if defined(FAIRHOLM_WORKER_PTHREAD)
    pthread_t m_thread{};
    bool m_threadStarted = false;
#else
    std::thread m_thread;
#endif
};

}  // namespace fairholm
