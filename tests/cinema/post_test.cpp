// The ticket taker's post: its spawn and removal by distance, the greeting
// and farewell, the player's visits to the theater, the taker's upkeep.

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "cinema_fixture.h"

namespace cinema_test {
namespace {

using Post = CinemaPost;

TEST_F(Post, WithThePlayerInRangeTheFirstPassSetsUpTheWholePost) {
  stand_west_of_home(3.0f);
  load();
  ASSERT_TRUE(run_until_spawned());

  // The post comes in the very first pass, in the frame in which the set-up
  // ends with the seat offset.
  const auto blips = world().calls_to("BLIP_ADD_FOR_COORDS");
  ASSERT_EQ(blips.size(), 1u);
  EXPECT_EQ(blips.front()->frame,
            must(find_call(world(), "GET_OFFSET_FROM_ENTITY_GIVEN_WORLD_COORDS")).frame);

  const auto live_blips = world().blips.live();
  ASSERT_EQ(live_blips.size(), 1u);
  const sim::BlipState& blip = *live_blips.front();
  EXPECT_EQ(blip.style, sim::joaat("BLIP_STYLE_SHOP"));
  EXPECT_FLOAT_EQ(blip.position.x, home_x);
  EXPECT_FLOAT_EQ(blip.position.y, home_y);
  EXPECT_FLOAT_EQ(blip.position.z, home_z);
  EXPECT_EQ(blip.sprite, sim::joaat("blip_ambient_theatre"));
  EXPECT_FLOAT_EQ(blip.scale, 0.1f);
  EXPECT_EQ(blip.name, "blip_ambient_theatre");
  EXPECT_FALSE(blip.has(sim::joaat("BLIP_MODIFIER_LOCKED")));

  const int32_t t = taker();
  ASSERT_NE(t, 0);
  const sim::EntityState& taker_state = must(find_entity(world(), t));
  EXPECT_FLOAT_EQ(taker_state.position.x, home_x);
  EXPECT_FLOAT_EQ(taker_state.position.y, home_y);
  EXPECT_TRUE(taker_state.mission_entity);
  EXPECT_EQ(taker_state.shown_name, "Ticket Taker");
  EXPECT_TRUE(taker_state.lockon_prompt);
  const sim::PedActivity& a = taker_activity();
  EXPECT_EQ(a.ambient_voice, "MALE_SILENT_PVG");
  EXPECT_EQ(a.mood, "mood_happy");
  EXPECT_EQ(a.scenario, sim::joaat("WORLD_HUMAN_STARE_STOIC"));
  // Dressed at random after spawn_ped's preset 1: the outfit call came from a draw.
  const auto outfits = world().calls_to("_EQUIP_META_PED_OUTFIT_PRESET");
  bool redressed = false;
  for (const auto* r : outfits) redressed |= arg(r, 0) == t && arg(r, 2) == 1;
  EXPECT_TRUE(redressed);

  EXPECT_EQ(live_audience(), 7u);
  const sim::PromptState& buy = buy_prompt();
  const sim::PromptState& info = prompt("What's Playing?");
  EXPECT_EQ(buy.label, "Buy Ticket ($1.00)") << "the price, as the game writes cash";
  EXPECT_TRUE(world().prompt_offered(buy));
  EXPECT_TRUE(world().prompt_offered(info));
  EXPECT_EQ(buy.group, world().group_for_entity(t));
  EXPECT_EQ(info.group, world().group_for_entity(t));
  EXPECT_EQ(buy.control, sim::joaat("INPUT_CONTEXT_X"));
  EXPECT_EQ(voice_draws().size(), 2u) << "one draw at set-up, one at the spawn";
}

TEST_F(Post, TheSpawnSeatsSevenQuietTownsfolkWithTwoPausesOfTwoSeconds) {
  stand_west_of_home(3.0f);
  load();
  host().run_frame();
  const uint32_t started = world().game_timer();
  ASSERT_TRUE(run_until_spawned());
  EXPECT_GT(world().game_timer() - started, 4000u);
  host().run_frame();  // the seat tasks take their points

  std::vector<std::string> models;
  for (const auto* r : world().calls_to("CREATE_PED")) {
    for (const std::string& m : audience_models) {
      if (arg(r, 0) == hash_arg(m.c_str())) {
        models.push_back(m);
        break;
      }
    }
  }
  EXPECT_EQ(models, audience_models) << "seats are made in row order";

  for (const char* model : {"a_m_m_armtownfolk_01", "a_f_m_tumtownfolk_01",
                            "a_m_m_armtownfolk_02"}) {
    for (const sim::EntityState* e : world().live_entities(model)) {
      const sim::PedActivity& a = must(find_ped(world(), e->handle));
      EXPECT_TRUE(a.on_point) << "each member sits on its seat point";
      EXPECT_EQ(a.point_variant, "PROP_HUMAN_SEAT_CHAIR_SMOKING");
      EXPECT_TRUE(must(test_support::entry(a.config_flags, 301, "config flag")));
      EXPECT_TRUE(must(test_support::entry(a.config_flags, 44, "config flag")));
      EXPECT_EQ(a.flee_attributes, 32768);
    }
  }
}

TEST_F(Post, TheSpawnPausesTwoSecondsAfterTheFirstSeatAndAgainAfterTheFifth) {
  // Models in memory, so that only the two pauses hold the spawn back.
  for (const char* model :
       {"sh_church_chair", "s_m_m_blwdealer_01", "a_m_m_armtownfolk_01",
        "a_f_m_tumtownfolk_01", "a_m_m_armtownfolk_02"}) {
    world().model(model).loaded = true;
  }
  const auto members_made = [&] {
    size_t n = 0;
    for (const auto* r : world().calls_to("CREATE_PED")) {
      n += arg(r, 0) != hash_arg("s_m_m_blwdealer_01") ? 1 : 0;
    }
    return n;
  };
  struct Batch {
    uint64_t frame;
    uint32_t at_ms;
    size_t seats;
  };
  std::vector<Batch> batches;  // the frames that seated someone
  stand_west_of_home(3.0f);
  load();
  size_t made = 0;
  for (int f = 0; f < 600 && made < 7; ++f) {
    host().run_frame();
    const size_t now = members_made();
    if (now > made) batches.push_back({world().frame(), world().game_timer(), now - made});
    made = now;
  }
  ASSERT_EQ(batches.size(), 3u) << "seats come in three runs";
  EXPECT_EQ(batches[0].seats, 1u);
  EXPECT_EQ(batches[1].seats, 4u);
  EXPECT_EQ(batches[2].seats, 2u);
  // Each pause ends in the first frame at least 2000 ms on.
  const uint32_t frame_ms = 17;
  for (size_t n : {1u, 2u}) {
    const uint32_t pause = batches[n].at_ms - batches[n - 1].at_ms;
    EXPECT_GE(pause, 2000u) << "pause " << n;
    EXPECT_LT(pause, 2000u + frame_ms) << "pause " << n;
  }
  EXPECT_EQ(must(find_call(world(), "SET_SCRIPT_GFX_DRAW_BEHIND_PAUSEMENU", last)).frame,
            batches[2].frame)
      << "no pause after the last seat";
}

// The counter opens with each prompt shown before it is enabled: the info
// prompt first, then the buy prompt.
TEST_F(Post, TheSpawnShowsThenEnablesTheInfoPromptThenTheBuyPrompt) {
  stand_west_of_home(3.0f);
  load();
  ASSERT_TRUE(run_until_spawned());
  const int32_t buy = buy_prompt().handle;
  const int32_t info = prompt("What's Playing?").handle;
  ASSERT_NE(buy, info);

  // The switches between the blip's making and its unlocking.
  std::vector<std::string> switches;
  bool in_spawn = false;
  for (const sim::CallRecord& r : world().calls()) {
    const std::string name = test_support::call_name(r);
    if (name == "BLIP_ADD_FOR_COORDS") in_spawn = true;
    if (name == "BLIP_REMOVE_MODIFIER") break;
    if (in_spawn && (name == "_UI_PROMPT_SET_VISIBLE" || name == "_UI_PROMPT_SET_ENABLED")) {
      switches.push_back(r.text());
    }
  }
  const auto call = [](const char* name, int32_t prompt) {
    return std::string(name) + "(" + std::to_string(prompt) + ", 1)";
  };
  EXPECT_EQ(switches,
            (std::vector<std::string>{
                call("_UI_PROMPT_SET_VISIBLE", info), call("_UI_PROMPT_SET_ENABLED", info),
                call("_UI_PROMPT_SET_VISIBLE", buy), call("_UI_PROMPT_SET_ENABLED", buy)}));
}

TEST_F(Post, TheAudiencePairsShareTheirAnchorsWithTwoChairsAndOppositeSeats) {
  stand_west_of_home(3.0f);
  load();
  ASSERT_TRUE(run_until_spawned());
  const auto chairs = audience_chairs();
  ASSERT_EQ(chairs.size(), 7u);
  int at_first_pair = 0;
  int at_second_pair = 0;
  for (const sim::EntityState* c : chairs) {
    at_first_pair += c->position.x == -3605.7776f && c->position.y == -2645.091f;
    at_second_pair += c->position.x == -3607.3955f && c->position.y == -2649.1697f;
  }
  EXPECT_EQ(at_first_pair, 2);
  EXPECT_EQ(at_second_pair, 2);

  const auto points = world().points.live();
  ASSERT_EQ(points.size(), 7u);
  // Points in creation order are rows 1 to 7.
  EXPECT_FLOAT_EQ(points[0]->offset.x - points[1]->offset.x, 1.0f);
  EXPECT_FLOAT_EQ(points[0]->offset.y - points[1]->offset.y, 1.0f);
  EXPECT_FLOAT_EQ(points[5]->offset.x - points[4]->offset.x, 1.0f);
  EXPECT_FLOAT_EQ(points[5]->offset.y - points[4]->offset.y, 1.0f);
  EXPECT_FLOAT_EQ(points[2]->offset.x, 0.0f);
  EXPECT_FLOAT_EQ(points[2]->offset.z, 0.5f) << "a seat straight above its chair is still raised";
  for (const auto* p : points) {
    EXPECT_EQ(p->type, sim::joaat("PROP_HUMAN_SEAT_CHAIR"));
    EXPECT_FLOAT_EQ(p->heading, -135.1959f);
    EXPECT_TRUE(p->active);
  }
}

// Each side of the voice table's two edges: 25 and 26, 50 and 51.
TEST_F(Post, TheSpawnsVoiceDrawPicksTheTakersVoiceAtEachEdgeOfTheTable) {
  struct Case {
    int32_t draw;
    const char* voice;
  };
  for (const Case c : {Case{25, "JK_TICKET_TAKER"}, Case{26, "JS_TOWNDEALER"},
                       Case{50, "JS_TOWNDEALER"}, Case{51, "FH_TOWNDEALER"}}) {
    SCOPED_TRACE(c.draw);
    host().reset();
    // The set-up's draw names another voice, so only the spawn's can be heard.
    const int32_t setup_draw = c.draw <= 50 ? 99 : 0;
    world().set_next_draws(0, 100, {setup_draw, c.draw});
    stand_west_of_home(3.0f);
    load();
    ASSERT_TRUE(run_until_spawned());
    host().run_frames(2);
    ASSERT_EQ(voice_draws(), (std::vector<int32_t>{setup_draw, c.draw}));
    const auto welcomes = world().speech.lines("WELCOME");
    ASSERT_EQ(welcomes.size(), 1u);
    EXPECT_EQ(welcomes.front()->voice, c.voice);
    test_support::expect_no_violations(world());
  }
}

TEST_F(Post, TheFilmIsTheFirstDrawOfTheGeneratorSeededWithTheTickCountAtTheStart) {
  // A tick count for each film, found by the C library's own generator.
  std::map<int, uint32_t> tick_for_film;
  for (uint32_t tick = 5000000; tick_for_film.size() < 2; ++tick) {
    srand(tick);
    tick_for_film.emplace(rand() % 2, tick);
  }
  for (const auto& [film, tick] : tick_for_film) {
    SCOPED_TRACE("tick count " + std::to_string(tick));
    host().reset();
    // The tick count follows the game's time: the script starts in the
    // first frame, one frame's whole milliseconds after it was set.
    world().set_tick_count(tick - static_cast<uint32_t>(world().frame_time() * 1000.0f));
    stand_west_of_home(3.0f);
    load();
    ASSERT_TRUE(run_until_spawned());
    host().run_frame();
    complete("What's Playing?");
    const char* named = film == 0 ? "MOVIE_MODERN_MEDICINE" : "MOVIE_BEAUMONT_THE_BURLY";
    const char* other = film == 0 ? "MOVIE_BEAUMONT_THE_BURLY" : "MOVIE_MODERN_MEDICINE";
    EXPECT_TRUE(host().run_until(
        [&] {
          return !world().speech.lines(named).empty() || !world().speech.lines(other).empty();
        },
        400));
    EXPECT_EQ(world().speech.lines(named).size(), 1u);
    EXPECT_TRUE(world().speech.lines(other).empty());
    test_support::expect_no_violations(world());
  }
}

TEST_F(Post, TheTakerWelcomesOnceWithinSixAndAHalfMetresNotInTheSpawnPass) {
  stand_west_of_home(3.0f);
  load();
  ASSERT_TRUE(run_until_spawned());
  const uint64_t spawn_frame =
      must(find_call(world(), "SET_SCRIPT_GFX_DRAW_BEHIND_PAUSEMENU", last)).frame;
  EXPECT_TRUE(world().speech.lines("WELCOME").empty()) << "the spawn pass greets no one";
  host().run_frames(3);

  const auto welcomes = world().speech.lines("WELCOME");
  ASSERT_EQ(welcomes.size(), 1u);
  EXPECT_EQ(welcomes.front()->frame, spawn_frame + 1);
  EXPECT_EQ(welcomes.front()->ped, taker());
  EXPECT_EQ(welcomes.front()->voice, voice_for(last_voice_draw()));
  EXPECT_EQ(welcomes.front()->params, sim::joaat("SPEECH_PARAMS_BEAT_SPOKEN_CLEAR"));
  EXPECT_EQ(taker_activity().look_target, world().player_ped());
  EXPECT_EQ(taker_activity().look_ms, 5000);

  host().run_for_ms(10000);
  EXPECT_EQ(world().speech.lines("WELCOME").size(), 1u);
}

TEST_F(Post, NoWelcomeBeyondSixAndAHalfMetres) {
  stand_west_of_home(7.0f);
  load();
  ASSERT_TRUE(run_until_spawned());
  host().run_for_ms(3000);
  EXPECT_TRUE(world().speech.lines("WELCOME").empty());
  stand_west_of_home(6.0f);
  host().run_frame();
  EXPECT_EQ(world().speech.lines("WELCOME").size(), 1u);
}

TEST_F(Post, BetweenNinetyAndOneHundredTenMetresNothingIsMadeOrRemoved) {
  stand_west_of_home(100.0f);
  load();
  host().run_frames(5);
  stand_west_of_home(95.0f);
  host().run_frames(5);
  stand_west_of_home(100.0f);
  host().run_frames(5);
  EXPECT_EQ(world().count_calls("BLIP_ADD_FOR_COORDS"), 0u);
  EXPECT_EQ(taker(), 0);

  stand_west_of_home(85.0f);
  ASSERT_TRUE(run_until_spawned());
  const int32_t first_taker = taker();
  stand_west_of_home(100.0f);
  host().run_frames(5);
  stand_west_of_home(95.0f);
  host().run_frames(5);
  EXPECT_EQ(taker(), first_taker);
  EXPECT_EQ(world().blips.live().size(), 1u);
  EXPECT_EQ(live_audience(), 7u);
  EXPECT_EQ(world().count_calls("BLIP_ADD_FOR_COORDS"), 1u);
  EXPECT_EQ(world().count_calls("REMOVE_BLIP"), 0u);
}

// The distance the game answers for the player and the taker's home.
float home_distance(const sim::World& w) {
  return sim::distance(w.player_position(), sim::Vec{home_x, home_y, home_z});
}

TEST_F(Post, TheOpeningDistanceIsStrictlyBelowNinetyMetres) {
  stand_west_of_home(90.0f);
  ASSERT_EQ(home_distance(world()), 90.0f);
  load();
  host().run_frames(10);
  EXPECT_EQ(world().count_calls("BLIP_ADD_FOR_COORDS"), 0u) << "nothing opens at 90.0";
  EXPECT_EQ(taker(), 0);

  stand_west_of_home(89.99f);
  ASSERT_LT(home_distance(world()), 90.0f);
  ASSERT_TRUE(run_until_spawned());
  EXPECT_NE(taker(), 0);
  EXPECT_EQ(world().blips.live().size(), 1u);
}

TEST_F(Post, TheClosingDistanceIsStrictlyAboveOneHundredTenMetres) {
  stand_west_of_home(50.0f);
  load();
  ASSERT_TRUE(run_until_spawned());
  const int32_t present = taker();

  stand_west_of_home(110.0f);
  ASSERT_EQ(home_distance(world()), 110.0f);
  host().run_frames(10);
  EXPECT_EQ(taker(), present) << "nothing closes at 110.0";
  EXPECT_EQ(world().blips.live().size(), 1u);
  EXPECT_EQ(live_audience(), 7u);

  stand_west_of_home(110.01f);
  ASSERT_GT(home_distance(world()), 110.0f);
  host().run_frame();
  EXPECT_EQ(taker(), 0);
  EXPECT_TRUE(world().blips.live().empty());
  EXPECT_EQ(live_audience(), 0u);
}

TEST_F(Post, TheGreetingComesOnlyStrictlyWithinSixAndAHalfMetresOfTheTaker) {
  stand_west_of_home(7.0f);
  load();
  ASSERT_TRUE(run_until_spawned());
  host().run_frames(2);
  const sim::EntityState& t = must(find_entity(world(), taker()));
  ASSERT_EQ(sim::distance(world().player_position(), t.position), 7.0f);

  stand_west_of_home(6.5f);
  ASSERT_EQ(sim::distance(world().player_position(), t.position), 6.5f);
  host().run_frames(5);
  EXPECT_TRUE(world().speech.lines("WELCOME").empty()) << "no greeting at 6.5";

  stand_west_of_home(6.49f);
  host().run_frame();
  EXPECT_EQ(world().speech.lines("WELCOME").size(), 1u);
}

// The game may give the player a new ped at any time; every distance is
// measured from the ped he has now.
TEST_F(Post, DistancesAreMeasuredFromThePlayersCurrentPed) {
  stand_west_of_home(200.0f);
  load();
  host().run_frames(3);
  const int32_t first = world().player_ped();
  ASSERT_NE(world().replace_player_ped("PLAYER_ZERO"), first);
  ASSERT_FALSE(world().exists(first));

  stand_west_of_home(80.0f);
  ASSERT_TRUE(run_until_spawned()) << "the new ped opens the post";
  const int32_t present = taker();
  stand_west_of_home(7.0f);
  world().replace_player_ped("PLAYER_ZERO");
  host().run_frames(5);
  EXPECT_EQ(taker(), present) << "a new ped 7 m away keeps the post";
  EXPECT_TRUE(world().speech.lines("WELCOME").empty());

  stand_west_of_home(6.0f);
  host().run_frame();
  EXPECT_EQ(world().speech.lines("WELCOME").size(), 1u) << "the new ped is greeted where he stands";

  stand_west_of_home(111.0f);
  host().run_frame();
  EXPECT_EQ(taker(), 0) << "the new ped's walk away closes the post";
}

TEST_F(Post, BeyondOneHundredTenMetresAllThePostMadeIsRemovedAndAReturnMakesANewOne) {
  stand_west_of_home(3.0f);
  load();
  ASSERT_TRUE(run_until_spawned());
  const int32_t first_taker = taker();
  world().tv.channel = 1;

  stand_west_of_home(111.0f);
  host().run_frame();
  EXPECT_EQ(taker(), 0);
  EXPECT_FALSE(world().exists(first_taker));
  EXPECT_EQ(live_audience(), 0u);
  EXPECT_TRUE(world().blips.live().empty());
  EXPECT_TRUE(audience_chairs().empty()) << "no chairs pile up per visit";
  EXPECT_EQ(world().live_entities("sh_church_chair").size(), 1u) << "the player's chair stays";
  EXPECT_TRUE(world().points.live().empty()) << "nor seat points";
  EXPECT_EQ(world().tv.channel, -1) << "the despawn switches the film channel off";

  host().run_frames(10);
  EXPECT_EQ(world().count_calls("BLIP_ADD_FOR_COORDS"), 1u) << "away, nothing comes back";

  stand_west_of_home(89.0f);
  ASSERT_TRUE(run_until_spawned());
  EXPECT_NE(taker(), 0);
  EXPECT_NE(taker(), first_taker);
  EXPECT_EQ(live_audience(), 7u);
  EXPECT_EQ(audience_chairs().size(), 7u);
  EXPECT_EQ(world().blips.live().size(), 1u);
  EXPECT_EQ(voice_draws().size(), 3u) << "a new presence draws its voice again";
  EXPECT_TRUE(prompt("What's Playing?").switched_on());
  EXPECT_FALSE(world().prompt_offered(prompt("What's Playing?"))) << "89 m from the taker";
}

TEST_F(Post, ADespawnAfterTheGameTookTheTakerStillRemovesTheAudience) {
  stand_west_of_home(3.0f);
  load();
  ASSERT_TRUE(run_until_spawned());
  const int32_t gone = taker();
  world().remove_entity(gone);
  host().run_frames(2);

  stand_west_of_home(120.0f);
  host().run_frame();
  EXPECT_EQ(live_audience(), 0u);
  EXPECT_TRUE(audience_chairs().empty());
  EXPECT_TRUE(world().blips.live().empty());
  for (const auto* r : world().calls_to("DELETE_PED")) {
    EXPECT_NE(r->args.front().text, std::to_string(gone)) << "no delete of a taker that is gone";
  }
}

// The player goes in among the audience and back out to the counter.
class Visits : public CinemaPost {
 protected:
  void SetUp() override {
    CinemaPost::SetUp();
    stand_west_of_home(5.0f);
    load();
    ASSERT_TRUE(run_until_spawned());
    host().run_frame();
    world().tv.channel = 1;  // a film is on
  }

