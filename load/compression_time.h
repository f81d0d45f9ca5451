// The time stamped into compressed files: SOURCE_DATE_EPOCH when it is set, so that files can
// be reproduced, the clock otherwise.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace qx {

// The seconds of SOURCE_DATE_EPOCH, or the clock when the variable is not set. Empty when the
// variable is set but is not a number of seconds within 32 bits; why then says so.
[[nodiscard]] std::optional<uint32_t> CompressionTime(std::string& why);

// The desktop program's reading: a malformed SOURCE_DATE_EPOCH counts as not set.
uint32_t CompressionTimeOrClock();

}  // namespace qx
