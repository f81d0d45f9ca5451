// Decoding a compressed file held in memory into an RGB picture, for the programs that show
// pictures through their own loaders (the gdk-pixbuf loader, the Qt image plugin). Each call
// owns its codec and container, runs the same reader and decoder as a decompression from a
// file, shows nothing and keeps nothing between calls.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace qx {

enum class MemoryDecodeStatus {
    Ok,
    Refused,     // the reader refused the file: title, sizes or body
    NotDecoded,  // the reader took the file, but the decoder or the restoration failed
};

struct RestoredRgb {
    int width = 0;
    int length = 0;
    std::vector<uint8_t> rgb;  // width x length x 3 bytes: red, green, blue, rows top to bottom
};

struct MemoryDecodeResult {
    MemoryDecodeStatus status = MemoryDecodeStatus::Refused;
    std::string message;  // the reader's or the decoder's text for people; empty when Ok
    RestoredRgb picture;  // empty unless Ok
};

struct CompressedSize {
    MemoryDecodeStatus status = MemoryDecodeStatus::Refused;  // Ok or Refused
    std::string message;
    int width = 0;
    int length = 0;
};

// No file the reader accepts is longer: a 52-byte title and a body of at most coded width x
// coded length + 65536 bytes, with coded sides of at most 1024. Callers that gather a file in
// pieces need keep no more than this (plus one byte, so that the reader sees it is too long).
inline constexpr int64_t kMaxCompressedFileLength = 52 + 1024 * 1024 + 65536;

// `name` stands for the file name in the messages that carry one.
MemoryDecodeResult DecodeCompressedMemory(std::span<const uint8_t> bytes,
                                          const std::string& name = "image");

// The restored picture's size from the first bytes (at least the 52-byte title) of a compressed
// file `fileLength` bytes long, after the checks the reader makes before it reads the body.
CompressedSize QueryCompressedSize(std::span<const uint8_t> head, int64_t fileLength,
                                   const std::string& name = "image");

// Title bytes that every compressed file this system writes holds: the identifier "XQ", the two
// dormant settings at 2 and 3, and the three level offsets 128, 0, 0. Programs that recognise
// files by content look for these; the reader itself does not examine them.
struct FixedByte {
    uint8_t offset;
    uint8_t value;
};
inline constexpr std::array<FixedByte, 16> kFixedTitleBytes{{
    {0, 'X'},
    {1, 'Q'},
    {2, 0},
    {3, 0},  // identifier, FirstLevelFilter, LowBandMode
    {28, 128},
    {29, 0},
    {30, 0},
    {31, 0},  // LevelOffset[0]
    {32, 0},
    {33, 0},
    {34, 0},
    {35, 0},  // LevelOffset[1]
    {36, 0},
    {37, 0},
    {38, 0},
    {39, 0},  // LevelOffset[2]
}};
inline constexpr size_t kSignatureLength = 40;

// True when `head` starts with the fixed title bytes.
bool HasCompressedSignature(std::span<const uint8_t> head);

}  // namespace qx
