// The smoke: its asset, its fade-in after a turn-on, and its end.

#include <gtest/gtest.h>

#include "train_world.h"

namespace toytrain_test {
namespace {

class Smoke : public TrainWorld {
 protected:
  // One millisecond per frame, so a pass can be placed at an exact time.
  void use_exact_time() { world().set_frame_time(0.001f); }
  void pass_at(uint32_t ms) {
    world().set_game_timer(ms - 1);
    host().run_frame();
    ASSERT_EQ(world().game_timer(), ms);
  }
  // Turns the train off and on again, the turn-on seen in the pass at `ms`.
  void turn_off_and_on_at(uint32_t ms) {
    complete("Turn off");
    ASSERT_TRUE(smoke().empty()) << "turning off puts the smoke out";
    const auto on = test_support::find_offered_prompt(world(), "Turn on");
    if (!test_support::expect_found(on)) return;
    world().complete_prompt(on.found->handle);
    pass_at(ms);
    ASSERT_TRUE(switched_on("Turn off"));
  }
};

TEST_F(Smoke, TurningOnFadesANewSmokeInOver1500Milliseconds) {
  load_with_train();
  use_exact_time();
  const int32_t first = the_smoke().handle;
  const uint32_t t0 = 200000;
  turn_off_and_on_at(t0);
  const sim::LoopedEffectState& s = the_smoke();
  EXPECT_NE(s.handle, first);
  EXPECT_EQ(s.scale, 0.0f);

  pass_at(t0 + 750);
  EXPECT_NEAR(s.scale, 0.25f, 1e-4f);
  pass_at(t0 + 1499);
  EXPECT_LT(s.scale, 0.5f);
  EXPECT_GT(s.scale, 0.499f);
  pass_at(t0 + 1500);
  EXPECT_EQ(s.scale, 0.5f);
  const int writes = s.scale_writes;
  pass_at(t0 + 1600);
  EXPECT_EQ(s.scale, 0.5f);
  EXPECT_EQ(s.scale_writes, writes) << "the fade-in is over";
}

TEST_F(Smoke, AFadeInCarriesAcrossTheTimersWrapArounds) {
  // Where the 32-bit timer wraps, and where its signed reading does.
  for (const uint32_t t0 : {0xFFFFFFFFu - 700u, 0x7FFFFFFFu - 700u}) {
    SCOPED_TRACE(t0);
    TearDown();
    SetUp();
    world().set_game_timer(t0 - 5000u);  // scripts wake by the timer too: no big jumps
    load_with_train();
    use_exact_time();
    turn_off_and_on_at(t0);
    const sim::LoopedEffectState& s = the_smoke();
    pass_at(t0 + 750u);
    EXPECT_NEAR(s.scale, 0.25f, 1e-4f);
    pass_at(t0 + 1499u);
    EXPECT_GT(s.scale, 0.499f);
    EXPECT_LT(s.scale, 0.5f);
    pass_at(t0 + 1500u);
    EXPECT_EQ(s.scale, 0.5f);
  }
}

TEST_F(Smoke, TurningOffDuringAFadeInStopsTheSmokeAndSetsNoFurtherScale) {
  load_with_train();
  use_exact_time();
  const uint32_t t0 = 300000;
  turn_off_and_on_at(t0);
  const int32_t fading = the_smoke().handle;
  pass_at(t0 + 500);
  complete("Turn off");
  const sim::LoopedEffectState& faded = must(test_support::find_effect(world(), fading));
  EXPECT_TRUE(faded.stopped);
  EXPECT_TRUE(switched_on("Turn on"));
  const float last = faded.scale;
  const size_t writes = world().count_calls("SET_PARTICLE_FX_LOOPED_SCALE");
  pass_at(t0 + 1600);
  pass_at(t0 + 2000);
  EXPECT_EQ(world().count_calls("SET_PARTICLE_FX_LOOPED_SCALE"), writes);
  EXPECT_EQ(faded.scale, last);

  // The next turn-on replaces the fade-in's effect and start time.
  world().complete_prompt(must(test_support::find_offered_prompt(world(), "Turn on")).handle);
  pass_at(t0 + 5000);
  const sim::LoopedEffectState& s = the_smoke();
  EXPECT_NE(s.handle, fading);
  pass_at(t0 + 5750);
  EXPECT_NEAR(s.scale, 0.25f, 1e-4f);
}

TEST_F(Smoke, TurningOnWhileTheOldSmokeStillBurnsStartsNoNewSmokeAndNoFadeIn) {
  world().fail_native(0x22970F3A088B133B);  // the stop does not take
  load_with_train();
  const int32_t first = the_smoke().handle;
  complete("Turn off");
  complete("Turn on");
  host().run_frames(5);
  EXPECT_EQ(the_smoke().handle, first);
  EXPECT_EQ(world().count_calls("START_PARTICLE_FX_LOOPED_ON_ENTITY"), 1u);
  EXPECT_EQ(world().count_calls("SET_PARTICLE_FX_LOOPED_SCALE"), 0u);
}

TEST_F(Smoke, TheAssetIsSelectedBeforeEveryStart) {
  load_with_train();
  complete("Turn off");
  complete("Turn on");
  const auto& calls = world().calls();
  int starts = 0;
  for (size_t n = 0; n < calls.size(); ++n) {
    if (test_support::call_name(calls[n]) != "START_PARTICLE_FX_LOOPED_ON_ENTITY") continue;
    ++starts;
    ASSERT_GT(n, 0u);
    EXPECT_EQ(calls[n - 1].text(), "USE_PARTICLE_FX_ASSET(\"core\")");
  }
  EXPECT_EQ(starts, 2);
}

TEST_F(Smoke, AnAssetThatNeverLoadsHoldsTheLoopBackFor301WaitsAtMost) {
  world().particles.asset("core").loaded = false;
  world().particles.asset("core").never_loads = true;
  load(10.0f);
  ASSERT_TRUE(
      host().run_until([&] { return world().count_calls("_UI_PROMPT_REGISTER_BEGIN") > 0; }, 400));
  EXPECT_EQ(must(test_support::find_call(world(), "_UI_PROMPT_REGISTER_BEGIN")).frame, 1u + 301u)
      << "the script's first frame, then 301 waits";
  EXPECT_EQ(world().count_calls("REQUEST_NAMED_PTFX_ASSET"), 1u);
  EXPECT_EQ(world().count_calls("HAS_NAMED_PTFX_ASSET_LOADED"), 303u);

  // The train runs without its smoke.
  ASSERT_TRUE(run_until_set_up(10));
  host().run_frame();
  EXPECT_TRUE(switched_on("Turn off"));
  EXPECT_TRUE(smoke().empty());
  EXPECT_GT(speed(), 0.0f);
  complete("Turn off");
  complete("Turn on");
  host().run_frames(3);
  EXPECT_TRUE(smoke().empty());
}

TEST_F(Smoke, AnAssetThatLoadsLateStartsTheLoopInTheFrameItLoads) {
  world().particles.asset("core").loaded = false;
  world().particles.asset("core").load_frames = 5;
  load(10.0f);
  ASSERT_TRUE(
      host().run_until([&] { return world().count_calls("_UI_PROMPT_REGISTER_BEGIN") > 0; }, 50));
  EXPECT_EQ(must(test_support::find_call(world(), "_UI_PROMPT_REGISTER_BEGIN")).frame, 1u + 5u);
  ASSERT_TRUE(run_until_set_up(10));
  EXPECT_EQ(smoke().size(), 1u);
}

TEST_F(Smoke, AnAssetInMemoryIsNotRequested) {
  load_with_train();
  EXPECT_EQ(world().count_calls("REQUEST_NAMED_PTFX_ASSET"), 0u);
  EXPECT_EQ(world().count_calls("HAS_NAMED_PTFX_ASSET_LOADED"), 1u);
}

}  // namespace
}  // namespace toytrain_test
