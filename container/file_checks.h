// Consistency checks of a compressed file's title, body size and frequency table. The reader
// refuses a file that fails any of them before any buffer is sized or filled from it.
#pragma once

#include <cstdint>

#include "container/file_title.h"
#include "container/main_code_packer.h"

namespace qx {

// Sides of 33 or more whose coded sizes are what normalisation gives, a wavelet geometry that
// matches the coded size, a floor index 0 ... 9 and a reference channel 0 ... 2. The source
// sides' upper limit is checked by the reader itself, with its own messages.
bool TitleIsConsistent(const FileTitle& title, int minBandSize);

// Stream sizes that fit the coded size, and a body that holds every section the title
// describes and no more than coded width x coded length + 65536 bytes.
bool BodySizeFits(const FileTitle& title, int64_t bodyLength);

// Entries 1 ... 256 never decrease, entry 1 is at least 1 and the total stays below 16383.
bool CumFreqIsValid(const CumFreqTable& cumFreq);

}  // namespace qx
