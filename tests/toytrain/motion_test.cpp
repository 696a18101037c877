// How the train turns while on, off, and coasting.

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
  EXPECT_TRUE(switched_on("Turn on"));
  EXPECT_FALSE(switched_on("Turn off"));
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
  EXPECT_TRUE(switched_on("Turn off"));
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

// The yaws a pass wrote, each with the heading read just before it.
struct Write {
  float heading;
  float yaw;
};
std::vector<Write> writes_in(const sim::World& w, uint64_t frame) {
  std::vector<Write> found;
  float heading = 0.0f;
  for (const sim::CallRecord& r : w.calls()) {
    if (r.frame != frame) continue;
    const std::string name = test_support::call_name(r);
    if (name == "GET_ENTITY_HEADING") heading = sim::CallRecord::as_float(r.result[0]);
    if (name == "SET_ENTITY_ROTATION") {
      found.push_back({heading, sim::CallRecord::as_float(r.args.at(3).raw)});
    }
  }
  return found;
}

// Each pass while on: the speed rises by t * 0.3 up to 0.6, the heading read
// is advanced by t * speed * 60, and the coasting step adds the speed to the
// heading read again. Checked pass by pass at a frame time that is not 1/60.
TEST_F(Motion, EachPassWhileSpeedingUpWritesTheHeadingOfThatPassSpeed) {
  load_with_train();
  const float t = 0.025f;
  world().set_frame_time(t);
  float expected = speed();
  ASSERT_GT(expected, 0.0f);
  for (int pass = 0; pass < 90; ++pass) {
    SCOPED_TRACE("pass " + std::to_string(pass));
    host().run_frame();
    if (!(expected >= 0.6f)) {
      const float v = t * 0.3f + expected;
      expected = v < 0.6f ? v : 0.6f;
    }
    const auto w = writes_in(world(), world().frame());
    ASSERT_EQ(w.size(), 2u);
    EXPECT_EQ(w[0].yaw, (t * expected) * 60.0f + w[0].heading);
    EXPECT_EQ(w[1].yaw, w[1].heading + expected);
  }
  EXPECT_EQ(expected, 0.6f) << "the cap was reached within the passes checked";
}

// A stopped train that is off still has its heading written on every pass,
// unchanged, and nothing coasts; its frame time does not move it.
TEST_F(Motion, AStoppedTrainThatIsOffHasItsHeadingWrittenUnchangedEachPass) {
  load_with_train();
  complete("Turn off");
  host().run_frames(400);
  ASSERT_EQ(speed(), 0.0f);
  world().set_frame_time(0.04f);
  const double turned_before = turned();
  for (int pass = 0; pass < 10; ++pass) {
    SCOPED_TRACE("pass " + std::to_string(pass));
    host().run_frame();
    const auto w = writes_in(world(), world().frame());
    ASSERT_EQ(w.size(), 1u);
    EXPECT_EQ(w[0].yaw, w[0].heading);
  }
  EXPECT_EQ(turned(), turned_before);
}

}  // namespace
}  // namespace toytrain_test
