// Tone tables built at compile time from the inputs at which each staircase holds its value.
#include "codec/tone_tables.h"

#include <cstddef>

namespace qx {
namespace {

constexpr uint8_t kTable0Holds[] = {3,   8,   13,  17,  22,  26,  30,  35,  39,  43,  47,  51,  55,
                                    60,  64,  68,  72,  76,  80,  84,  88,  92,  96,  100, 104, 108,
                                    112, 116, 120, 123, 127, 131, 135, 139, 143, 147, 151, 155, 158,
                                    162, 166, 170, 174, 178, 182, 185, 189, 193, 197, 201, 204, 208,
                                    212, 216, 220, 223, 227, 231, 235, 239, 242, 246, 250, 254};

constexpr uint8_t kTable1Holds[] = {
    2,   5,   8,   10,  13,  16,  19,  21,  24,  27,  29,  32,  35,  38,  40,  43,
    46,  48,  51,  54,  56,  59,  62,  64,  67,  70,  72,  75,  78,  80,  83,  86,
    88,  91,  94,  96,  99,  102, 104, 107, 110, 112, 115, 118, 120, 123, 125, 128,
    131, 133, 136, 139, 141, 144, 147, 149, 152, 155, 157, 160, 162, 165, 168, 170,
    173, 176, 178, 181, 183, 186, 189, 191, 194, 197, 199, 202, 204, 207, 210, 212,
    215, 218, 220, 223, 225, 228, 231, 233, 236, 239, 241, 244, 246, 249, 252, 254};

constexpr uint8_t kTable3Holds[] = {36,  62,  81,  97,  112, 126, 139, 152, 164,
                                    176, 187, 198, 209, 220, 230, 240, 250};

// Table 2 holds at the even inputs 2 ... 20, the odd inputs 23 ... 151, the even inputs
// 152 ... 210 and the odd inputs 211 ... 255.
constexpr bool Table2Holds(int x) {
    if (x >= 2 && x <= 20) return x % 2 == 0;
    if (x >= 23 && x <= 151) return x % 2 == 1;
    if (x >= 152 && x <= 210) return x % 2 == 0;
    if (x >= 211) return x % 2 == 1;
    return false;
}

template <size_t N>
constexpr bool Contains(const uint8_t (&list)[N], int x) {
    for (uint8_t v : list) {
        if (v == x) return true;
    }
    return false;
}

constexpr std::array<ToneLookup, kToneTableCount> BuildToneTables() {
    std::array<ToneLookup, kToneTableCount> tables{};
    tables[0][0] = 64;
    tables[1][0] = 96;
    tables[2][0] = 128;
    tables[3][0] = 16;
    for (int x = 1; x < 256; ++x) {
        const bool holds[] = {Contains(kTable0Holds, x), Contains(kTable1Holds, x), Table2Holds(x),
                              Contains(kTable3Holds, x)};
        for (int t = 0; t < kToneTableCount; ++t) {
            int rise = holds[t] ? 0 : 1;
            if (t == 3 && x == 6) rise = 2;  // table 3 skips the value 22
            tables[t][x] = static_cast<uint8_t>(tables[t][x - 1] + rise);
        }
    }
    return tables;
}

constexpr uint8_t kTable1Expansion[] = {
    2,   4,   5,   7,   8,   10,  12,  13,  15,  16,  18,  20,  21,  23,  24,  26,  28,  29,
    31,  32,  34,  36,  37,  39,  40,  42,  44,  45,  47,  49,  50,  52,  53,  55,  57,  58,
    60,  61,  63,  65,  66,  68,  69,  71,  73,  74,  76,  77,  79,  81,  82,  84,  85,  87,
    89,  90,  92,  93,  95,  97,  98,  100, 101, 103, 105, 106, 108, 109, 111, 113, 114, 116,
    117, 119, 121, 122, 124, 125, 127, 129, 130, 132, 134, 135, 137, 138, 140, 142, 143, 145,
    146, 148, 150, 151, 153, 154, 156, 158, 159, 161, 162, 164, 166, 167, 169, 170, 172, 174,
    175, 177, 178, 180, 182, 183, 185, 186, 188, 190, 191, 193, 194, 196, 198, 199, 201, 202,
    204, 206, 207, 209, 210, 212, 214, 215, 217, 219, 220, 222, 223, 225, 227, 228, 230, 231,
    233, 235, 236, 238, 239, 241, 243, 244, 246, 247, 249, 251, 252, 253, 254, 255};
static_assert(sizeof(kTable1Expansion) == 160);

// Rounded linear spread of levels 0 ... top over 4 ... 255: floor(4 + 251 v / top + 1/2),
// computed exactly as floor((8 top + 502 v + top) / (2 top)).
constexpr uint8_t LinearExpansion(int v, int top) {
    return static_cast<uint8_t>((8 * top + 502 * v + top) / (2 * top));
}

constexpr uint8_t Table2Expansion(int v) {
    if (v <= 63) return static_cast<uint8_t>(2 * v + 2);
    if (v <= 125) return static_cast<uint8_t>(2 * v + 3);
    return v == 126 ? 254 : 255;
}

constexpr std::array<ToneLookup, kToneTableCount> BuildExpandTables() {
    std::array<ToneLookup, kToneTableCount> tables{};
    for (int v = 0; v < 256; ++v) {
        tables[0][v] = v < 191 ? LinearExpansion(v, 191) : 255;
        tables[1][v] = v < 159 ? kTable1Expansion[v] : 255;
        tables[2][v] = v < 127 ? Table2Expansion(v) : 255;
        tables[3][v] = v < 239 ? LinearExpansion(v, 239) : 255;
    }
    return tables;
}

constexpr std::array<ToneLookup, kToneTableCount> kToneTables = BuildToneTables();
constexpr std::array<ToneLookup, kToneTableCount> kExpandTables = BuildExpandTables();

// Every staircase climbs to 255, and every expansion ends on 255 at its table's top level.
static_assert(kToneTables[0][255] == 255 && kToneTables[1][255] == 255 &&
              kToneTables[2][255] == 255 && kToneTables[3][255] == 255);
static_assert(kToneTables[3][5] == 21 && kToneTables[3][6] == 23);
static_assert(LinearExpansion(191, 191) == 255 && LinearExpansion(239, 239) == 255);
static_assert(LinearExpansion(0, 191) == 4 && LinearExpansion(2, 191) == 7);

}  // namespace

const std::array<ToneLookup, kToneTableCount> ToneTable = kToneTables;
const std::array<ToneLookup, kToneTableCount> ToneExpandTable = kExpandTables;

}  // namespace qx
