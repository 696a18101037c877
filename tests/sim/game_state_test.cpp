// What a plug-in of any kind asks the game beyond what ours do: the player,
// any entity's state, blips on entities, the clock's date, and text drawn on
// the screen, including the old text natives the host answers itself.

#include <gtest/gtest.h>

#include "finders.h"
#include "host.h"
#include "joaat.h"
#include "natives.h"
#include "sim_test.h"
#include "test_script.h"

using test_support::run_script;

namespace game_state_test {
namespace {

using GameState = test_support::SimTest;

// Natives no wrapper of ours calls, by hash.
const uint64_t player_id = test_support::hash_of(sim::Native::PLAYER_ID);
const uint64_t get_player_ped = test_support::hash_of(sim::Native::GET_PLAYER_PED);
const uint64_t is_player_playing = test_support::hash_of(sim::Native::IS_PLAYER_PLAYING);
const uint64_t is_ped_on_foot = test_support::hash_of(sim::Native::IS_PED_ON_FOOT);
const uint64_t is_ped_on_mount = test_support::hash_of(sim::Native::IS_PED_ON_MOUNT);
const uint64_t is_entity_dead = test_support::hash_of(sim::Native::IS_ENTITY_DEAD);
const uint64_t get_entity_health = test_support::hash_of(sim::Native::GET_ENTITY_HEALTH);
const uint64_t set_entity_health = test_support::hash_of(sim::Native::SET_ENTITY_HEALTH);
const uint64_t set_entity_heading = test_support::hash_of(sim::Native::SET_ENTITY_HEADING);
const uint64_t get_entity_type = test_support::hash_of(sim::Native::GET_ENTITY_TYPE);
const uint64_t blip_add_for_entity = test_support::hash_of(sim::Native::BLIP_ADD_FOR_ENTITY);
const uint64_t get_blip_from_entity = test_support::hash_of(sim::Native::GET_BLIP_FROM_ENTITY);
const uint64_t get_blip_coords = test_support::hash_of(sim::Native::GET_BLIP_COORDS);
const uint64_t does_blip_exist = test_support::hash_of(sim::Native::DOES_BLIP_EXIST);
const uint64_t set_clock_time = test_support::hash_of(sim::Native::SET_CLOCK_TIME);
const uint64_t set_clock_date = test_support::hash_of(sim::Native::SET_CLOCK_DATE);
const uint64_t add_to_clock_time = test_support::hash_of(sim::Native::ADD_TO_CLOCK_TIME);
constexpr uint64_t set_text_scale = 0x4170B650590B3B00;
const uint64_t display_text = test_support::hash_of(sim::Native::DISPLAY_TEXT_);
const uint64_t set_text_color = test_support::hash_of(sim::Native::SET_TEXT_COLOR_);
constexpr uint64_t set_text_centre = 0xBE5261939FBECB8C;
constexpr uint64_t set_text_dropshadow = 0x1BE39DBAA7263CA5;
const uint64_t bg_display_text = test_support::hash_of(sim::Native::BG_DISPLAY_TEXT_);

Object made_object(sim::World& w) {
  w.model("p_chair01x").loaded = true;
  return create_object(sim::joaat("p_chair01x"), 1.0f, 2.0f, 3.0f, false, false, false, false,
                       false);
}

TEST_F(GameState, ThePlayerIsPlayingOnFootUntilHisHealthIsSpent) {
  bool playing = false, on_foot = false, mounted = true, dead = true;
  int health = 0;
  Ped ped = 0;
  ASSERT_TRUE(run_script([&] {
    ped = invoke<Ped>(get_player_ped, invoke<int32_t>(player_id));
    playing = invoke<bool>(is_player_playing, 0);
    on_foot = invoke<bool>(is_ped_on_foot, ped);
    mounted = invoke<bool>(is_ped_on_mount, ped);
    dead = invoke<bool>(is_entity_dead, ped);
    health = invoke<int>(get_entity_health, ped);
  }));
  EXPECT_EQ(ped, world().player_ped());
  EXPECT_TRUE(playing);
  EXPECT_TRUE(on_foot);
  EXPECT_FALSE(mounted);
  EXPECT_FALSE(dead);
  EXPECT_EQ(health, 100);

  ASSERT_TRUE(run_script([&] {
    invoke(set_entity_health, ped, 0, 0);  // the plug-in may change the player's ped
    playing = invoke<bool>(is_player_playing, 0);
    on_foot = invoke<bool>(is_ped_on_foot, ped);
    dead = invoke<bool>(is_entity_dead, ped);
  }));
  EXPECT_FALSE(playing);
  EXPECT_FALSE(on_foot);
  EXPECT_TRUE(dead);
  EXPECT_EQ(world().entity(ped)->health, 0);
}

TEST_F(GameState, AnEntitysKindHeadingAndHealthAreSetAndRead) {
  Object chair = 0;
  int type = -1, player_type = -1, gone_type = -1, health = 0;
  float heading = 0.0f;
  ASSERT_TRUE(run_script([&] {
    chair = made_object(world());
    invoke(set_entity_heading, chair, 370.0f);
    heading = get_entity_heading(chair);
    invoke(set_entity_health, chair, 150, 0);  // beyond its most
    health = invoke<int>(get_entity_health, chair);
    type = invoke<int>(get_entity_type, chair);
    player_type = invoke<int>(get_entity_type, player_ped_id());
    Object gone = chair;
    delete_entity(&gone);
    gone_type = invoke<int>(get_entity_type, chair);
  }));
  EXPECT_FLOAT_EQ(heading, 10.0f);
  EXPECT_EQ(health, 100);
  EXPECT_EQ(type, 3) << "an object";
  EXPECT_EQ(player_type, 1) << "a ped";
  EXPECT_EQ(gone_type, 0) << "nothing";
}

TEST_F(GameState, ABlipOnAnEntityFollowsItUntilRemoved) {
  Object chair = 0;
  Blip blip = 0, found = 0;
  bool exists_after = true;
  Vector3 at{};
  ASSERT_TRUE(run_script([&] {
    chair = made_object(world());
    blip = invoke<Blip>(blip_add_for_entity, sim::joaat("BLIP_STYLE_SHOP"), chair);
    set_entity_coords(chair, 7.0f, 8.0f, 9.0f, false, false, false, false);
    at = invoke<Vector3>(get_blip_coords, blip);
    found = invoke<Blip>(get_blip_from_entity, chair);
    Blip removing = blip;
    remove_blip(&removing);
    exists_after = invoke<bool>(does_blip_exist, blip);
  }));
  EXPECT_NE(blip, 0);
  EXPECT_EQ(found, blip);
  EXPECT_EQ(at.x, 7.0f);
  EXPECT_EQ(at.z, 9.0f);
  EXPECT_FALSE(exists_after);
  EXPECT_EQ(world().owners.owner(sim::Thing::blip, blip), test_support::test_plugin());
}

TEST_F(GameState, TheClocksDateCarriesWithItsTime) {
  int read[6] = {};
  ASSERT_TRUE(run_script([&] {
    invoke(set_clock_date, 31, 11, 1899);  // the 31st of December
    invoke(set_clock_time, 23, 59, 30);
    invoke(add_to_clock_time, 0, 0, 45);
    read[0] = get_clock_hours();
    read[1] = invoke<int>(0x4E162231B823DBBF);  // minutes
    read[2] = invoke<int>(0xB6101ABE62B5F080);  // seconds
    read[3] = invoke<int>(0xDF2FD796C54480A5);  // day of the month
    read[4] = invoke<int>(0x2D44E8FC79EAB1AC);  // month
    read[5] = invoke<int>(0xE136DCA28C4A48BA);  // year
  }));
  EXPECT_EQ((std::vector<int>(read, read + 6)), (std::vector<int>{0, 0, 15, 1, 0, 1900}));
  EXPECT_EQ(world().clock.day_of_week(), 1) << "the 1st of January 1900 was a Monday";
  world().clock.set_date(31, 1, 1900);
  EXPECT_EQ(world().clock.day, 28) << "no 31st of February, and 1900 was no leap year";
  world().clock.add(-24, 0, 0);
  EXPECT_EQ(world().clock.day, 27);
}

TEST_F(GameState, OldHeaderTextNativesAreAnsweredByTheHostAndStyleTheNextText) {
  ASSERT_TRUE(run_script([&] {
    invoke(set_text_scale, 0.5f, 0.6f);
    invoke(set_text_color, 255, 0, 0, 200);
    invoke(set_text_centre, true);
    invoke(set_text_dropshadow, 2, 0, 0, 0, 255);
    invoke(display_text, var_string(10, "LITERAL_STRING", "Main menu"), 0.5f, 0.1f);
    invoke(bg_display_text, "Plain", 0.1f, 0.2f);  // the style was the last text's
  }));
  ASSERT_EQ(world().text.drawn.size(), 2u);
  const sim::DrawnText& menu = world().text.drawn[0];
  EXPECT_EQ(menu.text, "Main menu");
  EXPECT_FLOAT_EQ(menu.style.scale_y, 0.6f);
  EXPECT_EQ(menu.style.colour[0], 255);
  EXPECT_EQ(menu.style.colour[3], 200);
  EXPECT_TRUE(menu.style.centred);
  EXPECT_TRUE(menu.style.shadow);
  const sim::DrawnText& plain = world().text.drawn[1];
  EXPECT_FALSE(plain.style.centred);
  EXPECT_FLOAT_EQ(plain.style.scale_x, 1.0f);
  EXPECT_EQ(world().journal.count(sim::EntryKind::unsimulated), 0u)
      << "neither unknown nor unsimulated";
  EXPECT_EQ(world().count_calls("_BG_DISPLAY_TEXT"), 2u);
  const std::string record = world().record_text();
  EXPECT_NE(record.find("SET_TEXT_SCALE sent on as _BG_SET_TEXT_SCALE(0.5, 0.6)"),
            std::string::npos)
      << record;
  EXPECT_NE(record.find("SET_TEXT_CENTRE(1)"), std::string::npos) << record;

  sim::Host::get().run_frame();
  EXPECT_TRUE(world().text.drawn.empty()) << "a text lasts the frame it was drawn in";
}

TEST_F(GameState, TheHostChecksItsOwnNativesArgumentsLikeAnyOther) {
  ASSERT_TRUE(run_script([&] {
    invoke(set_text_centre, 2);
    invoke(set_text_scale, 0.5f);
    invoke(display_text, static_cast<const char*>(nullptr), 0.5f, 0.5f);
  }));
  const auto& v = world().violations();
  ASSERT_EQ(v.size(), 3u);
  EXPECT_NE(v[0].find("SET_TEXT_CENTRE: argument 1 a flag other than 0 or 1"), std::string::npos);
  EXPECT_NE(v[1].find("SET_TEXT_SCALE: 1 arguments, expects 2"), std::string::npos);
  EXPECT_NE(v[2].find("_DISPLAY_TEXT: argument 1 null address"), std::string::npos);
  EXPECT_TRUE(world().text.drawn.empty());
  EXPECT_FALSE(world().text.next.centred);
  sim::Host::get().reset();  // the violations were the point
}

}  // namespace
}  // namespace game_state_test
