#include <gtest/gtest.h>

#include <vector>

#include "codec/low_band.h"
#include "codec/threshold_schedule.h"

namespace {

struct Pass {
    int32_t T;
    int D;
    bool operator==(const Pass&) const = default;
};

// Runs the schedule of tree 0 and records every pass.
std::vector<Pass> Schedule(const qx::CodecParameters& params, const qx::CoefficientTables& tables,
                           int component) {
    std::vector<Pass> passes;
    qx::RunTreeSchedule(params, tables, 0, component, [&](int32_t T, int D) {
        passes.push_back({T, D});
        return 0;
    });
    return passes;
}

TEST(ThresholdSchedule, FloorsFollowTheLevel2Mean) {
    qx::CoefficientTables tables;
    tables.MaxThresholds[0] = 4096;
    tables.BlockMeans[0] = 30;  // keeps an entry below every floor at the end of the list
    const auto lastFloor = [&](int quality, int mean) {
        tables.BlockMeans[1024] = static_cast<uint16_t>(mean);
        qx::CodecParameters params;
        params.Quality = static_cast<int16_t>(quality);
        qx::ThresholdList list;
        int n = qx::BuildThresholdList(tables, 0, 0, list);
        n = qx::ApplyThresholdFloor(params, tables, 0, list, n, 0);
        return list[n - 1];
    };
    // {quality, level-2 mean, last threshold}
    const int cases[][3] = {{0, 56, 56}, {0, 51, 54}, {0, 52, 46}, {0, 55, 46},
                            {4, 38, 38}, {4, 33, 36}, {4, 34, 28}, {4, 37, 28}};
    for (const auto& c : cases) EXPECT_EQ(lastFloor(c[0], c[1]), c[2]) << c[0] << " " << c[1];
}

TEST(ThresholdSchedule, ScaledBoundsGiveTheSameList) {
    qx::CoefficientTables plain;
    plain.MaxThresholds[1024] = 32768;
    qx::CoefficientTables scaled;
    scaled.MaxThresholds[1024] = 8192;
    scaled.ThresholdScaleFlags = 2;
    qx::CodecParameters params;
    EXPECT_EQ(Schedule(params, plain, 1), Schedule(params, scaled, 1));
}

TEST(ThresholdSchedule, OutOfRangeQualityStaysInsideTheFloorTable) {
    qx::CoefficientTables tables;
    tables.MaxThresholds[1024] = 256;
    qx::CodecParameters params;
    params.QualityBase = 4;
    params.Quality = 20;
    EXPECT_FALSE(Schedule(params, tables, 1).empty());
}

TEST(LowBandCodes, CodesAndReconstructions) {
    EXPECT_EQ(qx::CodeLowBandValue(0), 64);
    EXPECT_EQ(qx::CodeLowBandValue(1), 64);
    EXPECT_EQ(qx::CodeLowBandValue(2), 1);
    EXPECT_EQ(qx::CodeLowBandValue(3), 65);
    EXPECT_EQ(qx::CodeLowBandValue(-5), 128 + 2);
    for (int v : {0, 1}) EXPECT_EQ(qx::DecodeLowBandValue(qx::CodeLowBandValue(v)), 1);
    for (int v : {2, 3, -2, -3}) EXPECT_EQ(qx::DecodeLowBandValue(qx::CodeLowBandValue(v)), v);
    // Damaged exponents are clamped to 20 before any shift.
    EXPECT_EQ(qx::DecodeLowBandValue(0x1F), 1310720);
    EXPECT_EQ(qx::DecodeLowBandValue(0xDF), -1835008);
}

}  // namespace
