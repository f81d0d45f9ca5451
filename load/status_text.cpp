// Sizes in Kb and compression ratios for captions and the result label.
#include "load/status_text.h"

namespace qx {

namespace {

// "K.e": whole Kb, a point, and the remainder in eighths of a Kb.
std::string KbText(int64_t bytes) {
    return std::to_string(bytes >> 10) + "." + std::to_string((bytes % 1024) >> 7);
}

}  // namespace

int CompressionRatio(int width, int length, int64_t bytes) {
    if (bytes <= 0) return 0;
    const int64_t raw = static_cast<int64_t>(width) * length * 3;
    return static_cast<int16_t>((raw + bytes / 2) / bytes);
}

std::string SizeText(int width, int length, int64_t bytes) {
    return "   " + KbText(bytes) + " Kb  (" + std::to_string(width) + "*" + std::to_string(length) +
           ")";
}

std::string SizeText(int width, int length) {
    return SizeText(width, length, static_cast<int64_t>(width) * length * 3);
}

std::string RatioText(int width, int length, int64_t bytes) {
    return "  [1 : " + std::to_string(CompressionRatio(width, length, bytes)) + "]";
}

std::string CompressedSizeText(int64_t bytes, int width, int length) {
    return "   " + KbText(bytes) +
           " Kb   --> 1 : " + std::to_string(CompressionRatio(width, length, bytes));
}

}  // namespace qx
