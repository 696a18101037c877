#pragma once
// The toy train plug-in loaded into the stand-in host, with the player placed
// at a chosen distance from the train's site, and ways to read back what the
// game holds.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "../../toytrain/site.h"
#include "finders.h"
#include "host.h"
#include "joaat.h"

namespace toytrain_test {

using test_support::find_entity;
using test_support::find_prompt;
using test_support::must;

constexpr float site_x = toytrain_site::site.x;
constexpr float site_y = toytrain_site::site.y;
constexpr float site_z = toytrain_site::site.z;

class TrainWorld : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Host::get().set_strict(true);  // our plug-ins are held to the table
    sim::Host::get().reset();
    world().particles.asset("core").loaded = true;
  }
  void TearDown() override {
    test_support::expect_no_violations(world());
    sim::Host::get().reset();
  }

  sim::World& world() { return sim::Host::get().world(); }
  sim::Host& host() { return sim::Host::get(); }

  // East of the site, so the distance is exactly `distance`.
  void place_player(float distance) { world().place_player(site_x + distance, site_y, site_z); }

  void load(float distance) {
    place_player(distance);
    ASSERT_NE(host().load_plugin(TOYTRAIN_PLUGIN), nullptr);
  }

  // Loads the plug-in with the player near and runs until the set-up is done.
  void load_with_train() {
    load(10.0f);
    ASSERT_TRUE(run_until_set_up(20));
  }
  // A train with its smoke and "Turn off" switched on.
  bool set_up() { return trains().size() == 1 && switched_on("Turn off"); }
  ::testing::AssertionResult run_until_set_up(int frames) {
    if (host().run_until([&] { return set_up(); }, frames)) return ::testing::AssertionSuccess();
    const sim::Vec site{site_x, site_y, site_z};
    return ::testing::AssertionFailure()
           << "no train set out with \"Turn off\" switched on in " << frames
           << " frames with the player " << sim::distance(world().player_position(), site)
           << " m from the site; " << test_support::entities_text(world()) << "; "
           << test_support::prompts_text(world());
  }

  std::vector<const sim::EntityState*> trains() const {
    return world_const().live_entities("p_toytrain01x");
  }
  // The one live train.
  const sim::EntityState& train(test_support::CallSite at = {}) {
    return must(find_entity(world(), "p_toytrain01x"), at);
  }
  size_t live_tracks() const { return world_const().live_entities("p_toytrack01x").size(); }

  // The one live prompt labelled `label`.
  const sim::PromptState& prompt(const std::string& label, test_support::CallSite at = {}) {
    return must(find_prompt(world(), label), at);
  }
  // Whether the plug-in has the one live prompt labelled `label` switched on.
  bool switched_on(const std::string& label) const {
    const auto found = world_const().prompts_labelled(label);
    return found.size() == 1 && found.front()->switched_on();
  }
  // The player walks up to the train and completes the prompt there; the
  // plug-in sees it in the next pass.
  void complete(const std::string& label, test_support::CallSite at = {}) {
    place_player(1.0f);
    world().complete_prompt(must(test_support::find_offered_prompt(world(), label), at).handle);
    host().run_frame();
  }

  // The looped effects burning on the train.
  std::vector<const sim::LoopedEffectState*> smoke() {
    std::vector<const sim::LoopedEffectState*> found;
    const auto t = trains();
    if (t.size() != 1) return found;
    for (const auto& [handle, e] : world().particles.effects()) {
      if (e.entity == t.front()->handle && sim::effect_exists(world(), handle)) found.push_back(&e);
    }
    return found;
  }
  // The one effect burning on the train.
  const sim::LoopedEffectState& the_smoke(test_support::CallSite at = {}) {
    const auto held = [&] {
      return std::to_string(trains().size()) + " live trains, " +
             std::to_string(world().particles.effects().size()) + " effects started";
    };
    return must(test_support::only(smoke(), "smoke burning on the train", held), at);
  }

  // The speed of the last pass, read from its coasting step, which writes
  // the heading it read plus the speed.
  float speed() const {
    float heading = 0.0f;
    float last_heading = 0.0f;
    float last_yaw = 0.0f;
    bool wrote = false;
    for (const sim::CallRecord& r : world_const().calls()) {
      if (r.frame != world_const().frame() || r.row == nullptr) continue;
      const std::string name = r.row->name;
      if (name == "GET_ENTITY_HEADING") heading = as_float(r.result[0]);
      if (name == "SET_ENTITY_ROTATION") {
        last_heading = heading;
        last_yaw = as_float(r.args.at(3).raw);
        wrote = true;
      }
    }
    return wrote ? last_yaw - last_heading : 0.0f;
  }

  // How far the train has turned, all told.
  double turned(test_support::CallSite at = {}) { return train(at).turned; }

  static float as_float(uint64_t slot) {
    const auto bits = static_cast<uint32_t>(slot);
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
  }

 private:
  const sim::World& world_const() const { return sim::Host::get().world(); }
};

}  // namespace toytrain_test
