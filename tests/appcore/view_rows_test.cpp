// The visible-region copy and the display copies behind the viewers.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/core/view_rows.h"

namespace {

// A picture whose every byte tells its pixel: (y * 16 + x) * 3 + channel.
qx::DisplayCopy NumberedCopy(int width, int length) {
    qx::DisplayCopy c;
    c.width = width;
    c.length = length;
    c.bytes.resize(static_cast<size_t>(width) * length * 3 + 4);
    for (int y = 0; y < length; ++y)
        for (int x = 0; x < width; ++x)
            for (int k = 0; k < 3; ++k)
                c.bytes[(static_cast<size_t>(y) * width + x) * 3 + k] =
                    static_cast<uint8_t>((y * 16 + x) * 3 + k);
    return c;
}

qx::ViewState View(int width, int length) {
    qx::ViewState v;
    v.ViewWidth = width;
    v.ViewLength = length;
    return v;
}

TEST(CopyViewRows, TopPictureRowLandsInTheLastRowOfTheBuffer) {
    const qx::DisplayCopy copy = NumberedCopy(7, 5);
    const qx::ViewState v = View(4, 3);
    std::vector<uint8_t> rows(4 * 3 * 3, 0xEE);
    qx::CopyViewRows(v, 2, 1, copy, rows.data());
    for (int d = 0; d < 3; ++d) {
        const int y = 1 + (3 - 1 - d);
        for (int x = 0; x < 4; ++x)
            for (int k = 0; k < 3; ++k)
                EXPECT_EQ(rows[(d * 4 + x) * 3 + k], ((y * 16 + x + 2) * 3 + k) & 0xFF)
                    << "row " << d << " column " << x;
    }
}

TEST(CopyViewRows, PictureSmallerThanTheViewCopiesOnlyWhatExists) {
    const qx::DisplayCopy copy = NumberedCopy(3, 2);
    const qx::ViewState v = View(4, 3);
    std::vector<uint8_t> rows(4 * 3 * 3 + 16, 0xEE);
    qx::CopyViewRows(v, 0, 0, copy, rows.data());
    // Picture rows 0 and 1 go to buffer rows 2 and 1; row 0 and the fourth column stay.
    EXPECT_EQ(rows[(2 * 4 + 0) * 3], 0);
    EXPECT_EQ(rows[(1 * 4 + 2) * 3], (16 + 2) * 3);
    EXPECT_EQ(rows[(2 * 4 + 3) * 3], 0xEE);
    EXPECT_EQ(rows[0], 0xEE);
    for (size_t i = 4 * 3 * 3; i < rows.size(); ++i) EXPECT_EQ(rows[i], 0xEE);
}

TEST(DisplayCopies, GreyPictureIsShownAsGrey) {
    const std::vector<uint8_t> grey{0, 128, 255};
    qx::DisplayCopy copy;
    qx::FillDisplayCopy(copy, grey.data(), 3, 1, true, 0);
    EXPECT_EQ((std::vector<uint8_t>(copy.bytes.begin(), copy.bytes.begin() + 9)),
              (std::vector<uint8_t>{0, 0, 0, 128, 128, 128, 255, 255, 255}));
}

}  // namespace
