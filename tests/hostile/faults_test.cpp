// The hostile game's faults: drawn the same from the same seed, each doing
// what it says while it lasts, and the game behaving again once lifted.

#include <gtest/gtest.h>

#include <cmath>

#include "host.h"
#include "joaat.h"
#include "natives.h"
#include "sim_test.h"
#include "test_script.h"

namespace {

using test_support::run_script;
using Faults = test_support::SimTest;
using sim::Fault;

std::string faults_after(uint64_t seed, int frames) {
  sim::Host::get().reset();
  sim::World& w = sim::Host::get().world();
  w.faults.enable(seed, 0.05);
  w.faults.allow(Fault::player_replaced, false);
  for (int n = 0; n < frames; ++n) w.advance_frame();
  return w.faults.summary() + " at " + std::to_string(w.game_timer());
}

TEST_F(Faults, TheSameSeedGivesTheSameFaultsAndAnotherSeedOthers) {
  const std::string first = faults_after(7, 3000);
  EXPECT_EQ(first, faults_after(7, 3000));
  EXPECT_NE(first, faults_after(8, 3000));
  EXPECT_NE(first.find("native fails"), std::string::npos) << first;
}

TEST_F(Faults, FailingNativesAnswerZeroUntilLifted) {
  // Some answering natives of the table fail, a new draw at each start; look
  // at three common reads over many draws. The game's own books (does this
  // exist, is that registered) never lie: a plug-in could only leak by them.
  const int32_t me = world().player_ped();
  int zeros = 0;
  int existence_lies = 0;
  for (int attempt = 0; attempt < 200; ++attempt) {
    world().faults.start(world(), Fault::native_fails, 1000);
    ASSERT_TRUE(run_script([&] {
      if (player_ped_id() == 0) ++zeros;
      if (get_game_timer() == 0) ++zeros;
      if (get_hash_key("a") == 0) ++zeros;
      if (!does_entity_exist(me)) ++existence_lies;
    }));
  }
  EXPECT_GT(zeros, 0) << "in 200 draws of failing natives none of three common reads failed";
  EXPECT_EQ(existence_lies, 0);
  world().faults.lift(world());
  int32_t ped = 0;
  ASSERT_TRUE(run_script([&] { ped = player_ped_id(); }));
  EXPECT_EQ(ped, world().player_ped());
}

TEST_F(Faults, ANativeATestFailedStaysFailedWhenAFaultThatFailedItTooEnds) {
  world().fail_native(0x4F67E8ECA7D3F667);  // GET_GAME_TIMER, for good
  int answered = 0;
  for (int attempt = 0; attempt < 200; ++attempt) {
    world().faults.start(world(), Fault::native_fails, 1000);
    world().faults.lift(world());
    ASSERT_TRUE(run_script([&] { answered += get_game_timer() != 0 ? 1 : 0; }));
  }
  EXPECT_EQ(answered, 0) << "the timer answered after a fault's end in " << answered << " of 200";
  world().fail_native(0x4F67E8ECA7D3F667, false);
  uint32_t timer = 0;
  ASSERT_TRUE(run_script([&] { timer = static_cast<uint32_t>(get_game_timer()); }));
  EXPECT_EQ(timer, world().game_timer());
}

TEST_F(Faults, CreationYieldsZeroWhileItLasts) {
  world().model("p_chair01x").load_frames = 0;
  world().faults.start(world(), Fault::creation_fails, 1000);
  Object chair = -1;
  Prompt prompt = -1;
  ASSERT_TRUE(run_script([&] {
    request_model(get_hash_key("p_chair01x"), false);
    chair = create_object(get_hash_key("p_chair01x"), 0, 0, 0, false, false, false, false, false);
    prompt = ui_prompt_register_begin();
  }));
  EXPECT_EQ(chair, 0);
  EXPECT_EQ(prompt, 0);
}

TEST_F(Faults, AModelThatNeverLoadsLoadsOnceTheFaultIsLifted) {
  world().faults.start(world(), Fault::model_never_loads, 100000);
  ASSERT_TRUE(run_script([] { request_model(get_hash_key("p_chair01x"), false); }));
  host().run_frames(50);
  EXPECT_FALSE(world().model("p_chair01x").loaded);
  world().faults.lift(world());
  host().run_frames(5);
  EXPECT_TRUE(world().model("p_chair01x").loaded);
}

TEST_F(Faults, WhileModelsAreInvalidNoneIsValidAndOneAskedForLoadsOnlyOnceItIsOver) {
  world().faults.start(world(), Fault::model_invalid, 100000);
  bool valid = true;
  ASSERT_TRUE(run_script([&] {
    valid = is_model_valid(get_hash_key("p_chair01x"));
    request_model(get_hash_key("p_chair01x"), false);
  }));
  host().run_frames(10);
  EXPECT_FALSE(valid);
  EXPECT_FALSE(world().model("p_chair01x").loaded);
  world().faults.lift(world());
  ASSERT_TRUE(run_script([&] { valid = is_model_valid(get_hash_key("p_chair01x")); }));
  EXPECT_TRUE(valid);
  host().run_frames(5);
  EXPECT_TRUE(world().model("p_chair01x").loaded) << "the request made during it is kept";
}

TEST_F(Faults, ScenesAndTextureDictionariesLoadOnlyOnceTheirFaultsAreLifted) {
  world().faults.start(world(), Fault::scene_late, 100000);
  world().faults.start(world(), Fault::texture_late, 100000);
  int scene = 0;
  ASSERT_TRUE(run_script([&] {
    scene = create_anim_scene("script@proc@handovers@player_handovers@give_money_new", 0, nullptr,
                              false, true);
    load_anim_scene(scene);
    request_streamed_texture_dict("ITEMTYPE_TEXTURES", false);
  }));
  bool scene_loaded = true;
  bool textures_loaded = true;
  auto look = [&] {
    return run_script([&] {
      scene_loaded = is_anim_scene_loaded(scene, true, false);
      textures_loaded = has_streamed_texture_dict_loaded("ITEMTYPE_TEXTURES");
    });
  };
  host().run_frames(30);
  ASSERT_TRUE(look());
  EXPECT_FALSE(scene_loaded);
  EXPECT_FALSE(textures_loaded);
  world().faults.lift(world());
  host().run_frames(5);
  ASSERT_TRUE(look());
  EXPECT_TRUE(scene_loaded);
  EXPECT_TRUE(textures_loaded);
}

TEST_F(Faults, TheGameRemovesAnEntityOfAPlugInNeverThePlayer) {
  world().model("p_chair01x").load_frames = 0;
  int32_t chair = 0;
  ASSERT_TRUE(run_script([&] {
    request_model(get_hash_key("p_chair01x"), false);
    chair = create_object(get_hash_key("p_chair01x"), 0, 0, 0, false, false, false, false, false);
  }));
  const int32_t game_ped =
      world().create_entity(sim::EntityKind::ped, sim::joaat("a_c_cat_01"), {}, 0.0f);
  world().faults.start(world(), Fault::entity_removed);
  EXPECT_FALSE(world().exists(chair));
  EXPECT_TRUE(world().exists(game_ped)) << "only what a plug-in made";
  EXPECT_TRUE(world().exists(world().player_ped()));
}

TEST_F(Faults, ThePlayerTalksWhileItLasts) {
  world().faults.start(world(), Fault::player_talks, 10);
  host().run_frame();
  EXPECT_TRUE(world().speech.talking(world(), world().player_ped()));
  host().run_frames(10);
  EXPECT_FALSE(world().speech.talking(world(), world().player_ped()));
}

TEST_F(Faults, APlayerPositionGoneWrongComesBackWhereItWas) {
  world().place_player(10.0f, 20.0f, 30.0f);
  world().faults.start(world(), Fault::position_nan, 5);
  host().run_frame();
  EXPECT_TRUE(std::isnan(world().player_position().x));
  host().run_frames(5);
  EXPECT_FLOAT_EQ(world().player_position().y, 20.0f);
}

TEST_F(Faults, FrameTimeAndClockComeBackAfterTheirFault) {
  world().faults.start(world(), Fault::frame_time_second, 3);
  world().faults.start(world(), Fault::clock_out_of_range, 3);
  host().run_frame();
  EXPECT_FLOAT_EQ(world().frame_time(), 1.0f);
  EXPECT_TRUE(world().clock.hour < 0 || world().clock.hour > 23) << world().clock.hour;
  host().run_frames(3);
  EXPECT_FLOAT_EQ(world().frame_time(), 1.0f / 60.0f);
  EXPECT_EQ(world().clock.hour, 12);
}

TEST_F(Faults, TheTimerJumpsJustBeforeItsWrap) {
  world().faults.start(world(), Fault::timer_near_wrap);
  EXPECT_GT(world().game_timer(), 0xFFFFFFFFu - 30000u);
  host().run_for_ms(40000);
  EXPECT_LT(world().game_timer(), 40000u) << "it wraps";
}

TEST_F(Faults, BothPromptsOfAPairCompleteInOnePass) {
  for (int n = 0; n < 2; ++n) {
    sim::PromptState* p = world().prompt(world().new_prompt());
    p->registered = p->enabled = p->visible = true;
    p->mode = sim::PromptMode::hold;
  }
  world().faults.start(world(), Fault::prompts_together);
  for (const auto& [handle, p] : world().prompts())
    EXPECT_EQ(p.completed_frame, world().frame() + 1);
}

TEST_F(Faults, APromptSwitchedOffInTheLastPassStillReportsItsCompletion) {
  world().faults.enable(1, 0.0);
  sim::PromptState* p = world().prompt(world().new_prompt());
  p->registered = p->enabled = p->visible = true;
  p->mode = sim::PromptMode::standard;
  host().run_frame();
  p->enabled = false;  // as the script switches it off
  world().faults.start(world(), Fault::prompt_switched_off);
  EXPECT_EQ(p->completed_frame, world().frame() + 1);
}

TEST_F(Faults, ThePlayerGetsANewPed) {
  const int32_t before = world().player_ped();
  world().faults.start(world(), Fault::player_replaced);
  EXPECT_NE(world().player_ped(), before);
  EXPECT_FALSE(world().exists(before));
  EXPECT_EQ(world().faults.injected(Fault::player_replaced), 1u);
}

}  // namespace
