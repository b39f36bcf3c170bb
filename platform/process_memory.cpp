#include "platform/process_memory.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <sys/mman.h>

#if defined(__SANITIZE_ADDRESS__)
#define ZORV_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZORV_ADDRESS_SANITIZER 1
#endif
#endif

// Under the address sanitizer the blocks come from its heap, which checks every access to them;
// they start on a page there too, as mapped ones do.
void* map_zeroed_pages(size_t bytes)
{
    if (bytes == 0)
        return nullptr;
#ifdef ZORV_ADDRESS_SANITIZER
    constexpr size_t k_page = 4096;
    if (bytes > SIZE_MAX - k_page)
        return nullptr;
    void* block = std::aligned_alloc(k_page, (bytes + k_page - 1) / k_page * k_page);
    if (block)
        std::memset(block, 0, bytes);
    return block;
#else
    void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED)
        return nullptr;
    // A large block is walked whole every frame: large pages spare most of its address
    // translations. A refusal changes nothing else.
    constexpr size_t k_large_page = size_t(2) << 20;
    if (bytes >= k_large_page)
        madvise(block, bytes, MADV_HUGEPAGE);
    return block;
#endif
}

void unmap_pages(void* block, size_t bytes)
{
#ifdef ZORV_ADDRESS_SANITIZER
    (void)bytes;
    std::free(block);
#else
    if (block && bytes > 0)
        munmap(block, bytes);
#endif
}

size_t heap_free_bytes()
{
    return mallinfo2().fordblks;
}

void release_free_heap()
{
    malloc_trim(0);
}
