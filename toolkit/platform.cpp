#include "platform.h"

#if defined(_WIN32)
#include <windows.h>

uint32_t tick_count() { return GetTickCount(); }

#else
#include <ctime>

uint32_t tick_count() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const uint64_t ms =
      static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
  return static_cast<uint32_t>(ms);  // wraps like the real tick count
}
#endif
