// Writing and reading short fixed-length symbols (up to 8 bits) in a word stream, most
// significant bit first.
#pragma once

#include <cstdint>

#include "codec/codec.h"

namespace qx {

// Appends the n low bits of value. A stream that would move past its word limit is marked
// failed and takes no further bits.
inline void PutBits(WordStream& s, uint32_t value, uint32_t n) {
    if (s.failed) return;
    const uint32_t p = s.used + n;
    if (p < 32) {
        s.words[s.index] |= value << (32 - p);
        s.used = p;
        return;
    }
    if (s.index + 1 > s.limit) {
        s.failed = true;
        return;
    }
    s.words[s.index] |= value >> (p - 32);
    ++s.index;
    s.words[s.index] = (p > 32) ? value << (64 - p) : 0;
    s.used = p - 32;
}

// Writes to a stream as PutBits does, with the position and the current word held in locals (in
// registers, where a loop keeps it), and stored back by finish(). PutBits itself reloads them at
// every call, as its word stores might alias the stream's own fields.
class StreamWriter {
  public:
    explicit StreamWriter(WordStream& s)
        : s_(s),
          words_(s.words.data()),
          word_(s.words[s.index]),
          index_(s.index),
          used_(s.used),
          failed_(s.failed) {}

    // The n low bits of value, n from 0 (then value is 0) to 8: the walks write whole groups at
    // once, of however many bits they come to.
    void put(uint32_t value, uint32_t n) {
        const uint32_t p = used_ + n;
        if (p < 32) {
            word_ |= static_cast<uint32_t>(uint64_t{value} << (32 - p));
            used_ = p;
            return;
        }
        putAcross(value, p);
    }
    bool failed() const { return failed_; }
    // Stores the position back; a failed stream keeps the one it had when it failed.
    void finish() {
        if (failed_) return;
        words_[index_] = word_;
        s_.index = index_;
        s_.used = used_;
    }

  private:
    // Inline although rare: a call would make the walks that write here keep their state in
    // memory across it.
    [[gnu::always_inline]] inline void putAcross(uint32_t value, uint32_t p) {
        if (failed_) return;
        if (index_ + 1 > s_.limit) {
            failed_ = true;
            s_.failed = true;
            words_[index_] = word_;
            s_.index = index_;
            s_.used = used_;
            return;
        }
        words_[index_] = word_ | value >> (p - 32);
        ++index_;
        word_ = (p > 32) ? value << (64 - p) : 0;
        used_ = p - 32;
    }

    WordStream& s_;
    uint32_t* words_;
    uint32_t word_;
    uint32_t index_;
    uint32_t used_;
    bool failed_;
};

// How many bits have been written to s.
inline uint64_t BitsWritten(const WordStream& s) {
    return uint64_t{s.index} * 32 + s.used;
}

// Appends bits begin ... end - 1 of those written to src; false, with dst marked failed, when dst
// would move past its word limit.
inline bool AppendBits(WordStream& dst, const WordStream& src, uint64_t begin, uint64_t end) {
    const auto putWord = [&dst](uint32_t word) {
        if (dst.failed || dst.index + 1 > dst.limit) {
            dst.failed = true;
            return;
        }
        if (dst.used == 0) {
            dst.words[dst.index] = word;
            dst.words[dst.index + 1] = 0;
        } else {
            dst.words[dst.index] |= word >> dst.used;
            dst.words[dst.index + 1] = word << (32 - dst.used);
        }
        ++dst.index;
    };
    // The 32 bits from bit `at` on, of which only the first `count` are read.
    const auto wordAt = [&src](uint64_t at, uint64_t count) {
        const size_t i = static_cast<size_t>(at / 32);
        const uint32_t shift = static_cast<uint32_t>(at % 32);
        if (shift == 0) return src.words[i];
        const uint32_t head = src.words[i] << shift;
        return shift + count > 32 ? head | src.words[i + 1] >> (32 - shift) : head;
    };
    for (; end - begin >= 32 && !dst.failed; begin += 32) putWord(wordAt(begin, 32));
    if (end > begin) {
        const uint32_t n = static_cast<uint32_t>(end - begin);
        PutBits(dst, wordAt(begin, n) >> (32 - n), n);
    }
    return !dst.failed;
}

// Appends every bit written to src.
inline bool AppendStream(WordStream& dst, const WordStream& src) {
    return AppendBits(dst, src, 0, BitsWritten(src));
}

// Waits for the feed of s until it holds `needed` words or ends; true when the words are there
// (s.limit then counts them).
bool AwaitWords(WordStream& s, uint32_t needed);

// Reads a stream most significant bit first, up to 64 bits ahead in a local window that is
// refilled a word at a time; the position is stored back by finish(). A read that needs a word at
// or past the stream's limit fails: the stream is marked failed and 0 returned. A stream still
// being fed waits first.
class StreamReader {
  public:
    explicit StreamReader(WordStream& s)
        : s_(s), words_(s.words.data()), next_(s.index), limit_(s.limit), failed_(s.failed) {
        if (s.used > 0) {  // bits of the current word were read, so it is there
            window_ = uint64_t{words_[next_]} << (32 + s.used);
            bits_ = 32 - s.used;
            ++next_;
        }
    }

    // The next n bits (1 ... 7).
    uint32_t get(uint32_t n) {
        if (bits_ < n && !refill()) return 0;
        const uint32_t value = static_cast<uint32_t>(window_ >> (64 - n));
        window_ <<= n;
        bits_ -= n;
        return value;
    }
    bool failed() const { return failed_; }
    void finish() {
        const uint64_t at = uint64_t{next_} * 32 - bits_;
        s_.index = static_cast<uint32_t>(at / 32);
        s_.used = static_cast<uint32_t>(at % 32);
    }

  private:
    bool refill() {
        if (next_ >= limit_) {
            if (s_.feed == nullptr || !AwaitWords(s_, next_ + 1)) {
                s_.failed = failed_ = true;
                return false;
            }
            limit_ = s_.limit;
            words_ = s_.words.data();
        }
        window_ |= uint64_t{words_[next_]} << (32 - bits_);
        bits_ += 32;
        ++next_;
        return true;
    }

    WordStream& s_;
    const uint32_t* words_;
    uint64_t window_ = 0;  // the next bits_ bits, from the top
    uint32_t bits_ = 0;
    uint32_t next_;  // the next word to load
    uint32_t limit_;
    bool failed_;
};

}  // namespace qx
