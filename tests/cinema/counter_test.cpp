// The ticket counter's pieces: the buy prompt, the hand-over scene and the
// player's own lines.

#include "counter.h"

#include <gtest/gtest.h>

#include "cinema_fixture.h"
#include "test_script.h"

namespace cinema_test {
namespace {

using test_support::run_script;
using Counter = CinemaPost;

std::vector<std::string> names(const std::vector<sim::CallRecord>& calls) {
  std::vector<std::string> out;
  for (const auto& r : calls) out.push_back(r.row != nullptr ? r.row->name : "?");
  return out;
}

TEST_F(Counter, TheBuyPromptIsMadeInItsOwnOrderAndStartsOn) {
  Prompt p = 0;
  ASSERT_TRUE(run_script([&] { p = create_buy_prompt(); }));
  const std::vector<std::string> expected = {"_UI_PROMPT_GET_GROUP_ID_FOR_TARGET_ENTITY",
                                             "VAR_STRING",
                                             "_UI_PROMPT_REGISTER_BEGIN",
                                             "_UI_PROMPT_SET_GROUP",
                                             "_UI_PROMPT_SET_TYPE",
                                             "VAR_STRING",
                                             "_UI_PROMPT_SET_TEXT",
                                             "GET_HASH_KEY",
                                             "_UI_PROMPT_SET_CONTROL_ACTION",
                                             "_UI_PROMPT_SET_PRIORITY",
                                             "_UI_PROMPT_SET_STANDARD_MODE",
                                             "_UI_PROMPT_SET_ENABLED",
                                             "_UI_PROMPT_SET_VISIBLE",
                                             "_UI_PROMPT_REGISTER_END"};
  EXPECT_EQ(names(world().calls()), expected);
  const sim::PromptState* prompt = world().prompt(p);
  ASSERT_NE(prompt, nullptr);
  EXPECT_TRUE(prompt->offered());
  EXPECT_EQ(prompt->group, world().group_for_entity(0));
  EXPECT_EQ(prompt->type, 0);
  EXPECT_EQ(prompt->priority, 3);
  EXPECT_EQ(prompt->mode, sim::PromptMode::standard);
  EXPECT_EQ(prompt->control, sim::joaat("INPUT_CONTEXT_X"));
  EXPECT_EQ(world().calls_to("VAR_STRING").front()->text(),
            "VAR_STRING(2, \"CASH_STRING\", 100) -> \"$1.00\"");
}

TEST_F(Counter, TheLabelCarriesTheGamesCashTextCharacterForCharacter) {
  world().cash_text = [](int amount) { return "\xC2\xA3" + std::to_string(amount) + ",00 (cash)"; };
  Prompt p = 0;
  ASSERT_TRUE(run_script([&] { p = create_buy_prompt(); }));
  EXPECT_EQ(world().prompt(p)->label,
            "Buy Ticket (\xC2\xA3"
            "100,00 (cash))");
}

TEST_F(Counter, AGameThatGivesNoTextStillGetsAWorkingPrompt) {
  world().fail_native(0xFA925AC00EB830B9);  // VAR_STRING answers null
  Prompt p = 0;
  ASSERT_TRUE(run_script([&] { p = create_buy_prompt(); }));
  ASSERT_NE(world().prompt(p), nullptr);
  EXPECT_TRUE(world().prompt(p)->offered());
  EXPECT_EQ(world().count_calls("_UI_PROMPT_SET_TEXT"), 0u) << "no null label is handed on";
}

class Handover : public CinemaPost {
 protected:
  CinemaState s;
  void SetUp() override {
    CinemaPost::SetUp();
    world().model("s_m_m_blwdealer_01").loaded = true;
    // The taker has stepped aside and turned; the scene still stands at his home.
    s.ticket_taker = world().create_entity(sim::EntityKind::ped, sim::joaat("s_m_m_blwdealer_01"),
                                           sim::Vec{home_x + 1.0f, home_y, home_z}, 30.0f);
  }
};

TEST_F(Handover, TheFirstSceneIsLoadedPlacedAtTheHomeAndGivenItsThreeRoles) {
  world().anim_scenes.load_frames = 4;
  uint64_t frames = 0;
  ASSERT_TRUE(run_script([&] {
    const uint64_t start = world().frame();
    setup_handover_scene(s);
    frames = world().frame() - start;
  }));
  EXPECT_EQ(world().calls().front().text(), "DOES_ANIM_SCENE_EXIST(0) -> 0");
  EXPECT_EQ(world().calls_to("REQUEST_ANIM_SCENE_PLAY_LIST").front()->text(),
            "REQUEST_ANIM_SCENE_PLAY_LIST(0, \"pb_handover\") -> 0");
  EXPECT_EQ(world().count_calls("ABORT_ANIM_SCENE"), 0u);
  EXPECT_GE(frames, 4u);

  const sim::AnimSceneState* scene = world().anim_scenes.scene(s.handover_scene);
  ASSERT_NE(scene, nullptr);
  EXPECT_TRUE(scene->loaded);
  EXPECT_EQ(scene->dictionary, "script@proc@handovers@player_handovers@give_money_new");
  EXPECT_FLOAT_EQ(scene->origin.x, home_x);
  EXPECT_FLOAT_EQ(scene->origin.y, home_y);
  EXPECT_FLOAT_EQ(scene->origin.z, home_z);
  EXPECT_FLOAT_EQ(scene->rotation.z, 30.0f);
  EXPECT_EQ(scene->rotation_order, 2);
  EXPECT_EQ(scene->roles.at("player"), std::make_pair(world().player_ped(), 0));
  EXPECT_EQ(scene->roles.at("male"), std::make_pair(s.ticket_taker, 0));
  EXPECT_EQ(scene->roles.at("money"), std::make_pair(s.money_prop, 16));
  ASSERT_TRUE(world().exists(s.money_prop));
  EXPECT_EQ(world().entity(s.money_prop)->model, sim::joaat("s_inv_moneyclip01x"));
  EXPECT_FLOAT_EQ(world().entity(s.money_prop)->position.x, home_x);
}

TEST_F(Handover, ASecondPurchaseEndsTheFirstSceneAndItsMoneyClip) {
  int32_t first_scene = 0;
  Object first_money = 0;
  ASSERT_TRUE(run_script([&] {
    setup_handover_scene(s);
    first_scene = s.handover_scene;
    first_money = s.money_prop;
    setup_handover_scene(s);
  }));
  EXPECT_EQ(world().anim_scenes.scenes.at(first_scene).aborted, true);
  EXPECT_EQ(world().anim_scenes.scene(first_scene), nullptr);
  EXPECT_FALSE(world().exists(first_money));
  EXPECT_EQ(world().anim_scenes.live_count(), 1);
  EXPECT_TRUE(world().exists(s.money_prop));
  EXPECT_NE(s.handover_scene, first_scene);
}

TEST_F(Counter, ThePlayerSpeaksInTheVoiceOfHisCharacter) {
  ASSERT_TRUE(run_script([&] { player_say_line("WHATS_PLAYING"); }));
  world().replace_player_ped("PLAYER_THREE");
  ASSERT_TRUE(run_script([&] { player_say_line("TICKET_PLEASE"); }));
  const auto& spoken = world().speech.spoken;
  ASSERT_EQ(spoken.size(), 2u);
  EXPECT_EQ(spoken[0].line, "WHATS_PLAYING");
  EXPECT_EQ(spoken[0].voice, "ARTHUR");
  EXPECT_EQ(spoken[1].line, "TICKET_PLEASE");
  EXPECT_EQ(spoken[1].voice, "JOHN_PLAYER");
  EXPECT_EQ(spoken[1].ped, world().player_ped());
  EXPECT_EQ(spoken[1].params, sim::joaat("SPEECH_PARAMS_BEAT_SPOKEN_CLEAR"));
}

TEST_F(Counter, AnotherPlayerModelSaysNothing) {
  world().replace_player_ped("mp_male");
  ASSERT_TRUE(run_script([&] { player_say_line("WHATS_PLAYING"); }));
  EXPECT_EQ(names(world().calls()), (std::vector<std::string>{"PLAYER_PED_ID", "GET_ENTITY_MODEL",
                                                              "GET_HASH_KEY", "GET_HASH_KEY"}));
  EXPECT_TRUE(world().speech.spoken.empty());
}

}  // namespace
}  // namespace cinema_test
