// Files that pass the reader's checks but whose streams do not decode: the decoder stops with
// its message, and the restored picture does not depend on what memory held before.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codec/codec.h"
#include "container/compressed_reader.h"
#include "container/container.h"
#include "container/container_fixture.h"
#include "support/test_support.h"

namespace {

struct Restored {
    std::vector<std::string> messages;
    std::vector<uint8_t> pixels;
};

// Opens `name` with a codec whose buffers hold `garbage` from an earlier picture.
Restored OpenAfterGarbage(const std::string& name, uint8_t garbage, int refineWordsLost = 0) {
    qxtest::RecordingHooks hooks;
    qx::Codec codec;
    codec.hooks = &hooks;
    codec.state.PlaneBuffer.assign(1 << 20, static_cast<int16_t>(garbage * 3));
    codec.CoefficientPlane.assign(1 << 20, garbage);
    qx::Container container;
    Restored out;
    if (qx::ReadCompressedFile(container, codec, name) != 0) return out;
    container.slot.close();
    codec.RefineCode.limit -= static_cast<uint32_t>(refineWordsLost);
    qx::DecodeCoefficients(codec);
    if (qx::RestorePicture(codec) != qx::kOk) return out;
    out.messages = hooks.messages;
    out.pixels.assign(codec.state.WorkBuffer.begin(),
                      codec.state.WorkBuffer.begin() + codec.state.Width * codec.state.Length * 3);
    return out;
}

TEST(DamagedDecode, NegativeQualityWithLowBandModeRestoresTheSamePictureEveryTime) {
    std::vector<uint8_t> bytes = qxtest::ConformanceBytes("noise33-high.qx1");
    bytes[3] = 1;      // LowBandMode
    bytes[16] = 0xFE;  // Quality -2
    bytes[17] = 5;     // QualityBase: floor index 5 + 2 - 1 = 6 stays inside the table
    const std::string name = qxtest::MakeTempDir() + "/quality.qx1";
    qxtest::WriteFileBytes(name, bytes);

    const Restored first = OpenAfterGarbage(name, 0x11);
    const Restored second = OpenAfterGarbage(name, 0x77);
    EXPECT_EQ(first.messages, std::vector<std::string>{"Quality<0"});
    ASSERT_EQ(first.pixels.size(), 33u * 33u * 3u);
    EXPECT_EQ(first.pixels, second.pixels);
}

TEST(DamagedDecode, RefineWordsMissingGiveInvalideCodeAndADeterministicPicture) {
    const std::string name = qxtest::ConformancePath("checker97x600-clear.qx1");
    const Restored first = OpenAfterGarbage(name, 0x11, 10);
    const Restored second = OpenAfterGarbage(name, 0x77, 10);
    EXPECT_EQ(first.messages, std::vector<std::string>{"Invalide Code"});
    ASSERT_EQ(first.pixels.size(), 97u * 600u * 3u);
    EXPECT_EQ(first.pixels, second.pixels);

    // Intact, the same file decodes without a word.
    EXPECT_TRUE(OpenAfterGarbage(name, 0x11).messages.empty());
}

}  // namespace
