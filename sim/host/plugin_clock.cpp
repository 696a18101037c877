#include "plugin_clock.h"

#include <chrono>

#include "host.h"

namespace sim {

namespace {

uint64_t machine_ms() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

}  // namespace

uint32_t plugin_tick_count() { return Host::get().world().tick_count(); }

uint64_t plugin_tick_count64() {
  const World& w = Host::get().world();
  if (w.wall_clock) return machine_ms();
  // Where the 32-bit count started, then the elapsed time on it unwrapped.
  const uint32_t base = w.tick_count() - static_cast<uint32_t>(w.elapsed_ms());
  return uint64_t{base} + w.elapsed_ms();
}

int64_t plugin_performance_count() {
  if (Host::get().world().wall_clock) {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::nanoseconds>(now).count() /
           (1'000'000'000 / plugin_performance_frequency);
  }
  return static_cast<int64_t>(plugin_tick_count64()) * (plugin_performance_frequency / 1000);
}

}  // namespace sim
