// The four tone tables that reduce a channel to fewer levels, and their expansion tables.
#pragma once

#include <array>
#include <cstdint>

namespace qx {

constexpr int kToneTableCount = 4;
using ToneLookup = std::array<uint8_t, 256>;

// Channel value -> staircase entry; subtracting entry 0 gives the tone level. Table 0 leaves
// 192 levels, table 1 160, table 2 128 and table 3 240.
extern const std::array<ToneLookup, kToneTableCount> ToneTable;

// Tone level -> channel value. Levels from the table's top level up (reachable only through
// coding losses) give 255.
extern const std::array<ToneLookup, kToneTableCount> ToneExpandTable;

// Number of tone levels of a table.
constexpr int ToneLevelCount(int table) {
    constexpr std::array<int, kToneTableCount> kCounts{192, 160, 128, 240};
    return kCounts[table];
}

// Table numbers of red, green and blue packed two bits each from bit 0 (0xFF: table 3 for all).
struct ToneChoice {
    int red;
    int green;
    int blue;
};
constexpr ToneChoice SplitToneSelect(uint8_t toneSelect) {
    return {toneSelect & 3, (toneSelect >> 2) & 3, (toneSelect >> 4) & 3};
}

}  // namespace qx
