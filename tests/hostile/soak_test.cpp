// Short soaks of each deliverable in a hostile game, and a thousand calm
// visits that must leave no more behind than the first.

#include "soak.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "host.h"

namespace {

uint64_t soak_frames() {
  if (const char* n = std::getenv("SOAK_FRAMES")) return std::strtoull(n, nullptr, 10);
  return SOAK_TEST_FRAMES;
}

class Soak : public ::testing::TestWithParam<std::string> {};

TEST_P(Soak, RunsSoundlyThroughFaultsRemovalsAndARandomWalk) {
  for (uint64_t seed : {11u, 12u}) {
    soak::Options o;
    o.deliverable = GetParam();
    o.frames = soak_frames() / 2;
    o.seed = seed;
    o.fault_rate = 0.004;
    const soak::Report r = soak::run(o);
    EXPECT_TRUE(r.sound()) << "seed " << seed << '\n' << r.text();
    EXPECT_EQ(r.frames, o.frames);
    EXPECT_GT(r.visits, 0u) << r.text();
    EXPECT_GT(r.completions, 0u) << r.text();
  }
}

TEST_P(Soak, AThousandVisitsLeaveNoMoreBehindThanTheDesignKeeps) {
  const bool cinema = GetParam() == "cinema";
  const auto [x, y, z] = soak::centre_of(GetParam());
  sim::Host& host = sim::Host::get();
  host.reset();
  host.world().journal.recording_calls = false;
  const HMODULE module = host.load_plugin(cinema ? CINEMA_PLUGIN : TOYTRAIN_PLUGIN);
  ASSERT_NE(module, nullptr);
  const sim::Holdings kept = soak::kept_when_away(GetParam());
  int peak = 0;
  for (int visit = 0; visit < 1000; ++visit) {
    host.world().place_player(x + 2.0f, y, z);
    host.run_frames(cinema ? 300 : 5);
    peak = std::max(peak, sim::total(host.world().holdings(sim::PluginId{module})));
    host.world().place_player(x + 300.0f, y, z);
    host.run_frames(3);
    const sim::Holdings h = host.world().holdings(sim::PluginId{module});
    for (size_t k = 0; k < h.size(); ++k) {
      ASSERT_LE(h[k], kept[k]) << "after visit " << visit << ": " << sim::holdings_text(h);
    }
    if (visit % 20 == 0) host.world().forget_what_is_gone();
  }
  EXPECT_LE(peak, soak::live_bound(GetParam()));
  EXPECT_TRUE(host.world().violations().empty()) << host.world().violations().front();
  host.reset();
}

INSTANTIATE_TEST_SUITE_P(Each, Soak, ::testing::Values("cinema", "toytrain"));

}  // namespace
