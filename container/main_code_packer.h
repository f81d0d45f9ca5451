// Order-0 static arithmetic coding of the MainCode bytes: a 16-bit integer coder with pending
// (underflow) bits and a frequency table fixed for the whole input and stored in the file.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "codec/codec.h"

namespace qx {

// Cumulative frequencies, indices -1 ... 256. Byte value s owns [at(s), at(s + 1)); the end
// symbol (-1) owns [0, 1). The total at(256) stays below kMaxTotal.
struct CumFreqTable {
    static constexpr int kEndSymbol = -1;
    static constexpr uint32_t kMaxTotal = 16383;

    std::array<uint16_t, 258> entries{0, 1};

    uint16_t at(int symbol) const { return entries[static_cast<size_t>(symbol + 1)]; }
    uint16_t& at(int symbol) { return entries[static_cast<size_t>(symbol + 1)]; }
    uint16_t total() const { return at(256); }
};

// Counts the input and fills the table, scaling the counts down while the total would reach
// kMaxTotal (afterwards every byte value owns a range of at least 1).
CumFreqTable BuildCumFreq(std::span<const uint8_t> input);

// Completed bytes the packed stream may hold beyond the input length.
constexpr size_t kPackedSlack = 1024;

// Output bytes PackMainCode needs for n input bytes: the completed ones, the byte in progress and
// two more, into which its four-byte stores reach.
constexpr size_t PackedRoom(size_t n) {
    return n + kPackedSlack + 3;
}

// Packs the input, `first` followed by `rest`, with the table BuildCumFreq makes for it, then the
// end symbol (two parts, so that a caller can pack bytes where they lie and add a few). output
// holds at least PackedRoom(input size) bytes. Returns the packed byte count (the last, partly
// used byte included), or -9 when the packed stream would reach input size + kPackedSlack
// completed bytes.
[[nodiscard]] int PackMainCode(std::span<const uint8_t> first, std::span<const uint8_t> rest,
                               CumFreqTable& cumFreq, std::span<uint8_t> output);

// n / total by a multiply and a shift, exact for every 32-bit n and every total from 1 to 65535
// (a damaged file's table included). With m = floor(2^48 / total) + 1, n m / 2^48 exceeds
// n / total by at most n / 2^48 < 1 / total, too little to reach the next integer.
class DivideByTotal {
  public:
    explicit DivideByTotal(uint32_t total) : multiplier_((uint64_t{1} << 48) / total + 1) {}
    uint32_t operator()(uint32_t n) const {
        return static_cast<uint32_t>((static_cast<unsigned __int128>(n) * multiplier_) >> 48);
    }

  private:
    uint64_t multiplier_;
};

// Reads bits from the most significant end of each byte; past the end every bit is 0. Bytes go
// into a 64-bit reservoir several at a time.
class MainCodeBits {
  public:
    explicit MainCodeBits(std::span<const uint8_t> in) : in_(in) {}

    uint32_t get() { return getBits(1); }

    // The next count (at most 16) bits, the first read in the most significant place.
    uint32_t getBits(int count) {
        if (held_ < count) refill();
        held_ -= count;
        return static_cast<uint32_t>(reservoir_ >> held_) & ((1u << count) - 1);
    }

  private:
    void refill() {
        if (pos_ + 8 <= in_.size()) {
            // As many whole bytes as the reservoir takes (6 or 7, as held_ < 16 here), from one
            // eight-byte load.
            uint64_t next;
            std::memcpy(&next, in_.data() + pos_, sizeof next);
            if constexpr (std::endian::native == std::endian::little)
                next = __builtin_bswap64(next);
            const int bytes = (63 - held_) >> 3;
            reservoir_ = (reservoir_ << (8 * bytes)) | (next >> (64 - 8 * bytes));
            pos_ += static_cast<size_t>(bytes);
            held_ += 8 * bytes;
            return;
        }
        while (held_ <= 56) {
            const uint64_t byte = pos_ < in_.size() ? in_[pos_] : 0;
            ++pos_;
            reservoir_ = (reservoir_ << 8) | byte;
            held_ += 8;
        }
    }

    std::span<const uint8_t> in_;
    size_t pos_ = 0;          // the next byte to take in
    uint64_t reservoir_ = 0;  // its low held_ bits are the next ones to read
    int held_ = 0;
};

// Decodes packed bytes (bits past their end read as 0) into output until the end symbol, a
// stretch at a time: it can stop after any number of bytes and go on later, on another thread
// (one at a time). output must hold limit - 20 bytes.
class MainCodeUnpacker {
  public:
    static constexpr int kRunning = 0;

    MainCodeUnpacker(std::span<const uint8_t> packed, const CumFreqTable& cumFreq, int limit,
                     std::span<uint8_t> output);

    // Produces at most `bytes` more. Returns kRunning until the end, then the number of bytes
    // produced + 1, or -10 when the output would exceed limit - 20 bytes (nothing is stored at or
    // past that point); every later call returns the same.
    int run(int64_t bytes);
    int64_t produced() const { return produced_; }

  private:
    const CumFreqTable& cumFreq_;
    DivideByTotal divide_;
    std::vector<int16_t> symbols_;  // FindSymbol by one lookup, when the table allows it
    int64_t maxBytes_;
    std::span<uint8_t> output_;
    MainCodeBits source_;
    uint32_t value_ = 0;
    uint32_t low_ = 0;
    uint32_t high_ = 0xFFFF;
    int64_t produced_ = 0;
    int result_ = kRunning;
};

// A MainCodeUnpacker run to the end: the number of bytes produced + 1, or -10.
[[nodiscard]] int UnpackMainCode(std::span<const uint8_t> packed, const CumFreqTable& cumFreq,
                                 int limit, std::span<uint8_t> output);

// The decoder's symbol for a scaled count: the largest s in -1 ... 255 with at(s) <= count.
int FindSymbol(const CumFreqTable& cumFreq, uint32_t count);

}  // namespace qx
