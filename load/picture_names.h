// The rules that file names follow: which reader a picture's name asks for, which pictures a
// batch takes, and the names the outputs are given.
#pragma once

#include <string>
#include <string_view>

namespace qx {

// Png and Pnm are only ever chosen by a file's content (see reader_choice.h).
enum class PictureReader { Unknown, Jpeg, Bmp, Tiff, Png, Pnm };

// The last four characters of a name when the fourth-last is "." (and none of them is "/"); an
// empty view otherwise. Compared case-sensitively by every rule below.
std::string_view NameExtension(std::string_view name);

// ".jpg"/".JPG" JPEG, ".bmp"/".BMP" BMP, any other extension TIFF, no extension Unknown.
PictureReader ReaderForName(std::string_view name);

// The batch takes ".tif"/".TIF" besides the JPEG and BMP extensions and passes over the rest.
bool IsBatchPicture(std::string_view name);

// The name without its extension: the last four characters when NameExtension finds them,
// otherwise everything from the last "." of the file's own name on ("photo.jpeg" -> "photo");
// a name without one (or whose only "." starts it) stays whole.
std::string WithoutExtension(const std::string& name);
// The compressed file's name: the extension replaced by ".qx1".
std::string CompressedName(const std::string& input);
// The restored picture's name: the extension replaced by "_comp.tif".
std::string RestoredName(const std::string& input);

}  // namespace qx
