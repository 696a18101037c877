// The stand-in's particle rules that the toy train's tests rest on.

#include <gtest/gtest.h>

#include "finders.h"
#include "host.h"
#include "joaat.h"
#include "natives.h"
#include "test_script.h"

using sim::Host;
using test_support::find_effect;
using test_support::must;
using test_support::run_script;

namespace {

class Particles : public ::testing::Test {
 protected:
  void SetUp() override { Host::get().reset(); }
  void TearDown() override {
    test_support::expect_no_violations(world());
    Host::get().reset();
  }
  sim::World& world() { return Host::get().world(); }
};

TEST_F(Particles, AnAssetLoadsTheConfiguredNumberOfFramesAfterItsRequest) {
  world().particles.asset("core").load_frames = 3;
  std::vector<bool> loaded;
  test_support::start_script([&] {
    loaded.push_back(has_named_ptfx_asset_loaded(get_hash_key("core")));
    request_named_ptfx_asset(get_hash_key("core"));
    for (int n = 0; n < 4; ++n) {
      loaded.push_back(has_named_ptfx_asset_loaded(get_hash_key("core")));
      scriptWait(0);
    }
  });
  Host::get().run_frames(6);
  EXPECT_EQ(loaded, (std::vector<bool>{false, false, false, false, true}));
}

TEST_F(Particles, AnEffectStartsOnlyFromASelectedLoadedAssetAndEndsWithItsEntity) {
  world().particles.asset("core").loaded = true;
  const int32_t prop = world().create_entity(sim::EntityKind::object, 1, sim::Vec{}, 0.0f);
  int32_t unselected = -1;
  int32_t effect = 0;
  bool burning = false;
  ASSERT_TRUE(run_script([&] {
    unselected =
        start_particle_fx_looped_on_entity("fx", prop, 0, 0, 0, 0, 0, 0, 0.5f, false, false, false);
    use_particle_fx_asset("core");
    effect =
        start_particle_fx_looped_on_entity("fx", prop, 0, 0, 0, 0, 0, 0, 0.5f, false, false, false);
    set_particle_fx_looped_scale(effect, 0.25f);
    burning = does_particle_fx_looped_exist(effect);
  }));
  EXPECT_EQ(unselected, 0);
  ASSERT_NE(effect, 0);
  EXPECT_TRUE(burning);
  EXPECT_EQ(must(find_effect(world(), effect)).scale, 0.25f);

  world().remove_entity(prop);
  ASSERT_TRUE(run_script([&] { burning = does_particle_fx_looped_exist(effect); }));
  EXPECT_FALSE(burning) << "an effect on an entity that is gone is gone";
  EXPECT_FALSE(must(find_effect(world(), effect)).stopped) << "though nobody stopped it";
}

}  // namespace
