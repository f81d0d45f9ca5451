#include "codec/load_analysis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <vector>

#include "codec/busy_rows_wide.h"
#include "codec/load_stages.h"
#include "codec/pre_adjust_colours.h"
#include "codec/split_work.h"
#include "codec/vector_clones.h"

namespace {

using Picture = std::vector<uint8_t>;

Picture Smooth(const Picture& in, int w, int l) {
    Picture out(in.size(), 0xAA);
    qx::SmoothBusyAreas(in.data(), out.data(), w, l);
    return out;
}

TEST(SmoothBusyAreas, FlatAndSmallPicturesAreCopied) {
    const Picture flat(40 * 30 * 3, 77);
    EXPECT_EQ(Smooth(flat, 40, 30), flat);
    std::mt19937 rng(3);
    Picture narrow(2 * 9 * 3);
    for (auto& v : narrow) v = static_cast<uint8_t>(rng());
    EXPECT_EQ(Smooth(narrow, 2, 9), narrow);
}

// Smoothing written out pixel by pixel: nine samples per channel, the middle-left one taken
// from the output.
Picture LiteralSmooth(const Picture& in, int w, int l) {
    Picture out = in;
    for (int y = 1; y < l - 1; ++y) {
        for (int x = 1; x < w - 1; ++x) {
            int activity = 0, n[3], c[3];
            for (int ch = 0; ch < 3; ++ch) {
                int lo = 255, hi = 0, sum = 0;
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        const Picture& from = (dy == 0 && dx == -1) ? out : in;
                        const int v = from[((y + dy) * w + x + dx) * 3 + ch];
                        lo = std::min(lo, v), hi = std::max(hi, v), sum += v;
                    }
                }
                c[ch] = in[(y * w + x) * 3 + ch];
                n[ch] = sum - c[ch];
                activity += hi - lo;
            }
            for (int ch = 0; ch < 3; ++ch) {
                uint8_t& o = out[(y * w + x) * 3 + ch];
                if (activity >= 360)
                    o = static_cast<uint8_t>(((16 * c[ch] + n[ch]) * 5) >> 7);
                else if (activity >= 330)
                    o = static_cast<uint8_t>(((20 * c[ch] + n[ch]) * 9) >> 8);
            }
        }
    }
    return out;
}

TEST(SmoothBusyAreas, MatchesTheWindowWalkOnBusyPictures) {
    std::mt19937 rng(9);
    for (int spread : {256, 160, 120}) {  // from mostly smoothed to rarely smoothed
        const int w = 37, l = 23;
        Picture in(w * l * 3);
        for (auto& v : in) v = static_cast<uint8_t>(rng() % spread);
        EXPECT_EQ(Smooth(in, w, l), LiteralSmooth(in, w, l)) << spread;
    }
    // Quiet rows with a few busy spots: long runs without a busy pixel, spots near both ends
    // of a row and next to each other.
    for (int w : {40, 75, 130}) {
        const int l = 9;
        Picture in(w * l * 3);
        for (auto& v : in) v = static_cast<uint8_t>(100 + rng() % 8);
        for (int spot = 0; spot < 12; ++spot) {
            const size_t at = (rng() % (w * l)) * 3;
            // Every other spot spans a wide range in one channel only: not busy.
            in[at] = 255;
            if (spot % 2) in[at + 1] = 0, in[at + 2] = 255;
        }
        EXPECT_EQ(Smooth(in, w, l), LiteralSmooth(in, w, l)) << w;
    }
}

// The smoothing's first look at a row: one raised sample at each position of each of the three
// rows, raised by the range or by one less. Only samples inside the windows of bytes 3 ... bytes -
// 4 count, those within 3 bytes of one, which reaches the row's ends from 7 bytes on.
TEST(SmoothBusyAreas, FirstLookFindsEveryBusyWindow) {
    if (!qx::ProcessorRunsWide()) GTEST_SKIP() << "no AVX-512 VBMI here";
    const int range = 110;
    for (const size_t bytes : {6, 7, 66, 69, 192, 258}) {
        for (size_t at = 0; at < bytes; ++at) {
            for (size_t row = 0; row < 3; ++row) {
                for (const int raise : {range - 1, range}) {
                    Picture rows(3 * bytes, 100);
                    rows[row * bytes + at] = static_cast<uint8_t>(100 + raise);
                    bool busy = false;
                    for (size_t i = 3; i + 3 < bytes; ++i)
                        busy = busy || (raise >= range && (at + 3 == i || at == i || at == i + 3));
                    EXPECT_EQ(qx::RowHasBusyWindow(rows.data(), rows.data() + bytes,
                                                   rows.data() + 2 * bytes, bytes, range),
                              busy)
                        << bytes << " " << at << " " << row << " " << raise;
                }
            }
        }
    }
}

