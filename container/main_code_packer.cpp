// The MainCode packer and unpacker. Both keep Low, High (and Code) as 16-bit values in 32-bit
// variables; every product range x cumulative count fits in 32 bits.
#include "container/main_code_packer.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "codec/codec.h"
#include "codec/vector_clones.h"

namespace qx {

namespace {

constexpr uint32_t kTop = 0x8000;     // bit 15
constexpr uint32_t kSecond = 0x4000;  // bit 14
constexpr uint32_t kMask16 = 0xFFFF;

// Writes bits from the most significant end of each byte and counts completed bytes. The bits
// collect in a register; the byte in progress is kept written out, its unused bits 0.
class BitSink {
  public:
    BitSink(uint8_t* out, size_t limit) : out_(out), limit_(limit) { out_[0] = 0; }

    // The count (at most 16) low bits of bits, most significant first. Fails once a completed
    // byte reaches the limit.
    bool putBits(uint32_t bits, int count) {
        const uint32_t held = (held_ << count) | (bits & ((1u << count) - 1));
        const int used = used_ + count;  // at most 7 + 16 bits, of which the low `used` count
        // The completed bytes (at most two) and the one in progress go out in one four-byte
        // store, however many there are: the bytes after the one in progress (0 bits) are
        // written again later, and PackedRoom leaves room for them.
        // held << (32 - used), without the undefined shift by 32 when used is 0:
        const uint32_t aligned = static_cast<uint32_t>((uint64_t{held} << 32) >> used);
        // The most significant byte first in memory.
        const uint32_t bytes =
            std::endian::native == std::endian::big ? aligned : __builtin_bswap32(aligned);
        std::memcpy(out_ + pos_, &bytes, sizeof bytes);
        pos_ += static_cast<size_t>(used >> 3);
        held_ = held;
        used_ = used & 7;
        return pos_ < limit_;
    }

    // A bit followed by `pending` copies of its complement.
    bool putWithPending(uint32_t bit, uint32_t pending) {
        if (!putBits(bit, 1)) return false;
        const uint32_t complement = bit ? 0 : 0xFFFF;
        for (; pending > 16; pending -= 16) {
            if (!putBits(complement, 16)) return false;
        }
        return putBits(complement, static_cast<int>(pending));
    }

    size_t completed() const { return pos_; }

  private:
    uint8_t* out_;
    size_t limit_;
    size_t pos_ = 0;
    uint32_t held_ = 0;  // its low used_ bits: those of out_[pos_] written so far
    int used_ = 0;
};

// The n leading bits on which low and high agree: 0 when their top bits differ, 16 when they are
// equal (they are 16-bit values).
int AgreeingBits(uint32_t low, uint32_t high) {
    return std::countl_zero(high ^ low) - 16;
}

// Shifts n bits out of both ends of the range, 0s into low and 1s into high.
void ShiftEnds(uint32_t& low, uint32_t& high, int n) {
    low = (low << n) & kMask16;
    high = (((high + 1) << n) - 1) & kMask16;
}

// Past n leading bits on which low and high agree (0 ... 16) and the bit after them, in which they
// differ: the further bits that are 1 in low and 0 in high, each marking a range around the
// middle. Read from the ends before the agreeing bits are shifted out, so that the packer can shift
// both steps out at once.
int StraddlingBits(uint32_t low, uint32_t high, int n = 0) {
    return std::countl_one(static_cast<uint32_t>(uint64_t{low & ~high} << (n + 17)));
}

// Takes k such bits (with any agreeing bits before them) out of both ends; bit 15 stays 0 in low
// and 1 in high.
void DropStraddlingBits(uint32_t& low, uint32_t& high, int k) {
    ShiftEnds(low, high, k);
    low &= kTop - 1;
    high |= kTop;
}

// Narrows [low, high] to the part [a, b) of total out of the current range.
void Narrow(uint32_t& low, uint32_t& high, uint32_t a, uint32_t b, const DivideByTotal& divide) {
    const uint32_t range = high - low + 1;
    high = (low + divide(range * b) - 1) & kMask16;
    low = (low + divide(range * a)) & kMask16;
}

// Narrow for the packer's own tables, whose totals stay below 2^14, by one 64-bit product a
// division: each cumulative count c is held as s = ceil(c 2^32 / total). For a range r of at
// most 2^16, r s / 2^32 exceeds r c / total by less than 2^-16, while r c / total falls short of
// the next integer by at least 1 / total, more than that: the floors agree.
class ScaledCumFreq {
    static_assert(CumFreqTable::kMaxTotal <= 65536);

  public:
    explicit ScaledCumFreq(const CumFreqTable& table) {
        const uint64_t total = table.total();
        for (size_t i = 0; i < scaled_.size(); ++i)
            scaled_[i] = ((uint64_t{table.entries[i]} << 32) + total - 1) / total;
    }

    void narrow(uint32_t& low, uint32_t& high, int symbol) const {
        const uint64_t range = high - low + 1;
        const size_t at = static_cast<size_t>(symbol + 1);
        high = (low + static_cast<uint32_t>((range * scaled_[at + 1]) >> 32) - 1) & kMask16;
        low = (low + static_cast<uint32_t>((range * scaled_[at]) >> 32)) & kMask16;
    }

