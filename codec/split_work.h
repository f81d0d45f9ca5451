// Splits a range of independent work items between the calling thread and one helper thread,
// for the stages whose rows or columns do not depend on each other.
#pragma once

#include <system_error>
#include <thread>

namespace qx {

// Calls fn(lane, begin, end) on [begin, end): with split, the first half runs here as lane 0
// and the second half on a helper thread as lane 1. Without a helper thread (split false, too
// few items, or the system refusing one), everything runs here as lane 0.
template <typename Fn>
void SplitInTwo(int begin, int end, bool split, Fn&& fn) {
    if (split && end - begin >= 2) {
        const int mid = begin + (end - begin) / 2;
        try {
            std::thread helper([&fn, mid, end] { fn(1, mid, end); });
            fn(0, begin, mid);
            helper.join();
            return;
        } catch (const std::system_error&) {
            // No helper thread: do the whole range here.
        }
    }
    fn(0, begin, end);
}

}  // namespace qx
