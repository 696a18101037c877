// A quiet pass of the toy train: the train stands, is on at top speed, and
// nothing changes. Run: build/native/bench/toytrain_bench

#include <benchmark/benchmark.h>

#include "deliverables.h"
#include "host.h"
#include "pass_bench.h"

static void quiet_pass(benchmark::State& state) {
  sim::Host& host = sim::Host::get();
  host.reset();
  sim::World& world = host.world();
  world.particles.asset("core").loaded = true;
  const sim::Vec site = sim::toytrain_deliverable.site().at;
  world.place_player(site.x + 10.0f, site.y, site.z);
  if (host.load_plugin(TOYTRAIN_PLUGIN) == nullptr) {
    state.SkipWithError("the plug-in does not load");
    return;
  }
  host.run_frames(200);  // set out, and up to top speed
  world.clear_record();
  if (world.live_entities("p_toytrain01x").size() != 1 || !world.violations().empty()) {
    state.SkipWithError("no train standing");
    return;
  }
  measure_passes(state);
  host.reset();
}
PASS_BENCHMARK(quiet_pass);

BENCHMARK_MAIN();
