// Work split between two threads.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
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
