#pragma once
// Measures a plug-in's passes in the stand-in host: one benchmark iteration
// is one whole game frame (the world's step, the host's context switches and
// the plug-in's pass with the natives it calls), with the journal's record of
// calls off or on, and native calls and heap allocations counted per frame.

#include <benchmark/benchmark.h>

#include "allocation_counter.h"
#include "host.h"

// The frames measured. Recording, each is as `play` runs it: its readers
// read the frame's entries and calls, and the journal forgets them. Kept
// apart, so that an exact count of instructions covers the frames alone:
//   valgrind --tool=callgrind --toggle-collect='run_measured_frames*' BENCH
[[gnu::noinline]] inline void run_measured_frames(benchmark::State& state, sim::Host& host,
                                                  bool recording) {
  // The benchmark library's own loop; its counter is read by the library.
  for (auto _ : state) {  // NOLINT(clang-analyzer-deadcode.DeadStores)
    host.run_frame();
    if (recording) host.world().journal.forget_read();
  }
}

inline void measure_passes(benchmark::State& state) {
  sim::Host& host = sim::Host::get();
  sim::World& world = host.world();
  world.journal.recording_calls = state.range(0) != 0;
  world.clear_record();
  const uint64_t calls_before = world.total_calls();
  const uint64_t allocations_before = heap_allocations();
  world.journal.has_readers = state.range(0) != 0;
  run_measured_frames(state, host, state.range(0) != 0);
  // Read both before the counters themselves allocate.
  const uint64_t calls = world.total_calls() - calls_before;
  const uint64_t allocations = heap_allocations() - allocations_before;
  const double frames = static_cast<double>(state.iterations());
  state.counters["native_calls_per_frame"] = static_cast<double>(calls) / frames;
  state.counters["heap_allocations_per_frame"] = static_cast<double>(allocations) / frames;
  world.journal.recording_calls = true;
  world.journal.has_readers = false;
}

// Each pass benchmark runs with the record off (0) and on (1).
#define PASS_BENCHMARK(name) BENCHMARK(name)->ArgName("recording")->Arg(0)->Arg(1)