qx::CodecParameters Analyse(const Picture& p, int w, int l) {
    qx::CodecParameters params;
    params.ReferenceChannel = 7;
    qx::AnalysePicture(p.data(), w, l, params);
    return params;
}

TEST(AnalysePicture, ToneSelectFromEachChannelsActivity) {
    const auto params = Analyse({0, 0, 0, 9, 12, 5}, 2, 1);
    EXPECT_EQ(params.ChannelActivity, (std::array<int32_t, 3>{9, 12, 5}));
    EXPECT_EQ(params.ToneSelect, 9);  // red table 1, green table 2, blue table 0
    EXPECT_EQ(Analyse({0, 0, 0, 8, 10, 1}, 2, 1).ToneSelect, 0xFF);
    EXPECT_EQ(Analyse({0, 0, 0, 8, 10, 2}, 2, 1).ToneSelect, 2 << 2);
    // Means truncate: 17 over two steps of a three-pixel row is 8.
    EXPECT_EQ(Analyse({0, 0, 0, 9, 9, 9, 17, 17, 17}, 3, 1).ChannelActivity[0], 8);
}

// A row of 401 pixels: the even positions 2 ... 2 x redPixels hold a red-led pixel, all others a
// green-led one.
Picture AlternatingRow(int redPixels, const std::array<uint8_t, 3>& redLed,
                       const std::array<uint8_t, 3>& greenLed) {
    Picture p;
    for (int x = 0; x < 401; ++x) {
        const auto& px = (x >= 2 && x <= 2 * redPixels && x % 2 == 0) ? redLed : greenLed;
        p.insert(p.end(), px.begin(), px.end());
    }
    return p;
}

TEST(AnalysePicture, DominanceMeanNeedsMoreThanAHundredPixels) {
    // With 100 red-led pixels the red mean counts as 0 and green wins; with 101 red wins.
    EXPECT_EQ(Analyse(AlternatingRow(100, {250, 0, 0}, {199, 200, 0}), 401, 1).ReferenceChannel, 0);
    EXPECT_EQ(Analyse(AlternatingRow(101, {250, 0, 0}, {199, 200, 0}), 401, 1).ReferenceChannel, 1);
}

TEST(AnalysePicture, SumsMatchThePixelModelOnWideRows) {
    std::mt19937 rng(8);
    for (const int w : {1100, 77, 18, 5}) {
        Picture row(static_cast<size_t>(w) * 3);
        for (auto& v : row) v = static_cast<uint8_t>(rng() % 4 == 0 ? 200 : rng() % 256);
        qx::PictureSums model;
        for (int x = 1; x < w; ++x) {
            const uint8_t* px = &row[3 * static_cast<size_t>(x)];
            for (int ch = 0; ch < 3; ++ch) model.activity[ch] += std::abs(px[ch] - px[ch - 3]);
            const bool red = px[0] >= px[1] && px[0] >= px[2];
            const bool green = px[1] >= px[0] && px[1] >= px[2];
            model.redSum += red ? px[0] : 0;
            model.redCount += red;
            model.greenSum += green ? px[1] : 0;
            model.greenCount += green;
        }
        qx::PictureSums sums;
        qx::AddPictureSums(row.data(), w, 0, 1, sums);
        EXPECT_EQ(
            std::vector<uint64_t>({sums.activity[0], sums.activity[1], sums.activity[2],
                                   sums.redSum, sums.redCount, sums.greenSum, sums.greenCount}),
            std::vector<uint64_t>({model.activity[0], model.activity[1], model.activity[2],
                                   model.redSum, model.redCount, model.greenSum, model.greenCount}))
            << w;
    }
}

