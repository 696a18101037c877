// The cinema's quiet pass with the post present: the player waits by the
// counter after the greeting, nobody talks, no prompt is completed.

#include <cstdint>

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

// The film on the screen: a ticket bought, the hand-over over, the player by
// the counter while the channel is drawn into the screen every pass.
static void BM_CinemaFilmPlayingPass(benchmark::State& state) {
  sim::Host& host = sim::Host::get();
  host.reset();
  sim::World& w = host.world();
  w.tv.film_ms = UINT32_MAX;  // no end marker while measured
  w.place_player(-3613.994f - 5.0f, -2642.941f, -12.496f);
  host.load_plugin(CINEMA_PLUGIN);
  host.run_until([&] { return w.count_calls("SET_SCRIPT_GFX_DRAW_BEHIND_PAUSEMENU") > 0; }, 4000);
  host.run_frames(3);
  const auto buy = w.prompts_labelled("Buy Ticket ($1.00)");
  if (buy.size() != 1 || !w.complete_prompt(buy.front()->handle)) {
    state.SkipWithError("the ticket cannot be bought");
    return;
  }
  if (!host.run_until([&] { return w.tv.channel == 1; }, 2000)) {
    state.SkipWithError("the film does not start");
    return;
  }
  host.run_frames(120);
  w.clear_record();
  measure_passes(state);
  host.reset();
}
BENCHMARK(BM_CinemaFilmPlayingPass)->UseManualTime();

BENCHMARK_MAIN();
