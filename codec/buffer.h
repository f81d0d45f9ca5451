// Working buffers whose growth leaves new elements uninitialised: every stage writes its buffer
// before reading it, so zero-filling megabytes per picture would only cost time. Blocks of a
// few megabytes are placed on 2 MB boundaries and offered to the kernel for huge pages, which
// turns thousands of page faults per picture into a handful.
#pragma once

#include <sys/mman.h>

#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace qx {

namespace buffer_detail {
constexpr size_t kHugePage = size_t{2} << 20;

inline void* Allocate(size_t bytes) {
    if (bytes >= kHugePage) {
        const size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
        void* p = ::operator new (rounded, std::align_val_t{kHugePage});
        madvise(p, rounded, MADV_HUGEPAGE);  // a hint: refusal changes nothing but speed
        return p;
    }
    return ::operator new(bytes);
}

inline void Release(void* p, size_t bytes) noexcept {
    if (bytes >= kHugePage) {
        ::operator delete (p, std::align_val_t{kHugePage});
    } else {
        ::operator delete(p);
    }
}
}  // namespace buffer_detail

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

}  // namespace qx
