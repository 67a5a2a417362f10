#include "wire/pageallocator.h"

#include <cstdlib>
#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

constexpr std::size_t kHugePage = std::size_t(2) * 1024 * 1024;
constexpr std::size_t kLargeBlock = 2 * kHugePage;

} // namespace

namespace PageAllocator {

void *Allocate(std::size_t bytes) {
    if (bytes < kLargeBlock) {
        if (void *block = std::malloc(bytes ? bytes : 1))
            return block;
        throw std::bad_alloc();
    }
    const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void *block = std::aligned_alloc(kHugePage, rounded);
    if (!block)
        throw std::bad_alloc();
#if defined(MADV_HUGEPAGE)
    madvise(block, rounded, MADV_HUGEPAGE); // only advice: without huge pages nothing changes
#endif
    return block;
}

void Free(void *block, std::size_t) noexcept {
    std::free(block);
}

} // namespace PageAllocator
