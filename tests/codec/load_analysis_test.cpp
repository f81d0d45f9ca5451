#include "codec/load_analysis.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using Picture = std::vector<uint8_t>;

// A grey picture (all three channels equal) from rows of values.
Picture Grey(const std::vector<std::vector<int>>& rows) {
    Picture p;
    for (const auto& row : rows)
        for (int v : row) p.insert(p.end(), 3, static_cast<uint8_t>(v));
    return p;
}

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

// One interior pixel of 200 whose top-left neighbour is lower by the given amounts per channel;
// the channel ranges add up to their sum.
Picture OneLowNeighbour(int dr, int dg, int db) {
    Picture p(3 * 3 * 3, 200);
    p[0] = static_cast<uint8_t>(200 - dr);
    p[1] = static_cast<uint8_t>(200 - dg);
    p[2] = static_cast<uint8_t>(200 - db);
    return p;
}

TEST(SmoothBusyAreas, ActivityThresholds) {
    const Picture below = OneLowNeighbour(110, 110, 109);  // 329: untouched
    EXPECT_EQ(Smooth(below, 3, 3), below);

    // 330: ((20 x 200 + 7 x 200 + 90) x 9) >> 8 = 193 in every channel.
    Picture light = Smooth(OneLowNeighbour(110, 110, 110), 3, 3);
    EXPECT_EQ(light[12], 193);
    EXPECT_EQ(light[13], 193);
    EXPECT_EQ(light[14], 193);
    // 359 stays light even though one channel's range alone is large.
    EXPECT_EQ(Smooth(OneLowNeighbour(200, 80, 79), 3, 3)[12], ((20 * 200 + 7 * 200) * 9) >> 8);

    // 360: ((16 x 200 + 7 x 200 + 80) x 5) >> 7 = 182.
    Picture strong = Smooth(OneLowNeighbour(120, 120, 120), 3, 3);
    EXPECT_EQ(strong[12], 182);
    EXPECT_EQ(strong[0], 80);  // border copied
}

TEST(SmoothBusyAreas, LeftSampleIsThePreviousOutput) {
    // Pixel (1, 1) has neighbours alternately 80 and 200: ranges 120, A = 360, result 168.
    const Picture in = Grey({{80, 200, 80, 200}, {200, 200, 200, 200}, {80, 200, 80, 200}});
    const Picture out = Smooth(in, 4, 3);
    EXPECT_EQ(out[(1 * 4 + 1) * 3], 168);
    // Pixel (2, 1) sees 168 on its left: ((16 x 200 + 1328) x 5) >> 7 = 176, not 178.
    EXPECT_EQ(out[(1 * 4 + 2) * 3], 176);
    EXPECT_EQ(out[(1 * 4 + 2) * 3 + 2], 176);
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
            in[at] = 255, in[at + 1] = 0, in[at + 2] = 255;
        }
        EXPECT_EQ(Smooth(in, w, l), LiteralSmooth(in, w, l)) << w;
    }
}

qx::CodecParameters Analyse(const Picture& p, int w, int l) {
    qx::CodecParameters params;
    params.ReferenceChannel = 7;
    qx::AnalysePicture(p.data(), w, l, params);
    return params;
}

TEST(AnalysePicture, FlatPictureUsesTableThreeAndRed) {
    const auto params = Analyse(Picture(50 * 40 * 3, 120), 50, 40);
    EXPECT_EQ(params.ChannelActivity, (std::array<int32_t, 3>{0, 0, 0}));
    EXPECT_EQ(params.ToneSelect, 0xFF);
    EXPECT_EQ(params.ReferenceChannel, 1);
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

TEST(AnalysePicture, ReferenceChannelNeedsGreenBusierAndBrighter) {
    // Green busier (200 per step against 51) but red brighter (250 against 200): red.
    EXPECT_EQ(Analyse(AlternatingRow(150, {250, 0, 0}, {199, 200, 0}), 401, 1).ReferenceChannel, 1);
    // Green busier and brighter: green.
    EXPECT_EQ(Analyse(AlternatingRow(150, {190, 0, 0}, {199, 200, 0}), 401, 1).ReferenceChannel, 0);
    // Green brighter but red busier: red.
    EXPECT_EQ(Analyse(AlternatingRow(150, {190, 150, 0}, {0, 200, 0}), 401, 1).ReferenceChannel, 1);
}

TEST(AnalysePicture, DominanceMeanNeedsMoreThanAHundredPixels) {
    // With 100 red-led pixels the red mean counts as 0 and green wins; with 101 red wins.
    EXPECT_EQ(Analyse(AlternatingRow(100, {250, 0, 0}, {199, 200, 0}), 401, 1).ReferenceChannel, 0);
    EXPECT_EQ(Analyse(AlternatingRow(101, {250, 0, 0}, {199, 200, 0}), 401, 1).ReferenceChannel, 1);
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
    // Smoothing: ranges from the bottom up, including one-row ranges at both borders.
    Picture pieces(in.size(), 0xAA);
    for (const auto& [begin, end] :
         {std::pair{30, 31}, std::pair{17, 30}, std::pair{1, 17}, std::pair{0, 1}}) {
        qx::SmoothBusyRows(in.data(), pieces.data(), w, l, begin, end);
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

}  // namespace
