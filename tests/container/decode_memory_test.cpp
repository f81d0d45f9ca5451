// The decode-from-memory entry: the reference files restore to the listed pixels, and damaged
// files meet the same checks and messages as in a file. (The plugin tests check the size query.)
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "container/compressed_reader.h"
#include "container/container_fixture.h"
#include "container/decode_memory.h"
#include "support/test_support.h"

namespace {

// The restored SHA-256 that the folder's README lists for a reference file.
std::string ListedSha256(const std::string& file) {
    std::ifstream in(qxtest::ConformancePath("README.md"));
    for (std::string line; std::getline(in, line);) {
        if (line.find("| " + file + " |") == std::string::npos) continue;
        const size_t end = line.rfind('`');
        const size_t start = line.rfind('`', end - 1);
        return line.substr(start + 1, end - start - 1);
    }
    return {};
}

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

TEST(DecodeMemory, ReferenceFilesRestoreToTheListedPictures) {
    for (const std::string& name : qxtest::ConformanceFiles()) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> bytes = qxtest::ConformanceBytes(name);
        EXPECT_TRUE(qx::HasCompressedSignature(bytes));
        const qx::MemoryDecodeResult result = qx::DecodeCompressedMemory(bytes);
        ASSERT_EQ(result.status, qx::MemoryDecodeStatus::Ok) << result.message;
        const qx::RestoredRgb& picture = result.picture;
        ASSERT_EQ(picture.rgb.size(), size_t{3} * picture.width * picture.length);
        EXPECT_EQ(qxtest::Sha256Hex(picture.rgb.data(), picture.rgb.size()), ListedSha256(name));
    }
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
