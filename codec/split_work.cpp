#include "codec/split_work.h"

#include <system_error>

namespace qx {

HelperThread::~HelperThread() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    if (thread_.joinable()) thread_.join();
}

bool HelperThread::post(void (*task)(void*), void* context) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (busy_) return false;
    if (!thread_.joinable()) {
        try {
            thread_ = std::thread([this] { loop(); });
        } catch (const std::system_error&) {
            return false;
        }
    }
    task_ = task;
    context_ = context;
    busy_ = true;
    failed_ = false;
    lock.unlock();
    wake_.notify_one();
    return true;
}

bool HelperThread::wait() {
    std::unique_lock<std::mutex> lock(mutex_);
    finished_.wait(lock, [this] { return task_ == nullptr; });
    busy_ = false;
    return !failed_;
}

void HelperThread::loop() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || task_ != nullptr; });
        if (task_ == nullptr) return;  // stopping with nothing left to do
        void (*task)(void*) = task_;
        void* context = context_;
        lock.unlock();
        bool failed = false;
        try {
            task(context);
        } catch (...) {
            failed = true;
        }
        lock.lock();
        failed_ = failed;
        task_ = nullptr;
        finished_.notify_one();
    }
}

}  // namespace qx
