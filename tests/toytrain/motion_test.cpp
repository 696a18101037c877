// How the train turns while on, off, and coasting.

#include <gtest/gtest.h>

#include "train_world.h"

namespace toytrain_test {
namespace {

class Motion : public TrainWorld {};

TEST_F(Motion, AnOnTrainReachesTopSpeedAfterTwoSecondsOfFrameTimeAndStaysThere) {
  load_with_train();  // the set-up pass is the first of rising speed
  int passes = 1;
  while (speed() < 0.6f - 1e-4f && passes < 1000) {
    host().run_frame();
    ++passes;
  }
  const float seconds = static_cast<float>(passes) / 60.0f;
  EXPECT_NEAR(seconds, 2.0f, 2.0f / 60.0f);
  const double before = turned();
  host().run_frames(120);
  EXPECT_NEAR(speed(), 0.6f, 1e-4f);
  // t * 0.6 * 60 + 0.6 per pass at 60 frames a second.
  EXPECT_NEAR(turned() - before, 120 * 1.2, 0.01);
}

TEST_F(Motion, TheRiseDependsOnFrameTimeNotOnFrameRate) {
  load_with_train();
  world().set_frame_time(0.5f);
  host().run_frames(3);  // 0.005 + 3 * 0.15
  EXPECT_NEAR(speed(), 0.455f, 1e-4f);
  host().run_frame();
  EXPECT_NEAR(speed(), 0.6f, 1e-4f);
}

TEST_F(Motion, ATrainTurnedOffAtTopSpeedCoastsToAStopAfterAbout2_75Seconds) {
  load_with_train();
  host().run_frames(200);
  ASSERT_NEAR(speed(), 0.6f, 1e-4f);
  complete("Turn off");
  EXPECT_TRUE(offered("Turn on"));
  EXPECT_FALSE(offered("Turn off"));
  int passes = 1;
  float lowest_moving = 1.0f;
  while (speed() > 0.0f && passes < 1000) {
    lowest_moving = std::min(lowest_moving, speed());
    host().run_frame();
    ++passes;
  }
  EXPECT_NEAR(static_cast<float>(passes) / 60.0f, 2.75f, 2.0f / 60.0f);
  EXPECT_GE(lowest_moving, 0.05f - 1e-4f) << "below 0.05 it drops to 0.0";
  const double stopped_at = turned();
  host().run_frames(30);
  EXPECT_EQ(turned(), stopped_at) << "a stopped train stays put";
}

TEST_F(Motion, TurningACoastingTrainOnAgainAcceleratesFromItsCurrentSpeed) {
  load_with_train();
  host().run_frames(200);
  complete("Turn off");
  host().run_frames(59);  // one second of slowing: 0.6 - 0.2
  const float coasting = speed();
  EXPECT_NEAR(coasting, 0.4f, 0.01f);
  complete("Turn on");
  EXPECT_TRUE(offered("Turn off"));
  EXPECT_NEAR(speed(), coasting + 0.005f, 1e-4f);
}

TEST_F(Motion, WithNeitherPromptActiveAMovingTrainCoastsBySpeedPerPass) {
  load_with_train();
  host().run_frames(30);
  const float moving = speed();
  ASSERT_GT(moving, 0.1f);
  must(find_prompt(world(), prompt("Turn on").handle)).enabled = false;
  must(find_prompt(world(), prompt("Turn off").handle)).enabled = false;
  const double before = turned();
  host().run_frames(50);
  EXPECT_NEAR(speed(), moving, 1e-4f) << "speed stays constant";
  EXPECT_NEAR(turned() - before, 50.0 * moving, 0.01);
  for (const sim::CallRecord& r : world().calls()) {
    if (r.frame == world().frame()) {
      EXPECT_NE(test_support::call_name(r), "GET_FRAME_TIME");
    }
  }
}

}  // namespace
}  // namespace toytrain_test
