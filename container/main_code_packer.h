// Order-0 static arithmetic coding of the MainCode bytes: a 16-bit integer coder with pending
// (underflow) bits and a frequency table fixed for the whole input and stored in the file.
#pragma once

#include <array>
#include <cstdint>
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
// two more.
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

// Decodes packed bytes (bits past their end read as 0) into output until the end symbol.
// Returns the number of bytes produced + 1, or -10 when the output would exceed limit - 20
// bytes; nothing is stored at or past that point. output must hold limit - 20 bytes. With a
// feed, the count of whole 4-byte words produced so far is published to it every few thousand
// bytes (the caller publishes the final count).
[[nodiscard]] int UnpackMainCode(std::span<const uint8_t> packed, const CumFreqTable& cumFreq,
                                 int limit, std::span<uint8_t> output, StreamFeed* feed = nullptr);

// The decoder's symbol for a scaled count: the largest s in -1 ... 255 with at(s) <= count.
int FindSymbol(const CumFreqTable& cumFreq, uint32_t count);

}  // namespace qx
