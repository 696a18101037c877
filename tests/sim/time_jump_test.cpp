// A script's wait, and each of the world's own clocks (a film, a hold), lasts
// its length in game time however the game timer jumps meanwhile: forwards,
// backwards or to just before its 32-bit wrap, at any moment.

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "host.h"
#include "joaat.h"
#include "natives.h"
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

// The ways a timer can jump, from where it stands.
struct TimerJump {
  const char* what;
  uint32_t (*to)(uint32_t now);
};
const TimerJump timer_jumps[] = {
    {"forwards past the film's end", [](uint32_t now) { return now + 200000u; }},
    {"backwards", [](uint32_t) { return 1000u; }},
    {"to just before the wrap", [](uint32_t) { return 0xFFFFFFFFu - 100u; }},
};

// The frames from the film's start to its end marker, the timer jumping
// (or not) 5 s in; and what the script read of the timer just after.
struct FilmRun {
  uint64_t frames = 0;
  uint32_t timer_read = 0;
};
FilmRun run_film(const TimerJump* jump) {
  sim::World& w = Host::get().world();
  w.tv.film_ms = 10000;
  uint64_t given = 0;
  uint64_t ended = 0;
  bool jumped = false;
  FilmRun run;
  test_support::start_script([&] {
    set_tv_channel_playlist(1, "PL_TEST_FILM", true);
    set_tv_channel(1);
    given = w.frame();
    while (!is_tvshow_currently_playing(sim::joaat("END_OF_MOVIE_MARKER"))) {
      if (jumped && run.timer_read == 0) run.timer_read = static_cast<uint32_t>(get_game_timer());
      scriptWait(0);
    }
    ended = w.frame();
  });
  Host::get().run_frames(1 + 300);
  if (jump != nullptr) w.set_game_timer(jump->to(w.game_timer()));
  jumped = true;
  for (int n = 0; n < 1200 && ended == 0; ++n) Host::get().run_frame();
  run.frames = ended - given;
  return run;
}

TEST_F(TimeJump, ATimerJumpInTheMiddleOfTheFilmLeavesItPlaying) {
  const uint64_t unmoved = run_film(nullptr).frames;
  EXPECT_GE(unmoved, 600u) << "10 s at 60 frames a second, then the marker";
  EXPECT_LE(unmoved, 602u);
  for (const TimerJump& j : timer_jumps) {
    Host::get().reset();
    const uint32_t jumped_to = j.to(world().game_timer() + 301 * 1000 / 60);
    const FilmRun run = run_film(&j);
    EXPECT_EQ(run.frames, unmoved) << "the timer jumped " << j.what;
    EXPECT_NEAR(static_cast<double>(run.timer_read - jumped_to), 17.0, 17.0)
        << "the script's own reading sees the jump " << j.what;
  }
}

// The frames from the first press of a 550 ms hold prompt's control to its
// completion, the timer jumping (or not) 300 ms into the hold.
uint64_t frames_held(const TimerJump* jump) {
  sim::World& w = Host::get().world();
  const uint32_t control = sim::joaat("INPUT_CONTEXT_Y");
  Prompt prompt = 0;
  EXPECT_TRUE(test_support::run_script([&] {
    prompt = ui_prompt_register_begin();
    ui_prompt_set_control_action(prompt, control);
    ui_prompt_set_hold_mode(prompt, 550);
    ui_prompt_register_end(prompt);
    ui_prompt_set_enabled(prompt, true);
    ui_prompt_set_visible(prompt, true);
  }));
  uint64_t completed = 0;
  test_support::start_script([&] {
    while (!ui_prompt_has_hold_mode_completed(prompt)) scriptWait(0);
    completed = w.frame();
  });
  Host::get().run_frame();
  w.controls.press(control);
  Host::get().run_frame();
  const uint64_t pressed = w.frame();
  Host::get().run_frames(18);  // 300 ms
  if (jump != nullptr) w.set_game_timer(jump->to(w.game_timer()));
  for (int n = 0; n < 120 && completed == 0; ++n) Host::get().run_frame();
  return completed - pressed;
}

TEST_F(TimeJump, AHoldPromptHeldThroughAJumpCompletesAfterItsFullHold) {
  const uint64_t unmoved = frames_held(nullptr);
  EXPECT_GE(unmoved, 33u) << "550 ms at 60 frames a second";
  EXPECT_LE(unmoved, 35u);
  for (const TimerJump& j : timer_jumps) {
    Host::get().reset();
    EXPECT_EQ(frames_held(&j), unmoved) << "the timer jumped " << j.what;
    EXPECT_TRUE(world().violations().empty());
  }
}

}  // namespace
