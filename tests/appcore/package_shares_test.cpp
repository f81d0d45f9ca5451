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

TEST(PackageShares, SplitsTheBarWhenFilesAreFewerThanUnits) {
    EXPECT_EQ(SharesOf(1), std::vector<int>({100}));
    EXPECT_EQ(SharesOf(3), std::vector<int>({33, 33, 34}));
    EXPECT_EQ(SharesOf(4), std::vector<int>({25, 25, 25, 25}));
    EXPECT_EQ(Sum(SharesOf(7)), 100);
    EXPECT_EQ(Sum(SharesOf(100)), 100);
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
    for (int files : {101, 199, 200, 201, 1000, 32768, 40000}) EXPECT_EQ(Sum(SharesOf(files)), 100);
}

TEST(ProgressSteps, SpendsAShareInThreeStepsEndingAtTheShare) {
    struct Case {
        int share;
        std::vector<int> positions;
    };
    for (const Case& c : {Case{33, {11, 22, 33}}, Case{34, {11, 22, 34}}, Case{1, {0, 0, 1}},
                          Case{0, {0, 0, 0}}, Case{100, {33, 66, 100}}}) {
        qx::ProgressSteps steps;
        steps.startFile(c.share);
        std::vector<int> seen;
        for (int phase : {0, 0, 1}) {
            steps.report(phase);
            seen.push_back(steps.value());
        }
        EXPECT_EQ(seen, c.positions) << "share " << c.share;
    }
}

}  // namespace
