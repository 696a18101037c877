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
  for (const auto& r : calls) out.push_back(test_support::call_name(r));
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
  const sim::PromptState& buy = must(find_prompt(world(), p));
  EXPECT_TRUE(buy.switched_on());
  EXPECT_EQ(buy.group, world().group_for_entity(0));
  EXPECT_EQ(buy.type, 0);
  EXPECT_EQ(buy.priority, 3);
  EXPECT_EQ(buy.mode, sim::PromptMode::standard);
  EXPECT_EQ(buy.control, sim::joaat("INPUT_CONTEXT_X"));
  EXPECT_EQ(must(find_call(world(), "VAR_STRING")).text(),
            "VAR_STRING(2, \"CASH_STRING\", 100) -> \"$1.00\"")
      << "a ticket costs $1.00";
  EXPECT_EQ(buy.label, "Buy Ticket ($1.00)");
}

TEST_F(Counter, TheLabelCarriesTheGamesCashTextCharacterForCharacter) {
  world().cash_text = [](int) {
    return "\xC2\xA3"
           "1,00 (cash)";
  };
  Prompt p = 0;
  ASSERT_TRUE(run_script([&] { p = create_buy_prompt(); }));
  EXPECT_EQ(must(find_prompt(world(), p)).label,
            "Buy Ticket (\xC2\xA3"
            "1,00 (cash))");
}

TEST_F(Counter, AGameThatGivesNoTextStillGetsAWorkingPrompt) {
  world().fail_native(0xFA925AC00EB830B9);  // VAR_STRING answers null
  Prompt p = 0;
  ASSERT_TRUE(run_script([&] { p = create_buy_prompt(); }));
  EXPECT_TRUE(must(find_prompt(world(), p)).switched_on());
  EXPECT_EQ(world().count_calls("_UI_PROMPT_SET_TEXT"), 0u) << "no null label is handed on";
}

class Handover : public CinemaPost {
 protected:
  CinemaState s;

  // The entity and flags the scene gives the role `name`.
  static const std::pair<int32_t, int>& role(const sim::AnimSceneState& scene, const char* name,
                                             test_support::CallSite at = {}) {
    return must(test_support::entry(scene.roles, name, "role in the scene"), at);
  }
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
  ASSERT_FALSE(world().calls().empty());
  EXPECT_EQ(world().calls().front().text(), "DOES_ANIM_SCENE_EXIST(0) -> 0");
  EXPECT_EQ(must(find_call(world(), "REQUEST_ANIM_SCENE_PLAY_LIST")).text(),
            "REQUEST_ANIM_SCENE_PLAY_LIST(0, \"pb_handover\") -> 0");
  EXPECT_EQ(world().count_calls("ABORT_ANIM_SCENE"), 0u);
  EXPECT_GE(frames, 4u);

  const sim::AnimSceneState& scene = must(test_support::find_scene(world(), s.handover_scene));
  EXPECT_TRUE(scene.loaded);
  EXPECT_EQ(scene.dictionary, "script@proc@handovers@player_handovers@give_money_new");
  EXPECT_FLOAT_EQ(scene.origin.x, home_x);
  EXPECT_FLOAT_EQ(scene.origin.y, home_y);
  EXPECT_FLOAT_EQ(scene.origin.z, home_z);
  EXPECT_FLOAT_EQ(scene.rotation.z, 30.0f);
  EXPECT_EQ(scene.rotation_order, 2);
  EXPECT_EQ(role(scene, "player"), std::make_pair(world().player_ped(), 0));
  EXPECT_EQ(role(scene, "male"), std::make_pair(s.ticket_taker, 0));
  EXPECT_EQ(role(scene, "money"), std::make_pair(s.money_prop, 16));
  EXPECT_TRUE(world().exists(s.money_prop));
  const sim::EntityState& money = must(find_entity(world(), s.money_prop));
  EXPECT_EQ(money.model, sim::joaat("s_inv_moneyclip01x"));
  EXPECT_FLOAT_EQ(money.position.x, home_x);
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
  EXPECT_TRUE(
      must(test_support::entry(world().anim_scenes.scenes, first_scene, "anim scene")).aborted);
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
