// Reading compressed files: what a good file restores, and how each kind of bad file is
// refused, with which message and what happens to the open file.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "container/compressed_reader.h"
#include "container/container_fixture.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

void Put16(std::vector<uint8_t>& b, size_t at, int v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}
void Put32(std::vector<uint8_t>& b, size_t at, int64_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}
int32_t Get32(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<int32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 |
                                uint32_t{b[at + 3]} << 24);
}

class Reader : public ::testing::Test {
  protected:
    void SetUp() override { dir = qxtest::MakeTempDir(); }
    void TearDown() override { fs::remove_all(dir); }

    int Read(const std::vector<uint8_t>& bytes, const std::string& base = "f.qx1") {
        name = dir + "/" + base;
        qxtest::WriteFileBytes(name, bytes);
        codec.hooks = &hooks;
        codec.state.PictureBuffer.assign(100, 1);
        return qx::ReadCompressedFile(container, codec, name);
    }

    // Reads a damaged copy of a small good file; expects the consistency refusal.
    void ExpectRefused(const std::function<void(std::vector<uint8_t>&)>& damage) {
        std::vector<uint8_t> bytes = qxtest::ConformanceBytes("noise33-high.qx1");
        damage(bytes);
        hooks.messages.clear();
        EXPECT_EQ(Read(bytes), 1);
        EXPECT_EQ(hooks.messages,
                  std::vector<std::string>{"Compr. File '" + name + "' isn't correct."});
        EXPECT_FALSE(container.slot.isOpen());
        EXPECT_TRUE(codec.state.PictureBuffer.empty());
    }

    std::string dir;
    std::string name;
    qx::Codec codec;
    qx::Container container;
    qxtest::RecordingHooks hooks;
};

TEST_F(Reader, GoodFileLeavesTheDecoderStateAndTheFileOpen) {
    const auto bytes = qxtest::ConformanceBytes("chelsea-clear.qx1");
    ASSERT_EQ(Read(bytes), 0);
    EXPECT_TRUE(hooks.messages.empty());
    EXPECT_TRUE(container.slot.isOpen());
    // The pixels it restores are pinned by the reference checksums; here the state around them.
    EXPECT_EQ(codec.state.SourceWidth, 451);
    EXPECT_EQ(codec.RefineCode.limit, static_cast<uint32_t>(Get32(bytes, 24)));
    EXPECT_GE(codec.CoefficientPlane.size(), 448u * 320u);

    qx::Codec other;
    EXPECT_EQ(qx::OpenCompressedFile(container, other, name), 0);
    EXPECT_FALSE(container.slot.isOpen());
}

TEST_F(Reader, IdentifierReservedBytesAndChromaShiftAreNotExamined) {
    auto bytes = qxtest::ConformanceBytes("noise33-clear.qx1");
    bytes[0] = 'A', bytes[1] = 'B', bytes[44] = 2, bytes[50] = 0xFF, bytes[51] = 0xFF;
    EXPECT_EQ(Read(bytes), 0);
    EXPECT_EQ(codec.params.ChromaShift, 1);
}

TEST_F(Reader, OversizedSourcesAreRefusedWidthFirst) {
    auto bytes = qxtest::ConformanceBytes("noise33-high.qx1");
    Put16(bytes, 8, 1025);
    EXPECT_EQ(Read(bytes), 1);
    Put16(bytes, 10, 1300);
    EXPECT_EQ(Read(bytes), 1);
    Put16(bytes, 8, 33);
    EXPECT_EQ(Read(bytes), 1);
    EXPECT_EQ(hooks.messages, (std::vector<std::string>{"(Width=1025) > (MaxWidth=1024)",
                                                        "(Width=1025) > (MaxWidth=1024)",
                                                        "(Length=1300) > MaxLength=1024)"}));
    EXPECT_FALSE(container.slot.isOpen());
    EXPECT_TRUE(codec.state.PictureBuffer.empty());
}

TEST_F(Reader, DamagedTitlesAreRefused) {
    ExpectRefused([](auto& b) { b.resize(52); });
    ExpectRefused([](auto& b) { b[18] = 32, b[19] = 32; });  // N = 3072
    ExpectRefused([](auto& b) { b[16] = 20; });              // Quality 20: floor index -11
    ExpectRefused([](auto& b) { b[17] = 0; });               // QualityBase 0
    ExpectRefused([](auto& b) { b[46] = 7; });               // ReferenceChannel
    ExpectRefused([](auto& b) { b[14] = 4; });               // LevelCount
    ExpectRefused([](auto& b) { Put16(b, 8, 32); });         // source width below 33
    ExpectRefused([](auto& b) { Put16(b, 10, -5); });
    ExpectRefused([](auto& b) { Put16(b, 4, 128); });  // not the normalised width
}

