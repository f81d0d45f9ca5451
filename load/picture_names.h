// The rules that file names follow: which reader a picture's name asks for, which pictures a
// batch takes, and the names the outputs are given.
#pragma once

#include <string>
#include <string_view>

namespace qx {

enum class PictureReader { Unknown, Jpeg, Bmp, Tiff };

// The last four characters of a name when the fourth-last is "." (and none of them is "/"); an
// empty view otherwise. Compared case-sensitively by every rule below.
std::string_view NameExtension(std::string_view name);

// ".jpg"/".JPG" JPEG, ".bmp"/".BMP" BMP, any other extension TIFF, no extension Unknown.
PictureReader ReaderForName(std::string_view name);

// The batch takes ".tif"/".TIF" besides the JPEG and BMP extensions and passes over the rest.
bool IsBatchPicture(std::string_view name);

// The name without its last four characters (the extension); shorter names stay whole.
std::string WithoutExtension(const std::string& name);
// The compressed file's name: the extension replaced by ".qx1".
std::string CompressedName(const std::string& input);
// The restored picture's name: the extension replaced by "_comp.tif".
std::string RestoredName(const std::string& input);

}  // namespace qx
