// Writing and reading fixed-length symbols of 1 to 7 bits in a word stream, most significant
// bit first.
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

// Reads the next n bits (1 ... 7). A read that needs a word at or past the stream's limit
// fails: the stream is marked failed and 0 returned. A stream still being fed waits first.
inline uint32_t GetBits(WordStream& s, uint32_t n) {
    const uint32_t p = s.used + n;
    const uint32_t needed = s.index + (p > 32 ? 2 : 1);  // words the read touches
    if (needed > s.limit && (s.feed == nullptr || !AwaitWords(s, needed))) {
        s.failed = true;
        return 0;
    }
    if (p < 32) {
        s.used = p;
        return (s.words[s.index] >> (32 - p)) & ((1u << n) - 1);
    }
    const uint32_t rest = p - 32;  // bits taken from the next word
    const uint32_t head = n - rest;
    uint32_t value = (s.words[s.index] & ((1u << head) - 1)) << rest;
    ++s.index;
    if (rest > 0) value |= s.words[s.index] >> (32 - rest);
    s.used = rest;
    return value;
}

}  // namespace qx
