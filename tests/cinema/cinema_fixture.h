#pragma once
// The cinema plug-in loaded into the stand-in host, with the places of the
// theater and ways to read back what the post has put into the world.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host.h"
#include "joaat.h"

namespace cinema_test {

constexpr float home_x = -3613.994f;
constexpr float home_y = -2642.941f;
constexpr float home_z = -12.496f;

// The player's own chair.
constexpr float player_chair_x = -3608.6892f;
constexpr float player_chair_y = -2647.932f;
constexpr float player_chair_z = -11.700739f;

// Inside the theater, among the audience's rows.
constexpr float inside_x = -3608.0f;
constexpr float inside_y = -2645.0f;
constexpr float inside_z = -11.7f;

inline const std::vector<std::string> audience_models = {"a_m_m_armtownfolk_caucasian_01",
                                                         "a_f_m_tumtownfolk_01",
                                                         "a_m_m_armtownfolk_caucasian_02",
                                                         "a_m_m_armtownfolk_caucasian_01",
                                                         "a_m_m_armtownfolk_caucasian_01",
                                                         "a_f_m_tumtownfolk_01",
                                                         "a_f_m_tumtownfolk_01"};

inline int32_t arg(const sim::CallRecord* r, size_t n) {
  return static_cast<int32_t>(static_cast<uint32_t>(r->args.at(n).raw));
}

inline int32_t hash_arg(const char* name) { return static_cast<int32_t>(sim::joaat(name)); }

// The voice that a draw of r picks.
inline std::string voice_for(int32_t r) {
  if (r <= 25) return "JK_TICKET_TAKER";
  if (r <= 50) return "JS_TOWNDEALER";
  return "FH_TOWNDEALER";
}

class CinemaPost : public ::testing::Test {
 protected:
  void SetUp() override { sim::Host::get().reset(); }
  void TearDown() override {
    EXPECT_TRUE(world().violations().empty()) << world().violations().front();
    sim::Host::get().reset();
  }

  sim::Host& host() { return sim::Host::get(); }
  sim::World& world() { return host().world(); }

  // West of the taker's home, away from the theater, at `d` metres.
  void stand_west_of_home(float d) { world().place_player(home_x - d, home_y, home_z); }
  void stand_inside() { world().place_player(inside_x, inside_y, inside_z); }

  void load() { ASSERT_NE(host().load_plugin(CINEMA_PLUGIN), nullptr); }

  size_t spawns_so_far() const {
    size_t n = 0;
    for (const auto* r :
         sim::Host::get().world().calls_to("SET_SCRIPT_GFX_DRAW_BEHIND_PAUSEMENU")) {
      n += arg(r, 0) == 1 ? 1 : 0;
    }
    return n;
  }

  // Runs frames until the post has spawned once more (its last spawn step).
  bool run_until_spawned() {
    const size_t before = spawns_so_far();
    return host().run_until([&] { return spawns_so_far() > before; }, 4000);
  }

  int32_t taker() const {
    const auto takers = sim::Host::get().world().live_entities("s_m_m_blwdealer_01");
    return takers.size() == 1 ? takers.front()->handle : 0;
  }

  // The audience's chairs: every church chair but the player's own.
  std::vector<const sim::EntityState*> audience_chairs() const {
    std::vector<const sim::EntityState*> chairs;
    for (const auto* c : sim::Host::get().world().live_entities("sh_church_chair")) {
      if (c->position.x != player_chair_x || c->position.y != player_chair_y) chairs.push_back(c);
    }
    return chairs;
  }

  size_t live_audience() const {
    size_t n = 0;
    for (const char* model : {"a_m_m_armtownfolk_caucasian_01", "a_f_m_tumtownfolk_01",
                              "a_m_m_armtownfolk_caucasian_02"}) {
      n += sim::Host::get().world().live_entities(model).size();
    }
    return n;
  }

  // The prompt whose label is `label`, or null.
  const sim::PromptState* prompt(const std::string& label) {
    const auto found = world().prompts_labelled(label);
    return found.size() == 1 ? found.front() : nullptr;
  }

  // Results of the voice draws so far, in order.
  std::vector<int32_t> voice_draws() const {
    std::vector<int32_t> draws;
    for (const auto* r : sim::Host::get().world().calls_to("GET_RANDOM_INT_IN_RANGE")) {
      if (arg(r, 0) == 0 && arg(r, 1) == 100) draws.push_back(static_cast<int32_t>(r->result[0]));
    }
    return draws;
  }

  std::vector<const sim::CallRecord*> calls_in_frame(uint64_t frame) const {
    std::vector<const sim::CallRecord*> found;
    for (const auto& r : sim::Host::get().world().calls()) {
      if (r.frame == frame) found.push_back(&r);
    }
    return found;
  }
};

}  // namespace cinema_test
