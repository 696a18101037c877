// The cinema's quiet pass with the post present: the player waits by the
// counter after the greeting, nobody talks, no prompt is completed.

#include "pass_bench.h"

static void BM_CinemaQuietPass(benchmark::State& state) {
  sim::Host& host = sim::Host::get();
  host.reset();
  host.world().place_player(-3613.994f - 5.0f, -2642.941f, -12.496f);
  host.load_plugin(CINEMA_PLUGIN);
  host.run_until(
      [&] { return host.world().count_calls("SET_SCRIPT_GFX_DRAW_BEHIND_PAUSEMENU") > 0; }, 4000);
  host.run_frames(120);
  measure_passes(state);
  host.reset();
}
BENCHMARK(BM_CinemaQuietPass)->UseManualTime();

BENCHMARK_MAIN();
