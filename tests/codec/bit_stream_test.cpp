#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "codec/bit_stream.h"

namespace {

qx::WordStream MakeStream(size_t words) {
    qx::WordStream s;
    s.words.assign(words, 0);
    s.limit = static_cast<uint32_t>(words - 1);
    return s;
}

TEST(BitStream, RandomSymbolsReadBackExactly) {
    std::mt19937 rng(7);
    qx::WordStream s = MakeStream(4096);
    std::vector<std::pair<uint32_t, uint32_t>> written;
    for (int i = 0; i < 30000; ++i) {
        const uint32_t n = 1 + rng() % 2;
        const uint32_t v = rng() & ((1u << n) - 1);
        qx::PutBits(s, v, n);
        written.emplace_back(v, n);
    }
    ASSERT_FALSE(s.failed);
    const uint32_t endIndex = s.index;
    const uint32_t endUsed = s.used;
    s.rewind();
    s.limit = endIndex + 1;
    int mismatches = 0;

    // The reader keeps its position in locals; it is resumed after every thousand symbols. Then
    // a read past the limit fails.
    for (size_t first = 0; first < written.size(); first += 1000) {
        qx::StreamReader reader(s);
        for (size_t i = first; i < std::min(first + 1000, written.size()); ++i)
            mismatches += reader.get(written[i].second) != written[i].first;
        reader.finish();
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(s.index, endIndex);
    EXPECT_EQ(s.used, endUsed);
    EXPECT_FALSE(s.failed);
    qx::StreamReader reader(s);
    while (!reader.failed()) reader.get(7);
    EXPECT_TRUE(s.failed);
}

TEST(BitStream, AppendingAStreamEqualsWritingItsSymbolsInPlace) {
    std::mt19937 rng(11);
    for (int headSymbols : {0, 7, 16, 17, 500}) {
        qx::WordStream whole = MakeStream(512);
        qx::WordStream head = MakeStream(512);
        qx::WordStream tail = MakeStream(512);
        for (int i = 0; i < headSymbols + 700; ++i) {
            const uint32_t n = 1 + rng() % 2;
            const uint32_t v = rng() & ((1u << n) - 1);
            qx::PutBits(whole, v, n);
            qx::PutBits(i < headSymbols ? head : tail, v, n);
        }
        ASSERT_TRUE(qx::AppendStream(head, tail));
        EXPECT_EQ(head.index, whole.index);
        EXPECT_EQ(head.used, whole.used);
        EXPECT_TRUE(std::equal(whole.words.begin(), whole.words.begin() + whole.index + 1,
                               head.words.begin()));
    }
    // Segments written to a side stream last first, then appended in their own order: the way
    // the encoder's helper codes trees from the back.
    for (int headSymbols : {0, 5, 40}) {
        qx::WordStream whole = MakeStream(512);
        qx::WordStream head = MakeStream(512);
        qx::WordStream side = MakeStream(512);
        std::vector<std::vector<std::pair<uint32_t, uint32_t>>> segments(9);
        for (size_t k = 0; k < segments.size(); ++k) {
            for (size_t i = 0; i < 3 + 29 * k % 97; ++i) {  // from 3 to 99 symbols
                const uint32_t n = 1 + rng() % 7;
                segments[k].emplace_back(rng() & ((1u << n) - 1), n);
            }
        }
        for (int i = 0; i < headSymbols; ++i) {
            qx::PutBits(whole, 1, 1);
            qx::PutBits(head, 1, 1);
        }
        for (const auto& segment : segments)
            for (auto [v, n] : segment) qx::PutBits(whole, v, n);
        std::vector<uint64_t> starts(segments.size());
        for (size_t k = segments.size(); k-- > 0;) {
            starts[k] = qx::BitsWritten(side);
            for (auto [v, n] : segments[k]) qx::PutBits(side, v, n);
        }
        uint64_t end = qx::BitsWritten(side);
        for (size_t k = 0; k < segments.size(); ++k) {
            ASSERT_TRUE(qx::AppendBits(head, side, starts[k], end));
            end = starts[k];
        }
        EXPECT_EQ(qx::BitsWritten(head), qx::BitsWritten(whole));
        EXPECT_TRUE(std::equal(whole.words.begin(), whole.words.begin() + whole.index + 1,
                               head.words.begin()));
    }
    // An append that would pass the limit fails and leaves the stream marked.
    qx::WordStream small = MakeStream(8);
    small.limit = 2;
    qx::WordStream big = MakeStream(8);
    for (int i = 0; i < 100; ++i) qx::PutBits(big, 1, 1);
    EXPECT_FALSE(qx::AppendStream(small, big));
    EXPECT_TRUE(small.failed);
}

// The writer that keeps its position in locals leaves the stream as PutBits does, in runs that
// stop short of the limit, reach it exactly, and run past it, continuing a written stream.
TEST(BitStream, WriterLeavesTheStreamAsPutBitsDoes) {
    std::mt19937 rng(5);
    for (uint32_t limit : {3u, 40u, 200u}) {
        qx::WordStream plain = MakeStream(256);
        qx::WordStream held = MakeStream(256);
        plain.limit = held.limit = limit;
        for (int run = 0; run < 6; ++run) {
            qx::StreamWriter writer(held);
            for (int i = 0; i < 400; ++i) {
                const uint32_t n = 1 + rng() % 7;
                const uint32_t v = rng() & ((1u << n) - 1);
                qx::PutBits(plain, v, n);
                writer.put(v, n);
            }
            EXPECT_EQ(writer.failed(), plain.failed);
            writer.finish();
            ASSERT_EQ(held.index, plain.index);
            ASSERT_EQ(held.used, plain.used);
            ASSERT_EQ(held.failed, plain.failed);
            ASSERT_TRUE(std::equal(plain.words.begin(), plain.words.end(), held.words.begin()));
        }
    }
}

TEST(BitStream, NeverWritesOrReadsPastItsLimit) {
    qx::WordStream s = MakeStream(4);
    s.limit = 1;  // words 0 and 1 may be written
    for (int i = 0; i < 100; ++i) qx::PutBits(s, 1, 1);
    EXPECT_TRUE(s.failed);
    EXPECT_EQ(s.index, 1u);
    EXPECT_EQ(s.words[2], 0u);

    qx::WordStream r = MakeStream(4);
    r.words[0] = 0xFFFFFFFF;
    r.limit = 1;
    qx::StreamReader reader(r);
    for (int i = 0; i < 32; ++i) EXPECT_EQ(reader.get(1), 1u);
    EXPECT_FALSE(r.failed);
    reader.get(1);
    EXPECT_TRUE(r.failed);
}

}  // namespace
