// Difference map and PSNR of the two viewers' pictures.
#include "app/core/comparison.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "codec/psnr.h"

namespace qx {

namespace {

struct Anchor {
    int error;
    std::array<uint8_t, 3> rgb;
};

// The scale runs through these colours, linearly between them.
constexpr std::array<Anchor, 7> kAnchors{{{0, {0, 0, 0}},
                                          {3, {20, 30, 170}},
                                          {8, {150, 30, 190}},
                                          {14, {230, 30, 50}},
                                          {20, {250, 140, 0}},
                                          {26, {250, 230, 40}},
                                          {kHeatTop, {255, 255, 255}}}};

bool SameSize(const DisplayCopy& a, const DisplayCopy& b) {
    const size_t bytes = static_cast<size_t>(a.width) * static_cast<size_t>(a.length) * 3;
    return a.width == b.width && a.length == b.length && a.width > 0 && a.length > 0 &&
           a.bytes.size() >= bytes && b.bytes.size() >= bytes;
}

}  // namespace

std::array<uint8_t, 3> HeatColour(int error) {
    error = std::clamp(error, 0, kHeatTop);
    size_t i = 1;
    while (kAnchors[i].error < error) ++i;
    const Anchor& lo = kAnchors[i - 1];
    const Anchor& hi = kAnchors[i];
    const int span = hi.error - lo.error;
    const int t = error - lo.error;
    std::array<uint8_t, 3> rgb{};
    for (size_t c = 0; c < 3; ++c) {
        rgb[c] = static_cast<uint8_t>((lo.rgb[c] * (span - t) + hi.rgb[c] * t + span / 2) / span);
    }
    return rgb;
}

int PixelError(const uint8_t* a, const uint8_t* b) {
    return std::max({std::abs(a[0] - b[0]), std::abs(a[1] - b[1]), std::abs(a[2] - b[2])});
}

bool FillDifferenceMap(const DisplayCopy& source, const DisplayCopy& restored, DisplayCopy& map) {
    if (!SameSize(source, restored)) {
        map = {};
        return false;
    }
    std::array<std::array<uint8_t, 3>, kHeatTop + 1> colours{};
    for (int e = 0; e <= kHeatTop; ++e) colours[static_cast<size_t>(e)] = HeatColour(e);
    const size_t pixels = static_cast<size_t>(source.width) * static_cast<size_t>(source.length);
    map.width = source.width;
    map.length = source.length;
    map.bytes.resize(pixels * 3);
    const uint8_t* s = source.bytes.data();
    const uint8_t* r = restored.bytes.data();
    uint8_t* out = map.bytes.data();
    for (size_t i = 0; i < pixels; ++i, s += 3, r += 3, out += 3) {
        const auto& rgb = colours[static_cast<size_t>(std::min(PixelError(s, r), kHeatTop))];
        // Display order is blue, green, red.
        out[0] = rgb[2];
        out[1] = rgb[1];
        out[2] = rgb[0];
    }
    return true;
}

double DisplayCopyPsnr(const DisplayCopy& source, const DisplayCopy& restored) {
    if (!SameSize(source, restored)) return std::numeric_limits<double>::quiet_NaN();
    const size_t bytes = static_cast<size_t>(source.width) * static_cast<size_t>(source.length) * 3;
    return Psnr(source.bytes.data(), restored.bytes.data(), bytes);
}

std::string PsnrLabelText(double psnr) {
    if (std::isnan(psnr)) return {};
    if (std::isinf(psnr)) return "PSNR inf dB";
    char text[32];
    std::snprintf(text, sizeof text, "PSNR %.1f dB", psnr);
    return text;
}

}  // namespace qx
