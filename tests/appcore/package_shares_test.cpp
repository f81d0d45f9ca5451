#include "app/core/package_shares.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> SharesOf(int files) {
    qx::PackageShares shares(files);
    std::vector<int> out;
    for (int i = 0; i < files; ++i) out.push_back(shares.next(i));
    return out;
}

int Sum(const std::vector<int>& values) {
    int sum = 0;
    for (int v : values) sum += v;
    return sum;
}

TEST(PackageShares, GroupsFilesWhenThereAreMoreFilesThanUnits) {
    const std::vector<int> shares = SharesOf(150);
    EXPECT_EQ(Sum(shares), 100);
    // One unit every file or two, all the way to the last file.
    int previous = -1;
    for (size_t i = 0; i < shares.size(); ++i) {
        EXPECT_LE(shares[i], 1);
        if (shares[i] == 0) continue;
        EXPECT_LE(static_cast<int>(i) - previous, 2) << "file " << i;
        previous = static_cast<int>(i);
    }
    for (int files : {1, 3, 7, 100, 101, 199, 200, 201, 1000, 32768, 40000})
        EXPECT_EQ(Sum(SharesOf(files)), 100);
}

}  // namespace
