// A script's wait lasts its length in game time however the game timer
// jumps meanwhile: forwards, backwards or to just before its 32-bit wrap,
// at any moment of the wait.

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "host.h"
#include "sim_test.h"
#include "test_script.h"
#include "world.h"

using sim::Host;

namespace {

class TimeJump : public test_support::HostTest {
 protected:
  // The frames a script's 2000 ms wait lasts when `jump` moves the timer
  // after `jump_after` frames of it (or never).
  uint64_t frames_waited(uint64_t jump_after, const std::function<void()>& jump = {}) {
    uint64_t began = 0;
    uint64_t woke = 0;
    test_support::start_script([&] {
      began = world().frame();
      scriptWait(2000);
      woke = world().frame();
    });
    Host::get().run_frame();  // the wait begins
    for (uint64_t n = 0; n < jump_after; ++n) Host::get().run_frame();
    if (jump) jump();
    for (int n = 0; n < 400 && woke == 0; ++n) Host::get().run_frame();
    return woke - began;
  }
};

TEST_F(TimeJump, AWaitLastsItsLengthWhereverAndWheneverTheTimerJumps) {
  struct Jump {
    uint64_t after_frames;
    uint32_t to;
  };
  const Jump jumps[] = {
      {0, 0xFFFFFFFFu - 20000u},    // at once, to well before the wrap
      {30, 0xFFFFFFFFu - 500u},     // the wait's end falls past the wrap
      {60, 0xFFFFFFFFu},            // the very last ms before it
      {119, 0xFFFFFFF0u},           // a frame before the wait would end
      {50, 0x7FFFFFF0u},            // where a signed difference turns over
      {40, 1000u},                  // backwards
      {10, 0x80000000u + 100000u},  // half the range forwards: the old signed test woke here
  };
  const uint64_t unmoved = frames_waited(0);
  EXPECT_EQ(unmoved, 120u) << "2000 ms at 60 frames a second";
  for (const Jump& j : jumps) {
    Host::get().reset();
    const uint64_t frames = frames_waited(j.after_frames, [&] { world().set_game_timer(j.to); });
    EXPECT_EQ(frames, unmoved) << "timer set to " << j.to << " after " << j.after_frames
                               << " frames";
    EXPECT_TRUE(world().violations().empty());
  }
}

TEST_F(TimeJump, TheFaultNearTheWrapAtAnyMomentMovesNoWakeUp) {
  const uint64_t unmoved = frames_waited(0);
  for (uint64_t after : {0, 1, 45, 118}) {
    Host::get().reset();
    const uint64_t frames = frames_waited(after, [&] {
      world().faults.start(world(), sim::Fault::timer_near_wrap);
      ASSERT_GT(world().game_timer(), 0xFFFFFFFFu - 30000u);
    });
    EXPECT_EQ(frames, unmoved) << "the fault began " << after << " frames in";
  }
}

TEST_F(TimeJump, FrameWaitsAndRunForMsCountElapsedTimeToo) {
  std::vector<uint64_t> frames;
  test_support::start_script([&] {
    for (;;) {
      frames.push_back(world().frame());
      scriptWait(0);
    }
  });
  Host::get().run_frame();
  world().set_game_timer(0xFFFFFFF0u);
  Host::get().run_frames(2);
  EXPECT_EQ(frames, (std::vector<uint64_t>{1, 2, 3}));
  const uint64_t before = world().elapsed_ms();
  Host::get().run_for_ms(1000);
  EXPECT_GE(world().elapsed_ms() - before, 1000u);
  EXPECT_LT(world().elapsed_ms() - before, 1017u);
}

}  // namespace
