#pragma once
// Measures a plug-in's passes in the stand-in host: one benchmark iteration
// is one game frame, timed over the plug-in's own script (the natives it
// calls included), with native calls and heap allocations counted per pass.

#include <benchmark/benchmark.h>

#include "allocation_counter.h"
#include "host.h"

inline void measure_passes(benchmark::State& state) {
  sim::Host& host = sim::Host::get();
  host.world().recording = false;
  const uint64_t calls_before = host.world().total_calls();
  const uint64_t allocations_before = heap_allocations();
  for (auto _ : state) {
    host.run_frame();
    state.SetIterationTime(std::chrono::duration<double>(host.last_frame_script_time()).count());
  }
  // Read both before the counters themselves allocate.
  const uint64_t calls = host.world().total_calls() - calls_before;
  const uint64_t allocations = heap_allocations() - allocations_before;
  const double passes = static_cast<double>(state.iterations());
  state.counters["native_calls_per_pass"] = static_cast<double>(calls) / passes;
  state.counters["heap_allocations_per_pass"] = static_cast<double>(allocations) / passes;
}
