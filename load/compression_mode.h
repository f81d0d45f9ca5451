// The two ways of compressing a picture and the codec settings each stands for.
#pragma once

#include <optional>
#include <string_view>

#include "codec/codec.h"

namespace qx {

enum class CompressionChoice { High, ClearImage };

// High: CompressionMode 0, Quality 0. Clear image: CompressionMode 1, Quality 4.
void ApplyCompressionChoice(CompressionChoice choice, CodecParameters& params);

// The command line's names of the two modes, "high" and "clear".
std::optional<CompressionChoice> ParseCompressionChoice(std::string_view name);

}  // namespace qx
