// The game's content as the world holds it: what the game has and lacks,
// a thing's kind by its model however it was named, and the laws a mod
// leans on beside them (the ground, the clock, the player's group, what a
// script makes).

#include "content.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exports.h"
#include "host.h"
#include "joaat.h"
#include "natives.h"
#include "sim_test.h"
#include "test_script.h"

using test_support::run_script;

namespace content_test {
namespace {

using GameContent = test_support::SimTest;

namespace n {
const uint64_t in_cdimage = test_support::hash_of(sim::Native::IS_MODEL_IN_CDIMAGE);
const uint64_t is_ped_human = test_support::hash_of(sim::Native::IS_PED_HUMAN);
const uint64_t is_model_a_horse = test_support::hash_of(sim::Native::IS_THIS_MODEL_A_HORSE_);
const uint64_t is_weapon_valid = test_support::hash_of(sim::Native::IS_WEAPON_VALID);
const uint64_t is_weapon_a_gun = test_support::hash_of(sim::Native::IS_WEAPON_A_GUN);
const uint64_t give_weapon = test_support::hash_of(sim::Native::GIVE_WEAPON_TO_PED);
const uint64_t has_weapon = test_support::hash_of(sim::Native::HAS_PED_GOT_WEAPON);
const uint64_t model_dimensions = test_support::hash_of(sim::Native::GET_MODEL_DIMENSIONS);
const uint64_t anim_dict_exists = test_support::hash_of(sim::Native::DOES_ANIM_DICT_EXIST);
const uint64_t request_anim_dict = test_support::hash_of(sim::Native::REQUEST_ANIM_DICT);
const uint64_t anim_dict_loaded = test_support::hash_of(sim::Native::HAS_ANIM_DICT_LOADED);
const uint64_t request_texture_dict =
    test_support::hash_of(sim::Native::REQUEST_STREAMED_TEXTURE_DICT);
const uint64_t texture_dict_loaded =
    test_support::hash_of(sim::Native::HAS_STREAMED_TEXTURE_DICT_LOADED);
const uint64_t request_ipl_hash = test_support::hash_of(sim::Native::REQUEST_IPL_HASH);
const uint64_t is_ipl_active_hash = test_support::hash_of(sim::Native::IS_IPL_ACTIVE_HASH);
const uint64_t clock_minutes = test_support::hash_of(sim::Native::GET_CLOCK_MINUTES);
const uint64_t clock_hours = test_support::hash_of(sim::Native::GET_CLOCK_HOURS);
const uint64_t pause_clock = test_support::hash_of(sim::Native::PAUSE_CLOCK);
const uint64_t player_group = test_support::hash_of(sim::Native::GET_PLAYER_GROUP);
const uint64_t ped_group_index = test_support::hash_of(sim::Native::GET_PED_GROUP_INDEX);
const uint64_t is_mission_entity = test_support::hash_of(sim::Native::IS_ENTITY_A_MISSION_ENTITY);
const uint64_t player_id = test_support::hash_of(sim::Native::PLAYER_ID);
}  // namespace n

// The journal's notes of content, each as the timeline tells it.
std::vector<std::string> content_notes(const sim::World& w) {
  std::vector<std::string> notes;
  w.journal.each(sim::EntryKind::content,
                 [&](const sim::Entry& e) { notes.emplace_back(e.content.what); });
  return notes;
}

size_t notes_saying(const sim::World& w, const std::string& text) {
  size_t count = 0;
  for (const std::string& note : content_notes(w)) count += note == text ? 1 : 0;
  return count;
}

// Requested, then waited for a few frames more than any model takes.
bool loads(Hash model) {
  request_model(model, false);
  for (int n = 0; n < 10; ++n) scriptWait(0);
  return has_model_loaded(model);
}

TEST(ContentLists, NoLookupByNameDependsOnCase) {
  const sim::Content content;
  const struct {
    sim::ContentList list;
    const char* names[3];
  } cases[] = {
      {sim::ContentList::peds, {"a_c_cougar_01", "A_C_COUGAR_01", "A_c_Cougar_01"}},
      {sim::ContentList::vehicles, {"armysupplywagon", "ARMYSUPPLYWAGON", "ArmySupplyWagon"}},
      {sim::ContentList::objects,
       {"p_balconyflagnbx01x", "P_BALCONYFLAGNBX01X", "p_BalconyFlagNbx01x"}},
      {sim::ContentList::weapons, {"weapon_bow", "WEAPON_BOW", "Weapon_Bow"}},
      {sim::ContentList::ammo, {"ammo_arrow", "AMMO_ARROW", "Ammo_Arrow"}},
      {sim::ContentList::emotes,
       {"kit_emote_action_beckon_1", "KIT_EMOTE_ACTION_BECKON_1", "Kit_Emote_Action_Beckon_1"}},
      {sim::ContentList::train_configs,
       {"net_fetch_train_vip_rescue_00", "NET_FETCH_TRAIN_VIP_RESCUE_00",
        "Net_Fetch_Train_Vip_Rescue_00"}},
      {sim::ContentList::anim_dicts,
       {"amb_wander@code_human_drinking_wander@coffee@male_a@base",
        "AMB_WANDER@CODE_HUMAN_DRINKING_WANDER@COFFEE@MALE_A@BASE",
        "Amb_Wander@Code_Human_Drinking_Wander@Coffee@Male_A@Base"}},
      {sim::ContentList::texture_dicts,
       {"generic_textures", "GENERIC_TEXTURES", "Generic_Textures"}},
  };
  for (const auto& c : cases) {
    const sim::ContentItem* first = content.find(c.list, c.names[0]);
    ASSERT_NE(first, nullptr) << c.names[0];
    for (const char* name : c.names) EXPECT_EQ(content.find(c.list, name), first) << name;
  }
  EXPECT_FALSE(sim::NameLess{}("Generic_Textures", "generic_textures"));
  EXPECT_FALSE(sim::NameLess{}("generic_textures", "GENERIC_TEXTURES"));
  EXPECT_TRUE(sim::NameLess{}("ALPHA", "beta"));
}

TEST(ContentLists, EachListIsMarkedCompleteOrPartial) {
  for (sim::ContentList list :
       {sim::ContentList::peds, sim::ContentList::vehicles, sim::ContentList::weapons,
        sim::ContentList::ammo, sim::ContentList::emotes, sim::ContentList::train_configs}) {
    EXPECT_TRUE(sim::list_is_complete(list)) << sim::content_noun(list);
  }
  for (sim::ContentList list : {sim::ContentList::objects, sim::ContentList::anim_dicts,
                                sim::ContentList::texture_dicts, sim::ContentList::map_parts}) {
    EXPECT_FALSE(sim::list_is_complete(list)) << sim::content_noun(list);
  }
  EXPECT_TRUE(sim::Content::reads_as_ped("a_c_cougar_99"));
  EXPECT_TRUE(sim::Content::reads_as_ped("S_M_M_NOSUCHDEALER_01"));
  EXPECT_FALSE(sim::Content::reads_as_ped("s_inv_moneyclip01x")) << "props share s_ with peds";
  EXPECT_FALSE(sim::Content::reads_as_ped("p_toytrain01x"));
}

TEST_F(GameContent, AModelTheGameLacksIsInvalidNeverLoadsAndIsToldOnce) {
  bool valid = true, in_image = true, loaded = true, real_valid = false, real_loaded = false;
  ASSERT_TRUE(run_script([&] {
    const Hash misspelt = get_hash_key("a_c_cougar_99");
    valid = is_model_valid(misspelt);
    in_image = invoke<bool>(n::in_cdimage, misspelt);
    loaded = loads(misspelt);
    request_model(misspelt, false);
    const Hash cougar = get_hash_key("a_c_cougar_01");
    real_valid = is_model_valid(cougar);
    real_loaded = loads(cougar);
  }));
  EXPECT_FALSE(valid);
  EXPECT_FALSE(in_image);
  EXPECT_FALSE(loaded);
  EXPECT_TRUE(real_valid);
  EXPECT_TRUE(real_loaded);
  EXPECT_EQ(notes_saying(world(), "model a_c_cougar_99 is not in the game"), 1u);
  EXPECT_EQ(notes_saying(world(), "model a_c_cougar_01 is not in the game"), 0u);
}

TEST_F(GameContent, APedOfAModelNoPedListHasIsNeverMade) {
  Ped made = -1;
  ASSERT_TRUE(run_script([&] {
    const Hash model = get_hash_key("cougar_01");
    loads(model);  // taken for an object the stand-in does not know
    made = create_ped(model, 0, 0, 0, 0, false, false, false, false);
    create_ped(model, 0, 0, 0, 0, false, false, false, false);
  }));
  EXPECT_EQ(made, 0);
  EXPECT_EQ(notes_saying(world(), "model cougar_01 is not in the game"), 1u);
}

TEST_F(GameContent, AnObjectThePartialListLacksIsAcceptedWithOneNote) {
  Object first = 0, second = 0;
  ASSERT_TRUE(run_script([&] {
    const Hash model = get_hash_key("p_mymod_crate01x");
    ASSERT_TRUE(is_model_valid(model));
    ASSERT_TRUE(loads(model));
    first = create_object(model, 0, 0, 0, false, false, true, false, false);
    second =
        create_object(get_hash_key("P_MYMOD_CRATE01X"), 1, 0, 0, false, false, true, false, false);
  }));
  EXPECT_NE(first, 0);
  EXPECT_NE(second, 0);
  EXPECT_EQ(notes_saying(world(), "the stand-in does not know object p_mymod_crate01x"), 1u);
  EXPECT_EQ(content_notes(world()).size(), 1u);
}

TEST_F(GameContent, AKindComesFromTheModelWhetherNamedOrHashed) {
  bool cougar_human = true, townsman_human = false, horse = false, cart_horse = true;
  int outfits = 0;
  ASSERT_TRUE(run_script([&] {
    // Hashes as a mod's header writes them, never hashed by name here.
    const Hash cougar = 0x056154F7;
    const Hash townsman = 0xCF7E73BE;  // a_m_m_armtownfolk_01
    ASSERT_TRUE(loads(cougar));
    ASSERT_TRUE(loads(townsman));
    const Ped cat = create_ped(cougar, 0, 0, 0, 0, false, false, false, false);
    const Ped man = create_ped(townsman, 2, 0, 0, 0, false, false, false, false);
    cougar_human = invoke<bool>(n::is_ped_human, cat);
    townsman_human = invoke<bool>(n::is_ped_human, man);
    horse = invoke<bool>(n::is_model_a_horse, Hash{0x790B9F4B});  // a_c_horse_morgan_bay
    cart_horse = invoke<bool>(n::is_model_a_horse, Hash{0x276DFE5E});
    outfits = get_num_meta_ped_outfits(man);
  }));
  EXPECT_FALSE(cougar_human);
  EXPECT_TRUE(townsman_human);
  EXPECT_TRUE(horse);
  EXPECT_FALSE(cart_horse);
  EXPECT_EQ(outfits, 49) << "the game's count for a_m_m_armtownfolk_01";
  EXPECT_TRUE(content_notes(world()).empty());
}

TEST_F(GameContent, DimensionsComeByKind) {
  Vector3 chair_low{}, chair_high{}, wagon_low{}, wagon_high{}, man_low{}, man_high{};
  ASSERT_TRUE(run_script([&] {
    invoke(n::model_dimensions, get_hash_key("p_balconyflagnbx01x"), &chair_low, &chair_high);
    invoke(n::model_dimensions, get_hash_key("ArmySupplyWagon"), &wagon_low, &wagon_high);
    invoke(n::model_dimensions, get_hash_key("a_m_m_armtownfolk_01"), &man_low, &man_high);
  }));
  EXPECT_GT(wagon_high.y - wagon_low.y, 4.0f) << "a wagon is longer than a chair";
  EXPECT_LT(chair_high.y - chair_low.y, 1.5f);
  EXPECT_GT(man_high.z - man_low.z, 1.5f) << "a man stands taller than he is wide";
  EXPECT_LT(man_high.x - man_low.x, 1.0f);
}

TEST_F(GameContent, WeaponsAreTheGamesWhateverTheNamesCase) {
  bool made_up = true, pump_gun = false, bow_valid = false, has_bow = false, knife_gun = true;
  ASSERT_TRUE(run_script([&] {
    made_up = invoke<bool>(n::is_weapon_valid, Hash{0x12345678});
    pump_gun = invoke<bool>(n::is_weapon_a_gun, Hash{0x31B7B9FE});  // weapon_shotgun_pump
    get_hash_key("weapon_bow");                                     // hashed in lower case first
    const Hash bow = get_hash_key("WEAPON_BOW");
    bow_valid = invoke<bool>(n::is_weapon_valid, bow);
    invoke<int>(n::give_weapon, player_ped_id(), bow, 10, true, false, 0, false, 0.5f, 1.0f, 0,
                false, 0.0f, false);
    has_bow = invoke<bool>(n::has_weapon, player_ped_id(), bow, 0, false);
    knife_gun = invoke<bool>(n::is_weapon_a_gun, get_hash_key("weapon_melee_knife_jawbone"));
  }));
  EXPECT_FALSE(made_up);
  EXPECT_TRUE(pump_gun) << "known only by its hash, and a gun";
  EXPECT_TRUE(bow_valid);
  EXPECT_TRUE(has_bow);
  EXPECT_FALSE(knife_gun);
  EXPECT_EQ(notes_saying(world(), "weapon 0x12345678 is not in the game"), 1u);
}

TEST_F(GameContent, DictionariesLoadCaseBlindAndAnUnknownOneIsTakenOnTrust) {
  bool made_up_exists = false, known_loaded = false, header_loaded = false, ipl = false;
  ASSERT_TRUE(run_script([&] {
    made_up_exists = invoke<bool>(n::anim_dict_exists, "mymod@dance@wave");
    invoke(n::request_anim_dict, "AMB_WANDER@CODE_HUMAN_DRINKING_WANDER@COFFEE@MALE_A@BASE");
    invoke(n::request_texture_dict, "generic_textures", false);
    invoke(n::request_ipl_hash, Hash{0x0BADF00D});
    for (int n = 0; n < 5; ++n) scriptWait(0);
    known_loaded = invoke<bool>(n::anim_dict_loaded,
                                "amb_wander@code_human_drinking_wander@coffee@male_a@base");
    header_loaded = invoke<bool>(n::texture_dict_loaded, "GENERIC_TEXTURES");
    ipl = invoke<bool>(n::is_ipl_active_hash, Hash{0x0BADF00D});
  }));
  EXPECT_TRUE(made_up_exists);
  EXPECT_TRUE(known_loaded);
  EXPECT_TRUE(header_loaded) << "the menu's header textures load";
  EXPECT_TRUE(ipl);
  EXPECT_EQ(content_notes(world()),
            (std::vector<std::string>{"the stand-in does not know animation dictionary "
                                      "mymod@dance@wave",
                                      "the stand-in does not know map part 0x0BADF00D"}));
}

TEST_F(GameContent, AScenariosOwnModelIsOfItsKindWithoutANote) {
  world().content.add(sim::ContentList::peds, "mymod_wolfhound", sim::ModelKind::animal);
  bool human = true;
  Ped dog = 0;
  ASSERT_TRUE(run_script([&] {
    const Hash model = get_hash_key("MyMod_Wolfhound");
    ASSERT_TRUE(loads(model));
    dog = create_ped(model, 0, 0, 0, 0, false, false, false, false);
    human = invoke<bool>(n::is_ped_human, dog);
  }));
  EXPECT_NE(dog, 0);
  EXPECT_FALSE(human);
  EXPECT_TRUE(content_notes(world()).empty());
}

TEST_F(GameContent, TheClockRunsAtTheGamesPaceUntilPaused) {
  world().clock.set_time(12, 0, 0);
  host().run_frames(240);  // four seconds of frames: two game minutes
  int minutes = -1, hours = -1, paused_minutes = -1;
  ASSERT_TRUE(run_script([&] {
    minutes = invoke<int>(n::clock_minutes);
    hours = invoke<int>(n::clock_hours);
    invoke(n::pause_clock, true, 0);
  }));
  host().run_frames(600);
  ASSERT_TRUE(run_script([&] { paused_minutes = invoke<int>(n::clock_minutes); }));
  EXPECT_EQ(hours, 12);
  EXPECT_EQ(minutes, 2);
  EXPECT_EQ(paused_minutes, minutes) << "a paused clock stands";
}

TEST_F(GameContent, ThePlayersGroupIsOneWhicheverNativeAsks) {
  int by_ped = -1, by_player = -2;
  ASSERT_TRUE(run_script([&] {
    by_ped = invoke<int>(n::ped_group_index, player_ped_id());
    by_player = invoke<int>(n::player_group, invoke<int>(n::player_id));
  }));
  EXPECT_NE(by_player, 0);
  EXPECT_EQ(by_ped, by_player);
}

TEST_F(GameContent, WhatAScriptMakesIsAMissionEntity) {
  bool mission = false;
  ASSERT_TRUE(run_script([&] {
    const Hash model = get_hash_key("a_m_m_armtownfolk_01");
    ASSERT_TRUE(loads(model));
    const Ped man = create_ped(model, 0, 0, 0, 0, false, false, false, false);
    mission = invoke<bool>(n::is_mission_entity, man);
  }));
  EXPECT_TRUE(mission);
  EXPECT_FALSE(world().entity(world().player_ped())->mission_entity) << "the game's own ped is not";
}

}  // namespace
}  // namespace content_test
