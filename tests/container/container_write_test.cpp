// Writing the built image to files.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>

#include <filesystem>

#include "container/container.h"
#include "container/container_fixture.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;

class ContainerWrite : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = qxtest::MakeTempDir();
        codec = qxtest::EncodedCodec(451, 300);
        ASSERT_GT(qx::BuildCompressedImage(container, codec, 99), 0);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string dir;
    qx::Codec codec;
    qx::Container container;
    qxtest::RecordingHooks hooks;
};

TEST_F(ContainerWrite, WritesTheBuiltImageExactlyOverALongerFile) {
    const std::vector<uint8_t> built = container.image;
    codec.params.Quality = 4;  // a later, failed compression may have changed the state
    codec.state.SourceWidth = 1000;
    const std::string name = dir + "/picture.qx1";
    qxtest::WriteFileBytes(name, std::vector<uint8_t>(200000, 0xAB));
    EXPECT_EQ(qx::WriteCompressedFile(container, hooks, name), 0);
    EXPECT_TRUE(hooks.messages.empty());
    EXPECT_EQ(qxtest::ReadFileBytes(name), built);
    EXPECT_EQ(built.size(), 52u + static_cast<size_t>(container.bodyLength()));
}

TEST_F(ContainerWrite, NothingBuiltWritesNothing) {
    qx::Container empty;
    const std::string name = dir + "/none.qx1";
    EXPECT_EQ(qx::WriteCompressedFile(empty, hooks, name), qx::kComprFileErr);
    EXPECT_EQ(hooks.messages, std::vector<std::string>{"Compr. file Err."});
    EXPECT_FALSE(fs::exists(name));
}

TEST_F(ContainerWrite, FailuresAreReportedAndKeepTheOldFile) {
    // A device is refused before anything is written, like a missing directory.
    EXPECT_EQ(qx::WriteCompressedFile(container, hooks, "/dev/full"), 1);
    EXPECT_EQ(qx::WriteCompressedFile(container, hooks, dir + "/missing-dir/x.qx1"), 1);
    // A file-size limit makes the title's, then the body's write fail; the old file stays.
    const std::string name = dir + "/old.qx1";
    qxtest::WriteFileBytes(name, {1, 2, 3});
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    for (rlim_t limit : {10, 100}) {
        const rlimit small{limit, saved.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &small);
        EXPECT_EQ(qx::WriteCompressedFile(container, hooks, name), 1);
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, SIG_DFL);
    EXPECT_EQ(hooks.messages, (std::vector<std::string>{"Lseek Err.", "Lseek Err.", "Write 1 Err.",
                                                        "Write 2 Err."}));
    EXPECT_EQ(qxtest::ReadFileBytes(name), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 1);  // no temporary file left
}

}  // namespace
