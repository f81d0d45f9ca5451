// SOURCE_DATE_EPOCH, read in one way for both front ends.
#include "load/compression_time.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace qx {

std::optional<uint32_t> CompressionTime(std::string& why) {
    const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
    if (!epoch) return static_cast<uint32_t>(std::time(nullptr));
    const char* end = epoch + std::strlen(epoch);
    uint32_t seconds = 0;
    const auto [stop, error] = std::from_chars(epoch, end, seconds);
    if (epoch == end || error != std::errc() || stop != end) {
        why = std::string("SOURCE_DATE_EPOCH is not a number of seconds: \"") + epoch + "\"";
        return std::nullopt;
    }
    return seconds;
}

uint32_t CompressionTimeOrClock() {
    std::string why;
    return CompressionTime(why).value_or(static_cast<uint32_t>(std::time(nullptr)));
}

}  // namespace qx
