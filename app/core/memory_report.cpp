// Text of the F5 memory report.
#include "app/core/memory_report.h"

namespace qx {

std::string MemoryReportText(const MemoryStatus& s) {
    auto mb = [&](int64_t kb) { return std::to_string(s.valid ? kb >> 10 : 0); };
    return "TotalPhysMemory = " + mb(s.memTotalKb) + " Mb;\n" +
           "FreePhysMemory  = " + mb(s.memAvailableKb) + " Mb;\n" +
           "TotalPageFile = " + mb(s.totalPageFileKb()) + " Mb;\n" +
           "FreePageFile  = " + mb(s.freePageFileKb()) + " Mb;\n";
}

}  // namespace qx
