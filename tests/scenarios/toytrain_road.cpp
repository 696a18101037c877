// The toy train end to end: the player walks up, finds it on and smoking,
// turns it off and on again, and walks away.

#include <string>

#include "../support/lookups.h"
#include "scenario.h"

namespace {

constexpr float site_x = -2361.56f;
constexpr float site_y = -2395.153f;
constexpr float site_z = 62.124f;

bool offered(sim::World& w, const char* label) {
  return test_support::find_offered_prompt(w, label).found != nullptr;
}

const sim::EntityState* the_train(sim::World& w) {
  const auto found = w.live_entities("p_toytrain01x");
  return found.size() == 1 ? found.front() : nullptr;
}

// The one effect burning on the train, or null.
const sim::LoopedEffectState* the_smoke(sim::World& w) {
  const sim::EntityState* t = the_train(w);
  const sim::LoopedEffectState* found = nullptr;
  int count = 0;
  if (t == nullptr) return nullptr;
  for (const auto& [handle, e] : w.particles.effects()) {
    if (e.entity == t->handle && sim::effect_exists(w, handle)) {
      found = &e;
      ++count;
    }
  }
  return count == 1 ? found : nullptr;
}

bool complete(sim::Scenario& s, const char* label) {
  const auto p = test_support::find_offered_prompt(s.world(), label);
  const bool done =
      s.check(p && s.world().complete_prompt(p.found->handle),
              std::string("the player completes \"") + label + '"' + (p ? "" : ": " + p.miss));
  s.host.run_frame();
  return done;
}

}  // namespace

SIM_SCENARIO(toytrain_road, toytrain) {
  sim::World& w = s.world();
  sim::Host& host = s.host;
  w.place_player(site_x + 300.0f, site_y, site_z);
  if (!s.check(s.load() != nullptr, "the plug-in loads")) return;

  host.run_frames(10);
  s.check(w.live_entities("p_toytrain01x").empty(), "no train while the player is far");

  for (const float distance : {200.0f, 150.0f, 135.0f}) {
    w.place_player(site_x + distance, site_y, site_z);
    host.run_frames(3);
  }
  s.check(w.live_entities("p_toytrain01x").empty(), "no train at 135.0");
  w.place_player(site_x + 60.0f, site_y, site_z + 2.0f);
  const bool set_up =
      host.run_until([&] { return the_train(w) != nullptr && offered(w, "Turn off"); }, 20);
  if (!s.check(set_up, "walking within 135.0 sets the train out, on")) return;
  const sim::EntityState* train = the_train(w);
  s.check(train->shown_name == "Toy Train", "the train has the game's name for MG_TOY_TRAIN");
  s.check(!offered(w, "Turn on"), "\"Turn on\" is not offered while on");
  s.check(w.live_entities("p_toytrack01x").size() == 1, "one track");
  s.check(the_smoke(w) != nullptr && the_smoke(w)->scale == 0.5f, "smoke at full size");

  host.run_frames(130);
  const double at_speed = train->turned;
  host.run_frames(10);
  const double per_pass = (train->turned - at_speed) / 10.0;
  s.check(per_pass > 1.19 && per_pass < 1.21, "at top speed it turns about 1.2 a pass");
  s.note("turned per pass at top speed: " + std::to_string(per_pass));

  if (!complete(s, "Turn off")) return;
  s.check(offered(w, "Turn on") && !offered(w, "Turn off"), "off: \"Turn on\" on offer");
  s.check(the_smoke(w) == nullptr, "turning off puts the smoke out");
  host.run_frames(180);
  const double stopped = train->turned;
  host.run_frames(10);
  s.check(train->turned == stopped, "the train has coasted to a stop");

  if (!complete(s, "Turn on")) return;
  s.check(offered(w, "Turn off") && !offered(w, "Turn on"), "on again: \"Turn off\" on offer");
  const sim::LoopedEffectState* smoke = the_smoke(w);
  if (!s.check(smoke != nullptr, "turning on starts a new smoke")) return;
  s.check(smoke->scale == 0.0f, "the new smoke starts at scale 0.0");
  host.run_for_ms(750);
  s.check(smoke->scale > 0.2f && smoke->scale < 0.3f, "about a quarter after 750 ms");
  host.run_for_ms(800);
  s.check(smoke->scale == 0.5f, "full size after 1500 ms");
  s.check(train->turned > stopped, "turning again");

  const int32_t train_handle = train->handle;
  const int32_t smoke_handle = smoke->handle;
  w.place_player(site_x + 140.0f, site_y, site_z);
  host.run_frame();
  s.check(!w.exists(train_handle), "walking away, to 140 m, removes the train");
  s.check(w.live_entities("p_toytrack01x").empty(), "and its track");
  s.check(w.prompts_labelled("Turn on").empty() && w.prompts_labelled("Turn off").empty(),
          "and its prompts");
  const auto put_out = test_support::find_effect(w, smoke_handle);
  s.check(put_out && put_out.found->stopped,
          "and puts its smoke out" + (put_out ? "" : ": " + put_out.miss));
  host.run_frames(5);
  s.note("frames run: " + std::to_string(w.frame()));
}
