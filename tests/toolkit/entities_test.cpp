// Loading models and placing props and characters.

#include "entities.h"

#include <gtest/gtest.h>

#include "finders.h"
#include "host.h"
#include "joaat.h"
#include "natives.h"
#include "sim_test.h"
#include "test_script.h"

using sim::Host;
using test_support::find_call;
using test_support::find_entity;
using test_support::must;
using test_support::run_script;

namespace {

using Entities = test_support::SimTest;

TEST_F(Entities, AModelInMemoryIsCreatedInTheSameFrame) {
  world().model("p_toytrack01x").loaded = true;
  Object track = 0;
  uint64_t asked = 0;
  uint64_t made = 0;
  ASSERT_TRUE(run_script([&] {
    asked = world().frame();
    const Vector3 at{1.0f, 2.0f, 3.0f};
    track = spawn_object(sim::joaat("p_toytrack01x"), &at);
    made = world().frame();
  }));
  EXPECT_EQ(made, asked);
  EXPECT_TRUE(world().exists(track));
  EXPECT_EQ(must(find_entity(world(), track)).position.z, 3.0f);
}

TEST_F(Entities, AnObjectWaitsFrameByFrameForItsModel) {
  world().model("p_toytrain01x").load_frames = 5;
  uint64_t asked = 0;
  uint64_t made = 0;
  Object train = 0;
  ASSERT_TRUE(run_script([&] {
    asked = world().frame();
    const Vector3 at{-2361.56f, -2395.153f, 62.124f};
    train = spawn_object(sim::joaat("p_toytrain01x"), &at);
    made = world().frame();
  }));
  EXPECT_EQ(made - asked, 5u);
  EXPECT_TRUE(world().exists(train));
  EXPECT_EQ(world().model("p_toytrain01x").requests, 1) << "the request is not repeated";
}

TEST_F(Entities, AnInvalidModelGivesNoObjectAtOnceAndAsksForNothing) {
  world().model("no_such_model").valid = false;
  Object object = -1;
  uint64_t frames = 0;
  ASSERT_TRUE(run_script([&] {
    const uint64_t start = world().frame();
    const Vector3 at{};
    object = spawn_object(sim::joaat("no_such_model"), &at);
    frames = world().frame() - start;
  }));
  EXPECT_EQ(object, 0);
  EXPECT_EQ(frames, 0u);
  EXPECT_EQ(world().count_calls("REQUEST_MODEL"), 0u);
  EXPECT_EQ(world().count_calls("CREATE_OBJECT"), 0u);
}

// A ped's model is not tested: its callers pass models the game has, and one
// that never loads keeps the caller waiting, asked once, tested each frame.
TEST_F(Entities, APedAsksNoValidityAndWaitsForAModelThatNeverLoads) {
  world().model("s_m_m_blwdealer_01").never_loads = true;
  bool returned = false;
  test_support::start_script([&] {
    spawn_ped(sim::joaat("s_m_m_blwdealer_01"), 1, 2, 3);
    returned = true;
  });
  host().run_frames(50);
  EXPECT_FALSE(returned);
  EXPECT_EQ(world().count_calls("IS_MODEL_VALID"), 0u);
  EXPECT_EQ(world().count_calls("REQUEST_MODEL"), 1u);
  EXPECT_GE(world().count_calls("HAS_MODEL_LOADED"), 49u);
  EXPECT_EQ(world().count_calls("CREATE_PED"), 0u);

  world().model("s_m_m_blwdealer_01").never_loads = false;
  EXPECT_TRUE(host().run_until([&] { return returned; }, 10));
  EXPECT_EQ(world().count_calls("CREATE_PED"), 1u);
  EXPECT_EQ(world().count_calls("IS_MODEL_VALID"), 0u);
}

TEST_F(Entities, ANewPedStandsAtItsPointFacing45InPreset1) {
  Ped ped = 0;
  ASSERT_TRUE(run_script([&] { ped = spawn_ped(sim::joaat("s_m_m_blwdealer_01"), 4, 5, 6); }));
  const sim::EntityState& e = must(find_entity(world(), ped));
  EXPECT_EQ(e.kind, sim::EntityKind::ped);
  EXPECT_EQ(e.position.x, 4.0f);
  EXPECT_EQ(sim::World::heading_of(e), 45.0f);
  EXPECT_TRUE(e.placed_on_ground);
  EXPECT_EQ(e.outfit, 1);
  EXPECT_EQ(e.variation_updates, 1);
  const auto dress = world().calls_to("_EQUIP_META_PED_OUTFIT_PRESET");
  ASSERT_EQ(dress.size(), 1u);
  EXPECT_EQ(dress[0]->text(), "_EQUIP_META_PED_OUTFIT_PRESET(" + std::to_string(ped) + ", 1, 0)");
}

TEST_F(Entities, OutfitIndexOfAMissingPedIsZeroWithoutAskingForPresets) {
  int outfit = -1;
  ASSERT_TRUE(run_script([&] { outfit = random_outfit_index(0x7777); }));
  EXPECT_EQ(outfit, 0);
  EXPECT_EQ(world().count_calls("GET_NUM_META_PED_OUTFITS"), 0u);
  EXPECT_EQ(world().count_calls("GET_RANDOM_INT_IN_RANGE"), 0u);
}

TEST_F(Entities, OutfitIsDrawnBetweenZeroAndThePresetCount) {
  const int32_t ped = world().create_entity(sim::EntityKind::ped, 1, {}, 0);
  must(find_entity(world(), ped)).outfit_count = 0;
  int outfit = -1;
  ASSERT_TRUE(run_script([&] { outfit = random_outfit_index(ped); }));
  EXPECT_EQ(outfit, 0);
  const auto draws = world().calls_to("GET_RANDOM_INT_IN_RANGE");
  ASSERT_EQ(draws.size(), 1u);
  EXPECT_EQ(draws[0]->text(), "GET_RANDOM_INT_IN_RANGE(0, 0) -> 0");
}

}  // namespace
