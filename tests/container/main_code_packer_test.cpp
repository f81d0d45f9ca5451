// The MainCode packer and unpacker: the frequency model, the round trip, and the unpacker's
// behaviour at the edges of its input and output.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "codec/codec.h"
#include "container/main_code_packer.h"

namespace {

std::vector<uint8_t> RoundTrip(const std::vector<uint8_t>& input) {
    qx::CumFreqTable table;
    std::vector<uint8_t> packed(qx::PackedRoom(input.size()));
    const int packedBytes = qx::PackMainCode(input, {}, table, packed);
    EXPECT_GT(packedBytes, 0);
    packed.resize(static_cast<size_t>(packedBytes));
    const int limit = static_cast<int>(input.size()) + 64;
    std::vector<uint8_t> out(static_cast<size_t>(limit), 0xEE);
    const int produced = qx::UnpackMainCode(packed, table, limit, out);
    EXPECT_EQ(produced, static_cast<int>(input.size()) + 1);
    // Stopping and going on anywhere makes the same bytes.
    for (int64_t stretch : {1, 7, 4096}) {
        std::vector<uint8_t> again(out.size(), 0xEE);
        qx::MainCodeUnpacker unpacker(packed, table, limit, again);
        int result;
        while ((result = unpacker.run(stretch)) == qx::MainCodeUnpacker::kRunning) {
        }
        EXPECT_EQ(result, produced);
        EXPECT_EQ(unpacker.run(stretch), produced);
        EXPECT_EQ(again, out) << stretch;
    }
    out.resize(produced > 0 ? static_cast<size_t>(produced - 1) : 0);
    return out;
}

TEST(CumFreq, LargeInputsAreScaledSoEveryByteOwnsARange) {
    for (size_t n : {size_t{16381}, size_t{16382}, size_t{100000}, size_t{1} << 20}) {
        std::vector<uint8_t> input(n, 0);
        for (size_t i = 0; i < n; i += 97) input[i] = 200;
        const qx::CumFreqTable t = qx::BuildCumFreq(input);
        if (n < 16382) {
            EXPECT_EQ(t.total(), n + 1);
            EXPECT_EQ(t.at(2), t.at(1));  // byte 1 never occurs and is not given a range
            continue;
        }
        EXPECT_LT(t.total(), 16383u) << n;
        for (int s = 0; s <= 255; ++s) EXPECT_GE(t.at(s + 1) - t.at(s), 1) << n << " " << s;
    }
}

TEST(MainCodePacker, RandomAndSkewedInputsRoundTrip) {
    std::mt19937 rng(12345);
    std::vector<std::vector<uint8_t>> inputs;
    inputs.push_back({0});
    inputs.push_back(std::vector<uint8_t>(5000, 255));
    for (size_t n : {1u, 17u, 4097u, 70000u}) {
        std::vector<uint8_t> uniform(n), skewed(n), runs(n);
        for (auto& b : uniform) b = static_cast<uint8_t>(rng());
        for (auto& b : skewed) b = rng() % 50 == 0 ? static_cast<uint8_t>(rng()) : 0;
        for (size_t i = 0; i < n; ++i) runs[i] = static_cast<uint8_t>((i / 300) % 3);
        inputs.push_back(uniform);
        inputs.push_back(skewed);
        inputs.push_back(runs);
    }
    for (const auto& input : inputs) EXPECT_EQ(RoundTrip(input), input) << input.size();
}

TEST(MainCodeUnpacker, SymbolSearchMatchesALinearSearch) {
    std::mt19937 rng(7);
    for (int round = 0; round < 50; ++round) {
        qx::CumFreqTable t;
        uint16_t v = 1;
        for (int i = 1; i <= 256; ++i) {
            v = static_cast<uint16_t>(v + (rng() % 3 == 0 ? 0 : rng() % 60));
            t.at(i) = v;
        }
        for (uint32_t count = 0; count < t.total(); ++count) {
            int expected = 255;
            while (t.at(expected) > count) --expected;
            ASSERT_EQ(qx::FindSymbol(t, count), expected) << count;
        }
    }
}

TEST(DivideByTotal, MatchesDivisionForEveryTotalAtTheEdgesOfEachQuotient) {
    std::mt19937 rng(11);
    for (uint32_t total = 1; total <= 65535; ++total) {
        const qx::DivideByTotal divide(total);
        const uint32_t top = UINT32_MAX / total * total;  // the largest multiple
        for (uint32_t n : {0u, 1u, total - 1, total, 65536 * total - 1, top - 1, top, UINT32_MAX,
                           static_cast<uint32_t>(rng())}) {
            ASSERT_EQ(divide(n), n / total) << n << " / " << total;
        }
    }
}

// The unpacker one bit at a time, as the coder is defined; the library's takes runs of bits at
// once. Returns the output length + 1, or -1 at the limit or on an empty range.
int UnpackBitByBit(const std::vector<uint8_t>& packed, const qx::CumFreqTable& t, int limit,
                   std::vector<uint8_t>& out) {
    size_t bit = 0;
    auto next = [&]() -> uint32_t {
        const size_t at = bit++;
        return at / 8 < packed.size() ? (packed[at / 8] >> (7 - at % 8)) & 1 : 0;
    };
    uint32_t value = 0, low = 0, high = 0xFFFF;
    for (int i = 0; i < 16; ++i) value = (value << 1) | next();
    out.clear();
    for (;;) {
        const uint32_t range = high - low + 1, total = t.total();
        if (range == 0) return -1;
        const uint32_t count = (((value - low + 1) * total - 1) / range) & 0xFFFF;
        const int s = qx::FindSymbol(t, count);
        high = (low + range * t.at(s + 1) / total - 1) & 0xFFFF;
        low = (low + range * t.at(s) / total) & 0xFFFF;
        for (;;) {
            if (((high ^ low) & 0x8000) == 0) {
            } else if ((low & 0x4000) && !(high & 0x4000)) {
                value ^= 0x4000, low &= 0x3FFF, high |= 0x4000;
            } else {
                break;
            }
            low = (low << 1) & 0xFFFF;
            high = ((high << 1) | 1) & 0xFFFF;
            value = ((value << 1) | next()) & 0xFFFF;
        }
        if (s < 0) return static_cast<int>(out.size()) + 1;
        if (static_cast<int>(out.size()) + 1 > limit - 20) return -1;
        out.push_back(static_cast<uint8_t>(s));
    }
}

// The packer one bit at a time, as the format describes it: the bytes PackMainCode must write.
std::vector<uint8_t> PackBitByBit(const std::vector<uint8_t>& input, const qx::CumFreqTable& t) {
    std::vector<uint8_t> out;
    size_t bits = 0;
    auto put = [&](uint32_t bit) {
        if (bits % 8 == 0) out.push_back(0);
        out.back() = static_cast<uint8_t>(out.back() | bit << (7 - bits % 8));
        ++bits;
    };
    uint32_t low = 0, high = 0xFFFF, pending = 0;
    auto withPending = [&](uint32_t bit, uint32_t count) {
        put(bit);
        for (; count > 0; --count) put(bit ^ 1);
    };
    for (size_t i = 0; i <= input.size(); ++i) {
        const int s = i < input.size() ? input[i] : qx::CumFreqTable::kEndSymbol;
        const uint32_t range = high - low + 1, total = t.total();
        high = (low + range * t.at(s + 1) / total - 1) & 0xFFFF;
        low = (low + range * t.at(s) / total) & 0xFFFF;
        for (;;) {
            if (((high ^ low) & 0x8000) == 0) {
                withPending(high >> 15, pending);
                pending = 0;
            } else if ((low & 0x4000) && !(high & 0x4000)) {
                ++pending, low &= 0x3FFF, high |= 0x4000;
            } else {
                break;
            }
            low = (low << 1) & 0xFFFF;
            high = ((high << 1) | 1) & 0xFFFF;
        }
    }
    withPending((low >> 14) & 1, pending + 1);
    if (bits % 8 == 0) out.push_back(0);  // the count includes the byte in progress
    return out;
}

TEST(MainCodePacker, WritesTheBitsOfTheBitByBitCoder) {
    std::mt19937 rng(5);
    for (int round = 0; round < 200; ++round) {
        // Long runs of one likely byte make long runs of pending bits.
        std::vector<uint8_t> input(1 + rng() % 3000);
        const uint32_t spread = 1 + rng() % 255;
        for (auto& b : input)
            b = static_cast<uint8_t>(round % 2 && rng() % 64 ? 7 : rng() % spread);
        qx::CumFreqTable table;
        std::vector<uint8_t> packed(qx::PackedRoom(input.size()));
        packed.resize(static_cast<size_t>(qx::PackMainCode(input, {}, table, packed)));
        ASSERT_EQ(packed, PackBitByBit(input, table)) << round;
    }
}

TEST(MainCodeUnpacker, MatchesTheBitByBitCoderOnAnyBytesAndTables) {
    std::mt19937 rng(21);
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> input(1 + rng() % 2000);
        const uint32_t spread = 1 + rng() % 255;
        for (auto& b : input) b = static_cast<uint8_t>(rng() % spread);
        qx::CumFreqTable table;
        std::vector<uint8_t> packed(qx::PackedRoom(input.size()));
        packed.resize(static_cast<size_t>(qx::PackMainCode(input, {}, table, packed)));
        if (round % 3 == 1) {  // damaged bytes
            for (int i = 0; i < 5; ++i) packed[rng() % packed.size()] ^= 1 << (rng() % 8);
        } else if (round % 3 == 2) {  // a damaged table, decreasing somewhere
            table.at(static_cast<int>(rng() % 256)) = static_cast<uint16_t>(rng() % 20000);
        }
        const int limit = static_cast<int>(input.size()) + 64;
        std::vector<uint8_t> got(static_cast<size_t>(limit)), expected;
        const int n = qx::UnpackMainCode(packed, table, limit, got);
        const int m = UnpackBitByBit(packed, table, limit, expected);
        ASSERT_EQ(n < 0, m < 0) << round;
        if (n < 0) continue;
        ASSERT_EQ(n, m) << round;
        got.resize(static_cast<size_t>(n - 1));
        ASSERT_EQ(got, expected) << round;
        if (round % 3 == 0) {
            EXPECT_EQ(got, input);
        }
    }
}

