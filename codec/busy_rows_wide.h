// A quick look for busy windows in a row before it is smoothed.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qx {

// Whether any channel byte i of a row, 3 <= i < bytes - 3, has a window (bytes i - 3, i and i + 3
// of the rows above, at and below) whose values span `range` or more. A row without one is left
// as it is by the smoothing. 64 bytes at a time, storing nothing; only for processors that run
// ProcessorRunsWide.
bool RowHasBusyWindow(const uint8_t* above, const uint8_t* middle, const uint8_t* below,
                      size_t bytes, int range);

}  // namespace qx
