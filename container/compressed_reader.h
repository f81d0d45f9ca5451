// Reading a compressed file back into the codec: title, side tables, RefineCode and the
// unpacked MainCode, ready for DecodeCoefficients.
#pragma once

#include <string>

#include "codec/codec.h"
#include "container/container.h"

namespace qx {

// Returns 0 when the codec is ready to decode; 1 after a failure that has been reported through
// codec.hooks; 96 when the user declined the low-memory question. The file stays open in the
// container's slot unless a size or consistency check closed it; the caller closes the slot.
[[nodiscard]] int ReadCompressedFile(Container& container, Codec& codec,
                                     const std::string& fileName);

// Reads, decodes and restores a compressed file (OpenCompressed with ReadCompressedFile), then
// closes the file. Returns the reader's status, or 0.
[[nodiscard]] int OpenCompressedFile(Container& container, Codec& codec,
                                     const std::string& fileName);

}  // namespace qx
