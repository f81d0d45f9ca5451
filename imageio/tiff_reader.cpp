#include "imageio/tiff_reader.h"

#include <algorithm>
#include <array>
#include <vector>

#include "imageio/byte_order.h"
#include "imageio/file_stretches.h"
#include "imageio/message_box.h"

namespace qx {
namespace {

constexpr int64_t kMaxDirectoryBytes = 4096;  // at most 341 entries
constexpr int64_t kEntryBytes = 12;
constexpr int64_t kMaxStripTableBytes = 32767;
constexpr uint32_t kWidthLimit = 32767;

enum TiffTag : uint16_t {
    kImageWidth = 256,
    kImageLength = 257,
    kBitsPerSample = 258,
    kCompression = 259,
    kPhotometric = 262,
    kStripOffsets = 273,
    kStripByteCounts = 279,
    kColorMap = 320,
};

enum TiffType : uint16_t { kShort = 3, kLong = 4 };

constexpr uint32_t kNoCompression = 1;
constexpr uint32_t kPhotometricSeparated = 5;  // CMYK

// One directory entry as the file gives it. A tag the file lacks stays all zero.
struct TagRecord {
    uint16_t type = 0;
    uint32_t count = 0;
    uint32_t value = 0;  // the raw value-or-offset field

    // The entry's single value: all 32 bits of a LONG, the low 16 bits of anything else.
    uint32_t scalar() const { return type == kLong ? value : (value & 0xFFFFu); }
    // Bytes of one list entry (SHORT or LONG), 0 for any other type.
    int entryBytes() const { return type == kShort ? 2 : type == kLong ? 4 : 0; }
};

struct TiffTags {
    TagRecord width, length, bitsPerSample, compression, photometric, stripOffsets, stripByteCounts,
        colorMap;

    TagRecord* find(uint16_t tag) {
        switch (tag) {
            case kImageWidth:
                return &width;
            case kImageLength:
                return &length;
            case kBitsPerSample:
                return &bitsPerSample;
            case kCompression:
                return &compression;
            case kPhotometric:
                return &photometric;
            case kStripOffsets:
                return &stripOffsets;
            case kStripByteCounts:
                return &stripByteCounts;
            case kColorMap:
                return &colorMap;
            default:
                return nullptr;
        }
    }
};

enum class PixelKind { Bilevel, Grey, Palette, Rgb };

// One read of one file. Everything the read learns lives here, so reads never share state.
class TiffReader {
  public:
    TiffReader(const std::string& fileName, FileHandle& file, uint8_t* output, size_t capacity,
               CodecHooks& hooks, HelperThread* helper)
        : fileName_(fileName),
          file_(file),
          output_(output),
          capacity_(capacity),
          hooks_(hooks),
          helper_(helper) {}

    int16_t read(int& width, int& length);

  private:
    int16_t fail(int code, int tag = 0) {
        ReportTiffError(hooks_, fileName_, code, tag);
        return static_cast<int16_t>(code);
    }
    int16_t refuse(int status, const std::string& text) {
        ShowMessageBox(hooks_, text);
        return static_cast<int16_t>(status);
    }

    int16_t readDirectory(int64_t offset);
    int16_t findPixelKind(PixelKind& kind);
    int16_t checkSizes(int64_t width, int64_t length);
    int16_t readSingleStrip(int64_t total);
    int16_t readSeveralStrips(int64_t total);
    int16_t readStripTable(const TagRecord& tag, std::vector<uint8_t>& table);
    void reduceToThreeSamples(int64_t total);

