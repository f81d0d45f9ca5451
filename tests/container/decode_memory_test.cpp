// The decode-from-memory entry: damaged files meet the same checks and messages as in a file.
// (The plugin tests decode every reference file through it and check the size query.)
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "container/compressed_reader.h"
#include "container/container_fixture.h"
#include "container/decode_memory.h"
#include "support/test_support.h"

namespace {

struct Outcome {
    std::string message;  // the first one, or empty
    std::vector<uint8_t> rgb;
};

// A decompression from a file, as `qx1 decompress` runs it; grey pictures widened to RGB.
Outcome FromFile(const std::string& path) {
    qxtest::RecordingHooks hooks;
    qx::Codec codec;
    codec.hooks = &hooks;
    qx::Container container;
    Outcome out;
    const int status = qx::OpenCompressedFile(container, codec, path);
    if (!hooks.messages.empty()) out.message = hooks.messages.front();
    if (status != 0 || !out.message.empty()) return out;
    const auto& picture = codec.state.WorkBuffer;
    const bool grey = codec.state.RestoredPictureKind == 3;
    for (size_t i = 0; i < picture.size(); ++i) {
        out.rgb.insert(out.rgb.end(), grey ? 3 : 1, picture[i]);
    }
    return out;
}

TEST(DecodeMemory, DamagedFilesGetTheFileReadersMessagesAndPictures) {
    const std::string path = qxtest::MakeTempDir() + "/damaged.qx1";
    const std::vector<uint8_t> good = qxtest::ConformanceBytes("noise33-clear.qx1");
    std::vector<std::vector<uint8_t>> variants;
    for (size_t length : {size_t{0}, size_t{51}, size_t{600}, good.size() - 1,
                          size_t{qx::kMaxCompressedFileLength + 1}}) {
        variants.push_back(good);
        variants.back().resize(length);
    }
    for (size_t at : {8, 14, 20, 60, 300, 700, 900, 1168}) {
        for (uint8_t flip : {0x01, 0x80}) {
            variants.push_back(good);
            variants.back()[at] ^= flip;
        }
    }
    int refused = 0;
    for (const std::vector<uint8_t>& bytes : variants) {
        qxtest::WriteFileBytes(path, bytes);
        const Outcome file = FromFile(path);
        const qx::MemoryDecodeResult memory = qx::DecodeCompressedMemory(bytes, path);
        EXPECT_EQ(memory.message, file.message) << "length " << bytes.size();
        EXPECT_EQ(memory.picture.rgb, file.rgb);
        EXPECT_EQ(memory.status == qx::MemoryDecodeStatus::Ok, file.message.empty());
        refused += memory.status == qx::MemoryDecodeStatus::Refused;
    }
    std::filesystem::remove_all(std::filesystem::path(path).parent_path());
    EXPECT_GE(refused, 8);
}

}  // namespace
