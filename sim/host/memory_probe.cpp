// Natively, the loaded libraries' segments and the scripts' stacks are known
// readable without a system call (the libraries are listed again whenever
// one was loaded or unloaded); any other address is tried with
// process_vm_readv, which reports an unreadable address instead of faulting.
// Under Windows, VirtualQuery tells each region's protection, and a
// module's image regions are remembered until the host unloads a plug-in
// (under wine each question costs system calls).

#include "memory_probe.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <link.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>  // std::call_once
#endif

namespace sim::memory {

namespace {

using Range = std::pair<uintptr_t, uintptr_t>;  // [first, second)

// The libraries' segments the last addresses outside the stacks were found
// in: a plug-in's texts lie in a few segments of its own and of the host's.
std::array<Range, 4> recent_segments{};
size_t next_recent = 0;

bool in_recent_segment(uintptr_t at, uintptr_t* end) {
  for (const Range& r : recent_segments) {
    if (at >= r.first && at < r.second) {
      *end = r.second;
      return true;
    }
  }
  return false;
}

void remember_segment(Range r) {
  recent_segments[next_recent] = r;
  next_recent = (next_recent + 1) % recent_segments.size();
}

#if defined(_WIN32)

// The readable bytes from `at` on, within its region; 0 when it cannot be read.
size_t readable_run(uintptr_t at) {
  MEMORY_BASIC_INFORMATION info;
  if (VirtualQuery(reinterpret_cast<const void*>(at), &info, sizeof info) == 0) return 0;
  const DWORD can_read = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                         PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
  if (info.State != MEM_COMMIT || (info.Protect & (PAGE_GUARD | PAGE_NOACCESS)) != 0 ||
      (info.Protect & can_read) == 0) {
    return 0;
  }
  const uintptr_t end = reinterpret_cast<uintptr_t>(info.BaseAddress) + info.RegionSize;
  if (info.Type == MEM_IMAGE)
    remember_segment({reinterpret_cast<uintptr_t>(info.BaseAddress), end});
  return end - at;
}

#else

std::vector<Range> stacks;

bool in_stack(uintptr_t at, uintptr_t* end) {
  for (const Range& r : stacks) {
    if (at >= r.first && at < r.second) {
      *end = r.second;
      return true;
    }
  }
  return false;
}

struct Modules {
  unsigned long long adds = ~0ULL;
  unsigned long long subs = ~0ULL;
  std::vector<Range> segments;  // sorted
};

Modules& modules() {
  static Modules m;
  return m;
}

int first_counts(dl_phdr_info* info, size_t, void* data) {
  auto* counts = static_cast<std::pair<unsigned long long, unsigned long long>*>(data);
  *counts = {info->dlpi_adds, info->dlpi_subs};
  return 1;  // one is enough: every entry carries the counts
}

int add_segments(dl_phdr_info* info, size_t, void* data) {
  auto* segments = static_cast<std::vector<Range>*>(data);
  for (int n = 0; n < info->dlpi_phnum; ++n) {
    const ElfW(Phdr)& ph = info->dlpi_phdr[n];
    if (ph.p_type != PT_LOAD || (ph.p_flags & PF_R) == 0) continue;
    const uintptr_t first = info->dlpi_addr + ph.p_vaddr;
    segments->push_back({first, first + ph.p_memsz});
  }
  return 0;
}

bool find_segment(const Modules& m, uintptr_t at, uintptr_t* end) {
  auto it = std::upper_bound(m.segments.begin(), m.segments.end(), Range{at, UINTPTR_MAX});
  if (it == m.segments.begin()) return false;
  --it;
  if (at >= it->second) return false;
  *end = it->second;
  return true;
}

// Asked of the list kept from the last look first: walking the loader's list
// on every argument would cost more than the rest of a native call. A miss
// looks again when a library came or went; the host drops the list whenever
// it unloads a plug-in, so no address of an unloaded library is trusted.
bool in_module(uintptr_t at, uintptr_t* end) {
  Modules& m = modules();
  if (find_segment(m, at, end)) return true;
  std::pair<unsigned long long, unsigned long long> counts{};
  dl_iterate_phdr(first_counts, &counts);
  if (counts.first == m.adds && counts.second == m.subs) return false;
  m.segments.clear();
  dl_iterate_phdr(add_segments, &m.segments);
  std::sort(m.segments.begin(), m.segments.end());
  m.adds = counts.first;
  m.subs = counts.second;
  return find_segment(m, at, end);
}

// Copies what can be read at `at` into `out`; false when the address cannot
// be read. process_vm_readv on this process, or, where it is not allowed, a
// write into a pipe: both fail with EFAULT instead of faulting.
bool copy_out(uintptr_t at, char* out, size_t size) {
  iovec local{out, size};
  iovec remote{reinterpret_cast<void*>(at), size};
  const ssize_t got = process_vm_readv(getpid(), &local, 1, &remote, 1, 0);
  if (got == static_cast<ssize_t>(size)) return true;
  if (got >= 0 || errno == EFAULT) return false;
  static int pipe_ends[2] = {-1, -1};
  static std::once_flag opened;
  std::call_once(opened, [] { (void)pipe2(pipe_ends, O_CLOEXEC | O_NONBLOCK); });
  if (pipe_ends[0] < 0) return false;
  const ssize_t put = write(pipe_ends[1], reinterpret_cast<const void*>(at), size);
  if (put != static_cast<ssize_t>(size)) return false;
  return read(pipe_ends[0], out, size) == static_cast<ssize_t>(size);
}

constexpr uintptr_t page = 4096;

#endif

// Whether [at, at + size) is known readable without a system call; `end` is
// where that knowledge stops.
bool known(uintptr_t at, uintptr_t* end) {
#if defined(_WIN32)
  return in_recent_segment(at, end);
#else
  if (in_stack(at, end) || in_recent_segment(at, end)) return true;
  if (!in_module(at, end)) return false;
  remember_segment({at, *end});
  return true;
#endif
}

}  // namespace

void libraries_changed() {
#if !defined(_WIN32)
  modules() = Modules{};
#endif
  recent_segments = {};
}

#if !defined(_WIN32)
void add_stack(const void* low, const void* high) {
  stacks.push_back({reinterpret_cast<uintptr_t>(low), reinterpret_cast<uintptr_t>(high)});
}

void remove_stack(const void* low) {
  std::erase_if(stacks,
                [&](const Range& r) { return r.first == reinterpret_cast<uintptr_t>(low); });
}
#endif

bool readable(const void* address, size_t size) {
  auto at = reinterpret_cast<uintptr_t>(address);
  if (at == 0 || at + size < at) return false;
  const uintptr_t stop = at + size;
  while (at < stop) {
    uintptr_t end = 0;
    if (known(at, &end)) {
      at = end;
      continue;
    }
#if defined(_WIN32)
    const size_t run = readable_run(at);
    if (run == 0) return false;
    at += run;
#else
    const uintptr_t chunk_end = std::min(stop, (at / page + 1) * page);
    char copy[page];
    if (!copy_out(at, copy, chunk_end - at)) return false;
    at = chunk_end;
#endif
  }
  return true;
}

bool readable_text(const char* address) {
  auto at = reinterpret_cast<uintptr_t>(address);
  if (at == 0) return false;
  const uintptr_t limit = at + max_text_bytes < at ? UINTPTR_MAX : at + max_text_bytes;
  while (at < limit) {
    uintptr_t end = 0;
    if (known(at, &end)) {
      const size_t span = std::min(end, limit) - at;
      if (std::memchr(reinterpret_cast<const void*>(at), 0, span) != nullptr) return true;
      at += span;
      continue;
    }
#if defined(_WIN32)
    const size_t run = std::min<size_t>(readable_run(at), limit - at);
    if (run == 0) return false;
    if (std::memchr(reinterpret_cast<const void*>(at), 0, run) != nullptr) return true;
    at += run;
#else
    const uintptr_t chunk_end = std::min(limit, (at / page + 1) * page);
    char copy[page];
    const size_t size = chunk_end - at;
    if (!copy_out(at, copy, size)) return false;
    if (std::memchr(copy, 0, size) != nullptr) return true;
    at = chunk_end;
#endif
  }
  return false;
}

}  // namespace sim::memory