    const std::string& fileName_;
    FileHandle& file_;
    uint8_t* output_;
    size_t capacity_;
    CodecHooks& hooks_;
    HelperThread* helper_;
    int64_t fileLength_ = 0;
    TiffTags tags_;
};

int16_t TiffReader::read(int& width, int& length) {
    std::array<uint8_t, 8> header{};
    if (!file_.seek(0)) return kTiffSeekError;
    if (!file_.readExact(header.data(), header.size())) return kTiffReadError;
    if (header[0] != 'I' || header[1] != 'I') return fail(kTiffNotIntel);

    if (int16_t status = readDirectory(LoadLe32(&header[4])); status != 0) return status;

    const uint32_t w = tags_.width.scalar();
    const uint32_t l = tags_.length.scalar();
    if (w == 0) return fail(kTiffBadTag, kImageWidth);
    if (l == 0) return fail(kTiffBadTag, kImageLength);
    if (w >= kWidthLimit) return fail(kTiffWidthTooLarge);

    PixelKind kind = PixelKind::Rgb;
    if (int16_t status = findPixelKind(kind); status != 0) return status;
    if (tags_.compression.scalar() != kNoCompression) return fail(kTiffCompressed);
    if (tags_.stripOffsets.value == 0) return fail(kTiffNoBitmap);
    if (!file_.seek(tags_.stripOffsets.value)) return fail(kTiffSeekError);

    const std::string notTrueColour = "File isn't type True Colour (RGB)";
    switch (kind) {
        case PixelKind::Bilevel:
            return refuse(kTiffBilevel, notTrueColour);
        case PixelKind::Grey:
            return refuse(kTiffGreyOrTooLarge, notTrueColour);
        case PixelKind::Palette:
            return refuse(kTiffPalette, notTrueColour);
        case PixelKind::Rgb:
            break;
    }
    // Sides stay unsigned 32-bit until they are known to lie within the picture limits. They
    // are handed out with a size refusal too, which tells it from a grey picture's.
    if (int16_t status = checkSizes(w, l); status != 0) {
        width = static_cast<int>(std::min<uint32_t>(w, kWidthLimit));
        length = static_cast<int>(std::min<uint32_t>(l, kWidthLimit));
        return status;
    }
    if (hooks_.checkFreeMemory(fileName_, static_cast<int>(w), static_cast<int>(l))) {
        return kMemoryDeclined;
    }

    const int64_t samples = tags_.bitsPerSample.count;
    const int64_t total = static_cast<int64_t>(w) * samples * l;
    if (total > static_cast<int64_t>(capacity_)) return fail(kTiffBitmapPastEnd);

    const uint32_t stripCount = tags_.stripOffsets.count;
    if (stripCount == 0) return fail(kTiffBadStripTags);
    const int16_t status = stripCount == 1 ? readSingleStrip(total) : readSeveralStrips(total);
    if (status != 0) return status;

    if (samples == 4) reduceToThreeSamples(total);
    width = static_cast<int>(w);
    length = static_cast<int>(l);
    return 0;
}

int16_t TiffReader::readDirectory(int64_t offset) {
    if (!file_.seek(offset)) return fail(kTiffSeekError);
    fileLength_ = file_.length();
    if (fileLength_ < 0 || offset + 2 > fileLength_) return fail(kTiffLengthError);

    const int64_t size = std::min(fileLength_ - offset, kMaxDirectoryBytes);
    std::vector<uint8_t> directory(static_cast<size_t>(size));
    if (!file_.readExact(directory.data(), directory.size())) return fail(kTiffReadError);

    const int64_t entries = LoadLe16(directory.data());
    if (2 + kEntryBytes * entries > size) return fail(kTiffLengthError);
    for (int64_t i = 0; i < entries; ++i) {
        const uint8_t* entry = directory.data() + 2 + kEntryBytes * i;
        if (TagRecord* record = tags_.find(LoadLe16(entry))) {
            record->type = LoadLe16(entry + 2);
            record->count = LoadLe32(entry + 4);
            record->value = LoadLe32(entry + 8);
        }
    }
    return 0;
}

int16_t TiffReader::findPixelKind(PixelKind& kind) {
    const TagRecord& bits = tags_.bitsPerSample;
    if (bits.count == 1) {
        const uint32_t depth = bits.scalar();
        if (depth == 1) {
            kind = PixelKind::Bilevel;
        } else if (depth == 8 || depth == 4) {
            kind = tags_.colorMap.value == 0 ? PixelKind::Grey : PixelKind::Palette;
        } else {
            return fail(kTiffUnknownGrey);
        }
        return 0;
    }
    if (bits.count != 3 && bits.count != 4) return fail(kTiffUnknownDataType);

    kind = PixelKind::Rgb;
    if (bits.type != kShort) return 0;  // BYTE and other types are taken as 8 bits
    std::array<uint8_t, 8> list{};
    if (!file_.seek(bits.value) || !file_.readExact(list.data(), 2 * bits.count)) {
        return fail(kTiffUnknownRgb);
    }
    for (int i = 0; i < 3; ++i) {
        if (LoadLe16(&list[2 * i]) != 8) return fail(kTiffUnknownRgb);
    }
    return 0;
}

int16_t TiffReader::checkSizes(int64_t width, int64_t length) {
    if (width > kMaxPictureSide) {
        return refuse(kTiffGreyOrTooLarge, "(Width=" + std::to_string(width) + ")" +
                                               " > (MaxWidth=" + std::to_string(kMaxPictureSide) +
                                               ")");
    }
    if (length > kMaxPictureSide) {
        return refuse(kTiffGreyOrTooLarge, "(Length=" + std::to_string(length) + ")" +
                                               " > (MaxLength=" + std::to_string(kMaxPictureSide) +
                                               ")");
    }
    if (width < kMinPictureSide) {
        return refuse(kTiffGreyOrTooLarge, "(Width=" + std::to_string(width) + ")" +
                                               " < (MinWidth=" + std::to_string(kMinPictureSide) +
                                               ")");
    }
    if (length < kMinPictureSide) {
        return refuse(kTiffGreyOrTooLarge, "(Length=" + std::to_string(length) + ")" +
                                               " < (MinLength=" + std::to_string(kMinPictureSide) +
                                               ")");
    }
    return 0;
}

int16_t TiffReader::readSingleStrip(int64_t total) {
    const int64_t start = tags_.stripOffsets.scalar();
    if (total + start > fileLength_) return fail(kTiffBitmapPastEnd);
    const FileStretch strip{start, static_cast<size_t>(total), output_};
    if (!ReadStretches(file_, {&strip, 1}, helper_)) return fail(kTiffReadError);
    return 0;
}

// Reads a strip list. A list of 4 bytes or fewer sits in the entry's value field itself.
int16_t TiffReader::readStripTable(const TagRecord& tag, std::vector<uint8_t>& table) {
    const size_t bytes = static_cast<size_t>(tag.count) * tag.entryBytes();
    table.resize(bytes);
    if (bytes <= 4) {
        std::array<uint8_t, 4> field{};
        StoreLe32(field.data(), tag.value);
        std::copy_n(field.begin(), bytes, table.begin());
        return 0;
    }
    if (!file_.seek(tag.value)) return fail(kTiffSeekError);
    if (!file_.readExact(table.data(), bytes)) return fail(kTiffReadError);
    return 0;
}

int16_t TiffReader::readSeveralStrips(int64_t total) {
    const TagRecord& offsets = tags_.stripOffsets;
    const TagRecord& sizes = tags_.stripByteCounts;
    if (sizes.count != offsets.count || offsets.entryBytes() == 0 || sizes.entryBytes() == 0) {
        return fail(kTiffBadStripTags);
    }
    const int64_t count = offsets.count;
    if (count * offsets.entryBytes() > kMaxStripTableBytes ||
        count * sizes.entryBytes() > kMaxStripTableBytes) {
        return fail(kTiffBadStripTags);
    }

    std::vector<uint8_t> offsetTable;
    std::vector<uint8_t> sizeTable;
    if (int16_t status = readStripTable(offsets, offsetTable); status != 0) return status;
    if (int16_t status = readStripTable(sizes, sizeTable); status != 0) return status;

    auto entry = [](const std::vector<uint8_t>& table, int bytes, int64_t i) -> int64_t {
        const uint8_t* p = table.data() + bytes * i;
        return bytes == 2 ? LoadLe16(p) : LoadLe32(p);
    };
    // The strips fill the picture and no more: what lies beyond row size x length is ignored.
    std::vector<FileStretch> strips;
    int64_t done = 0;
    for (int64_t i = 0; i < count && done < total; ++i) {
        const int64_t start = entry(offsetTable, offsets.entryBytes(), i);
        const int64_t size = std::min(entry(sizeTable, sizes.entryBytes(), i), total - done);
        if (size == 0) continue;
        strips.push_back({start, static_cast<size_t>(size), output_ + done});
        done += size;
    }
    if (done < total) return fail(kTiffBadStripTags);
    if (!ReadStretches(file_, strips, helper_)) return fail(kTiffReadError);
    return 0;
}

// Four samples per pixel become three, in place. CMYK files are turned into RGB; any other
// four-sample file simply loses its fourth sample.
void TiffReader::reduceToThreeSamples(int64_t total) {
    const bool cmyk = tags_.photometric.scalar() == kPhotometricSeparated;
    const int64_t pixels = total / 4;
    for (int64_t i = 0; i < pixels; ++i) {
        const uint8_t* in = output_ + 4 * i;
        const std::array<int, 4> group{in[0], in[1], in[2], in[3]};
        uint8_t* out = output_ + 3 * i;
        for (int c = 0; c < 3; ++c) {
            const int v = group[c];
            out[c] = cmyk ? static_cast<uint8_t>(std::max(0, 255 - ((v * group[3]) >> 8) - v))
                          : static_cast<uint8_t>(v);
        }
    }
}

}  // namespace

int16_t ReadTiff(const std::string& fileName, FileHandle& file, uint8_t* output, size_t capacity,
                 CodecHooks& hooks, int& width, int& length, HelperThread* helper) {
    TiffReader reader(fileName, file, output, capacity, hooks, helper);
    return reader.read(width, length);
}

}  // namespace qx