  // The player steps out to the counter; the game time that pass stamped as
  // his walk-out, 0 if it noticed none.
  uint32_t walk_out_time() {
    const uint64_t f = world().frame();
    stand_west_of_home(8.0f);
    host().run_frame();
    return walk_out_stamp(f + 1);
  }

  void go_in() {
    stand_inside();
    host().run_frame();
  }
};

TEST_F(Visits, WalkingOutWithoutEverEnteringArmsNothing) {
  EXPECT_EQ(walk_out_time(), 0u);
  host().run_for_ms(6000);
  EXPECT_EQ(world().tv.channel, 1);
  stand_west_of_home(2.0f);
  host().run_frames(3);
  EXPECT_TRUE(world().speech.lines("FAREWELL_DURING_SHOW").empty());
}

TEST_F(Visits, TheChannelGoesOffInTheFirstPassMoreThanFiveSecondsAfterTheWalkOut) {
  go_in();
  const uint32_t left = walk_out_time();
  ASSERT_NE(left, 0u) << "the walk-out is noticed although outside the query writes nothing";
  uint32_t last_on = left;
  while (world().tv.channel == 1 && world().game_timer() - left < 7000) {
    last_on = world().game_timer();
    host().run_frame();
  }
  ASSERT_EQ(world().tv.channel, -1);
  EXPECT_GT(world().game_timer() - left, 5000u);
  EXPECT_LE(last_on - left, 5000u) << "not a pass later than needed";
}

TEST_F(Visits, TheFarewellComesOnceWithinFourAndAHalfMetres) {
  go_in();
  ASSERT_NE(walk_out_time(), 0u);
  stand_west_of_home(5.0f);
  host().run_frames(5);
  EXPECT_TRUE(world().speech.lines("FAREWELL_DURING_SHOW").empty());

  stand_west_of_home(4.0f);
  host().run_frame();
  const auto farewells = world().speech.lines("FAREWELL_DURING_SHOW");
  ASSERT_EQ(farewells.size(), 1u);
  EXPECT_EQ(farewells.front()->ped, taker());
  EXPECT_EQ(taker_activity().look_target, world().player_ped());
  host().run_for_ms(6000);
  EXPECT_EQ(world().tv.channel, -1);

  // Again in and out in the same presence: nothing more is armed.
  world().tv.channel = 1;
  go_in();
  EXPECT_EQ(walk_out_time(), 0u);
  stand_west_of_home(2.0f);
  host().run_for_ms(6000);
  EXPECT_EQ(world().tv.channel, 1);
  EXPECT_EQ(world().speech.lines("FAREWELL_DURING_SHOW").size(), 1u);
}

TEST_F(Visits, TheFarewellComesOnlyStrictlyWithinFourAndAHalfMetresOfTheTaker) {
  go_in();
  ASSERT_NE(walk_out_time(), 0u);
  const sim::EntityState& t = must(find_entity(world(), taker()));
  stand_west_of_home(4.5f);
  ASSERT_EQ(sim::distance(world().player_position(), t.position), 4.5f);
  host().run_frames(5);
  EXPECT_TRUE(world().speech.lines("FAREWELL_DURING_SHOW").empty()) << "no farewell at 4.5";

  stand_west_of_home(4.49f);
  host().run_frame();
  EXPECT_EQ(world().speech.lines("FAREWELL_DURING_SHOW").size(), 1u);
}

TEST_F(Visits, TheFarewellIsMeasuredFromThePlayersCurrentPed) {
  go_in();
  world().replace_player_ped("PLAYER_ZERO");  // inside, where the old one stood
  ASSERT_NE(walk_out_time(), 0u);
  stand_west_of_home(5.0f);
  host().run_frames(3);
  EXPECT_TRUE(world().speech.lines("FAREWELL_DURING_SHOW").empty());
  stand_west_of_home(4.0f);
  host().run_frame();
  EXPECT_EQ(world().speech.lines("FAREWELL_DURING_SHOW").size(), 1u);
}

TEST_F(Visits, AnEntryWhileNoFilmIsOnStillCounts) {
  world().tv.channel = -1;
  go_in();
  world().tv.channel = 1;
  EXPECT_NE(walk_out_time(), 0u);
}

TEST_F(Visits, ANewPresenceStartsCountingEntriesAfresh) {
  go_in();
  stand_west_of_home(120.0f);  // leaves the theater and the post at once
  host().run_frames(2);
  stand_west_of_home(5.0f);
  ASSERT_TRUE(run_until_spawned());
  world().tv.channel = 1;
  host().run_frame();
  EXPECT_EQ(walk_out_time(), 0u) << "entries of the last presence do not count";
  go_in();
  EXPECT_NE(walk_out_time(), 0u) << "and the latch of the last presence is gone";
}

// The taker turned, was pushed or walked off his point: the greeting and the
// farewell are measured from where he stands, not from his post.
TEST_F(Post, GreetingAndFarewellAreMeasuredFromTheTakerWhereverHeStands) {
  stand_west_of_home(20.0f);
  load();
  ASSERT_TRUE(run_until_spawned());
  host().run_frame();
  sim::EntityState* t = world().entity(taker());
  ASSERT_NE(t, nullptr);
  t->position = sim::Vec{home_x - 12.0f, home_y, home_z};  // away from the theater's door

  stand_west_of_home(3.0f);  // near the post, 9 m from him
  host().run_frames(3);
  EXPECT_TRUE(world().speech.lines("WELCOME").empty()) << "measured from the post";
  stand_west_of_home(9.0f);  // 3 m from him
  host().run_frame();
  EXPECT_EQ(world().speech.lines("WELCOME").size(), 1u);

  world().tv.channel = 1;
  stand_inside();
  host().run_frame();
  stand_west_of_home(3.0f);  // out, 9 m from him
  host().run_frames(3);
  ASSERT_EQ(world().tv.channel, 1) << "walked out less than 5 s ago";
  EXPECT_TRUE(world().speech.lines("FAREWELL_DURING_SHOW").empty()) << "measured from the post";
  stand_west_of_home(8.5f);  // 3.5 m from him
  host().run_frame();
  EXPECT_EQ(world().speech.lines("FAREWELL_DURING_SHOW").size(), 1u);
}

TEST_F(Post, AnOutOfServiceTakerClosesTheCounterForTheRestOfThePresence) {
  stand_west_of_home(5.0f);
  load();
  ASSERT_TRUE(run_until_spawned());
  host().run_frame();
  ASSERT_TRUE(world().prompt_offered(buy_prompt()));
  const int starts = taker_activity().scenario_starts;

  world().peds.kill(world(), taker());
  host().run_frame();
  EXPECT_FALSE(buy_prompt().switched_on());
  EXPECT_FALSE(prompt("What's Playing?").switched_on());
  EXPECT_TRUE(must(find_blip(world())).has(sim::joaat("BLIP_MODIFIER_LOCKED")));
  EXPECT_EQ(taker_activity().scenario_starts, starts) << "a dead taker idles not";

  world().peds.get(taker()).dead = false;
  host().run_frames(3);
  EXPECT_FALSE(buy_prompt().switched_on());
  EXPECT_FALSE(world().complete_prompt(buy_prompt().handle)) << "no ticket can be bought";

  stand_west_of_home(115.0f);
  host().run_frame();
  stand_west_of_home(5.0f);
  ASSERT_TRUE(run_until_spawned());
  EXPECT_TRUE(world().prompt_offered(buy_prompt())) << "the next presence opens the counter again";
  EXPECT_FALSE(must(find_blip(world())).has(sim::joaat("BLIP_MODIFIER_LOCKED")));
}

TEST_F(Post, AFleeingTakerClosesTheCounterToo) {
  stand_west_of_home(5.0f);
  load();
  ASSERT_TRUE(run_until_spawned());
  const int starts = taker_activity().scenario_starts;
  world().peds.scare(world(), taker());
  host().run_frame();
  EXPECT_FALSE(prompt("What's Playing?").switched_on());
  EXPECT_TRUE(must(find_blip(world())).has(sim::joaat("BLIP_MODIFIER_LOCKED")));
  host().run_frames(5);
  EXPECT_EQ(taker_activity().scenario_starts, starts) << "left to flee, not put back to idle";
  EXPECT_TRUE(taker_activity().fleeing);
}

TEST_F(Post, ATakerOutOfHisScenarioIsSentBackToIt) {
  stand_west_of_home(5.0f);
  load();
  ASSERT_TRUE(run_until_spawned());
  host().run_frame();
  sim::PedActivity& a = world().peds.get(taker());
  const int starts = a.scenario_starts;
  host().run_frames(3);
  EXPECT_EQ(a.scenario_starts, starts) << "left alone while he keeps it";
  a.scenario = 0;
  host().run_frame();
  EXPECT_EQ(a.scenario_starts, starts + 1);
  EXPECT_EQ(a.scenario, sim::joaat("WORLD_HUMAN_STARE_STOIC"));
}

TEST_F(Post, TalkingAudienceMembersAreHushedEachPass) {
  stand_west_of_home(5.0f);
  load();
  ASSERT_TRUE(run_until_spawned());
  const auto members = world().live_entities("a_f_m_tumtownfolk_01");
  ASSERT_FALSE(members.empty());
  const int32_t talker = members.front()->handle;
  world().speech.start_talking(world(), talker);
  host().run_frame();
  EXPECT_FALSE(world().speech.talking(world(), talker));
  EXPECT_GE(world().count_calls("STOP_CURRENT_PLAYING_AMBIENT_SPEECH"), 1u);
}

TEST_F(Post, AQuietPassMakesThirtyNineNativeCalls) {
  stand_west_of_home(5.0f);
  load();
  ASSERT_TRUE(run_until_spawned());
  host().run_frames(3);  // greeted, audience seated
  world().clear_record();
  host().run_frame();
  EXPECT_EQ(world().calls().size(), 39u) << world().record_text();

  // With a film channel on, the leave test asks for the interior as well.
  world().tv.channel = 1;
  world().clear_record();
  host().run_frame();
  EXPECT_EQ(world().calls().size(), 43u) << world().record_text();
}

}  // namespace
}  // namespace cinema_test
