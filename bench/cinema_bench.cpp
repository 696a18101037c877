// The cinema's quiet pass with the post present: the player waits by the
// counter after the greeting, nobody talks, no prompt is completed.

#include <cstdint>

#include "counter.h"
#include "deliverables.h"
#include "pass_bench.h"

// 5 m from the ticket taker's post.
static void place_by_the_counter(sim::World& w) {
  const sim::Vec post = sim::cinema_deliverable.site().at;
  w.place_player(post.x - 5.0f, post.y, post.z);
}

static void BM_CinemaQuietPass(benchmark::State& state) {
  sim::Host& host = sim::Host::get();
  host.reset();
  place_by_the_counter(host.world());
  host.load_plugin(CINEMA_PLUGIN);
  host.run_until(
      [&] { return host.world().count_calls("SET_SCRIPT_GFX_DRAW_BEHIND_PAUSEMENU") > 0; }, 4000);
  host.run_frames(120);
  measure_passes(state);
  host.reset();
}
PASS_BENCHMARK(BM_CinemaQuietPass);

// The film on the screen: a ticket bought, the hand-over over, the player by
// the counter while the channel is drawn into the screen every pass.
static void BM_CinemaFilmPlayingPass(benchmark::State& state) {
  sim::Host& host = sim::Host::get();
  host.reset();
  sim::World& w = host.world();
  w.tv.film_ms = UINT32_MAX;  // no end marker while measured
  place_by_the_counter(w);
  host.load_plugin(CINEMA_PLUGIN);
  host.run_until([&] { return w.count_calls("SET_SCRIPT_GFX_DRAW_BEHIND_PAUSEMENU") > 0; }, 4000);
  host.run_frames(3);
  const auto buy = w.prompts_labelled("Buy Ticket (" + w.cash_text(ticket_price) + ")");
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
PASS_BENCHMARK(BM_CinemaFilmPlayingPass);

BENCHMARK_MAIN();
