// Codec settings of the compression modes.
#include "load/compression_mode.h"

namespace qx {

void ApplyCompressionChoice(CompressionChoice choice, CodecParameters& params) {
    const bool high = choice == CompressionChoice::High;
    params.CompressionMode = high ? 0 : 1;
    params.Quality = high ? 0 : 4;
}

std::optional<CompressionChoice> ParseCompressionChoice(std::string_view name) {
    if (name == "high") return CompressionChoice::High;
    if (name == "clear") return CompressionChoice::ClearImage;
    return std::nullopt;
}

}  // namespace qx
