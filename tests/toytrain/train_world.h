#pragma once
// The toy train plug-in loaded into the stand-in host, with the player placed
// at a chosen distance from the train's site, and ways to read back what the
// game holds.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host.h"
#include "joaat.h"

namespace toytrain_test {

constexpr float site_x = -2361.56f;
constexpr float site_y = -2395.153f;
constexpr float site_z = 62.124f;

class TrainWorld : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Host::get().reset();
    world().particles.asset("core").loaded = true;
  }
  void TearDown() override {
    EXPECT_TRUE(world().violations().empty()) << world().violations().front();
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
    ASSERT_TRUE(host().run_until([&] { return set_up(); }, 20));
  }
  // A train with its smoke and "Turn off" on offer.
  bool set_up() { return train() != nullptr && offered("Turn off"); }

  std::vector<const sim::EntityState*> trains() const {
    return world_const().live_entities("p_toytrain01x");
  }
  const sim::EntityState* train() const {
    const auto found = trains();
    return found.size() == 1 ? found.front() : nullptr;
  }
  size_t live_tracks() const { return world_const().live_entities("p_toytrack01x").size(); }

  // The one live prompt with this label, or null.
  const sim::PromptState* prompt(const std::string& label) const {
    const auto found = world_const().prompts_labelled(label);
    return found.size() == 1 ? found.front() : nullptr;
  }
  bool offered(const std::string& label) const {
    const sim::PromptState* p = prompt(label);
    return p != nullptr && p->offered();
  }
  // The player completes the prompt; the plug-in sees it in the next pass.
  void complete(const std::string& label) {
    const sim::PromptState* p = prompt(label);
    ASSERT_NE(p, nullptr) << label;
    ASSERT_TRUE(world().complete_prompt(p->handle)) << label;
    host().run_frame();
  }

  // The looped effects burning on the train.
  std::vector<const sim::LoopedEffectState*> smoke() {
    std::vector<const sim::LoopedEffectState*> found;
    const sim::EntityState* t = train();
    if (t == nullptr) return found;
    for (const auto& [handle, e] : world().particles.effects()) {
      if (e.entity == t->handle && sim::effect_exists(world(), handle)) found.push_back(&e);
    }
    return found;
  }
  const sim::LoopedEffectState* the_smoke() {
    const auto found = smoke();
    return found.size() == 1 ? found.front() : nullptr;
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
        last_yaw = as_float(r.args[3].raw);
        wrote = true;
      }
    }
    return wrote ? last_yaw - last_heading : 0.0f;
  }

  double turned() const {
    const sim::EntityState* t = train();
    return t != nullptr ? t->turned : 0.0;
  }

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