  private:
    std::array<uint64_t, 258> scaled_;
};

}  // namespace

namespace {

CumFreqTable CumFreqOf(std::span<const uint8_t> first, std::span<const uint8_t> rest) {
    std::array<uint32_t, 257> f{};
    f[0] = 1;
    for (uint8_t b : first) ++f[b + 1u];
    for (uint8_t b : rest) ++f[b + 1u];
    for (size_t i = 1; i <= 256; ++i) f[i] += f[i - 1];

    while (f[256] >= CumFreqTable::kMaxTotal) {
        for (size_t i = 1; i <= 256; ++i) {
            f[i] >>= 1;
            if (f[i] <= f[i - 1]) f[i] = f[i - 1] + 1;
        }
    }

    CumFreqTable table;
    for (int i = 0; i <= 256; ++i) table.at(i) = static_cast<uint16_t>(f[static_cast<size_t>(i)]);
    return table;
}

}  // namespace

CumFreqTable BuildCumFreq(std::span<const uint8_t> input) {
    return CumFreqOf(input, {});
}

QX_BIT_CLONES int PackMainCode(std::span<const uint8_t> first, std::span<const uint8_t> rest,
                               CumFreqTable& cumFreq, std::span<uint8_t> output) {
    cumFreq = CumFreqOf(first, rest);
    const ScaledCumFreq scaled(cumFreq);

    const size_t inputBytes = first.size() + rest.size();
    if (output.size() < PackedRoom(inputBytes)) return kCodeErr;
    BitSink sink(output.data(), inputBytes + kPackedSlack);

    uint32_t low = 0;
    uint32_t high = kMask16;
    uint32_t pending = 0;

    auto code = [&](int symbol) __attribute__((always_inline)) {
        scaled.narrow(low, high, symbol);
        // The n leading bits on which low and high agree (none when their top bits differ).
        const int n = AgreeingBits(low, high);
        // After them, the bits by which the range straddles the middle become pending bits, all
        // at once. Both counts come from the ends as they are, so both leave in one shift.
        const int k = StraddlingBits(low, high, n);
        if (n > 0) {
            // The n agreeing bits go out at once: the first with the pending bits, the others
            // after it; in a single write when there are 16 at most.
            const uint32_t bit = (high >> 15) & 1;
            const uint32_t rest = high >> (16 - n);  // its low n - 1 bits follow the pending ones
            if (pending + static_cast<uint32_t>(n) <= 16) {
                // Masked rather than chosen: the compiler turns a choice into a branch on a bit
                // that is as good as random.
                const uint32_t complements = ((1u << pending) - 1) & (bit - 1);
                const uint32_t bits =
                    (((bit << pending) | complements) << (n - 1)) | (rest & ((1u << (n - 1)) - 1));
                if (!sink.putBits(bits, static_cast<int>(pending) + n)) return false;
            } else if (!sink.putWithPending(bit, pending) || !sink.putBits(rest, n - 1)) {
                return false;
            }
            pending = 0;
        }
        pending += static_cast<uint32_t>(k);
        DropStraddlingBits(low, high, n + k);
        return true;
    };

    for (std::span<const uint8_t> part : {first, rest}) {
        for (uint8_t b : part) {
            if (!code(b)) return kCodeErr;
        }
    }
    if (!code(CumFreqTable::kEndSymbol)) return kCodeErr;
    if (!sink.putWithPending((low >> 14) & 1, pending + 1)) return kCodeErr;
    return static_cast<int>(sink.completed() + 1);
}

int FindSymbol(const CumFreqTable& cumFreq, uint32_t count) {
    // At most three comparisons at multiples of 32 pick a start whose entry already exceeds
    // count (or 255); the walk down from any such start ends at the same symbol.
    int s;
    if (count < cumFreq.at(128)) {
        if (count < cumFreq.at(64)) {
            s = count < cumFreq.at(32) ? 32 : 64;
        } else {
            s = count < cumFreq.at(96) ? 96 : 128;
        }
    } else if (count < cumFreq.at(192)) {
        s = count < cumFreq.at(160) ? 160 : 192;
    } else {
        s = count < cumFreq.at(224) ? 224 : 255;
    }
    while (cumFreq.at(s) > count) --s;  // at(-1) is 0, so this stops there at the latest
    return s;
}

namespace {

// FindSymbol for every count below the total, by one lookup: filled when the table starts at 0
// and never decreases, the case of every table the reader accepts; empty otherwise.
std::vector<int16_t> SymbolLookup(const CumFreqTable& cumFreq) {
    std::vector<int16_t> symbols;
    if (cumFreq.at(-1) != 0) return symbols;
    for (int s = 0; s <= 256; ++s) {
        if (cumFreq.at(s) < cumFreq.at(s - 1)) return symbols;
    }
    symbols.resize(cumFreq.total());
    for (int s = CumFreqTable::kEndSymbol; s < 256; ++s) {
        std::fill(symbols.begin() + cumFreq.at(s), symbols.begin() + cumFreq.at(s + 1),
                  static_cast<int16_t>(s));
    }
    return symbols;
}

}  // namespace

MainCodeUnpacker::MainCodeUnpacker(std::span<const uint8_t> packed, const CumFreqTable& cumFreq,
                                   int limit, std::span<uint8_t> output)
    : cumFreq_(cumFreq),
      divide_(std::max<uint32_t>(cumFreq.total(), 1)),
      symbols_(SymbolLookup(cumFreq)),
      maxBytes_(int64_t{limit} - 20),
      output_(output),
      source_(packed) {
    if (cumFreq.total() == 0) result_ = kDecodeErr;
    for (int i = 0; i < 16; ++i) value_ = (value_ << 1) | source_.get();
}

namespace {

// The unpacker's moving state, in locals while a stretch runs: the byte stores could otherwise
// alias the members.
struct UnpackState {
    MainCodeBits source;
    uint32_t value;
    uint32_t low;
    uint32_t high;
    int64_t produced;
};

// Decodes at most `bytes` more; kRunning, or the result as MainCodeUnpacker::run returns it.
QX_BIT_CLONES int DecodeStretch(UnpackState& state, const CumFreqTable& cumFreq,
                                const DivideByTotal& divide, std::span<const int16_t> symbols,
                                std::span<uint8_t> output, int64_t maxBytes, int64_t bytes) {
    const uint32_t total = cumFreq.total();
    MainCodeBits source = state.source;
    uint32_t value = state.value;
    uint32_t low = state.low;
    uint32_t high = state.high;
    int64_t produced = state.produced;
    const int64_t stop = produced + bytes;
    // A byte is stored only below both the reader's limit and the output's end.
    const int64_t room = std::min(maxBytes, static_cast<int64_t>(output.size()));
    int result = MainCodeUnpacker::kRunning;
    while (produced < stop) {
        const uint32_t range = high - low + 1;
        if (range == 0) {  // only a table that decreases gets here
            result = kDecodeErr;
            break;
        }
        const uint32_t count = (((value - low + 1) * total - 1) / range) & kMask16;
        const int s = count < symbols.size() ? symbols[count] : FindSymbol(cumFreq, count);

        Narrow(low, high, cumFreq.at(s), cumFreq.at(s + 1), divide);
        for (;;) {
            if (((high ^ low) & kTop) == 0) {
                // Shift out all n leading bits on which low and high agree at once; their top
                // bits differ afterwards.
                const int n = AgreeingBits(low, high);
                ShiftEnds(low, high, n);
                value = ((value << n) | source.getBits(n)) & kMask16;
            }
            if ((low & kTop) == 0) {
                // low < kTop <= high, as in the packer: the k bits that mark a range around the
                // middle leave at once, and then the range is done. A step shifts bits 14 ... 0
                // of value up by one and takes the complement of its bit 14 as bit 15, so k
                // steps shift value by k and take the complement of the bit that arrives in
                // bit 15. No step (k = 0, a large share of ranges) leaves all three as they are,
                // without a branch the processor could not foresee: nothing is complemented, and
                // a 0-bit read is 0.
                const int k = StraddlingBits(low, high);
                const uint32_t flip = (0u - static_cast<uint32_t>(k)) >> 16 & kTop;
                value = (((value << k) ^ flip) & kMask16) | source.getBits(k);
                DropStraddlingBits(low, high, k);
                break;
            }
            // Only a table that decreases puts low above high; such ranges go bit by bit.
            if ((low & kSecond) == 0 || (high & kSecond) != 0) break;
            value ^= kSecond;
            low &= kSecond - 1;
            high |= kSecond;
            low = (low << 1) & kMask16;
            high = ((high << 1) | 1) & kMask16;
            value = ((value << 1) | source.get()) & kMask16;
        }

        if (s == CumFreqTable::kEndSymbol) {
            result = static_cast<int>(produced + 1);
            break;
        }
        if (produced >= room) {
            result = kDecodeErr;
            break;
        }
        output[static_cast<size_t>(produced++)] = static_cast<uint8_t>(s);
    }
    state = {source, value, low, high, produced};
    return result;
}

}  // namespace

int MainCodeUnpacker::run(int64_t bytes) {
    if (result_ != kRunning) return result_;
    UnpackState state{source_, value_, low_, high_, produced_};
    result_ = DecodeStretch(state, cumFreq_, divide_, symbols_, output_, maxBytes_, bytes);
    source_ = state.source;
    value_ = state.value;
    low_ = state.low;
    high_ = state.high;
    produced_ = state.produced;
    return result_;
}

int UnpackMainCode(std::span<const uint8_t> packed, const CumFreqTable& cumFreq, int limit,
                   std::span<uint8_t> output) {
    MainCodeUnpacker unpacker(packed, cumFreq, limit, output);
    int result;
    while ((result = unpacker.run(int64_t{1} << 40)) == MainCodeUnpacker::kRunning) {
    }
    return result;
}

}  // namespace qx