TEST(MainCodeUnpacker, BitsPastThePackedBytesReadAsZero) {
    std::vector<uint8_t> input(3000);
    std::mt19937 rng(3);
    for (auto& b : input) b = static_cast<uint8_t>(rng() % 4);
    qx::CumFreqTable table;
    std::vector<uint8_t> packed(qx::PackedRoom(input.size()));
    const int n = qx::PackMainCode(input, {}, table, packed);
    ASSERT_GT(n, 0);

    std::vector<uint8_t> exact(packed.begin(), packed.begin() + n);
    std::vector<uint8_t> padded = exact;
    padded.push_back(0);
    padded.push_back(0);
    std::vector<uint8_t> a(4000), b(4000);
    EXPECT_EQ(qx::UnpackMainCode(exact, table, 4000, a), 3001);
    EXPECT_EQ(qx::UnpackMainCode(padded, table, 4000, b), 3001);
    EXPECT_EQ(a, b);
    // An empty stream decodes to the end symbol at once.
    EXPECT_EQ(qx::UnpackMainCode({}, table, 4000, a), 1);
}

TEST(MainCodeUnpacker, StopsAtTheLimitWithoutWritingPastIt) {
    const std::vector<uint8_t> input(500, 9);
    qx::CumFreqTable table;
    std::vector<uint8_t> packed(qx::PackedRoom(input.size()));
    const int n = qx::PackMainCode(input, {}, table, packed);
    packed.resize(static_cast<size_t>(n));

    // 500 bytes fit a limit of 520 exactly; one byte less fails.
    std::vector<uint8_t> out(600, 0xEE);
    EXPECT_EQ(qx::UnpackMainCode(packed, table, 520, out), 501);
    std::fill(out.begin(), out.end(), 0xEE);
    EXPECT_EQ(qx::UnpackMainCode(packed, table, 519, out), qx::kDecodeErr);
    EXPECT_EQ(out[498], 9);
    EXPECT_EQ(out[499], 0xEE);

    qx::CumFreqTable empty;
    empty.entries.fill(0);
    EXPECT_EQ(qx::UnpackMainCode(packed, empty, 520, out), qx::kDecodeErr);
}

}  // namespace
