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

// Reads the next n bits (1 ... 7). A read that needs a word at or past the stream's limit
// fails: the stream is marked failed and 0 returned.
inline uint32_t GetBits(WordStream& s, uint32_t n) {
    const uint32_t p = s.used + n;
    if (p < 32) {
        if (s.index >= s.limit) {
            s.failed = true;
            return 0;
        }
        s.used = p;
        return (s.words[s.index] >> (32 - p)) & ((1u << n) - 1);
    }
    const uint32_t rest = p - 32;  // bits taken from the next word
    if (s.index >= s.limit || (rest > 0 && s.index + 1 >= s.limit)) {
        s.failed = true;
        return 0;
    }
    const uint32_t head = n - rest;
    uint32_t value = (s.words[s.index] & ((1u << head) - 1)) << rest;
    ++s.index;
    if (rest > 0) value |= s.words[s.index] >> (32 - rest);
    s.used = rest;
    return value;
}

}  // namespace qx
