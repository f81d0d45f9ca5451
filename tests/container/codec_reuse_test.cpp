// One codec kept from file to file, as a batch or the desktop keeps it: each picture restores as
// it does in a fresh codec, whatever an earlier decode, complete or broken off, left behind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codec/codec.h"
#include "container/compressed_reader.h"
#include "container/container.h"
#include "container/container_fixture.h"
#include "support/test_support.h"

namespace {

// Reads `name` into `codec`, decodes it with `refineWordsLost` words cut from RefineCode and
// restores it; the restored bytes.
std::vector<uint8_t> Decode(qx::Codec& codec, const std::string& name, int refineWordsLost = 0) {
    qx::Container container;
    std::vector<uint8_t> out;
    if (qx::ReadCompressedFile(container, codec, qxtest::ConformancePath(name)) != 0) return out;
    container.slot.close();
    codec.RefineCode.limit -= static_cast<uint32_t>(refineWordsLost);
    qx::DecodeCoefficients(codec);
    if (qx::RestorePicture(codec) == qx::kOk) {
        const auto& picture = codec.state.WorkBuffer;
        out.assign(picture.begin(), picture.begin() + codec.state.Width * codec.state.Length * 3);
    }
    return out;
}

TEST(CodecReuse, EveryPictureRestoresAsInAFreshCodec) {
    // Large after small, small after large, and after decodes that broke off.
    const std::vector<std::pair<std::string, int>> steps = {
        {"aloe1024-clear.qx1", 0}, {"noise33-clear.qx1", 0},        {"aloe1024-high.qx1", 400},
        {"aloe1024-high.qx1", 0},  {"checker97x600-clear.qx1", 10}, {"checker97x600-high.qx1", 0},
        {"aloe1024-clear.qx1", 0}};
    qxtest::RecordingHooks hooks;  // takes the messages of broken-off decodes
    qx::Codec kept;
    kept.hooks = &hooks;
    for (const auto& [name, lost] : steps) {
        SCOPED_TRACE(name + " less " + std::to_string(lost));
        qx::Codec fresh;
        fresh.hooks = &hooks;
        const std::vector<uint8_t> expected = Decode(fresh, name, lost);
        ASSERT_FALSE(expected.empty());
        EXPECT_EQ(Decode(kept, name, lost), expected);
    }
}

}  // namespace
