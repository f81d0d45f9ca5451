// Work split between two threads: an exception in either lane is a failed result, never a
// terminated program, and the helper thread is always joined.
#include <gtest/gtest.h>

#include <atomic>
#include <new>

#include "codec/split_work.h"

TEST(SplitInTwo, AThrowingLaneFailsTheSplitAndTheOtherLaneFinishes) {
    for (const int throwing : {0, 1}) {
        std::atomic<int> finished{0};
        const bool done = qx::SplitInTwo(0, 64, true, [&](int lane, int, int) {
            if (lane == throwing) throw std::bad_alloc();
            ++finished;
        });
        EXPECT_FALSE(done) << "lane " << throwing;
        EXPECT_EQ(finished, 1);
    }
    // Without a split the one lane's exception fails it just the same.
    EXPECT_FALSE(qx::SplitInTwo(0, 64, false, [](int, int, int) { throw std::bad_alloc(); }));
    int items = 0;
    EXPECT_TRUE(qx::SplitInTwo(0, 64, true, [&](int lane, int begin, int end) {
        if (lane == 1) return;
        items += end - begin;
    }));
    EXPECT_EQ(items, 32);
}
