// Splits a range of independent work items between the calling thread and one helper thread,
// for the stages whose rows or columns do not depend on each other.
#pragma once

#include <system_error>
#include <thread>

namespace qx {

// Calls fn(lane, begin, end) on [begin, end): with split, the first half runs here as lane 0
// and the second half on a helper thread as lane 1. Without a helper thread (split false, too
// few items, or the system refusing one), everything runs here as lane 0. The helper is joined
// on every path; an exception in either lane (std::bad_alloc, say) ends that lane and makes the
// result false instead of escaping a thread. Callers whose lanes may throw look at the result.
template <typename Fn>
bool SplitInTwo(int begin, int end, bool split, Fn&& fn) {
    auto lane = [&fn](int index, int first, int last) noexcept {
        try {
            fn(index, first, last);
            return true;
        } catch (...) {
            return false;
        }
    };
    if (!split || end - begin < 2) return lane(0, begin, end);
    const int mid = begin + (end - begin) / 2;
    bool helperDone = false;
    std::thread helper;
    try {
        helper = std::thread([&lane, &helperDone, mid, end] { helperDone = lane(1, mid, end); });
    } catch (const std::system_error&) {
        return lane(0, begin, end);
    }
    const bool hereDone = lane(0, begin, mid);
    helper.join();
    return hereDone && helperDone;
}

}  // namespace qx
