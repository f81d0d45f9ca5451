#include "imageio/tiff_writer.h"

#include <cerrno>

#include "base/safe_write.h"
#include "imageio/byte_order.h"
#include "imageio/message_box.h"

namespace qx {
namespace {

constexpr uint16_t kShort = 3;
constexpr uint16_t kLong = 4;
constexpr uint16_t kRational = 5;
constexpr uint32_t kBitsListOffset = 176;
constexpr uint32_t kResolutionOffset = 188;
constexpr int kMaxSide = 32767;  // keeps StripByteCounts within 32 bits

int SamplesOf(int kind) {
    return kind == kRestoredRgb ? 3 : 1;
}

int Fail(CodecHooks& hooks, SafeWrite& output, const OutputRules& rules, const char* text) {
    output.fail();
    if (rules.result) *rules.result = output.result();
    const int error = output.result().error;
    ShowMessageBox(hooks, text);
    errno = error;
    return 1;
}

}  // namespace

std::array<uint8_t, kTiffHeaderBlockSize> BuildTiffHeaderBlock(int width, int length, int kind) {
    std::array<uint8_t, kTiffHeaderBlockSize> block{};
    const bool rgb = kind == kRestoredRgb;
    const auto w = static_cast<uint32_t>(width);
    const auto l = static_cast<uint32_t>(length);
    block[0] = 'I';
    block[1] = 'I';
    StoreLe16(&block[2], 42);
    StoreLe32(&block[4], 8);
    StoreLe16(&block[8], 13);

    struct Entry {
        uint16_t tag, type;
        uint32_t count, value;
    };
    const Entry entries[13] = {
        {254, kLong, 1, 0},
        {256, kShort, 1, w},
        {257, kShort, 1, l},
        {258, kShort, rgb ? 3u : 1u, rgb ? kBitsListOffset : 8u},
        {259, kShort, 1, 1},
        {262, kShort, 1, rgb ? 2u : 1u},
        {273, kLong, 1, kTiffHeaderBlockSize},
        {277, kShort, 1, rgb ? 3u : 1u},
        {278, kShort, 1, l},
        {279, kLong, 1, w * l * static_cast<uint32_t>(SamplesOf(kind))},
        {282, kRational, 1, kResolutionOffset},
        {283, kRational, 1, kResolutionOffset},
        {296, kShort, 1, 2},
    };
    uint8_t* p = &block[10];
    for (const Entry& e : entries) {
        StoreLe16(p, e.tag);
        StoreLe16(p + 2, e.type);
        StoreLe32(p + 4, e.count);
        if (e.type == kShort) {
            StoreLe16(p + 8, static_cast<uint16_t>(e.value));
        } else {
            StoreLe32(p + 8, e.value);
        }
        p += 12;
    }
    // Offset 166 (next directory) stays 0.
    if (rgb) {
        for (int i = 0; i < 3; ++i) StoreLe16(&block[kBitsListOffset + 2 * i], 8);
    }
    StoreLe32(&block[kResolutionOffset], rgb ? 75 : 150);
    StoreLe32(&block[kResolutionOffset + 4], 1);
    return block;
}

int WriteRestoredTiff(const std::string& fileName, const uint8_t* pixels, int width, int length,
                      int kind, CodecHooks& hooks, const OutputRules& rules) {
    if (kind != kRestoredGrey && kind != kRestoredRgb) return 1;
    if (width < 1 || width > kMaxSide || length < 1 || length > kMaxSide) return 1;
    const auto block = BuildTiffHeaderBlock(width, length, kind);
    const size_t pixelBytes = static_cast<size_t>(width) * length * SamplesOf(kind);

    // A new temporary file each time, so the old "grey files are not cut on opening" has nothing
    // left to keep: the file holds exactly the header block and the pixels.
    SafeWrite output(fileName, rules.replace);
    if (!output.isOpen()) return Fail(hooks, output, rules, "Open BitMap Err.");
    FileHandle& file = output.file();
    if (!file.writeAll(block.data(), block.size()))
        return Fail(hooks, output, rules, "File is not written.");
    if (!file.writeAll(pixels, pixelBytes)) return Fail(hooks, output, rules, "Write Error.");
    const WriteResult done = output.commit();
    if (rules.result) *rules.result = done;
    if (!done.ok()) {
        ShowMessageBox(
            hooks, done.status == WriteStatus::WriteFailed ? "Write Error." : "Open BitMap Err.");
        errno = done.error;
        return 1;
    }
    return 0;
}

}  // namespace qx
