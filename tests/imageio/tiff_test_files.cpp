#include "tiff_test_files.h"

#include <algorithm>
#include <filesystem>

#include "base/file_handle.h"
#include "imageio/tiff_reader.h"

namespace qxtest {
namespace {
void Put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, static_cast<uint16_t>(v));
    Put16(out, static_cast<uint16_t>(v >> 16));
}
}  // namespace

TiffBuilder::TiffBuilder() : bytes_{'I', 'I', 42, 0, 0, 0, 0, 0} {}

uint32_t TiffBuilder::append(const std::vector<uint8_t>& data) {
    const auto offset = static_cast<uint32_t>(bytes_.size());
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    return offset;
}

uint32_t TiffBuilder::appendShorts(const std::vector<uint16_t>& values) {
    std::vector<uint8_t> data;
    for (uint16_t v : values) Put16(data, v);
    return append(data);
}

uint32_t TiffBuilder::appendLongs(const std::vector<uint32_t>& values) {
    std::vector<uint8_t> data;
    for (uint32_t v : values) Put32(data, v);
    return append(data);
}

TiffBuilder& TiffBuilder::set(uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
    remove(tag);
    entries_.push_back({tag, type, count, value});
    std::sort(entries_.begin(), entries_.end(),
              [](const Entry& a, const Entry& b) { return a.tag < b.tag; });
    return *this;
}

TiffBuilder& TiffBuilder::remove(uint16_t tag) {
    std::erase_if(entries_, [tag](const Entry& e) { return e.tag == tag; });
    return *this;
}

std::vector<uint8_t> TiffBuilder::build() const {
    std::vector<uint8_t> out = bytes_;
    const auto offset = static_cast<uint32_t>(out.size());
    for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<uint8_t>(offset >> (8 * i));
    Put16(out, static_cast<uint16_t>(entries_.size()));
    for (const Entry& e : entries_) {
        Put16(out, e.tag);
        Put16(out, e.type);
        Put32(out, e.count);
        Put32(out, e.value);
    }
    Put32(out, 0);
    return out;
}

std::vector<uint8_t> Pattern(size_t size) {
    std::vector<uint8_t> data(size);
    for (size_t i = 0; i < size; ++i) data[i] = static_cast<uint8_t>(i % 251);
    return data;
}

TiffBuilder PictureTiff(int width, int length, int samples, int rowsPerStrip) {
    TiffBuilder tiff;
    const size_t rowBytes = static_cast<size_t>(width) * samples;
    const std::vector<uint8_t> pixels = Pattern(rowBytes * length);
    if (rowsPerStrip <= 0) {
        tiff.set(273, kTypeLong, 1, tiff.append(pixels));
        tiff.set(279, kTypeLong, 1, static_cast<uint32_t>(pixels.size()));
    } else {
        const int strips = (length + rowsPerStrip - 1) / rowsPerStrip;
        std::vector<uint32_t> offsets(strips), sizes(strips);
        for (int s = strips - 1; s >= 0; --s) {
            const size_t begin = rowBytes * rowsPerStrip * s;
            const size_t end = std::min(pixels.size(), begin + rowBytes * rowsPerStrip);
            offsets[s] = tiff.append({pixels.begin() + begin, pixels.begin() + end});
            sizes[s] = static_cast<uint32_t>(end - begin);
        }
        tiff.set(273, kTypeLong, strips, tiff.appendLongs(offsets));
        tiff.set(279, kTypeLong, strips, tiff.appendLongs(sizes));
    }
    std::vector<uint16_t> bits(samples, 8);
    tiff.set(256, kTypeShort, 1, width);
    tiff.set(257, kTypeShort, 1, length);
    tiff.set(258, kTypeShort, samples, tiff.appendShorts(bits));
    tiff.set(259, kTypeShort, 1, 1);
    tiff.set(262, kTypeShort, 1, 2);
    tiff.set(277, kTypeShort, 1, samples);
    tiff.set(278, kTypeShort, 1, rowsPerStrip > 0 ? rowsPerStrip : length);
    return tiff;
}

size_t LoadBufferSize(size_t fileBytes) {
    return 2 * (4 * fileBytes / 3 + 131072);
}

TiffResult ReadTiffFile(const std::string& path, size_t capacity, bool declineMemory,
                        qx::HelperThread* helper) {
    TiffResult result;
    result.hooks.declineMemory = declineMemory;
    qx::FileHandle file = qx::FileHandle::open(path, qx::FileHandle::Mode::ReadOnly);
    const auto size = static_cast<size_t>(file.length());
    result.pixels.assign(capacity ? capacity : LoadBufferSize(size), 0);
    result.status = qx::ReadTiff("pic.tif", file, result.pixels.data(), result.pixels.size(),
                                 result.hooks, result.width, result.length, helper);
    return result;
}

TiffResult ReadTiffBytes(const std::vector<uint8_t>& file, size_t capacity, bool declineMemory,
                         qx::HelperThread* helper) {
    const std::string dir = MakeTempDir();
    const std::string path = dir + "/pic.tif";
    WriteFileBytes(path, file);
    TiffResult result = ReadTiffFile(path, capacity, declineMemory, helper);
    std::filesystem::remove_all(dir);
    return result;
}

}  // namespace qxtest
