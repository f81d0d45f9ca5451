// Reading a compressed file back into the codec: title, side tables, RefineCode and the
// unpacked MainCode, ready for DecodeCoefficients.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "codec/codec.h"
#include "container/container.h"

namespace qx {

// When the reader has MainCode ready: before it returns, or (for OpenCompressed, which waits
// for it) while the decoder already reads the first words, unpacked on the codec's helper thread.
enum class MainCodeReady { kOnReturn, kWhileDecoding };

// Returns 0 when the codec is ready to decode; 1 after a failure that has been reported through
// codec.hooks; 96 when the user declined the low-memory question. The file stays open in the
// container's slot unless a size or consistency check closed it; the caller closes the slot.
[[nodiscard]] int ReadCompressedFile(Container& container, Codec& codec,
                                     const std::string& fileName,
                                     MainCodeReady ready = MainCodeReady::kOnReturn);

// The same reader over a compressed file held in memory; `name` stands for the file name in the
// messages. Returns 0, 1 or 96 as above; nothing stays open.
int ReadCompressedMemory(Container& container, Codec& codec, std::span<const uint8_t> bytes,
                         const std::string& name, MainCodeReady ready = MainCodeReady::kOnReturn);

// The checks the reader makes before it reads the body, over the first bytes of a compressed
// file `fileLength` bytes long: a whole title, then its sizes, consistency and body size. Fills
// `title` and returns an empty text, or the message the reader refuses the file with.
std::string CheckCompressedTitle(std::span<const uint8_t> head, int64_t fileLength, int minBandSize,
                                 const std::string& name, FileTitle& title);

// Reads, decodes and restores a compressed file (OpenCompressed with ReadCompressedFile), then
// closes the file. Returns the reader's status, or 0.
[[nodiscard]] int OpenCompressedFile(Container& container, Codec& codec,
                                     const std::string& fileName);

}  // namespace qx
