#include "codec/split_work.h"

#include <chrono>
#include <system_error>

namespace qx {
namespace {

// How long either side polls before it sleeps. Long enough to cover the gap between two splits
// and the difference between two halves, short enough that a helper with nothing to do soon
// leaves the core alone.
constexpr auto kPollTime = std::chrono::microseconds(50);

// Polls until done() holds or the poll time has passed; returns done().
template <typename Done>
bool PollFor(Done&& done) {
    const auto end = std::chrono::steady_clock::now() + kPollTime;
    for (;;) {
        for (int i = 0; i < 64; ++i) {
            if (done()) return true;
#if defined(__x86_64__) || defined(__i386__)
            __builtin_ia32_pause();
#endif
        }
        if (std::chrono::steady_clock::now() >= end) return done();
    }
}

}  // namespace

HelperThread::~HelperThread() {
    stop();
    if (thread_.joinable()) thread_.join();
}

void HelperThread::stop() {
    bool sleeping;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_.store(true);
        sleeping = helperSleeping_;
    }
    if (sleeping) wake_.notify_one();
}

bool HelperThread::startLocked() {
    if (!thread_.joinable()) {
        try {
            thread_ = std::thread([this] { loop(); });
        } catch (const std::system_error&) {
            return false;
        }
        placement_.recordAllowed();
    }
    // Checked at every hand-over: the caller may have moved since the last one.
    placement_.keepOff(thread_.native_handle());
    return true;
}

void HelperThread::start() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!stopping_.load()) (void)startLocked();
}

bool HelperThread::post(void (*task)(void*), void* context) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (busy_ || !startLocked()) return false;
    task_ = task;
    context_ = context;
    busy_ = true;
    failed_ = false;
    claimed_.store(false, std::memory_order_relaxed);
    pending_.store(true, std::memory_order_release);
    const bool sleeping = helperSleeping_;
    lock.unlock();
    if (sleeping) wake_.notify_one();
    return true;
}

bool HelperThread::runHereIfWaiting() {
    if (claimed_.exchange(true, std::memory_order_acq_rel)) return false;
    // The helper thread, if it wakes now, finds nothing to do.
    pending_.store(false, std::memory_order_release);
    bool failed = false;
    try {
        task_(context_);
    } catch (...) {
        failed = true;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    failed_ = failed;
    return true;
}

bool HelperThread::wait() {
    if (!runHereIfWaiting() &&
        !PollFor([this] { return !pending_.load(std::memory_order_acquire); })) {
        std::unique_lock<std::mutex> lock(mutex_);
        ownerSleeping_ = true;
        finished_.wait(lock, [this] { return !pending_.load(std::memory_order_acquire); });
        ownerSleeping_ = false;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    busy_ = false;
    return !failed_;
}

void HelperThread::loop() {
    for (;;) {
        auto ready = [this] {
            return pending_.load(std::memory_order_acquire) || stopping_.load();
        };
        if (!PollFor(ready)) {
            std::unique_lock<std::mutex> lock(mutex_);
            helperSleeping_ = true;
            wake_.wait(lock, ready);
            helperSleeping_ = false;
        }
        if (!pending_.load(std::memory_order_acquire)) {
            if (stopping_.load()) return;  // nothing left to do
            continue;
        }
        // The caller may have taken the task back while this thread was on its way.
        if (claimed_.exchange(true, std::memory_order_acq_rel)) continue;
        void (*task)(void*);
        void* context;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            task = task_;
            context = context_;
        }
        bool failed = false;
        try {
            task(context);
        } catch (...) {
            failed = true;
        }
        bool sleeping;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            failed_ = failed;
            pending_.store(false, std::memory_order_release);
            sleeping = ownerSleeping_;
        }
        if (sleeping) finished_.notify_one();
    }
}

}  // namespace qx
