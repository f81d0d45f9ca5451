// Codec states as an encoder would leave them, and small file helpers, for the container tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "codec/codec.h"

namespace qxtest {

// A codec holding the result of an "encoding" of a picture of the given source size: coded
// size, geometry, side tables with varied values and both streams filled with pseudo-random
// words, ending at the given word indices with 5 bits used in the last word.
qx::Codec EncodedCodec(int sourceWidth, int sourceLength, uint32_t mainEnd = 40,
                       uint32_t refineEnd = 12, bool grey = false);

// The bytes of a conformance file.
std::vector<uint8_t> ConformanceBytes(const std::string& name);

}  // namespace qxtest
