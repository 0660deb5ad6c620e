#include "runtime/WorkerThread.h"

#include <system_error>
#include <utility>

namespace fairholm {

WorkerThread::~WorkerThread() {
    if (!m_thread.joinable()) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_quit = true;
    }
    m_jobReady.notify_one();
    m_thread.join();
}

bool WorkerThread::start(std::function<void()> job) {
    if (m_failed) {
        return false;
    }
    if (!m_thread.joinable()) {
        try {
            m_thread = std::thread(&WorkerThread::serve, this);
        } catch (const std::system_error&) {
            m_failed = true;
            return false;
        }
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_job = std::move(job);
        m_pending = true;
        m_running = true;
    }
    m_jobReady.notify_one();
    return true;
}

void WorkerThread::wait() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_jobDone.wait(lock, [this] { return !m_running; });
}

void WorkerThread::serve() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_jobReady.wait(lock, [this] { return m_pending || m_quit; });
        if (!m_pending) {
            return;
        }
        std::function<void()> job = std::move(m_job);
        m_job = nullptr;
        m_pending = false;
        lock.unlock();
        job();
        lock.lock();
        m_running = false;
        m_jobDone.notify_all();
    }
}

}  // namespace fairholm
