// The show: the ticket sale, the money hand-over along the taker's clip,
// the player's seat, the film answer, and the film on the screen.

#include <cmath>
#include <iomanip>
#include <string>

#include "cinema_fixture.h"

namespace cinema_test {
namespace {

const char* const handover_dictionary = "script_common@handover@generic@player_handover@money";

class Show : public CinemaPost {
 protected:
  void SetUp() override {
    CinemaPost::SetUp();
    world().set_text("FEED_MONEY_SPEND", "Ticket bought for ~$~");
    stand_west_of_home(3.0f);
    load();
    ASSERT_TRUE(run_until_spawned());
    host().run_frames(2);  // greeted
  }

  sim::TextureDict& itemtype_textures(test_support::CallSite at = {}) {
    return must(
        test_support::entry(world().money.textures, "ITEMTYPE_TEXTURES", "texture dictionary"), at);
  }

  // Buys a ticket and runs until the player has entered the hand-over scene.
  // Returns the game time the sale stamped.
  uint32_t buy(test_support::CallSite at = {}) {
    const size_t timers_before = world().count_calls("GET_GAME_TIMER");
    complete(buy_prompt(at).label, at);
    EXPECT_TRUE(host().run_until([&] { return !world().anim_scenes.entered.empty(); }, 300))
        << "the player never entered the hand-over scene";
    const auto timers = world().calls_to("GET_GAME_TIMER");
    return timers.size() > timers_before ? static_cast<uint32_t>(timers[timers_before]->result[0])
                                         : 0;
  }

  const sim::PlayingClip* taker_clip() {
    return world().anim_scenes.clip_of(world(), taker(), handover_dictionary,
                                       "handover_money_male");
  }

  // Runs until the clip has ended.
  void finish_clip() {
    host().run_until([&] { return taker_clip() == nullptr; }, 1000);
  }

  // Moves the taker's clip's start so that it reads `progress` in the next pass.
  void jump_clip_to(double progress, test_support::CallSite at = {}) {
    const auto clip = test_support::present(
        taker_clip(), "hand-over clip playing on the taker",
        [&] { return std::to_string(world().anim_scenes.clips.size()) + " clips started"; });
    if (!test_support::expect_found(clip, at)) return;
    const double frame_ms = world().frame_time() * 1000.0;
    for (sim::PlayingClip& c : world().anim_scenes.clips) {
      if (&c != clip.found) continue;
      c.start_ms =
          world().elapsed_ms() - static_cast<uint64_t>(progress * c.duration_ms - frame_ms);
    }
    host().run_frame();
  }

  // Holds the taker's clip at `progress` and runs a pass.
  void hold_clip_at(float progress, test_support::CallSite at = {}) {
    for (sim::PlayingClip& c : world().anim_scenes.clips) {
      if (c.entity == taker() && c.clip == "handover_money_male") {
        c.held = progress;
        host().run_frame();
        return;
      }
    }
    ADD_FAILURE_AT(at.file, at.line) << "no hand-over clip playing on the taker; "
                                     << world().anim_scenes.clips.size() << " clips started";
  }

  const sim::EntityState& screen(test_support::CallSite at = {}) {
    return must(find_entity(world(), "script_rt_arm_screen"), at);
  }

  sim::RenderTarget& target(test_support::CallSite at = {}) {
    return must(test_support::find_target(world(), "bla_theater"), at);
  }

  const sim::Playlist& playlist(test_support::CallSite at = {}) {
    return must(test_support::find_playlist(world(), 1), at);
  }

