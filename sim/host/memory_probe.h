#pragma once
// Whether the host can read what a plug-in hands it, tested before a byte of
// it is read: a text or pointer argument that points nowhere is a violation,
// never a crash of the host. Asked on the game's thread only: the host
// refuses a call from any other before it reads an argument.

#include <cstddef>

namespace sim::memory {

// Whether the `size` bytes at `address` can all be read.
bool readable(const void* address, size_t size);

// Whether a NUL-terminated text starts at `address`: every byte up to its NUL
// readable, and the NUL within max_text_bytes.
bool readable_text(const char* address);
constexpr size_t max_text_bytes = size_t{1} << 20;

// A script's stack, readable for as long as its context lives: asked without
// a system call (natively; Windows asks VirtualQuery in any case).
void add_stack(const void* low, const void* high);
void remove_stack(const void* low);

// Forgets the loaded libraries' segments, after one was unloaded.
void libraries_changed();

}  // namespace sim::memory
