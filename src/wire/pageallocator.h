#pragma once

#include <cstddef>
#include <new>

// Large blocks for the record store: a block of several megabytes is aligned to 2 MB and
// offered to the kernel for huge pages, so that filling it takes one page fault per 2 MB
// instead of one per 4 KB (a load of a million rows otherwise spends about as long in page
// faults as in parsing). Smaller blocks come from the usual heap.
namespace PageAllocator {
void *Allocate(std::size_t bytes);
void Free(void *block, std::size_t bytes) noexcept;
} // namespace PageAllocator

// A standard allocator over PageAllocator, for the store's big vectors.
template <typename T> class TPageAllocator {
public:
    using value_type = T;
    TPageAllocator() = default;
    template <typename U> TPageAllocator(const TPageAllocator<U> &) {}
    T *allocate(std::size_t n) {
        if (n > std::size_t(-1) / sizeof(T))
            throw std::bad_array_new_length();
        return static_cast<T *>(PageAllocator::Allocate(n * sizeof(T)));
    }
    void deallocate(T *p, std::size_t n) noexcept { PageAllocator::Free(p, n * sizeof(T)); }
    template <typename U> bool operator==(const TPageAllocator<U> &) const { return true; }
};
