#pragma once
// Measures a plug-in's passes in the stand-in host: one benchmark iteration
// is one whole game frame (the world's step, the host's context switches and
// the plug-in's pass with the natives it calls), with the call record off or
// on, and native calls and heap allocations counted per frame.

#include <benchmark/benchmark.h>

#include "allocation_counter.h"
#include "host.h"

inline void measure_passes(benchmark::State& state) {
  sim::Host& host = sim::Host::get();
  sim::World& world = host.world();
  world.journal.recording_calls = state.range(0) != 0;
  world.clear_record();
  const uint64_t calls_before = world.total_calls();
  const uint64_t allocations_before = heap_allocations();
  for (auto _ : state) {
    host.run_frame();
    // A long run keeps a bounded record; dropping it is part of its cost.
    if (world.calls().size() > 100000) world.clear_record();
  }
  // Read both before the counters themselves allocate.
  const uint64_t calls = world.total_calls() - calls_before;
  const uint64_t allocations = heap_allocations() - allocations_before;
  const double frames = static_cast<double>(state.iterations());
  state.counters["native_calls_per_frame"] = static_cast<double>(calls) / frames;
  state.counters["heap_allocations_per_frame"] = static_cast<double>(allocations) / frames;
  world.journal.recording_calls = true;
}

// Each pass benchmark runs with the record off (0) and on (1).
#define PASS_BENCHMARK(name) BENCHMARK(name)->ArgName("recording")->Arg(0)->Arg(1)
