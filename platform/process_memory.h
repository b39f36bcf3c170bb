// Memory as the process takes it from the system.
#pragma once

#include <cstddef>

// Zeroed memory mapped straight from the system, whatever the heap holds free: its pages take
// memory only once written, in large pages (2 MB) where the system gives them for a block of
// that size or more. Null when refused. A block goes back with the size it was taken with.
void* map_zeroed_pages(size_t bytes);
void unmap_pages(void* block, size_t bytes);

// The heap keeps what the program frees mapped, for reuse, until it is handed back.
// The bytes it holds free:
size_t heap_free_bytes();
// Hands its whole free pages back to the system; they are mapped again when reused.
void release_free_heap();
