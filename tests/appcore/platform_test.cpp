// Thread priority, input lock and the memory report.
#include <gtest/gtest.h>

#include <vector>

#include "app/core/input_lock.h"
#include "app/core/memory_report.h"
#include "app/core/thread_priority.h"

namespace {

TEST(ThreadPriority, RealCallNeverFailsOtherwise) {
    EXPECT_NE(qx::RaiseThreadPriority(), qx::PriorityResult::Failed);
}

TEST(InputLock, PointerIsParkedAndBroughtBackAboveTheBottomEdge) {
    std::vector<qx::PointerPosition> warps;
    qx::InputLock lock([&](qx::PointerPosition p) { warps.push_back(p); });
    lock.set(true, 1024, 768);
    EXPECT_TRUE(lock.locked());
    lock.set(false, 1024, 768);
    lock.set(false, 1024, 768);
    EXPECT_FALSE(lock.locked());
    const std::vector<qx::PointerPosition> expected{{10000, 10000}, {512, 512}, {512, 512}};
    EXPECT_EQ(warps, expected);
}

TEST(MemoryReport, FourLinesInMegabytes) {
    qx::MemoryStatus s;
    s.valid = true;
    s.memTotalKb = 8 * 1024 * 1024;
    s.memAvailableKb = 3 * 1024 * 1024 + 1023;
    s.swapTotalKb = 2 * 1024 * 1024;
    s.swapFreeKb = 1024 * 1024;
    EXPECT_EQ(qx::MemoryReportText(s),
              "TotalPhysMemory = 8192 Mb;\n"
              "FreePhysMemory  = 3072 Mb;\n"
              "TotalPageFile = 10240 Mb;\n"
              "FreePageFile  = 4096 Mb;\n");
    EXPECT_EQ(qx::MemoryReportText(qx::MemoryStatus{}),
              "TotalPhysMemory = 0 Mb;\nFreePhysMemory  = 0 Mb;\n"
              "TotalPageFile = 0 Mb;\nFreePageFile  = 0 Mb;\n");
}

}  // namespace
