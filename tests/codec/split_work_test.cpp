// Work split between two threads.
#include <gtest/gtest.h>

#include <sched.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

#include "codec/codec.h"
#include "codec/split_work.h"

namespace {

TEST(HelperThread, SharesItemsOneByOneFromBothEndsWithoutGaps) {
    qx::HelperThread helper;
    std::vector<std::atomic<int>> seen(300);
    for (int round = 0; round < 200; ++round) {
        int last[2] = {-1, 300};  // each lane's previous item
        EXPECT_TRUE(qx::ShareOutItems(&helper, 0, 300, [&](int lane, int item, int end) {
            ASSERT_EQ(end, item + 1);
            ASSERT_EQ(item, lane == 0 ? last[0] + 1 : last[1] - 1);
            last[lane] = item;
            ++seen[item];
        }));
    }
    for (const std::atomic<int>& count : seen) ASSERT_EQ(count, 200);

    std::atomic<int> ran{0};
    EXPECT_FALSE(qx::ShareOutItems(&helper, 0, 10, [&](int, int item, int) {
        ++ran;
        if (item == 4) throw std::runtime_error("item");
    }));
    EXPECT_EQ(ran, 10);  // the other items still ran, and were waited for
}

TEST(HelperThread, SharesOutAlignedPiecesFromBothEnds) {
    qx::HelperThread helper;
    std::vector<std::atomic<int>> seen(1000);
    for (int round = 0; round < 200; ++round) {
        EXPECT_TRUE(qx::ShareOut(&helper, 8, 1000, 64, [&](int, int begin, int end) {
            EXPECT_EQ((begin - 8) % 64, 0);
            EXPECT_TRUE(end - begin == 64 || end == 1000);
            for (int i = begin; i < end; ++i) ++seen[i];
        }));
    }
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(seen[i], i < 8 ? 0 : 200);

    std::atomic<int> items{0};
    EXPECT_FALSE(qx::ShareOut(&helper, 0, 100, 1, [&](int, int begin, int end) {
        items += end - begin;
        if (begin == 0) throw std::runtime_error("piece");
    }));
    EXPECT_EQ(items, 100);  // every other piece still ran
}

// The helper runs on another processor than the thread that posts to it, also after that thread
// has moved: a helper beside its owner only runs while the owner waits.
TEST(HelperThread, RunsOffThePostersProcessor) {
    cpu_set_t allowed;
    ASSERT_EQ(sched_getaffinity(0, sizeof allowed, &allowed), 0);
    std::vector<int> cpus;
    for (int cpu = 0; cpu < CPU_SETSIZE && cpus.size() < 2; ++cpu)
        if (CPU_ISSET(cpu, &allowed)) cpus.push_back(cpu);
    if (cpus.size() < 2) GTEST_SKIP() << "one processor";

    struct Restore {
        cpu_set_t mask;
        ~Restore() { sched_setaffinity(0, sizeof mask, &mask); }
    } restore{allowed};
    qx::HelperThread helper;
    helper.start();
    for (int round = 0; round < 4; ++round) {
        const int poster = cpus[round % 2];
        cpu_set_t one;
        CPU_ZERO(&one);
        CPU_SET(poster, &one);
        ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
        struct Task {
            std::atomic<int> cpu{-1};
        } task;
        ASSERT_TRUE(
            helper.post([](void* t) { static_cast<Task*>(t)->cpu = sched_getcpu(); }, &task));
        // Leave the task to the helper: wait() would run it here.
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (task.cpu < 0 && std::chrono::steady_clock::now() < end) std::this_thread::yield();
        EXPECT_TRUE(helper.wait());
        EXPECT_NE(task.cpu, poster) << "round " << round;
        EXPECT_GE(task.cpu, 0);
    }
}

// Pictures large enough to be split code to the same streams and restore to the same picture
// with the helper thread as without it.
TEST(HelperThread, SplitWorkChangesNoByte) {
    std::vector<uint8_t> streams[2];
    qx::Buffer<uint8_t> restored[2];
    for (int split : {0, 1}) {
        qx::Codec codec;
        codec.splitWork = split != 0;
        const int side = 640;
        codec.state.PictureBuffer.resize(side * side * 3);
        for (size_t i = 0; i < codec.state.PictureBuffer.size(); ++i)
            codec.state.PictureBuffer[i] = static_cast<uint8_t>((i * i / 7 + i / 3000) % 251);
        codec.state.Width = codec.state.Length = side;
        ASSERT_EQ(qx::CompressForPreview(codec), 0);
        const uint8_t* words = reinterpret_cast<const uint8_t*>(codec.MainCode.words.data());
        streams[split].assign(words, words + 4 * (codec.MainCodeEnd.index + 1));
        restored[split] = codec.state.WorkBuffer;
    }
    EXPECT_EQ(streams[0], streams[1]);
    EXPECT_TRUE(restored[0] == restored[1]);
}

}  // namespace
