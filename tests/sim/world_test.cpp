// Rules of the simulated game that the plug-ins' behaviour rests on.

#include <gtest/gtest.h>

#include "finders.h"
#include "host.h"
#include "joaat.h"
#include "natives.h"
#include "sim_test.h"
#include "test_script.h"

using sim::Host;
using test_support::run_script;

namespace {

using World = test_support::SimTest;

TEST_F(World, NamesHashAsTheGameHashesThem) {
  EXPECT_EQ(sim::joaat("a"), 0xCA2E9442u);
  // One-at-a-time of the lower-cased text (0x519E91F5 for the text as written).
  EXPECT_EQ(sim::joaat("The quick brown fox jumps over the lazy dog"), 0x2D1643CEu);
  EXPECT_EQ(sim::joaat("PLAYER_ZERO"), sim::joaat("player_zero"));
}

TEST_F(World, ModelLoadsTheConfiguredNumberOfFramesAfterItsRequest) {
  world().model("p_toytrain01x").load_frames = 3;
  std::vector<bool> loaded;
  test_support::start_script([&] {
    const Hash model = get_hash_key("p_toytrain01x");
    loaded.push_back(has_model_loaded(model));
    request_model(model, true);
    for (int n = 0; n < 4; ++n) {
      loaded.push_back(has_model_loaded(model));
      scriptWait(0);
    }
  });
  Host::get().run_frames(6);
  EXPECT_EQ(loaded, (std::vector<bool>{false, false, false, false, true}));
}

TEST_F(World, OnlyAnOfferedPromptCanBeCompleted) {
  Prompt prompt = 0;
  ASSERT_TRUE(run_script([&] {
    prompt = ui_prompt_register_begin();
    ui_prompt_set_standard_mode(prompt, false);
    ui_prompt_register_end(prompt);
  }));
  EXPECT_FALSE(world().complete_prompt(prompt)) << "switched off";
  ASSERT_TRUE(run_script([&] {
    ui_prompt_set_enabled(prompt, true);
    ui_prompt_set_visible(prompt, true);
  }));
  EXPECT_TRUE(world().complete_prompt(prompt));
  bool seen = false;
  bool seen_next_frame = true;
  bool seen_as_hold = true;
  ASSERT_TRUE(run_script([&] {
    seen = ui_prompt_has_standard_mode_completed(prompt, 0);
    seen_as_hold = ui_prompt_has_hold_mode_completed(prompt);
    scriptWait(0);
    seen_next_frame = ui_prompt_has_standard_mode_completed(prompt, 0);
  }));
  EXPECT_TRUE(seen);
  EXPECT_FALSE(seen_as_hold) << "a standard prompt does not complete a hold";
  EXPECT_FALSE(seen_next_frame) << "a completion lasts one frame";
}

// A context point is seen within its radius only: with none, from nowhere,
// not even standing on it. An entity's group is seen while the entity lives.
TEST_F(World, APromptIsOfferedWithinItsPointsRadiusAndWhileItsGroupsEntityLives) {
  const sim::Vec me = world().player_position();
  const int32_t ped =
      world().create_entity(sim::EntityKind::ped, sim::joaat("a_f_m_tumtownfolk_01"),
                            sim::Vec{me.x + 1.0f, me.y, me.z}, 0.0f);
  const auto shown = [](Prompt p) {
    ui_prompt_set_enabled(p, true);
    ui_prompt_set_visible(p, true);
    ui_prompt_register_end(p);
  };
  Prompt pointed = 0;
  Prompt grouped = 0;
  ASSERT_TRUE(run_script([&] {
    pointed = ui_prompt_register_begin();
    ui_prompt_context_set_point(pointed, me.x, me.y, me.z);
    shown(pointed);
    grouped = ui_prompt_register_begin();
    ui_prompt_set_group(grouped, ui_prompt_get_group_id_for_target_entity(ped), 0);
    shown(grouped);
  }));
  EXPECT_FALSE(world().prompt_offered(pointed)) << "a point with no radius";
  EXPECT_TRUE(world().prompt_offered(grouped));
  ASSERT_TRUE(run_script([&] { ui_prompt_context_set_radius(pointed, 2.0f); }));
  EXPECT_TRUE(world().prompt_offered(pointed));

  int withdrawn = 0;
  world().journal.each(sim::EntryKind::withdrawn, [&](const sim::Entry&) { ++withdrawn; });
  world().remove_entity(ped);
  Host::get().run_frames(1);
  EXPECT_FALSE(world().prompt_offered(grouped)) << "its entity is gone";
  int now_withdrawn = 0;
  world().journal.each(sim::EntryKind::withdrawn, [&](const sim::Entry&) { ++now_withdrawn; });
  EXPECT_EQ(now_withdrawn, withdrawn + 1) << "told as withdrawn";
}

// A channel drawn into a target counts only once the target is linked to a
// thing that carries it; the draw's opacity is kept.
TEST_F(World, ARenderTargetIsDrawnIntoOnlyOnceLinked) {
  const auto draw = [] {
    set_text_render_id(get_named_rendertarget_render_id("bla_theater"));
    draw_tv_channel(0.5f, 0.5f, 1.0f, 1.0f, 0.0f, 255, 255, 255, 155);
  };
  ASSERT_TRUE(run_script([&] {
    register_named_rendertarget("bla_theater", false);
    link_named_rendertarget(get_hash_key("script_rt_arm_screen"));  // nothing carries it
    draw();
  }));
  const sim::RenderTarget& t = *world().tv.target("bla_theater");
  EXPECT_FALSE(t.linked);
  EXPECT_EQ(t.draws, 0) << "never linked, never drawn into";

  world().create_entity(sim::EntityKind::object, sim::joaat("script_rt_arm_screen"), {}, 0.0f);
  ASSERT_TRUE(run_script([&] {
    link_named_rendertarget(get_hash_key("script_rt_arm_screen"));
    draw();
  }));
  EXPECT_TRUE(t.linked);
  EXPECT_EQ(t.draws, 1);
  EXPECT_EQ(t.last_draw_alpha, 155);
}

// A reader that begins after the game has run is told what it holds: the
// money, each channel's playlist before the channel the TV is on, and where
// the player stands, each once.
TEST_F(World, AReaderIsToldWhatTheWorldHoldsAsItBegins) {
  ASSERT_TRUE(run_script([] {
    money_decrement_cash_balance(250);
    set_tv_channel_playlist(2, "PL_STD_CARTOON", false);
    set_tv_channel_playlist(1, "PL_TOON_WORLDS_STRONGEST_MAN", false);
    set_tv_channel(1);
  }));
  world().place_player(10.0f, -20.0f, 3.0f);
  const uint64_t from = world().journal.end();
  world().tell_found();
  std::vector<std::string> told;
  for (uint64_t n = from; n < world().journal.end(); ++n) {
    const sim::Entry& e = world().journal[n];
    switch (e.kind) {
      case sim::EntryKind::found_money:
        told.push_back("money " + std::to_string(e.found_money.cash));
        break;
      case sim::EntryKind::found_playlist:
        told.push_back("playlist " + std::to_string(e.found_playlist.channel) + " " +
                       std::string(e.found_playlist.playlist));
        break;
      case sim::EntryKind::found_channel:
        told.push_back("channel " + std::to_string(e.found_channel.channel));
        break;
      case sim::EntryKind::found_player:
        told.push_back("player " + std::to_string(static_cast<int>(e.found_player.player.x)) + " " +
                       std::to_string(static_cast<int>(e.found_player.player.y)));
        break;
      default:
        ADD_FAILURE() << "not a finding: " << sim::entry_kind_name(e.kind);
    }
  }
  EXPECT_EQ(told,
            (std::vector<std::string>{"money 4750", "playlist 1 PL_TOON_WORLDS_STRONGEST_MAN",
                                      "playlist 2 PL_STD_CARTOON", "channel 1", "player 10 -20"}));
}

TEST_F(World, RandomDrawsStayInRangeAndRepeatForTheSameSeed) {
  world().seed(7);
  std::vector<int> first;
  for (int n = 0; n < 200; ++n) first.push_back(world().random_in_range(0, 100));
  for (int v : first) {
    EXPECT_GE(v, 0);
    EXPECT_LT(v, 100);
  }
  world().seed(7);
  for (int n = 0; n < 200; ++n) EXPECT_EQ(world().random_in_range(0, 100), first[n]);
  EXPECT_EQ(world().random_in_range(0, 0), 0);
  EXPECT_EQ(world().random_in_range(5, 2), 5) << "an empty range yields its lower bound";
}

TEST_F(World, AFailingNativeAnswersZeroAndActsOnNothing) {
  world().fail_native(0x509D5878EB39E842);  // CREATE_OBJECT
  world().model("sh_church_chair").load_frames = 0;
  Object chair = -1;
  ASSERT_TRUE(run_script([&] {
    const Hash model = get_hash_key("sh_church_chair");
    request_model(model, true);
    chair = create_object(model, 1, 2, 3, true, true, false, false, false);
  }));
  EXPECT_EQ(chair, 0);
  EXPECT_TRUE(world().live_entities("sh_church_chair").empty());
}

TEST_F(World, DeletingAnEntityClearsTheCallersHandle) {
  const int32_t chair = world().create_entity(sim::EntityKind::object, 1, {}, 0);
  world().owners.give(sim::Thing::entity, chair, test_support::test_plugin());
  Entity handle = chair;
  ASSERT_TRUE(run_script([&] { delete_entity(&handle); }));
  EXPECT_EQ(handle, 0);
  EXPECT_FALSE(world().exists(chair));
}

TEST_F(World, RotationWritesAccumulateHowFarAnEntityTurned) {
  const int32_t train = world().create_entity(sim::EntityKind::object, 1, {}, 350.0f);
  world().owners.give(sim::Thing::entity, train, test_support::test_plugin());
  ASSERT_TRUE(run_script([&] {
    for (int n = 0; n < 4; ++n) {
      set_entity_rotation(train, 0, 0, get_entity_heading(train) + 10.0f, 2, true);
    }
  }));
  const sim::EntityState& turned = test_support::must(test_support::find_entity(world(), train));
  EXPECT_NEAR(turned.turned, 40.0, 1e-3);
  EXPECT_NEAR(sim::World::heading_of(turned), 30.0f, 1e-3);
}

}  // namespace
