#include "base/safe_write.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace qx {
namespace {

std::vector<std::string> Names(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<uint8_t> Bytes(const char* text) {
    return std::vector<uint8_t>(text, text + std::char_traits<char>::length(text));
}

// A new output takes its name only when it is committed. A file that appears under that name
// meanwhile is kept without replace and replaced with it; an abandoned output leaves nothing.
TEST(SafeWrite, AnOutputThatAppearsMeanwhileIsKeptOrReplaced) {
    const std::string dir = qxtest::MakeTempDir();
    const std::string name = dir + "/out.qx1";
    for (const bool replace : {false, true}) {
        {
            SafeWrite out(name, replace);
            ASSERT_TRUE(out.isOpen());
            ASSERT_TRUE(out.file().writeAll("ours", 4));
            EXPECT_FALSE(std::filesystem::exists(name));  // not before the commit
            qxtest::WriteFileBytes(name, Bytes("theirs"));
            const WriteResult result = out.commit();
            EXPECT_EQ(result.status, replace ? WriteStatus::Written : WriteStatus::Exists);
        }
        EXPECT_EQ(qxtest::ReadFileBytes(name), Bytes(replace ? "ours" : "theirs")) << replace;
        EXPECT_EQ(Names(dir), std::vector<std::string>{"out.qx1"}) << replace;
        std::filesystem::remove(name);
    }
    {
        SafeWrite out(name, false);
        ASSERT_TRUE(out.file().writeAll("half", 4));
    }
    EXPECT_TRUE(Names(dir).empty());
}

}  // namespace
}  // namespace qx
