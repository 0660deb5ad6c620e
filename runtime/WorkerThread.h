#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

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

private:
    void serve();

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
    std::thread m_thread;
};

}  // namespace fairholm
