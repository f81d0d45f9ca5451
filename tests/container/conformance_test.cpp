// Every reference file, read and built again from the state the reader leaves, gives the same
// bytes: this pins the title, the body layout, the packer and the unpacker to the reference.
#include <gtest/gtest.h>

#include "container/compressed_reader.h"
#include "container/container_fixture.h"
#include "support/test_support.h"

namespace {

class Conformance : public ::testing::TestWithParam<std::string> {};

TEST_P(Conformance, ReadingAndBuildingAgainGivesTheSameFile) {
    const std::string path = qxtest::ConformancePath(GetParam());
    const std::vector<uint8_t> file = qxtest::ReadFileBytes(path);
    qxtest::RecordingHooks hooks;
    qx::Codec codec;
    codec.hooks = &hooks;
    qx::Container container;
    ASSERT_EQ(qx::ReadCompressedFile(container, codec, path), 0);
    container.slot.close();
    EXPECT_TRUE(hooks.messages.empty());

    // The encoder's end positions, as the stored word counts give them.
    ASSERT_GT(codec.MainCode.limit, 0u);
    codec.MainCodeEnd = {codec.MainCode.limit - 1, 0};
    codec.RefineCodeEnd = {codec.RefineCode.limit - 1, 0};
    const int bodyLength = qx::BuildCompressedImage(container, codec, 0);
    ASSERT_EQ(bodyLength, static_cast<int>(file.size()) - 52);

    std::vector<uint8_t> built = container.image;
    ASSERT_EQ(built.size(), file.size());
    for (size_t i = 40; i < 44; ++i) built[i] = file[i];
    for (size_t i = 0; i < file.size(); ++i) {
        ASSERT_EQ(built[i], file[i]) << "first difference at byte " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(ReferenceFiles, Conformance,
                         ::testing::ValuesIn(qxtest::ConformanceFiles()), [](const auto& info) {
                             std::string name = info.param.substr(0, info.param.size() - 4);
                             for (char& c : name) {
                                 if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                             }
                             return name;
                         });

}  // namespace
