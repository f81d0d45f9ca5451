// Replaces the global allocation functions of the codec test program so that a test can make
// large allocations fail; small ones (test framework, strings) are never affected.
#include "failing_allocation.h"

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace {
std::atomic<size_t> failFrom{SIZE_MAX};
}  // namespace

void* operator new(size_t size) {
    if (size >= failFrom.load(std::memory_order_relaxed)) throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}

void* operator new(size_t size, std::align_val_t align) {
    if (size >= failFrom.load(std::memory_order_relaxed)) throw std::bad_alloc();
    const size_t alignment = static_cast<size_t>(align);
    const size_t rounded = (size + alignment - 1) / alignment * alignment;
    if (void* p = std::aligned_alloc(alignment, rounded ? rounded : alignment)) return p;
    throw std::bad_alloc();
}

void operator delete(void* p, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t, std::align_val_t) noexcept {
    std::free(p);
}

void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, size_t) noexcept {
    std::free(p);
}

namespace qxtest {

FailLargeAllocations::FailLargeAllocations(size_t bytes) {
    failFrom.store(bytes);
}
FailLargeAllocations::~FailLargeAllocations() {
    failFrom.store(SIZE_MAX);
}

}  // namespace qxtest
