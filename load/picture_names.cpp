// File name rules shared by the desktop program and the command line.
#include "load/picture_names.h"

#include "container/compressed_name.h"

namespace qx {

std::string_view NameExtension(std::string_view name) {
    if (name.size() < 4) return {};
    const std::string_view tail = name.substr(name.size() - 4);
    if (tail[0] != '.' || tail.find('/') != std::string_view::npos) return {};
    return tail;
}

PictureReader ReaderForName(std::string_view name) {
    const std::string_view extension = NameExtension(name);
    if (extension.empty()) return PictureReader::Unknown;
    if (extension == ".jpg" || extension == ".JPG") return PictureReader::Jpeg;
    if (extension == ".bmp" || extension == ".BMP") return PictureReader::Bmp;
    return PictureReader::Tiff;
}

bool IsBatchPicture(std::string_view name) {
    const PictureReader reader = ReaderForName(name);
    const std::string_view extension = NameExtension(name);
    return reader == PictureReader::Jpeg || reader == PictureReader::Bmp || extension == ".tif" ||
           extension == ".TIF";
}

std::string WithoutExtension(const std::string& name) {
    if (!NameExtension(name).empty()) return name.substr(0, name.size() - 4);
    const size_t slash = name.find_last_of('/');
    const size_t base = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || dot <= base) return name;
    return name.substr(0, dot);
}

std::string CompressedName(const std::string& input) {
    return WithoutExtension(input) + std::string(kCompressedExtension);
}

std::string RestoredName(const std::string& input) {
    return WithoutExtension(input) + "_comp.tif";
}

}  // namespace qx