TEST_F(Reader, StreamSizesOutsideTheBodyAreRefused) {
    ExpectRefused([](auto& b) { Put32(b, 20, Get32(b, 20) + 1); });  // L beyond the body
    ExpectRefused([](auto& b) { Put32(b, 20, -1); });
    ExpectRefused([](auto& b) { Put32(b, 24, -3); });
    ExpectRefused([](auto& b) { Put32(b, 24, 64 * 64 / 4 + 1); });  // 4S above W x H
    ExpectRefused([](auto& b) { b.resize(52 + 64 * 64 + 65536 + 1); });
}

TEST_F(Reader, DamagedFrequencyTablesAreRefused) {
    ExpectRefused([](auto& b) { std::fill(b.end() - 512, b.end(), 0); });
    ExpectRefused([](auto& b) { b.end()[-2] = 0x40, b.end()[-1] = 0xFF; });  // T = 16639
    ExpectRefused([](auto& b) { b.end()[-4] = 0x3F; });                      // decreasing at 256
}

TEST_F(Reader, FailuresBeforeTheTitleIsKnown) {
    qx::Codec fresh;
    fresh.hooks = &hooks;
    EXPECT_EQ(qx::ReadCompressedFile(container, fresh, dir + "/missing.qx1"), 1);
    EXPECT_FALSE(fs::exists(dir + "/missing.qx1"));
    EXPECT_EQ(Read(std::vector<uint8_t>(51, 0), "short.qx1"), 1);
    EXPECT_EQ(hooks.messages, (std::vector<std::string>{
                                  "Open Err.", "Title of File '" + name + "' isn't written."}));
    EXPECT_TRUE(container.slot.isOpen());  // left for the caller
    container.slot.close();
}

TEST_F(Reader, DecliningTheMemoryQuestionStopsSilently) {
    hooks.declineMemory = true;
    EXPECT_EQ(Read(qxtest::ConformanceBytes("noise33-high.qx1")), 96);
    EXPECT_TRUE(hooks.messages.empty());
    EXPECT_TRUE(container.slot.isOpen());
}

TEST_F(Reader, AMainCodeThatNeverEndsIsADecodeError) {
    auto bytes = qxtest::ConformanceBytes("noise33-high.qx1");
    // Byte 0 owns nearly the whole range and the packed bits are all ones: the unpacker keeps
    // producing zeros until it reaches its limit.
    for (size_t i = bytes.size() - 512; i < bytes.size(); i += 2)
        bytes[i] = 0x3E, bytes[i + 1] = 0x80;
    const int32_t packedSize = Get32(bytes, 20);
    const size_t packedAt = bytes.size() - 512 - 4 * static_cast<size_t>(Get32(bytes, 24)) -
                            static_cast<size_t>(packedSize);
    std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(packedAt), packedSize, 0xFF);
    EXPECT_EQ(Read(bytes), 1);
    EXPECT_EQ(hooks.messages, std::vector<std::string>{"Decode Err."});

    // Decoding while the helper thread unpacks ends the same way, whatever the decoder made of
    // the words it was given: the reader's status and message alone.
    hooks.messages.clear();
    qx::Codec alongside;
    alongside.hooks = &hooks;
    EXPECT_EQ(qx::OpenCompressedFile(container, alongside, name), 1);
    EXPECT_EQ(hooks.messages, std::vector<std::string>{"Decode Err."});
    EXPECT_EQ(alongside.MainCode.feed, nullptr);
}

// Colour files are read and built again byte for byte by the conformance test; no reference
// file is grey.
TEST_F(Reader, AWrittenGreyFileReadsBackIntoTheSameTablesAndStreams) {
    const qx::Codec source = qxtest::EncodedCodec(97, 600, 300, 50, true);
    qx::Container writer;
    ASSERT_GT(qx::BuildCompressedImage(writer, source, 5), 0);
    codec = qx::Codec{};
    ASSERT_EQ(Read(writer.image), 0);
    EXPECT_EQ(codec.params.ComponentCount, 1);
    EXPECT_EQ(codec.params.GreyFlag, 1);
    for (size_t i = 0; i < 3 * 2 * 10; ++i) {
        EXPECT_EQ(codec.tables.MaxThresholds[i], source.tables.MaxThresholds[i]);
        EXPECT_EQ(codec.tables.BlockMeans[1024 + i], source.tables.BlockMeans[1024 + i]);
    }
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(codec.tables.LowBandCodes[i], source.tables.LowBandCodes[i]);
    ASSERT_EQ(codec.MainCode.limit, 301u);
    ASSERT_EQ(codec.RefineCode.limit, 51u);
    for (uint32_t k = 0; k <= 300; ++k)
        EXPECT_EQ(codec.MainCode.words[k], source.MainCode.words[k]);
    for (uint32_t k = 0; k <= 50; ++k)
        EXPECT_EQ(codec.RefineCode.words[k], source.RefineCode.words[k]);
    container.slot.close();
}

}  // namespace
