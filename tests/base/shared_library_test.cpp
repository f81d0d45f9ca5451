#include "base/shared_library.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

namespace qx {
namespace {

// A library the package forgot, or a system with another soname, must come back as a readable
// failure that names what is missing, never as a null call.
TEST(SharedLibrary, NamesWhatCannotBeFound) {
    SharedLibrary absent("libqx-no-such-library.so.9");
    size_t (*length)(const char*) = nullptr;
    EXPECT_FALSE(absent.isOpen());
    EXPECT_FALSE(absent.bind("strlen", length));
    EXPECT_EQ(length, nullptr);
    EXPECT_NE(absent.error().find("libqx-no-such-library.so.9"), std::string::npos);

    SharedLibrary libc("libc.so.6");
    ASSERT_TRUE(libc.isOpen()) << libc.error();
    ASSERT_TRUE(libc.bind("strlen", length)) << libc.error();
    EXPECT_EQ(length("four"), 4u);
    EXPECT_TRUE(libc.error().empty());
    EXPECT_FALSE(libc.bind("qx_no_such_function", length));
    EXPECT_NE(libc.error().find("qx_no_such_function"), std::string::npos);
}

}  // namespace
}  // namespace qx
