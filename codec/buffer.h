// Working buffers whose growth leaves new elements uninitialised: every stage writes its buffer
// before reading it, so zero-filling megabytes per picture would only cost time. Blocks of a
// few megabytes are placed on 2 MB boundaries and offered to the kernel for huge pages, which
// turns thousands of page faults per picture into a handful.
#pragma once

#include <sys/mman.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

#include "base/sanitizers.h"

namespace qx {

namespace buffer_detail {
constexpr size_t kHugePage = size_t{2} << 20;

// Under AddressSanitizer every block comes from the allocator, which the sanitizer watches for
// overruns; mapped blocks would pass unseen.
constexpr bool kMapLargeBlocks = !kAddressSanitizer;

inline size_t MappedBytes(size_t bytes) {
    return (bytes + kHugePage - 1) / kHugePage * kHugePage;
}

// Blocks of a huge page or more are mapped directly, so they always arrive as fresh pages that
// the kernel has cleared (see ResizeZeroed), whatever the allocator's own thresholds are.
inline void* Allocate(size_t bytes) {
    if (kMapLargeBlocks && bytes >= kHugePage) {
        const size_t rounded = MappedBytes(bytes);
        if (rounded < bytes || rounded > static_cast<size_t>(-1) - kHugePage) {
            throw std::bad_alloc();
        }
        // Map one huge page more than needed and hand the unaligned ends back.
        void* raw = mmap(nullptr, rounded + kHugePage, PROT_READ | PROT_WRITE,
                         MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (raw == MAP_FAILED) throw std::bad_alloc();
        const uintptr_t begin = reinterpret_cast<uintptr_t>(raw);
        const uintptr_t aligned = (begin + kHugePage - 1) / kHugePage * kHugePage;
        if (aligned > begin) munmap(raw, aligned - begin);
        const size_t tail = begin + rounded + kHugePage - (aligned + rounded);
        if (tail > 0) munmap(reinterpret_cast<void*>(aligned + rounded), tail);
        void* p = reinterpret_cast<void*>(aligned);
        madvise(p, rounded, MADV_HUGEPAGE);  // a hint: refusal changes nothing but speed
        return p;
    }
    return ::operator new(bytes);
}

// Moves the pages of one mapped block onto another in a single step: `to` then holds what `from`
// held, and `from` keeps its addresses with pages that read as zero until touched. Nothing
// changes when either block is not mapped or the kernel refuses.
inline bool MovePages(void* from, size_t fromBytes, void* to, size_t toBytes) noexcept {
    if (!kMapLargeBlocks || fromBytes < kHugePage || toBytes < kHugePage || from == to) {
        return false;
    }
    const size_t bytes = std::min(MappedBytes(fromBytes), MappedBytes(toBytes));
    return mremap(from, bytes, bytes, MREMAP_MAYMOVE | MREMAP_FIXED | MREMAP_DONTUNMAP, to) !=
           MAP_FAILED;
}

// Has the kernel map the pages of [p, p + bytes) of a mapped block now, cleared, rather than at
// first touch. Nothing happens where it cannot (kernels before 5.14, blocks not mapped).
inline void PopulatePages(void* p, size_t bytes) noexcept {
#ifdef MADV_POPULATE_WRITE
    if (kMapLargeBlocks) madvise(p, bytes, MADV_POPULATE_WRITE);
#else
    (void)p;
    (void)bytes;
#endif
}

inline void Release(void* p, size_t bytes) noexcept {
    if (kMapLargeBlocks && bytes >= kHugePage) {
        munmap(p, MappedBytes(bytes));
    } else {
        ::operator delete(p);
    }
}
}  // namespace buffer_detail

// Asks for the n values from p on to be brought into the cache, for loops whose rows lie a
// plane's row apart, where the processor's own prefetching starts afresh at every 4 KB page.
template <typename T>
inline void PrefetchRow(const T* p, int n) {
    const char* bytes = reinterpret_cast<const char*>(p);
    for (size_t b = 0; b < sizeof(T) * static_cast<size_t>(n); b += 64)
        __builtin_prefetch(bytes + b);
}

template <typename T>
struct DefaultInitAllocator {
    using value_type = T;
    DefaultInitAllocator() = default;
    template <typename U>
    DefaultInitAllocator(const DefaultInitAllocator<U>&) noexcept {}

    T* allocate(size_t n) {
        if (n > static_cast<size_t>(-1) / sizeof(T)) throw std::bad_alloc();
        return static_cast<T*>(buffer_detail::Allocate(n * sizeof(T)));
    }
    void deallocate(T* p, size_t n) noexcept { buffer_detail::Release(p, n * sizeof(T)); }

    template <typename U>
    void construct(U* p) noexcept(std::is_nothrow_default_constructible_v<U>) {
        ::new (static_cast<void*>(p)) U;
    }
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
    template <typename U>
    bool operator==(const DefaultInitAllocator<U>&) const noexcept {
        return true;
    }
};

template <typename T>
using Buffer = std::vector<T, DefaultInitAllocator<T>>;

// Sizes a buffer that every picture writes from end to end. From a quarter of a huge page on,
// the capacity is rounded up to whole huge pages: one fault then maps what takes hundreds of
// faults (each far dearer than clearing the extra bytes) in small pages.
template <typename T>
void ResizeDense(Buffer<T>& buffer, size_t count) {
    const size_t bytes = count * sizeof(T);
    if (bytes >= buffer_detail::kHugePage / 4 && buffer.capacity() < count) {
        const size_t pages = (bytes + buffer_detail::kHugePage - 1) / buffer_detail::kHugePage;
        buffer.reserve(pages * buffer_detail::kHugePage / sizeof(T));
    }
    buffer.resize(count);
}

// Gives a block that is about to be overwritten the pages of one that is no longer read, so the
// kernel need not clear new pages for it; `from` keeps its size with pages that read as zero.
// Returns whether the pages moved: when not, both blocks are as they were.
template <typename T, typename U>
bool MovePages(Buffer<T>& from, Buffer<U>& to) noexcept {
    return buffer_detail::MovePages(from.data(), from.capacity() * sizeof(T), to.data(),
                                    to.capacity() * sizeof(U));
}

// Gives the buffer count elements. zeroed says how many leading elements are zero now; returns
// how many are zero afterwards. A buffer that has to grow drops its old block first, so nothing
// is copied, and from a huge page on it gets freshly mapped pages, which arrive cleared.
template <typename T>
size_t ResizeZeroed(Buffer<T>& buffer, size_t count, size_t zeroed) {
    if (buffer.capacity() >= count) {
        buffer.resize(count);
        return zeroed;
    }
    Buffer<T>().swap(buffer);
    ResizeDense(buffer, count);
    return buffer_detail::kMapLargeBlocks &&
                   buffer.capacity() * sizeof(T) >= buffer_detail::kHugePage
               ? count
               : 0;
}

}  // namespace qx
