// Splits a range of independent work items between the calling thread and one helper thread,
// for the stages whose rows or columns do not depend on each other.
#pragma once

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <mutex>
#include <thread>

#include "codec/thread_placement.h"

namespace qx {

// Planes and bands of this many samples or more are worth sharing with the helper thread.
constexpr int kSplitFromSamples = 1 << 16;

// One helper thread that sleeps between splits: a picture has some thirty splits, and starting a
// thread for each costs more system time than the work it takes over. The thread starts on first
// use and is joined by the destructor. Both sides poll for a few tens of microseconds before
// they sleep: splits follow each other closely and the two halves end close together, so most
// hand-overs then need no system call at all. A task the helper thread has not taken up by the
// time the caller waits for it runs on the caller instead: a thread the system is slow to
// schedule (starting one can take milliseconds on a busy or virtual machine) never costs more
// than doing the work alone. The thread is kept off the processor that posts to it (see
// ThreadPlacement), so that the two halves of a split run side by side.
class HelperThread {
  public:
    HelperThread() = default;
    ~HelperThread();
    HelperThread(const HelperThread&) = delete;
    HelperThread& operator=(const HelperThread&) = delete;

    // Starts the thread now rather than on first use, for a caller with other work to do while
    // the system brings it up. Nothing changes when it cannot be started: post tries again.
    void start();
    // Hands task(context) to the helper thread. False when the helper is busy or no thread could
    // be started: the caller then does the work itself.
    bool post(void (*task)(void*), void* context);
    // Waits until the posted task has ended, running it here if the helper thread has not taken
    // it up yet; false when it ended with an exception.
    bool wait();
    // Lets the helper thread end without waiting for it, for an object that is kept until the
    // process exits: the thread is then gone by the time the process ends. Nothing may be posted
    // afterwards.
    void stop();

  private:
    // Starts the thread unless it runs, and keeps it off the caller's processor; false when it
    // cannot start. Called under mutex_.
    bool startLocked();
    void loop();
    // Runs the posted task here unless the helper thread has taken it up; true when it ran here.
    bool runHereIfWaiting();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable finished_;
    void (*task_)(void*) = nullptr;
    void* context_ = nullptr;
    // Set by post; cleared by the helper when the task has ended, or by the caller when it takes
    // the task back. task_, context_ and failed_ are handed over through it.
    std::atomic<bool> pending_{false};
    // Set by whichever side takes the posted task up; post clears it.
    std::atomic<bool> claimed_{false};
    std::atomic<bool> stopping_{false};
    // Who sleeps on a condition variable; written and read under mutex_, so that a flag set
    // just before the other side goes to sleep is never missed.
    bool helperSleeping_ = false;
    bool ownerSleeping_ = false;
    bool busy_ = false;
    bool failed_ = false;
    ThreadPlacement placement_;
    std::thread thread_;
};

// The pieces of a range handed out from both ends: the front to one thread, the back to the
// other, until they meet.
class PieceCounter {
  public:
    explicit PieceCounter(int pieces) : ends_(uint64_t{static_cast<uint32_t>(pieces)} << 32) {}
    // The next piece from the front, or -1 when none is left.
    int takeFront() { return take(true); }
    // The next piece from the back, or -1 when none is left.
    int takeBack() { return take(false); }

  private:
    int take(bool front) {
        uint64_t ends = ends_.load(std::memory_order_relaxed);
        for (;;) {
            const uint32_t next = static_cast<uint32_t>(ends);
            const uint32_t last = static_cast<uint32_t>(ends >> 32);
            if (next >= last) return -1;
            const uint64_t taken = front ? ends + 1 : ends - (uint64_t{1} << 32);
            if (ends_.compare_exchange_weak(ends, taken, std::memory_order_relaxed)) {
                return static_cast<int>(front ? next : last - 1);
            }
        }
    }

    std::atomic<uint64_t> ends_;  // the next front piece in the low half, the back end in the high
};

// The size of ShareOut's pieces of [begin, end) (not empty): about a sixteenth, a multiple of
// align.
inline int ShareOutGrain(int begin, int end, int align) {
    align = std::max(align, 1);
    return ((end - begin + 15) / 16 + align - 1) / align * align;
}

// ShareOut and ShareOutItems: pieces of `grain` items.
template <typename Fn>
bool ShareOutPieces(HelperThread* helper, int begin, int end, int grain, Fn&& fn) {
    const int pieces = (end - begin + grain - 1) / grain;
    std::atomic<bool> failed{false};
    auto run = [&fn, &failed, begin, end, grain](int lane, int piece) {
        const int first = begin + piece * grain;
        try {
            fn(lane, first, std::min(end, first + grain));
        } catch (...) {
            failed.store(true, std::memory_order_relaxed);
        }
    };
    PieceCounter counter(pieces);
    auto back = [&counter, &run] {
        for (int piece; (piece = counter.takeBack()) >= 0;) run(1, piece);
    };
    using Back = decltype(back);
    const bool posted = helper != nullptr && pieces >= 2 &&
                        helper->post([](void* task) { (*static_cast<Back*>(task))(); }, &back);
    for (int piece; (piece = counter.takeFront()) >= 0;) run(0, piece);
    if (posted && !helper->wait()) failed = true;
    return !failed.load(std::memory_order_relaxed);
}

// Calls fn(lane, pieceBegin, pieceEnd) over [begin, end) cut into about sixteen pieces whose
// sizes are multiples of align (the last may be shorter). This thread takes pieces from the front
// as lane 0 and the helper thread from the back as lane 1 until they meet, so a helper that the
// system starts late still takes what is left, and one that never starts takes nothing. For work
// whose items are independent and whose lanes may see any number of pieces. Returns false when
// a piece ended with an exception; the other pieces are still done.
template <typename Fn>
bool ShareOut(HelperThread* helper, int begin, int end, int align, Fn&& fn) {
    return end <= begin || ShareOutPieces(helper, begin, end, ShareOutGrain(begin, end, align), fn);
}

// ShareOut for items of unequal cost, one at a time: fn(lane, item, item + 1). The front lane
// sees its items in rising order, the back lane in falling order, each without gaps.
template <typename Fn>
bool ShareOutItems(HelperThread* helper, int begin, int end, Fn&& fn) {
    return end <= begin || ShareOutPieces(helper, begin, end, 1, fn);
}

// Calls fn(firstSample, sampleCount) over the rows of a width x height plane, shared with the
// helper as ShareOut does when the plane has kSplitFromSamples samples or more; for the stages
// that treat every sample on its own.
template <typename Fn>
bool ShareSamples(HelperThread* helper, int width, int height, Fn&& fn) {
    const bool split = int64_t{width} * height >= kSplitFromSamples;
    return ShareOut(split ? helper : nullptr, 0, height, 1, [&](int, int first, int last) {
        fn(static_cast<size_t>(first) * static_cast<size_t>(width),
           static_cast<size_t>(last - first) * static_cast<size_t>(width));
    });
}

}  // namespace qx
