#include <gtest/gtest.h>

#include "codec/codec.h"
#include "support/test_support.h"

TEST(CodecErrorMessage, KnownAndUnknownCodes) {
    EXPECT_STREQ(qx::CodecErrorMessage(8), "MainCode Err.");
    EXPECT_STREQ(qx::CodecErrorMessage(-9), "Code Err.");
    EXPECT_EQ(qx::CodecErrorMessage(96), nullptr);
}
