// Readers chosen by name, then by content.
#include "load/reader_choice.h"

#include <algorithm>

#include "base/file_handle.h"
#include "imageio/png_reader.h"

namespace qx {

namespace {

bool StartsWith(std::span<const uint8_t> head, std::initializer_list<uint8_t> bytes) {
    return head.size() >= bytes.size() && std::equal(bytes.begin(), bytes.end(), head.begin());
}

bool IsPnmHead(std::span<const uint8_t> head) {
    if (head.size() < 3 || head[0] != 'P') return false;
    const uint8_t kind = head[1];
    const uint8_t after = head[2];
    return (kind == '2' || kind == '3' || kind == '5' || kind == '6') &&
           (after == ' ' || after == '\t' || after == '\n' || after == '\r' || after == '#');
}

}  // namespace

PictureReader ReaderForContent(std::span<const uint8_t> head) {
    if (StartsWith(head, {'B', 'M'})) return PictureReader::Bmp;
    if (StartsWith(head, {0xFF, 0xD8, 0xFF})) return PictureReader::Jpeg;
    if (StartsWith(head, {'I', 'I', 42, 0}) || StartsWith(head, {'M', 'M', 0, 42}))
        return PictureReader::Tiff;
    if (head.size() >= sizeof kPngSignature &&
        std::equal(std::begin(kPngSignature), std::end(kPngSignature), head.begin()))
        return PictureReader::Png;
    if (IsPnmHead(head)) return PictureReader::Pnm;
    return PictureReader::Unknown;
}

PictureReader ChooseReader(std::string_view name, std::span<const uint8_t> head) {
    const PictureReader byName = ReaderForName(name);
    const PictureReader byContent = ReaderForContent(head);
    return byContent == PictureReader::Unknown ? byName : byContent;
}

std::vector<uint8_t> ReadContentHead(const std::string& path) {
    FileHandle file = FileHandle::open(path, FileHandle::Mode::ReadOnly);
    std::vector<uint8_t> head(kContentHeadBytes);
    const int64_t count = file.isOpen() ? file.read(head.data(), head.size()) : -1;
    head.resize(count > 0 ? static_cast<size_t>(count) : 0);
    return head;
}

}  // namespace qx
