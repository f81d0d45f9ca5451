// Fault injection for allocations in the codec tests: large allocations can be made to fail.
#pragma once

#include <cstddef>

namespace qxtest {

// While an instance lives, every operator new of at least `bytes` throws std::bad_alloc.
class FailLargeAllocations {
  public:
    explicit FailLargeAllocations(size_t bytes);
    ~FailLargeAllocations();
    FailLargeAllocations(const FailLargeAllocations&) = delete;
    FailLargeAllocations& operator=(const FailLargeAllocations&) = delete;
};

}  // namespace qxtest
