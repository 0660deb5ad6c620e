#include "runtime/WorkerThread.h"

#include <chrono>
#include <system_error>
#include <utility>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif
#if defined(__linux__)
#include <sched.h>
#endif

namespace fairholm {

namespace {

// How long either side keeps looking before it goes to sleep: a job that follows
// soon (the next redraw) then starts without the cost of waking a thread.
constexpr auto spinTime = std::chrono::microseconds(200);

inline void relax() {
#if defined(__x86_64__) || defined(__i386__)
    _mm_pause();
#endif
}

// Spins until `ready` holds or the spin time is up.
template <typename Ready>
void spinFor(Ready ready) {
    const auto until = std::chrono::steady_clock::now() + spinTime;
    while (!ready()) {
        for (int i = 0; i < 64; ++i) {
            relax();
        }
        if (std::chrono::steady_clock::now() > until) {
            return;
        }
    }
}

}  // namespace

bool WorkerThread::startThread() {
    if (!s_threadsAllowed.load(std::memory_order_relaxed)) {
        return false;
    }
#if defined(FAIRHOLM_WORKER_PTHREAD)
    const auto entry = [](void* worker) -> void* {
        static_cast<WorkerThread*>(worker)->serve();
        return nullptr;
    };
    m_threadStarted = ::pthread_create(&m_thread, nullptr, entry, this) == 0;
    return m_threadStarted;
#elif defined(__cpp_exceptions)
    try {
        m_thread = std::thread(&WorkerThread::serve, this);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
#else
    return false;  // no exceptions to catch a failed start with, and no other way to start one
#endif
}

bool WorkerThread::hasThread() const {
#if defined(FAIRHOLM_WORKER_PTHREAD)
    return m_threadStarted;
#else
    return m_thread.joinable();
#endif
}

void WorkerThread::joinThread() {
#if defined(FAIRHOLM_WORKER_PTHREAD)
    ::pthread_join(m_thread, nullptr);
    m_threadStarted = false;
#else
    m_thread.join();
#endif
}

WorkerThread::~WorkerThread() {
    if (!hasThread()) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_quit = true;
        m_started.fetch_add(1, std::memory_order_release);
    }
    m_jobReady.notify_one();
    joinThread();
}

bool WorkerThread::start(std::function<void()> job) {
    if (m_failed) {
        return false;
    }
    if (!hasThread() && !startThread()) {
        m_failed = true;
        return false;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_job = std::move(job);
        m_pending = true;
        m_running = true;
        m_started.fetch_add(1, std::memory_order_release);
    }
    m_jobReady.notify_one();
    return true;
}

void WorkerThread::wait() {
    const uint32_t started = m_started.load(std::memory_order_relaxed);
    spinFor([this, started] { return m_finished.load(std::memory_order_acquire) == started; });
    std::unique_lock<std::mutex> lock(m_mutex);
    m_jobDone.wait(lock, [this] { return !m_running; });
}

bool WorkerThread::finish() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_pending) {
            m_pending = false;
            m_running = false;
            m_job = nullptr;
            m_finished.store(m_started.load(std::memory_order_relaxed), std::memory_order_release);
            return false;
        }
    }
    wait();
    return true;
}

void WorkerThread::serve() {
#if defined(__linux__) && defined(SCHED_IDLE)
    // The helper only takes a core nobody else wants: on a busy machine it does not take
    // time from its owner (which then does the job itself and withdraws it, finish()),
    // on an idle one it runs at full speed.
    sched_param idle{};
    sched_setscheduler(0, SCHED_IDLE, &idle);
#endif
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        if (!m_pending && !m_quit) {
            // Look out for the next job a little before sleeping.
            const uint32_t seen = m_started.load(std::memory_order_relaxed);
            lock.unlock();
            spinFor([this, seen] { return m_started.load(std::memory_order_acquire) != seen; });
            lock.lock();
        }
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
        m_finished.store(m_started.load(std::memory_order_relaxed), std::memory_order_release);
        m_jobDone.notify_all();
    }
}

}  // namespace fairholm
