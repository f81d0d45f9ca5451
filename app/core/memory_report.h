// The memory report the main window shows on F5.
#pragma once

#include <string>

#include "load/memory_status.h"

namespace qx {

inline constexpr const char* kMemoryReportCaption = "Total and Free Memory";

// Four lines in Mb: total and free physical memory, total and free page file (memory plus swap).
// Unreadable figures show as 0.
std::string MemoryReportText(const MemoryStatus& status);

}  // namespace qx