TEST(AnalysePicture, EqualLeadersCountForBoth) {
    // Pixels with red = green = 200 alternate with blue-led ones (which count for neither): the
    // tied pixels give red a mean of 200 too, so red is not darker and stays the reference.
    Picture tied, greenAhead;
    for (int x = 0; x < 300; ++x) {
        const bool blue = x % 2;
        tied.insert(tied.end(), {200, static_cast<uint8_t>(blue ? 0 : 200),
                                 static_cast<uint8_t>(blue ? 255 : 0)});
        greenAhead.insert(greenAhead.end(), {200, static_cast<uint8_t>(blue ? 0 : 201),
                                             static_cast<uint8_t>(blue ? 255 : 0)});
    }
    EXPECT_EQ(Analyse(tied, 300, 1).ReferenceChannel, 1);
    EXPECT_EQ(Analyse(greenAhead, 300, 1).ReferenceChannel, 0);
}

}  // namespace

namespace {

TEST(LoadSteps, RowRangesInAnyOrderGiveTheWholePicturesResults) {
    std::mt19937 rng(4);
    const int w = 45, l = 31;
    Picture in(w * l * 3);
    for (auto& v : in) v = static_cast<uint8_t>(rng() % 256);
    // Smoothing in place: ranges from the bottom up, including one-row ranges at both borders,
    // each given the original rows next to it; the rows a range reads from a later one have been
    // smoothed by then.
    const size_t row = w * 3;
    Picture pieces = in;
    qx::SmoothingRows rows;
    for (const auto& [begin, end] :
         {std::pair{30, 31}, std::pair{17, 30}, std::pair{1, 17}, std::pair{0, 1}}) {
        const uint8_t* above = begin > 0 ? in.data() + (begin - 1) * row : nullptr;
        const uint8_t* below = end < l ? in.data() + end * row : nullptr;
        const uint8_t* last =
            qx::SmoothBusyRowsInPlace(pieces.data(), w, l, begin, end, above, below, rows);
        EXPECT_TRUE(std::equal(last, last + row, in.begin() + (end - 1) * row)) << begin;
    }
    EXPECT_EQ(pieces, Smooth(in, w, l));
    // Analysis: two halves' sums added together.
    qx::PictureSums top, bottom;
    qx::AddPictureSums(in.data(), w, 0, 13, top);
    qx::AddPictureSums(in.data(), w, 13, l, bottom);
    top.add(bottom);
    qx::CodecParameters split;
    qx::FinishAnalysis(top, w, l, split);
    const qx::CodecParameters whole = Analyse(in, w, l);
    EXPECT_EQ(split.ChannelActivity, whole.ChannelActivity);
    EXPECT_EQ(split.ToneSelect, whole.ToneSelect);
    EXPECT_EQ(split.ReferenceChannel, whole.ReferenceChannel);
}

// The load stages in place, shared with a helper thread from 256 K pixels on, against the
// stages one after the other on a copy: sizes at and around the boundaries of the threads' pieces
// and of their bands, and pictures of one or two rows or columns.
TEST(LoadSteps, InPlaceStagesGiveTheStepByStepPicture) {
    std::mt19937 rng(5);
    qx::HelperThread helper;
    for (auto [w, l] : {std::pair{600, 437}, std::pair{513, 512}, std::pair{45, 31},
                        std::pair{3, 1}, std::pair{1, 5}, std::pair{2, 2}}) {
        Picture in(static_cast<size_t>(w) * l * 3);
        for (auto& v : in) v = static_cast<uint8_t>(rng() % 4 ? rng() % 256 : 120);
        Picture expected = Smooth(in, w, l);
        qx::PreAdjustColours(expected.data(), w, l);
        qx::CodecParameters stepByStep;
        qx::ResetReaderFields(stepByStep);
        qx::AnalysePicture(expected.data(), w, l, stepByStep);

        Picture picture = in;
        qx::CodecParameters params;
        ASSERT_TRUE(qx::PrepareLoadedPicture(picture.data(), w, l, params, &helper));
        EXPECT_EQ(picture, expected) << w << " x " << l;
        EXPECT_EQ(params.ChannelActivity, stepByStep.ChannelActivity);
        EXPECT_EQ(params.ToneSelect, stepByStep.ToneSelect);
        EXPECT_EQ(params.ReferenceChannel, stepByStep.ReferenceChannel);
    }
}

}  // namespace
