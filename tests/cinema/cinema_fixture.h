#pragma once
// The cinema plug-in loaded into the stand-in host, with the places of the
// theater and ways to read back what the post has put into the world.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../../cinema/site.h"
#include "finders.h"
#include "host.h"
#include "joaat.h"

namespace cinema_test {

using test_support::find_blip;
using test_support::find_call;
using test_support::find_entity;
using test_support::find_ped;
using test_support::find_point;
using test_support::find_point_made;
using test_support::find_prompt;
using test_support::last;
using test_support::must;

constexpr float home_x = cinema_site::post.x;
constexpr float home_y = cinema_site::post.y;
constexpr float home_z = cinema_site::post.z;

// The player's own chair.
constexpr float player_chair_x = cinema_site::seat.x;
constexpr float player_chair_y = cinema_site::seat.y;
constexpr float player_chair_z = cinema_site::seat.z;

// Inside the theater, among the audience's rows.
constexpr float inside_x = -3608.0f;
constexpr float inside_y = -2645.0f;
constexpr float inside_z = -11.7f;

inline const std::vector<std::string> audience_models = {"a_m_m_armtownfolk_01",
                                                         "a_f_m_tumtownfolk_01",
                                                         "a_m_m_armtownfolk_02",
                                                         "a_m_m_armtownfolk_01",
                                                         "a_m_m_armtownfolk_01",
                                                         "a_f_m_tumtownfolk_01",
                                                         "a_f_m_tumtownfolk_01"};

inline int32_t arg(const sim::CallRecord& r, size_t n) {
  return static_cast<int32_t>(static_cast<uint32_t>(r.args.at(n).raw));
}
inline int32_t arg(const sim::CallRecord* r, size_t n) { return arg(*r, n); }

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
    test_support::expect_no_violations(world());
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
  ::testing::AssertionResult run_until_spawned() {
    const size_t before = spawns_so_far();
    if (host().run_until([&] { return spawns_so_far() > before; }, 4000)) {
      return ::testing::AssertionSuccess();
    }
    const sim::Vec home{home_x, home_y, home_z};
    return ::testing::AssertionFailure()
           << "no spawn in 4000 frames with the player "
           << sim::distance(world().player_position(), home) << " m from the taker's home; "
           << test_support::entities_text(world());
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
    for (const char* model : {"a_m_m_armtownfolk_01", "a_f_m_tumtownfolk_01",
                              "a_m_m_armtownfolk_02"}) {
      n += sim::Host::get().world().live_entities(model).size();
    }
    return n;
  }

  // The one live prompt labelled `label`.
  const sim::PromptState& prompt(const std::string& label, test_support::CallSite at = {}) {
    return must(find_prompt(world(), label), at);
  }

  // The counter's buy prompt, whatever price it names.
  const sim::PromptState& buy_prompt(test_support::CallSite at = {}) {
    return must(test_support::find_prompt_beginning(world(), "Buy Ticket ("), at);
  }

  // The player stands by his chair, where its prompts are seen.
  void stand_at_chair() { world().place_player(player_chair_x, player_chair_y, player_chair_z); }

  // The player completes the prompt on offer labelled `label`, and the pass
  // that sees it runs.
  void complete(const std::string& label, test_support::CallSite at = {}) {
    world().complete_prompt(must(test_support::find_offered_prompt(world(), label), at).handle);
    host().run_frame();
  }

  // What the game keeps of what the taker does.
  const sim::PedActivity& taker_activity(test_support::CallSite at = {}) {
    return must(find_ped(world(), taker()), at);
  }

  // Results of the voice draws so far, in order.
  std::vector<int32_t> voice_draws() const {
    std::vector<int32_t> draws;
    for (const auto* r : sim::Host::get().world().calls_to("GET_RANDOM_INT_IN_RANGE")) {
      if (arg(r, 0) == 0 && arg(r, 1) == 100) draws.push_back(static_cast<int32_t>(r->result[0]));
    }
    return draws;
  }

  // The result of the last voice draw.
  int32_t last_voice_draw(test_support::CallSite at = {}) const {
    const std::vector<int32_t> draws = voice_draws();
    if (!draws.empty()) return draws.back();
    ADD_FAILURE_AT(at.file, at.line)
        << "no voice draw, GET_RANDOM_INT_IN_RANGE(0, 100), in the record";
    return -1;
  }

  std::vector<const sim::CallRecord*> calls_in_frame(uint64_t frame) const {
    std::vector<const sim::CallRecord*> found;
    for (const auto& r : sim::Host::get().world().calls()) {
      if (r.frame == frame) found.push_back(&r);
    }
    return found;
  }

  // The game time that the pass of `frame` stamped as the player's walk-out,
  // 0 if it noticed none. With a channel on, the walk-out step asks whether
  // the player is in the theater (its last call hashes the interior's name)
  // and stamps the time at once; the channel-off it arms reads the time
  // again right after. Any other read of the timer is not the walk-out.
  uint32_t walk_out_stamp(uint64_t frame) const {
    const auto calls = calls_in_frame(frame);
    auto is = [&](size_t n, const char* name) {
      return n < calls.size() && calls[n]->name() == name;
    };
    for (size_t n = 0; n < calls.size(); ++n) {
      if (!is(n, "GET_TV_CHANNEL") || static_cast<int32_t>(calls[n]->result[0]) == -1) continue;
      size_t m = n + 1;
      while (m < calls.size() && !(is(m, "GET_HASH_KEY") && calls[m]->args.size() == 1 &&
                                   calls[m]->args[0].text == "arm_school_int")) {
        ++m;
      }
      if (is(m + 1, "GET_GAME_TIMER") && is(m + 2, "GET_GAME_TIMER")) {
        return static_cast<uint32_t>(calls[m + 1]->result[0]);
      }
      return 0;
    }
    return 0;
  }
};

}  // namespace cinema_test
