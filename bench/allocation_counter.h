#pragma once
#include <cstdint>

// Heap allocations made by anything in this process since it started.
uint64_t heap_allocations();
