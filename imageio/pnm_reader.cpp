// Portable pixmap and graymap reading: a small header scanner and two sample decoders.
#include "imageio/pnm_reader.h"

namespace qx {

namespace {

bool IsSpace(uint8_t c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Walks a byte range: skips white space and comments, reads decimal numbers.
class Scanner {
  public:
    explicit Scanner(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    // Skips white space and "#" comments up to the next token. False at the end of the bytes.
    bool skipSpace() {
        while (pos_ < bytes_.size()) {
            if (bytes_[pos_] == '#') {
                while (pos_ < bytes_.size() && bytes_[pos_] != '\n' && bytes_[pos_] != '\r') ++pos_;
            } else if (IsSpace(bytes_[pos_])) {
                ++pos_;
            } else {
                return true;
            }
        }
        return false;
    }
    // A decimal number up to limit; -1 when there is none or it is larger.
    int64_t number(int64_t limit) {
        int64_t value = 0;
        const size_t start = pos_;
        while (pos_ < bytes_.size() && bytes_[pos_] >= '0' && bytes_[pos_] <= '9') {
            value = value * 10 + (bytes_[pos_] - '0');
            if (value > limit) return -1;
            ++pos_;
        }
        return pos_ == start ? -1 : value;
    }
    bool atEnd() const { return pos_ >= bytes_.size(); }
    uint8_t peek() const { return bytes_[pos_]; }
    void advance() { ++pos_; }
    size_t position() const { return pos_; }

  private:
    std::span<const uint8_t> bytes_;
    size_t pos_ = 0;
};

uint8_t Scale(uint32_t sample, uint32_t maxValue) {
    if (sample >= maxValue) return 255;
    return static_cast<uint8_t>((sample * 255 + maxValue / 2) / maxValue);
}

// Writes one sample to the pixel stream: grey goes to all three channels.
void Put(std::span<uint8_t> rgb, size_t sampleIndex, int channels, uint8_t value) {
    if (channels == 3) {
        rgb[sampleIndex] = value;
    } else {
        uint8_t* pixel = &rgb[sampleIndex * 3];
        pixel[0] = pixel[1] = pixel[2] = value;
    }
}

}  // namespace

int64_t PnmHeader::rasterBytes() const {
    const int64_t samples = int64_t{width} * height * channels();
    if (plain()) return samples * 2 - 1;  // one digit and one separator each, but the last
    return samples * (maxValue > 255 ? 2 : 1);
}

PnmStatus ParsePnmHeader(std::span<const uint8_t> head, PnmHeader& header) {
    header = {};
    if (head.size() > kMaxPnmHeadBytes) head = head.first(kMaxPnmHeadBytes);
    if (head.size() < 2 || head[0] != 'P') return PnmStatus::NotPnm;
    const uint8_t kind = head[1];
    if (kind != '2' && kind != '3' && kind != '5' && kind != '6') return PnmStatus::NotPnm;
    Scanner scan(head.subspan(2));
    int64_t fields[3];
    const int64_t limits[3] = {kMaxPnmSide, kMaxPnmSide, 65535};
    for (int i = 0; i < 3; ++i) {
        // A number must be set off from the magic number and from the one before it.
        if (scan.atEnd() || (!IsSpace(scan.peek()) && scan.peek() != '#'))
            return PnmStatus::BadHeader;
        if (!scan.skipSpace()) return PnmStatus::BadHeader;
        fields[i] = scan.number(limits[i]);
        if (fields[i] <= 0) return PnmStatus::BadHeader;
    }
    // Exactly one white-space character ends the header.
    if (scan.atEnd() || !IsSpace(scan.peek())) return PnmStatus::BadHeader;
    scan.advance();
    header.kind = kind - '0';
    header.width = static_cast<int>(fields[0]);
    header.height = static_cast<int>(fields[1]);
    header.maxValue = static_cast<int>(fields[2]);
    header.rasterOffset = 2 + scan.position();
    return PnmStatus::Ok;
}

PnmStatus DecodePnm(const PnmHeader& header, std::span<const uint8_t> raster,
                    std::span<uint8_t> rgb) {
    const int channels = header.channels();
    const size_t samples = static_cast<size_t>(header.width) * header.height * channels;
    if (rgb.size() < samples / channels * 3) return PnmStatus::Truncated;
    const uint32_t maxValue = static_cast<uint32_t>(header.maxValue);
    if (!header.plain()) {
        if (static_cast<int64_t>(raster.size()) < header.rasterBytes()) return PnmStatus::Truncated;
        const bool wide = maxValue > 255;
        for (size_t i = 0; i < samples; ++i) {
            const uint32_t sample =
                wide ? (uint32_t{raster[2 * i]} << 8) | raster[2 * i + 1] : raster[i];
            Put(rgb, i, channels, Scale(sample, maxValue));
        }
        return PnmStatus::Ok;
    }
    Scanner scan(raster);
    for (size_t i = 0; i < samples; ++i) {
        if (!scan.skipSpace()) return PnmStatus::Truncated;
        const int64_t sample = scan.number(65535);
        if (sample < 0) return PnmStatus::BadSample;
        if (!scan.atEnd() && !IsSpace(scan.peek()) && scan.peek() != '#')
            return PnmStatus::BadSample;
        Put(rgb, i, channels, Scale(static_cast<uint32_t>(sample), maxValue));
    }
    return PnmStatus::Ok;
}

}  // namespace qx
