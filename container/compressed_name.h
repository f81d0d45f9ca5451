// The name every compressed file carries.
#pragma once

#include <string_view>

namespace qx {

inline constexpr std::string_view kCompressedExtension = ".qx1";

// Whether a name ends in ".qx1" or ".QX1".
inline bool IsCompressedName(std::string_view name) {
    if (name.size() < 4) return false;
    const std::string_view extension = name.substr(name.size() - 4);
    return extension == kCompressedExtension || extension == ".QX1";
}

}  // namespace qx