  // Runs until the film is on the screen's channel.
  ::testing::AssertionResult run_until_film() {
    if (host().run_until([&] { return world().count_calls("SET_TV_CHANNEL_PLAYLIST") > 0; },
                         2000)) {
      return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "no film set on a channel in 2000 frames; "
           << test_support::calls_text(world(), "SET_TV_CHANNEL_PLAYLIST");
  }

  size_t calls_in_frame(const char* name, uint64_t frame) {
    size_t n = 0;
    for (const auto* r : world().calls_to(name)) n += r->frame == frame ? 1 : 0;
    return n;
  }
};

TEST_F(Show, TheScreenIsMadeHiddenTurnedAndGivenTheFilmSound) {
  const sim::EntityState& s = screen();
  EXPECT_FLOAT_EQ(s.position.x, -3602.7405f);
  EXPECT_FLOAT_EQ(s.position.y, -2650.9917f);
  EXPECT_FLOAT_EQ(s.position.z, -10.691999f);
  EXPECT_FLOAT_EQ(s.rotation.z, -45.0f);
  EXPECT_FALSE(s.visible);
  EXPECT_EQ(world().tv.audio_entity, s.handle);
  EXPECT_EQ(arg(must(find_call(world(), "SET_ENTITY_ALPHA")), 1), 165);
}

TEST_F(Show, TheScreenLevelFollowsTheHourNearAndFar) {
  struct Case {
    int hour;
    int level;
  };
  for (const Case c : {Case{19, 220}, Case{20, 165}, Case{5, 165}, Case{6, 220}, Case{-1, 165},
                       Case{12, 220}, Case{0, 165}}) {
    world().clock.hour = c.hour;
    host().run_frame();
    EXPECT_EQ(screen().alpha, c.level) << "at hour " << c.hour;
  }
  stand_west_of_home(100.0f);
  world().clock.hour = 8;
  host().run_frame();
  EXPECT_EQ(screen().alpha, 220) << "beyond 90 m as well";
}

TEST_F(Show, SitIsOfferedOnlyAfterASale) {
  EXPECT_FALSE(prompt("Sit").switched_on());
  EXPECT_FALSE(prompt("Leave").switched_on());
  EXPECT_FALSE(world().complete_prompt(prompt("Sit").handle));
  EXPECT_EQ(prompt("Sit").mode, sim::PromptMode::hold);
  EXPECT_EQ(prompt("Sit").mode_value, 810);
  EXPECT_FLOAT_EQ(prompt("Sit").radius, 1.85f);
  EXPECT_FLOAT_EQ(prompt("Leave").radius, 3.0f);
  EXPECT_FLOAT_EQ(prompt("Leave").point.x, player_chair_x);
  EXPECT_FLOAT_EQ(prompt("Sit").point.z, player_chair_z);
  EXPECT_TRUE(world().points.live().size() == 7u) << "no seat point of his own yet";
}

TEST_F(Show, TheSaleSwitchesTheCounterOverMarksTheBlipAndMakesTheSeat) {
  buy();
  EXPECT_FALSE(buy_prompt().switched_on());
  EXPECT_FALSE(prompt("What's Playing?").switched_on());
  EXPECT_TRUE(prompt("Sit").switched_on());
  EXPECT_FALSE(world().prompt_offered(prompt("Sit"))) << "seen at the chair, not at the counter";
  ASSERT_EQ(world().blips.live().size(), 1u);
  EXPECT_TRUE(world().blips.live().front()->has(sim::joaat("BLIP_MODIFIER_SHOP_UNAVAILABLE")));

  const auto points = world().points.live();
  ASSERT_EQ(points.size(), 8u);
  const sim::ScenarioPointState* seat = points.back();
  EXPECT_FLOAT_EQ(must(find_entity(world(), seat->entity)).position.x, player_chair_x);
  EXPECT_EQ(seat->type, sim::joaat("PROP_HUMAN_SEAT_CHAIR"));
  EXPECT_FLOAT_EQ(seat->heading, -135.1959f);
  // x and y summed in double precision, z in single, then into the chair's frame.
  EXPECT_EQ(seat->offset.x,
            static_cast<float>(static_cast<double>(player_chair_x) + 0.551) - player_chair_x);
  EXPECT_EQ(seat->offset.y,
            static_cast<float>(static_cast<double>(player_chair_y) + 0.569) - player_chair_y);
  EXPECT_EQ(seat->offset.z, (player_chair_z + 0.5f) - player_chair_z);
}

TEST_F(Show, TheHandOverWaitsCountTowardTheFilmDelay) {
  const uint32_t sold_at = buy();
  ASSERT_NE(sold_at, 0u);
  const auto entered = world().calls_to("TASK_ENTER_ANIM_SCENE");
  ASSERT_EQ(entered.size(), 1u);
  EXPECT_EQ(arg(entered.front(), 0), world().player_ped());
  EXPECT_EQ(entered.front()->args.at(2).text, "player");
  EXPECT_EQ(entered.front()->args.at(3).text, "pb_handover");
  const uint64_t sale_frame = must(find_call(world(), "BLIP_ADD_MODIFIER", last)).frame;
  EXPECT_EQ(must(find_call(world(), "_CREATE_ANIM_SCENE")).frame, sale_frame)
      << "the hand-over starts in the pass of the sale";
  EXPECT_GT(entered.front()->frame, sale_frame) << "the scene's loading took frames after the sale";
  EXPECT_NE(taker_clip(), nullptr) << "the taker plays his hand-over clip";

  uint32_t last_pass_without = 0;
  while (world().calls_to("SET_TV_CHANNEL_PLAYLIST").empty() &&
         world().game_timer() - sold_at < 20000) {
    last_pass_without = world().game_timer();
    host().run_frame();
  }
  ASSERT_EQ(world().count_calls("SET_TV_CHANNEL_PLAYLIST"), 1u);
  const uint32_t started_at = world().game_timer();  // in this frame
  EXPECT_GT(started_at - sold_at, 15500u);
  EXPECT_LE(last_pass_without - sold_at, 15500u + 17u) << "no pass later than needed";
  EXPECT_EQ(world().tv.channel, 1);
  EXPECT_TRUE(screen().visible);
  EXPECT_FALSE(world().tv.audio_frontend);
}

TEST_F(Show, TheHandOverSaysItsLinesAndTakesTheTicketPriceOnce) {
  const int cash_before = world().money.cash;
  buy();
  finish_clip();
  // About 40 ms in each window at 60 passes a second: each line comes twice or more.
  EXPECT_GE(world().speech.lines("TICKET_PLEASE").size(), 2u);
  EXPECT_GE(world().speech.lines("ENJOY_THE_SHOW").size(), 2u);
  for (const auto* l : world().speech.lines("TICKET_PLEASE")) {
    EXPECT_EQ(l->ped, world().player_ped());
    EXPECT_EQ(l->voice, "ARTHUR");
  }
  for (const auto* l : world().speech.lines("ENJOY_THE_SHOW")) EXPECT_EQ(l->ped, taker());
  EXPECT_EQ(must(find_ped(world(), world().player_ped())).look_target, taker());

  EXPECT_EQ(world().money.cash, cash_before - 100) << "a ticket costs $1.00";
  ASSERT_EQ(world().money.decrements.size(), 1u);
  ASSERT_EQ(world().money.feed.size(), 1u);
  const sim::FeedPost& post = world().money.feed.front();
  EXPECT_EQ(post.text, "Ticket bought for $1.00") << "the notification shows what was spent";
  EXPECT_EQ(post.duration_ms, 1000);
  EXPECT_EQ(post.dictionary, "ITEMTYPE_TEXTURES");
  EXPECT_EQ(post.icon, sim::joaat("ITEMTYPE_CASH"));
  EXPECT_EQ(post.color, sim::joaat("COLOR_RED"));
  EXPECT_TRUE(post.dictionary_loaded) << "shown once its textures had loaded";
  EXPECT_EQ(itemtype_textures().released, 1);
  EXPECT_TRUE(world().live_entities("s_inv_moneyclip01x").empty()) << "the money changed hands";
}

TEST_F(Show, AClipThatJumpsOverAWindowSkipsItsLineOrThePayment) {
  buy();
  jump_clip_to(0.2);
  jump_clip_to(0.5);
  jump_clip_to(0.7);
  finish_clip();
  EXPECT_TRUE(world().speech.lines("TICKET_PLEASE").empty());
  EXPECT_TRUE(world().speech.lines("ENJOY_THE_SHOW").empty());
  EXPECT_TRUE(world().money.decrements.empty());
  EXPECT_TRUE(world().money.feed.empty());
}

TEST_F(Show, OnePassInsideAWindowSaysItsLineOnce) {
  buy();
  jump_clip_to(0.105);
  jump_clip_to(0.2);
  jump_clip_to(0.355);
  jump_clip_to(0.5);
  EXPECT_EQ(world().speech.lines("TICKET_PLEASE").size(), 1u);
  EXPECT_EQ(world().speech.lines("ENJOY_THE_SHOW").size(), 1u);
}

// A window's bound as the clip's float progress meets it: the nearest
// progress that is not past the bound, and the next one, just inside.
struct Edge {
  float at;
  float inside;
};
Edge lower_edge(double bound) {
  float f = static_cast<float>(bound);
  if (f > bound) f = std::nextafter(f, 0.0f);
  return {f, std::nextafter(f, 1.0f)};
}
Edge upper_edge(double bound) {
  float f = static_cast<float>(bound);
  if (f < bound) f = std::nextafter(f, 1.0f);
  return {f, std::nextafter(f, 0.0f)};
}

TEST_F(Show, EachLineIsSaidJustInsideItsWindowAndNotAtItsBounds) {
  buy();
  struct Window {
    const char* line;
    double low;
    double high;
  };
  for (const Window w :
       {Window{"TICKET_PLEASE", 0.1, 0.11}, Window{"ENJOY_THE_SHOW", 0.35, 0.36}}) {
    for (const Edge e : {lower_edge(w.low), upper_edge(w.high)}) {
      const size_t before = world().speech.lines(w.line).size();
      hold_clip_at(e.at);
      EXPECT_EQ(world().speech.lines(w.line).size(), before)
          << w.line << " at " << std::setprecision(9) << e.at;
      hold_clip_at(e.inside);
      EXPECT_EQ(world().speech.lines(w.line).size(), before + 1)
          << w.line << " at " << std::setprecision(9) << e.inside;
    }
  }
}

// The clip held at a bound of the payment window takes nothing; one float
// inside, the money changes hands.
class PaymentWindow : public Show {
 protected:
  void expect_payment_only_inside(const Edge& e) {
    hold_clip_at(e.at);
    host().run_frames(3);
    EXPECT_TRUE(world().money.decrements.empty()) << "at " << std::setprecision(9) << e.at;
    hold_clip_at(e.inside);
    EXPECT_EQ(world().money.decrements.size(), 1u) << "at " << std::setprecision(9) << e.inside;
    EXPECT_TRUE(
        host().run_until([&] { return world().live_entities("s_inv_moneyclip01x").empty(); }, 60))
        << "the money changed hands";
  }
};

TEST_F(PaymentWindow, ThePaymentIsTakenJustAboveItsLowerBoundAndNotAtIt) {
  buy();
  expect_payment_only_inside(lower_edge(0.65));
}

TEST_F(PaymentWindow, ThePaymentIsTakenJustBelowItsUpperBoundAndNotAtIt) {
  buy();
  expect_payment_only_inside(upper_edge(0.66));
}

TEST_F(Show, NoMoneyClipAtThePaymentWindowTakesNothing) {
  const int cash_before = world().money.cash;
  buy();
  jump_clip_to(0.5);
  for (const auto* clip : world().live_entities("s_inv_moneyclip01x")) {
    world().remove_entity(clip->handle);
  }
  finish_clip();
  EXPECT_TRUE(world().money.decrements.empty());
  EXPECT_TRUE(world().money.feed.empty());
  EXPECT_EQ(world().money.cash, cash_before);
}

TEST_F(Show, ThePaymentTakesTheFullPriceFromAPlayerWithLess) {
  world().money.cash = 50;
  buy();
  finish_clip();
  ASSERT_EQ(world().money.decrements.size(), 1u);
  EXPECT_EQ(world().money.decrements.front(), 100) << "a ticket costs $1.00";
  EXPECT_EQ(world().money.feed.size(), 1u);
}

TEST_F(Show, AFailedFeedTextGivesAnEmptyLineNotANullAddress) {
  buy();
  jump_clip_to(0.5);
  world().fail_native(0xFA925AC00EB830B9);  // VAR_STRING
  finish_clip();
  ASSERT_EQ(world().money.feed.size(), 1u);
  EXPECT_EQ(world().money.feed.front().text, "");
}

TEST_F(Show, WithoutTheFeedTexturesTheMoneyIsTakenWithoutANotification) {
  itemtype_textures().exists = false;
  buy();
  finish_clip();
  EXPECT_EQ(world().money.decrements.size(), 1u);
  EXPECT_TRUE(world().money.feed.empty());
  EXPECT_TRUE(world().live_entities("s_inv_moneyclip01x").empty());
}

TEST_F(Show, ThePlayerSitsAndStandsAsOftenAsHeLikes) {
  buy();
  finish_clip();
  const int32_t seat = must(find_point_made(world(), last)).handle;
  stand_at_chair();
  for (int round = 0; round < 2; ++round) {
    complete("Sit");
    host().run_frame();
    EXPECT_EQ(must(find_point(world(), seat)).user, world().player_ped()) << "round " << round;
    EXPECT_EQ(world().tv.screen_effects, std::vector<std::string>(round + 1, "camtransitionblink"));
    EXPECT_TRUE(world().prompt_offered(prompt("Leave")));
    EXPECT_FALSE(prompt("Sit").switched_on());
    EXPECT_TRUE(world().exists(world().player_ped())) << "the player is never taken off his seat";

    complete("Leave");
    EXPECT_EQ(must(find_point(world(), seat)).user, 0);
    EXPECT_FALSE(prompt("Leave").switched_on());
    EXPECT_TRUE(world().prompt_offered(prompt("Sit")));
  }
  const auto placed = world().calls_to("SET_ENTITY_COORDS");
  ASSERT_FALSE(placed.empty());
  EXPECT_EQ(placed.back()->text(), "SET_ENTITY_COORDS(" + std::to_string(world().player_ped()) +
                                       ", -3607.815, -2647.962, -11.701, 0, 0, 0, 0)");
}

// The game may give the player a new ped; the hand-over and Leave act on
// the ped he has now.
TEST_F(Show, ANewPlayerPedTakesThePlayersRoleInTheHandOver) {
  const int32_t first = world().player_ped();
  const int32_t now = world().replace_player_ped("PLAYER_ZERO");
  ASSERT_NE(now, first);
  buy();
  const auto& entered = world().anim_scenes.entered;
  ASSERT_EQ(entered.size(), 1u);
  EXPECT_EQ(entered.front().ped, now);
  EXPECT_EQ(entered.front().role, "player");
  const sim::AnimSceneState& scene = must(test_support::find_scene(world(), entered.front().scene));
  EXPECT_EQ(must(test_support::entry(scene.roles, "player", "role in the scene")).first, now);
  EXPECT_NE(taker_clip(), nullptr) << "the scene plays with the new ped";
}

TEST_F(Show, LeaveGetsThePlayersCurrentPedUp) {
  buy();
  finish_clip();
  const int32_t seat = must(find_point_made(world(), last)).handle;
  stand_at_chair();
  const int32_t now = world().replace_player_ped("PLAYER_ZERO");
  complete("Sit");
  // The new ped takes the player's chair.
  world().peds.get(now).point = seat;
  host().run_frame();
  ASSERT_EQ(must(find_point(world(), seat)).user, now);

  complete("Leave");
  EXPECT_EQ(must(find_point(world(), seat)).user, 0);
  EXPECT_FALSE(must(find_ped(world(), now)).on_point);
  EXPECT_EQ(arg(must(find_call(world(), "CLEAR_PED_TASKS", last)), 0), now);
  EXPECT_TRUE(world().prompt_offered(prompt("Sit")));
}

TEST_F(Show, TheFilmAnswerComesAfterThePlayerHasSpokenAndNamesTheFilmThatPlays) {
  complete("What's Playing?");
  EXPECT_FALSE(prompt("What's Playing?").switched_on()) << "asked once per presence";
  const auto asked = world().speech.lines("WHATS_PLAYING");
  ASSERT_EQ(asked.size(), 1u);
  const uint64_t asked_frame = asked.front()->frame;  // the record grows as lines are said
  host().run_until(
      [&] {
        return !world().speech.lines("MOVIE_MODERN_MEDICINE").empty() ||
               !world().speech.lines("MOVIE_BEAUMONT_THE_BURLY").empty();
      },
      400);
  const bool modern = !world().speech.lines("MOVIE_MODERN_MEDICINE").empty();
  const auto answer =
      world().speech.lines(modern ? "MOVIE_MODERN_MEDICINE" : "MOVIE_BEAUMONT_THE_BURLY");
  ASSERT_EQ(answer.size(), 1u);
  EXPECT_EQ(answer.front()->ped, taker());
  EXPECT_FALSE(world().speech.talking(world(), world().player_ped()));
  EXPECT_GE(answer.front()->frame - asked_frame, 140u) << "he waited for the player";

  buy();
  ASSERT_TRUE(run_until_film());
  EXPECT_EQ(playlist().name, modern ? "PL_TOON_MODERN_MEDICINE" : "PL_TOON_WORLDS_STRONGEST_MAN");
}

// The taker turns to the player once the player's question is over, and
// then answers: not while the player still talks.
TEST_F(Show, TheTakerLooksAtThePlayerWhenHisQuestionIsOverThenAnswers) {
  world().clear_record();
  complete("What's Playing?");
  ASSERT_TRUE(host().run_until(
      [&] {
        return !world().speech.lines("MOVIE_MODERN_MEDICINE").empty() ||
               !world().speech.lines("MOVIE_BEAUMONT_THE_BURLY").empty();
      },
      400));
  const auto& calls = world().calls();
  size_t question = calls.size();
  size_t look = calls.size();
  size_t answer = calls.size();
  size_t looks = 0;
  for (size_t n = 0; n < calls.size(); ++n) {
    const sim::CallRecord& r = calls[n];
    if (r.name() == "PLAY_PED_AMBIENT_SPEECH_NATIVE") {
      if (arg(r, 0) == world().player_ped() && question == calls.size()) question = n;
      if (arg(r, 0) == taker()) answer = n;
    }
    if (r.name() == "TASK_LOOK_AT_ENTITY" && arg(r, 0) == taker()) {
      look = n;
      ++looks;
    }
  }
  ASSERT_LT(question, calls.size());
  ASSERT_LT(answer, calls.size());
  ASSERT_EQ(looks, 1u);
  EXPECT_GT(look, question) << "not before the question";
  EXPECT_LT(look, answer) << "the look comes first";
  EXPECT_EQ(calls[look].frame, calls[answer].frame) << "in the pass of the answer";
  // While the player talked the pass waited; the look comes after the test
  // that found him done.
  size_t talking_tests = 0;
  for (size_t n = question; n < look; ++n) {
    if (calls[n].name() == "IS_ANY_SPEECH_PLAYING" && arg(calls[n], 0) == world().player_ped()) {
      ++talking_tests;
    }
  }
  EXPECT_GT(talking_tests, 1u) << "he was still talking when first asked";
  ASSERT_GT(look, 0u);
  EXPECT_EQ(calls[look - 1].text(),
            "IS_ANY_SPEECH_PLAYING(" + std::to_string(world().player_ped()) + ") -> 0");
  EXPECT_GT(calls[look].frame, calls[question].frame);
  EXPECT_EQ(calls[look].text(), "TASK_LOOK_AT_ENTITY(" + std::to_string(taker()) + ", " +
                                    std::to_string(world().player_ped()) + ", 5000, 0, 2048, 3)");
}

TEST_F(Show, TheFilmIsDrawnOnTheScreenEveryPassNearTheTheater) {
  host().run_frames(3);
  EXPECT_TRUE(target().registered && target().linked) << "ready before any film";
  EXPECT_EQ(world().tv.draws, 0);
  buy();
  ASSERT_TRUE(run_until_film());
  const int before = target().draws;
  host().run_frames(10);
  EXPECT_EQ(target().draws, before + 10);
  EXPECT_EQ(target().last_draw_channel, 1);
  EXPECT_EQ(target().last_draw_alpha, 155) << "the film is seen through, not opaque";
  EXPECT_EQ(target().last_draw_frame, world().frame());
  EXPECT_EQ(target().registrations, 1);

  // Beyond 90 m nothing is drawn and the target is left alone.
  stand_west_of_home(95.0f);
  host().run_frame();
  const uint64_t far = world().frame();
  host().run_frame();
  EXPECT_EQ(target().draws, before + 10);
  EXPECT_EQ(calls_in_frame("IS_NAMED_RENDERTARGET_REGISTERED", far), 0u);
  EXPECT_EQ(calls_in_frame("IS_TVSHOW_CURRENTLY_PLAYING", far), 0u);
  EXPECT_EQ(calls_in_frame("SET_ENTITY_ALPHA", far), 1u);
}

TEST_F(Show, AtTheEndMarkerTheTargetIsReleasedAndRegisteredAgainInThatPass) {
  world().tv.film_ms = 3000;
  buy();
  ASSERT_TRUE(run_until_film());
  ASSERT_TRUE(host().run_until([&] { return world().tv.channel == -1; }, 400));
  const uint64_t ended = world().frame();
  EXPECT_EQ(target().releases, 1);
  EXPECT_EQ(target().registrations, 2);
  EXPECT_EQ(must(find_call(world(), "RELEASE_NAMED_RENDERTARGET", last)).frame, ended);
  EXPECT_EQ(must(find_call(world(), "REGISTER_NAMED_RENDERTARGET", last)).frame, ended);
  EXPECT_TRUE(target().registered && target().linked);
  const int draws = target().draws;
  host().run_frames(3);
  EXPECT_EQ(target().draws, draws + 3) << "a started film keeps drawing the channel";
}

TEST_F(Show, ATimerJumpInTheMiddleOfTheFilmLeavesItPlayingToItsEnd) {
  world().tv.film_ms = 20000;
  buy();
  ASSERT_TRUE(run_until_film());
  host().run_frames(300);
  world().faults.start(world(), sim::Fault::timer_near_wrap);
  host().run_frames(240);
  world().set_game_timer(1000);  // and back again
  host().run_frames(60);
  EXPECT_EQ(world().tv.channel, 1) << "the film plays on, 10 s into its 20";
  EXPECT_EQ(target().releases, 0);
  EXPECT_TRUE(host().run_until([&] { return world().tv.channel == -1; }, 700))
      << "it ends at its length in game time";
}

TEST_F(Show, ATargetThatCannotBeLinkedIsReleasedAndTriedAgain) {
  world().tv.links_fail = true;
  target().registered = false;  // the game dropped it
  const int registered_before = target().registrations;
  host().run_frames(3);
  EXPECT_FALSE(target().registered);
  EXPECT_EQ(target().registrations - registered_before, 3) << "tried in every pass";
  EXPECT_EQ(target().releases, 3);
  world().tv.links_fail = false;
  host().run_frame();
  EXPECT_TRUE(target().registered && target().linked);
}

TEST_F(Show, ADespawnSwitchesTheFilmOffAndReleasesTheTarget) {
  buy();
  ASSERT_TRUE(run_until_film());
  stand_west_of_home(111.0f);
  host().run_frame();
  EXPECT_EQ(world().tv.channel, -1);
  EXPECT_FALSE(target().registered);
  EXPECT_EQ(world().points.live().size(), 0u) << "the seat point went with the post";
  EXPECT_FALSE(prompt("Sit").switched_on());
}

TEST_F(Show, AQuietPassWithTheFilmPlayingMakesFortyFourNativeCalls) {
  buy();
  finish_clip();
  ASSERT_TRUE(run_until_film());
  host().run_frame();
  world().clear_record();
  host().run_frame();
  // The post's 39, four more for the walk-out test now that the channel is
  // on (player's ped, its interior, the interior's name, the name's hash),
  // and the draw.
  EXPECT_EQ(world().calls().size(), 44u) << world().record_text();
  EXPECT_EQ(world().count_calls("DRAW_TV_CHANNEL"), 1u);
}

// The player leaves the post behind and comes back, three times.
class Presences : public Show {
 protected:
  size_t films_started() const {
    return sim::Host::get().world().count_calls("SET_TV_CHANNEL_PLAYLIST");
  }
  // Runs until the visit's film is on its channel (the record starts afresh
  // with each visit).
  ::testing::AssertionResult run_until_the_film() {
    if (host().run_until([&] { return films_started() > 0 && world().tv.channel == 1; }, 2000)) {
      return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "the film never started";
  }
  // In among the audience, then out to the counter: the walk-out's stamp.
  uint32_t in_and_out() {
    stand_inside();
    host().run_frame();
    stand_west_of_home(8.0f);
    host().run_frame();
    return walk_out_stamp(world().frame());
  }
  // Buys a ticket and runs until the taker's hand-over clip has played out.
  void sell(test_support::CallSite at = {}) {
    const size_t entered = world().anim_scenes.entered.size();
    complete(buy_prompt(at).label, at);
    EXPECT_TRUE(host().run_until(
        [&] { return world().anim_scenes.entered.size() > entered && taker_clip() != nullptr; },
        300))
        << "no hand-over, at " << at.file << ":" << at.line;
    finish_clip();
  }
  void away_and_back(test_support::CallSite at = {}) {
    world().clear_record();
    stand_west_of_home(120.0f);
    host().run_frames(2);
    stand_west_of_home(3.0f);
    EXPECT_TRUE(run_until_spawned()) << "at " << at.file << ":" << at.line;
    host().run_frames(2);
  }
};

// Each visit sells a ticket again, counts its own entry and walk-out, bids
// its own farewell and switches its own film off.
TEST_F(Presences, EachLaterVisitAgainSellsAndGetsTheFarewellAndTheChannelOff) {
  const int cash = world().money.cash;
  for (size_t visit = 1; visit <= 3; ++visit) {
    SCOPED_TRACE("visit " + std::to_string(visit));
    ASSERT_TRUE(world().prompt_offered(buy_prompt()));
    sell();
    EXPECT_EQ(world().money.cash, cash - 100 * static_cast<int>(visit));
    ASSERT_TRUE(run_until_the_film());

    const uint32_t left = in_and_out();
    EXPECT_NE(left, 0u) << "the walk-out is noticed";
    EXPECT_TRUE(host().run_until([&] { return world().tv.channel == -1; }, 400));
    EXPECT_GT(world().game_timer() - left, 5000u);
    stand_west_of_home(4.0f);
    host().run_frame();
    EXPECT_EQ(world().speech.lines("FAREWELL_DURING_SHOW").size(), visit);
    away_and_back();
  }
}

// A look inside before buying is not an entry to the show: the sale counts
// entries afresh, so a player who stays at the counter keeps his film.
TEST_F(Presences, ALookInsideBeforeBuyingDoesNotStopTheFilmOfAPlayerOutside) {
  stand_inside();
  host().run_frames(3);
  stand_west_of_home(3.0f);
  host().run_frames(3);
  sell();
  ASSERT_TRUE(run_until_the_film());
  host().run_for_ms(6000);
  EXPECT_EQ(world().tv.channel, 1) << "the film goes on";
  EXPECT_TRUE(world().speech.lines("FAREWELL_DURING_SHOW").empty());
}

// Passes spent inside are one entry, and leaving is none: a player who
// bought from inside and walks out without coming in again keeps his film.
TEST_F(Presences, AnEntryCountsOnceNotPerPassInsideNorOnTheWayOut) {
  stand_inside();
  host().run_frames(3);
  // Bought at the counter, within the taker's reach, with no pass seeing
  // the player outside: the plug-in sees the sale with him inside.
  stand_west_of_home(3.0f);
  ASSERT_TRUE(world().complete_prompt(buy_prompt().handle));
  stand_inside();
  host().run_frame();
  finish_clip();
  ASSERT_TRUE(run_until_the_film());
  host().run_frames(30);
  stand_west_of_home(8.0f);
  host().run_for_ms(6000);
  EXPECT_EQ(world().tv.channel, 1) << "no entry since the sale";

  EXPECT_NE(in_and_out(), 0u) << "a new entry arms the walk-out";
}

// The second sale's hand-over is a scene of its own: the first is ended,
// and every call that names a scene from its creation on names the new one.
TEST_F(Presences, ASecondPurchaseMakesTheHandOverSceneAfreshAndAsksOnlyOfIt) {
  sell();
  const int32_t first = must(find_call(world(), "_CREATE_ANIM_SCENE", last)).result[0];
  ASSERT_NE(first, 0);
  away_and_back();
  sell();

  const auto& calls = world().calls();
  size_t made = calls.size();
  for (size_t n = 0; n < calls.size(); ++n) {
    if (calls[n].name() == "_CREATE_ANIM_SCENE") made = n;
  }
  ASSERT_LT(made, calls.size());
  const auto second = static_cast<int32_t>(calls[made].result[0]);
  EXPECT_NE(second, 0);
  EXPECT_NE(second, first);
  EXPECT_EQ(world().anim_scenes.scene(first), nullptr) << "the first is ended";
  ASSERT_NE(world().anim_scenes.scene(second), nullptr);

  // Before it is made: the first is asked after, ended and released, and
  // the play list requested of none.
  std::vector<std::string> before;
  for (size_t n = 0; n < made; ++n) {
    const std::string name = calls[n].name();
    if (name.find("ANIM_SCENE") != std::string::npos) before.push_back(calls[n].text());
  }
  const std::string f = std::to_string(first);
  EXPECT_EQ(before, (std::vector<std::string>{
                        "DOES_ANIM_SCENE_EXIST(" + f + ") -> 1", "ABORT_ANIM_SCENE(" + f + ", 1)",
                        "_DELETE_ANIM_SCENE(" + f + ")",
                        "REQUEST_ANIM_SCENE_PLAY_LIST(0, \"pb_handover\") -> 0"}));
  size_t asked = 0;
  for (size_t n = made + 1; n < calls.size(); ++n) {
    const std::string name = calls[n].name();
    if (name.find("ANIM_SCENE") == std::string::npos) continue;
    const size_t scene_arg = name == "TASK_ENTER_ANIM_SCENE" ? 1 : 0;
    EXPECT_EQ(arg(calls[n], scene_arg), second) << calls[n].text();
    ++asked;
  }
  // Load, loaded, origin, three roles, the play list twice and the entry.
  EXPECT_GE(asked, 9u);
}

}  // namespace
}  // namespace cinema_test
