// Counts every heap allocation in the process, the plug-ins' included, by
// standing in front of the C library's allocator (the benchmark exports these
// symbols, so a plug-in loaded later binds to them too).

#include "allocation_counter.h"

#include <atomic>
#include <cstddef>

// The C library's own entry points, reserved names by design.
extern "C" void* __libc_malloc(size_t size);                // NOLINT(bugprone-reserved-identifier)
extern "C" void* __libc_calloc(size_t count, size_t size);  // NOLINT(bugprone-reserved-identifier)
extern "C" void* __libc_realloc(void* block, size_t size);  // NOLINT(bugprone-reserved-identifier)

static std::atomic<uint64_t> allocations{0};

uint64_t heap_allocations() { return allocations.load(std::memory_order_relaxed); }

extern "C" void* malloc(size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  return __libc_malloc(size);
}

extern "C" void* calloc(size_t count, size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  return __libc_calloc(count, size);
}

extern "C" void* realloc(void* block, size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  return __libc_realloc(block, size);
}
