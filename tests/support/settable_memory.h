// Memory figures that tests set at will.
#pragma once

#include <cstdint>

#include "load/memory_status.h"

namespace qxtest {

// The free memory that the low-memory question sees; ample unless a test lowers it.
class SettableMemory : public qx::MemoryStatusSource {
  public:
    explicit SettableMemory(int64_t kb = int64_t{16} << 20) : freeKb(kb) {}
    int64_t freeKb;
    int64_t swapFreeKb = 0;
    bool valid = true;
    qx::MemoryStatus read() const override {
        qx::MemoryStatus s;
        s.valid = valid;
        s.memTotalKb = s.memAvailableKb = freeKb;
        s.swapFreeKb = swapFreeKb;
        return s;
    }
};

}  // namespace qxtest
