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
    qx::MemoryStatus read() const override {
        qx::MemoryStatus s;
        s.valid = true;
        s.memTotalKb = s.memAvailableKb = freeKb;
        return s;
    }
};

}  // namespace qxtest
