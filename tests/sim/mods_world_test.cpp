// The world a mod lives in: what public mods do most, answered from the
// world's state and read back through the natives, as the game would.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "exports.h"
#include "host.h"
#include "joaat.h"
#include "natives.h"
#include "sim_test.h"
#include "test_script.h"

using test_support::run_script;

namespace {

using ModsWorld = test_support::SimTest;
using Vehicle = int32_t;
using Cam = int32_t;

// The natives the tests call that our plug-ins do not, by their hashes.
namespace n {
const uint64_t set_entity_invincible = test_support::hash_of(sim::Native::SET_ENTITY_INVINCIBLE);
const uint64_t set_entity_visible = test_support::hash_of(sim::Native::SET_ENTITY_VISIBLE);
const uint64_t is_entity_visible = test_support::hash_of(sim::Native::IS_ENTITY_VISIBLE);
const uint64_t set_entity_alpha = test_support::hash_of(sim::Native::SET_ENTITY_ALPHA);
const uint64_t get_entity_alpha = test_support::hash_of(sim::Native::GET_ENTITY_ALPHA);
const uint64_t set_entity_collision = test_support::hash_of(sim::Native::SET_ENTITY_COLLISION);
const uint64_t get_entity_collision_disabled =
    test_support::hash_of(sim::Native::GET_ENTITY_COLLISION_DISABLED);
const uint64_t set_as_mission_entity =
    test_support::hash_of(sim::Native::SET_ENTITY_AS_MISSION_ENTITY);
const uint64_t is_mission_entity = test_support::hash_of(sim::Native::IS_ENTITY_A_MISSION_ENTITY);
const uint64_t set_entity_max_health = test_support::hash_of(sim::Native::SET_ENTITY_MAX_HEALTH);
const uint64_t get_entity_max_health = test_support::hash_of(sim::Native::GET_ENTITY_MAX_HEALTH);
const uint64_t set_entity_velocity = test_support::hash_of(sim::Native::SET_ENTITY_VELOCITY);
const uint64_t get_entity_velocity = test_support::hash_of(sim::Native::GET_ENTITY_VELOCITY);
const uint64_t get_entity_speed = test_support::hash_of(sim::Native::GET_ENTITY_SPEED);
const uint64_t set_entity_heading = test_support::hash_of(sim::Native::SET_ENTITY_HEADING);
const uint64_t forward_vector = test_support::hash_of(sim::Native::GET_ENTITY_FORWARD_VECTOR);
const uint64_t offset_in_world =
    test_support::hash_of(sim::Native::GET_OFFSET_FROM_ENTITY_IN_WORLD_COORDS);
const uint64_t apply_force = test_support::hash_of(sim::Native::APPLY_FORCE_TO_ENTITY);
const uint64_t attach = test_support::hash_of(sim::Native::ATTACH_ENTITY_TO_ENTITY);
const uint64_t give_weapon = test_support::hash_of(sim::Native::GIVE_WEAPON_TO_PED);
const uint64_t current_weapon = test_support::hash_of(sim::Native::GET_CURRENT_PED_WEAPON);
const uint64_t set_current_weapon = test_support::hash_of(sim::Native::SET_CURRENT_PED_WEAPON);
const uint64_t remove_all_weapons = test_support::hash_of(sim::Native::REMOVE_ALL_PED_WEAPONS);
const uint64_t has_weapon = test_support::hash_of(sim::Native::HAS_PED_GOT_WEAPON);
const uint64_t create_vehicle = test_support::hash_of(sim::Native::CREATE_VEHICLE);
const uint64_t set_ped_into_vehicle = test_support::hash_of(sim::Native::SET_PED_INTO_VEHICLE);
const uint64_t vehicle_ped_is_in = test_support::hash_of(sim::Native::GET_VEHICLE_PED_IS_IN);
const uint64_t ped_in_seat = test_support::hash_of(sim::Native::GET_PED_IN_VEHICLE_SEAT);
const uint64_t seat_free = test_support::hash_of(sim::Native::IS_VEHICLE_SEAT_FREE);
const uint64_t is_entity_a_vehicle = test_support::hash_of(sim::Native::IS_ENTITY_A_VEHICLE);
const uint64_t create_ped_on_mount = test_support::hash_of(sim::Native::CREATE_PED_ON_MOUNT);
const uint64_t is_ped_on_mount = test_support::hash_of(sim::Native::IS_PED_ON_MOUNT);
const uint64_t get_mount = test_support::hash_of(sim::Native::GET_MOUNT);
const uint64_t is_ped_human = test_support::hash_of(sim::Native::IS_PED_HUMAN);
const uint64_t is_model_a_horse = test_support::hash_of(sim::Native::IS_THIS_MODEL_A_HORSE_);
const uint64_t gameplay_cam_coord = test_support::hash_of(sim::Native::GET_GAMEPLAY_CAM_COORD);
const uint64_t create_cam = test_support::hash_of(sim::Native::CREATE_CAM);
const uint64_t set_cam_coord = test_support::hash_of(sim::Native::SET_CAM_COORD);
const uint64_t get_cam_coord = test_support::hash_of(sim::Native::GET_CAM_COORD);
const uint64_t set_cam_active = test_support::hash_of(sim::Native::SET_CAM_ACTIVE);
const uint64_t render_script_cams = test_support::hash_of(sim::Native::RENDER_SCRIPT_CAMS);
const uint64_t get_rendering_cam = test_support::hash_of(sim::Native::GET_RENDERING_CAM);
const uint64_t destroy_cam = test_support::hash_of(sim::Native::DESTROY_CAM);
const uint64_t does_cam_exist = test_support::hash_of(sim::Native::DOES_CAM_EXIST);
const uint64_t in_cdimage = test_support::hash_of(sim::Native::IS_MODEL_IN_CDIMAGE);
const uint64_t request_anim_dict = test_support::hash_of(sim::Native::REQUEST_ANIM_DICT);
const uint64_t anim_dict_loaded = test_support::hash_of(sim::Native::HAS_ANIM_DICT_LOADED);
const uint64_t draw_rect = test_support::hash_of(sim::Native::DRAW_RECT);
const uint64_t set_objective = test_support::hash_of(sim::Native::UILOG_SET_CACHED_OBJECTIVE_);
const uint64_t print_objective = test_support::hash_of(sim::Native::UILOG_PRINT_CACHED_OBJECTIVE_);
const uint64_t ground_z = test_support::hash_of(sim::Native::GET_GROUND_Z_FOR_3D_COORD);
const uint64_t player_control_on = test_support::hash_of(sim::Native::IS_PLAYER_CONTROL_ON);
const uint64_t set_player_control = test_support::hash_of(sim::Native::SET_PLAYER_CONTROL);
const uint64_t is_ped_walking = test_support::hash_of(sim::Native::IS_PED_WALKING);
const uint64_t is_ped_still = test_support::hash_of(sim::Native::IS_PED_STILL);
const uint64_t is_ped_sprinting = test_support::hash_of(sim::Native::IS_PED_SPRINTING);
const uint64_t cash_increment = test_support::hash_of(sim::Native::MONEY_INCREMENT_CASH_BALANCE_);
const uint64_t cash_balance = test_support::hash_of(sim::Native::MONEY_GET_CASH_BALANCE_);
const uint64_t open_sequence = test_support::hash_of(sim::Native::OPEN_SEQUENCE_TASK);
const uint64_t close_sequence = test_support::hash_of(sim::Native::CLOSE_SEQUENCE_TASK);
const uint64_t perform_sequence = test_support::hash_of(sim::Native::TASK_PERFORM_SEQUENCE);
const uint64_t task_combat = test_support::hash_of(sim::Native::TASK_COMBAT_PED);
const uint64_t task_wander = test_support::hash_of(sim::Native::TASK_WANDER_STANDARD);
const uint64_t in_combat = test_support::hash_of(sim::Native::IS_PED_IN_COMBAT);
const uint64_t add_relationship_group = test_support::hash_of(sim::Native::ADD_RELATIONSHIP_GROUP);
const uint64_t set_relationship =
    test_support::hash_of(sim::Native::SET_RELATIONSHIP_BETWEEN_GROUPS);
const uint64_t set_ped_group = test_support::hash_of(sim::Native::SET_PED_RELATIONSHIP_GROUP_HASH);
const uint64_t relationship_between_peds =
    test_support::hash_of(sim::Native::GET_RELATIONSHIP_BETWEEN_PEDS);
const uint64_t set_weather = test_support::hash_of(sim::Native::SET_WEATHER_TYPE);
const uint64_t weather_now = test_support::hash_of(sim::Native::GET_PREV_WEATHER_TYPE_HASH_NAME_);
const uint64_t player_id = test_support::hash_of(sim::Native::PLAYER_ID);
}  // namespace n

int player_id() { return invoke<int>(n::player_id); }

// A model requested and waited for, as a spawner does.
Hash loaded(const char* name) {
  const Hash model = get_hash_key(name);
  request_model(model, false);
  while (!has_model_loaded(model)) scriptWait(0);
  return model;
}

bool near(const Vector3& v, float x, float y, float z) {
  return std::fabs(v.x - x) < 0.05f && std::fabs(v.y - y) < 0.05f && std::fabs(v.z - z) < 0.05f;
}

TEST_F(ModsWorld, WhatAScriptSetsOnAnEntityReadsBack) {
  bool visible = true, collision_off = false, mission = false;
  int alpha = 0, max_health = 0;
  Object box = 0;
  ASSERT_TRUE(run_script([&] {
    box = create_object(loaded("p_crate01x"), 1, 2, 3, false, false, true, false, false);
    invoke(n::set_entity_invincible, box, true);
    invoke(n::set_entity_visible, box, false);
    invoke(n::set_entity_alpha, box, 155, false);
    invoke(n::set_entity_collision, box, false, false);
    invoke(n::set_as_mission_entity, box, true, true);
    invoke(n::set_entity_max_health, box, 350);
    visible = invoke<bool>(n::is_entity_visible, box);
    alpha = invoke<int>(n::get_entity_alpha, box);
    collision_off = invoke<bool>(n::get_entity_collision_disabled, box);
    mission = invoke<bool>(n::is_mission_entity, box);
    max_health = invoke<int>(n::get_entity_max_health, box, false);
  }));
  EXPECT_FALSE(visible);
  EXPECT_EQ(alpha, 155);
  EXPECT_TRUE(collision_off);
  EXPECT_TRUE(mission);
  EXPECT_EQ(max_health, 350);
  EXPECT_TRUE(world().entity(box)->invincible);
}

TEST_F(ModsWorld, AnEntityMovesByItsVelocityUnlessFrozen) {
  Object cart = 0, post = 0;
  Vector3 velocity{};
  float speed = 0.0f;
  ASSERT_TRUE(run_script([&] {
    const Hash model = loaded("p_crate01x");
    cart = create_object(model, 0, 0, 0, false, false, true, false, false);
    post = create_object(model, 5, 0, 0, false, false, true, false, false);
    invoke(n::set_entity_velocity, cart, 2.0f, 0.0f, 0.0f);
    freeze_entity_position(post, true);
    invoke(n::set_entity_velocity, post, 2.0f, 0.0f, 0.0f);
    velocity = invoke<Vector3>(n::get_entity_velocity, cart, int64_t{-1});  // p1 sign-extended
    speed = invoke<float>(n::get_entity_speed, cart);
  }));
  EXPECT_TRUE(near(velocity, 2, 0, 0));
  EXPECT_FLOAT_EQ(speed, 2.0f);
  const float x0 = world().entity(cart)->position.x;
  host().run_frames(60);  // a second
  EXPECT_NEAR(world().entity(cart)->position.x - x0, 2.0f, 0.05f);
  EXPECT_EQ(world().entity(post)->position.x, 5.0f) << "a frozen entity stays put";
}

TEST_F(ModsWorld, OffsetsAndTheForwardVectorTurnWithTheHeading) {
  Vector3 ahead{}, forward{}, pushed{};
  ASSERT_TRUE(run_script([&] {
    const Object box =
        create_object(loaded("p_crate01x"), 10, 20, 0, false, false, true, false, false);
    invoke(n::set_entity_heading, box, 90.0f);  // facing west
    ahead = invoke<Vector3>(n::offset_in_world, box, 1.0f, 2.0f, 0.5f);
    forward = invoke<Vector3>(n::forward_vector, box);
    invoke(n::apply_force, box, 1, 0.0f, 3.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0, true, true, true, false,
           true);  // forwards, in its own frame
    pushed = invoke<Vector3>(n::get_entity_velocity, box, 0);
  }));
  EXPECT_TRUE(near(forward, -1, 0, 0));
  EXPECT_TRUE(near(ahead, 8, 21, 0.5f)) << ahead.x << ", " << ahead.y << ", " << ahead.z;
  EXPECT_TRUE(near(pushed, -3, 0, 0));
}

TEST_F(ModsWorld, AnAttachedEntityGoesWhereItsParentGoes) {
  Object lamp = 0, cart = 0;
  ASSERT_TRUE(run_script([&] {
    const Hash model = loaded("p_crate01x");
    cart = create_object(model, 0, 0, 0, false, false, true, false, false);
    lamp = create_object(model, 50, 50, 0, false, false, true, false, false);
    invoke(n::attach, lamp, cart, 0, 0.0f, 1.0f, 2.0f, 0.0f, 0.0f, 0.0f, false, false, false, false,
           0, true, false, false);
    set_entity_coords(cart, 100, 0, 0, false, false, false, false);
  }));
  host().run_frames(1);
  EXPECT_EQ(world().entity(lamp)->position.x, 100.0f);
  EXPECT_EQ(world().entity(lamp)->position.y, 1.0f);
  EXPECT_EQ(world().entity(lamp)->position.z, 2.0f);
}

TEST_F(ModsWorld, APedHoldsTheUnarmedWeaponUntilGivenOne) {
  const Hash unarmed = sim::joaat("WEAPON_UNARMED");
  Hash before = 2, given = 2, after_removal = 2;  // 2: what a mod's stack might hold
  bool armed = true, has = false;
  ASSERT_TRUE(run_script([&] {
    const Ped me = player_ped_id();
    armed = invoke<bool>(n::current_weapon, me, &before, false, 0, false);
    const Hash revolver = get_hash_key("WEAPON_REVOLVER_CATTLEMAN");
    invoke<Hash>(n::give_weapon, me, revolver, 12, false, true, 0, false, 0.5f, 1.0f, 0u, false,
                 0.0f, false);
    invoke(n::set_current_weapon, me, revolver, true, 0, false, false);
    invoke<bool>(n::current_weapon, me, &given, false, 0, false);
    has = invoke<bool>(n::has_weapon, me, revolver, 0, false);
    invoke(n::remove_all_weapons, me, true, true);
    invoke<bool>(n::current_weapon, me, &after_removal, false, 0, false);
  }));
  EXPECT_FALSE(armed);
  EXPECT_EQ(before, unarmed);
  EXPECT_EQ(given, sim::joaat("WEAPON_REVOLVER_CATTLEMAN")) << "read back as its current weapon";
  EXPECT_TRUE(has);
  EXPECT_EQ(after_removal, unarmed);
}

TEST_F(ModsWorld, AVehicleIsInThePoolsAndCarriesWhoSitsInIt) {
  Vehicle wagon = 0;
  Ped driver = 0;
  Vehicle in = 0;
  Ped in_seat = 0;
  bool is_vehicle = false, free = true;
  ASSERT_TRUE(run_script([&] {
    wagon = invoke<Vehicle>(n::create_vehicle, loaded("wagon02x"), 0.0f, 0.0f, 0.0f, 0.0f, false,
                            false, false, false);
    driver = player_ped_id();
    invoke(n::set_ped_into_vehicle, driver, wagon, -1);
    in = invoke<Vehicle>(n::vehicle_ped_is_in, driver, false);
    in_seat = invoke<Ped>(n::ped_in_seat, wagon, -1);
    free = invoke<bool>(n::seat_free, wagon, -1);
    is_vehicle = invoke<bool>(n::is_entity_a_vehicle, wagon);
    set_entity_coords(wagon, 30, 40, 0, false, false, false, false);
  }));
  ASSERT_NE(wagon, 0);
  EXPECT_TRUE(is_vehicle);
  EXPECT_EQ(in, wagon);
  EXPECT_EQ(in_seat, driver);
  EXPECT_FALSE(free);
  int pool[16] = {};
  const int count = worldGetAllVehicles(pool, 16);
  EXPECT_EQ(std::vector<int>(pool, pool + count), std::vector<int>{wagon});
  host().run_frames(1);
  EXPECT_EQ(world().player_position().x, 30.0f) << "the driver rides with it";
}

TEST_F(ModsWorld, ARiderMadeOnAHorseIsMountedAndHumanWhileTheHorseIsNot) {
  Ped horse = 0, rider = 0, mount = 0;
  bool on_mount = false, horse_human = true, rider_human = false, is_horse_model = false;
  ASSERT_TRUE(run_script([&] {
    const Hash horse_model = loaded("a_c_horse_morgan_bay");
    horse = create_ped(horse_model, 5, 5, 0, 0, false, false, false, false);
    rider = invoke<Ped>(n::create_ped_on_mount, horse, loaded("g_m_m_unicriminals_01"), -1, false,
                        false, false, false);
    on_mount = invoke<bool>(n::is_ped_on_mount, rider);
    mount = invoke<Ped>(n::get_mount, rider);
    horse_human = invoke<bool>(n::is_ped_human, horse);
    rider_human = invoke<bool>(n::is_ped_human, rider);
    is_horse_model = invoke<bool>(n::is_model_a_horse, horse_model);
  }));
  ASSERT_NE(rider, 0);
  EXPECT_TRUE(on_mount);
  EXPECT_EQ(mount, horse);
  EXPECT_FALSE(horse_human);
  EXPECT_TRUE(rider_human);
  EXPECT_TRUE(is_horse_model);
}

TEST_F(ModsWorld, TheGameplayCameraFollowsThePlayerAndScriptCamerasRenderInItsStead) {
  world().place_player(10, 10, 0);
  Vector3 behind{}, placed{};
  Cam rendering = 0, cam = 0;
  bool exists_after = true;
  ASSERT_TRUE(run_script([&] {
    behind = invoke<Vector3>(n::gameplay_cam_coord);
    cam = invoke<Cam>(n::create_cam, "DEFAULT_SCRIPTED_CAMERA", false);
    invoke(n::set_cam_coord, cam, 1.0f, 2.0f, 3.0f);
    placed = invoke<Vector3>(n::get_cam_coord, cam);
    invoke(n::set_cam_active, cam, true);
    invoke(n::render_script_cams, true, false, 0, true, false, 0);
    rendering = invoke<Cam>(n::get_rendering_cam);
    invoke(n::destroy_cam, cam, false);
    exists_after = invoke<bool>(n::does_cam_exist, cam);
  }));
  EXPECT_TRUE(near(behind, 10, 7, 1.5f)) << "behind a player facing north";
  EXPECT_TRUE(near(placed, 1, 2, 3));
  EXPECT_EQ(rendering, cam);
  EXPECT_FALSE(exists_after);
}

TEST_F(ModsWorld, AModelInTheImageIsAValidOneAndAnAnimDictLoadsOnRequest) {
  bool in_image = false, nothing_in_image = true;
  std::vector<bool> loaded_frames;
  ASSERT_TRUE(run_script([&] {
    in_image = invoke<bool>(n::in_cdimage, get_hash_key("a_c_deer_01"));
    nothing_in_image = invoke<bool>(n::in_cdimage, 0u);
    invoke(n::request_anim_dict, "amb_misc@world_human_smoke@male_a@idle_a");
    for (int f = 0; f < 3; ++f) {
      loaded_frames.push_back(
          invoke<bool>(n::anim_dict_loaded, "amb_misc@world_human_smoke@male_a@idle_a"));
      scriptWait(0);
    }
  }));
  EXPECT_TRUE(in_image);
  EXPECT_FALSE(nothing_in_image);
  EXPECT_EQ(loaded_frames, (std::vector<bool>{false, false, true}));
}

TEST_F(ModsWorld, AMenuDrawnWithRectsAndColouredTextIsKeptAsDrawn) {
  std::string coloured, number;
  ASSERT_TRUE(run_script([&] {
    invoke(n::draw_rect, 0.5f, 0.25f, 0.2f, 0.05f, 10, 20, 30, 200, false, false);
    coloured = var_string(42, "COLOR_STRING", 0, "Spawn deer");
    number = var_string(2, "NUMBER", 42);
    invoke(n::set_objective, "Find the deer");
    invoke(n::print_objective);
    scriptWait(0);
    invoke(n::draw_rect, 0.1f, 0.1f, 0.1f, 0.1f, 1, 2, 3, 4, false, false);
  }));
  EXPECT_EQ(coloured, "Spawn deer");
  EXPECT_EQ(number, "42");
  ASSERT_EQ(world().screen.rects.size(), 1u) << "a rectangle shows for its frame only";
  EXPECT_EQ(world().screen.total_rects, 2u);
  EXPECT_EQ(world().screen.rects[0].colour[3], 4);
  EXPECT_EQ(world().screen.objectives, std::vector<std::string>{"Find the deer"});
}

TEST_F(ModsWorld, AMoneyLabelShowsTheAmountItWasGivenAsCash) {
  std::string spent, cents, none;
  ASSERT_TRUE(run_script([&] {
    spent = var_string(2, "FEED_MONEY_SPEND", 250);
    cents = var_string(2, "FEED_MONEY_SPEND", 5);
    none = var_string(2, "FEED_MONEY_SPEND");
  }));
  EXPECT_EQ(spent, "Money spent: $2.50");
  EXPECT_EQ(cents, "Money spent: $0.05");
  EXPECT_EQ(none, "Money spent: ") << "a marker without its argument is left blank";
}

TEST_F(ModsWorld, TheGroundIsAtTheHeightOfTheNearestPlaceTheWorldKnows) {
  float none = -1, near_start = -1, raised = -1, below = -1;
  bool found_below = true;
  ASSERT_TRUE(run_script([&] { invoke<bool>(n::ground_z, 0.0f, 0.0f, 1000.0f, &none, false); }));
  world().environment.know_place(sim::Vec{-2361.5f, -2395.1f, 62.1f});
  world().environment.know_place(sim::Vec{100, 100, 42});
  ASSERT_TRUE(run_script([&] {
    invoke<bool>(n::ground_z, -2300.0f, -2400.0f, 1000.0f, &near_start, false);
    invoke<bool>(n::ground_z, 105.0f, 95.0f, 1000.0f, &raised, false);
    found_below = invoke<bool>(n::ground_z, 105.0f, 95.0f, 10.0f, &below, false);
  }));
  EXPECT_EQ(none, 0.0f) << "flat where the world knows no place";
  EXPECT_FLOAT_EQ(near_start, 62.1f) << "not 62 m under a player who stands at 62.1";
  EXPECT_EQ(raised, 42.0f);
  EXPECT_FALSE(found_below) << "no ground below a point under it";
  EXPECT_EQ(below, 0.0f) << "the out-parameter is written all the same";
}

TEST_F(ModsWorld, ThePlayerIsInControlUntilTakenAndMovesAsTheScenarioMovesHim) {
  bool before = false, after = true, still = false, walking = false, sprinting = false;
  ASSERT_TRUE(run_script([&] {
    before = invoke<bool>(n::player_control_on, player_id());
    still = invoke<bool>(n::is_ped_still, player_ped_id());
    invoke(n::set_player_control, player_id(), false, 0, false);
    after = invoke<bool>(n::player_control_on, player_id());
  }));
  world().set_player_velocity(sim::Vec{1.4f, 0, 0});
  ASSERT_TRUE(run_script([&] { walking = invoke<bool>(n::is_ped_walking, player_ped_id()); }));
  world().set_player_velocity(sim::Vec{0, 7, 0});
  ASSERT_TRUE(run_script([&] { sprinting = invoke<bool>(n::is_ped_sprinting, player_ped_id()); }));
  EXPECT_TRUE(before);
  EXPECT_TRUE(still);
  EXPECT_FALSE(after);
  EXPECT_TRUE(walking);
  EXPECT_TRUE(sprinting);
}

TEST_F(ModsWorld, MoneyAddedIsInTheBalanceAndTheJournal) {
  int balance = 0;
  ASSERT_TRUE(run_script([&] {
    invoke<bool>(n::cash_increment, 250, 0u);
    invoke<bool>(n::cash_increment, 0, 0u);  // no change to tell
    balance = invoke<int>(n::cash_balance);
  }));
  EXPECT_EQ(balance, 5250);
  std::vector<std::pair<int64_t, int64_t>> changes;
  world().journal.each(sim::EntryKind::money, [&](const sim::Entry& e) {
    changes.emplace_back(e.money.from, e.money.to);
  });
  EXPECT_EQ(changes, (std::vector<std::pair<int64_t, int64_t>>{{5000, 5250}}));
}

TEST_F(ModsWorld, APedToldASequenceOrACombatKeepsWhatItWasTold) {
  Ped guard = 0;
  bool fighting = false;
  ASSERT_TRUE(run_script([&] {
    guard = create_ped(loaded("s_m_m_valdeputy_01"), 0, 0, 0, 0, false, false, false, false);
    int sequence = 0;
    invoke(n::open_sequence, &sequence);
    invoke(n::task_wander, 0, 10.0f, 0);
    invoke(n::close_sequence, sequence);
    invoke(n::perform_sequence, guard, sequence);
    invoke(n::task_combat, guard, player_ped_id(), 0, 16);
    fighting = invoke<bool>(n::in_combat, guard, player_ped_id());
  }));
  EXPECT_TRUE(fighting);
  const sim::PedActivity* a = world().peds.find(guard);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->tasks,
            (std::vector<std::string>{"sequence 1", "wander",
                                      "combat entity " + std::to_string(world().player_ped())}));
}

TEST_F(ModsWorld, PedsOfGroupsAScriptSetAgainstEachOtherAreHostile) {
  int hostile = -1;
  ASSERT_TRUE(run_script([&] {
    Hash bandits = 0;
    invoke<bool>(n::add_relationship_group, "BANDITS", &bandits);
    const Ped bandit =
        create_ped(loaded("g_m_m_unicriminals_01"), 0, 0, 0, 0, false, false, false, false);
    invoke(n::set_ped_group, bandit, bandits);
    invoke(n::set_relationship, 5, bandits, get_hash_key("PLAYER"));
    hostile = invoke<int>(n::relationship_between_peds, bandit, player_ped_id());
  }));
  EXPECT_EQ(hostile, 5);
}

TEST_F(ModsWorld, TheWeatherSetIsTheWeatherRead) {
  Hash now = 0;
  ASSERT_TRUE(run_script([&] {
    invoke(n::set_weather, get_hash_key("RAIN"), true, true, false, 0.0f, false);
    now = invoke<Hash>(n::weather_now);
  }));
  EXPECT_EQ(now, sim::joaat("RAIN"));
}

TEST_F(ModsWorld, APlugInsTickCountFollowsTheGamesTime) {
  uint32_t first = 0, second = 0;
  ASSERT_TRUE(run_script([&] {
    first = GetTickCount();
    for (int f = 0; f < 60; ++f) scriptWait(0);
    second = GetTickCount();
  }));
  EXPECT_EQ(second - first, 1000u) << "sixty frames of a sixtieth of a second";
}

TEST_F(ModsWorld, EverySystemClockAPlugInReadsRunsOnTheGamesTime) {
  uint32_t tick[2] = {}, time[2] = {};
  uint64_t tick64[2] = {};
  LARGE_INTEGER count[2] = {}, frequency = {};
  ASSERT_TRUE(run_script([&] {
    for (int n = 0; n < 2; ++n) {
      tick[n] = GetTickCount();
      tick64[n] = GetTickCount64();
      time[n] = timeGetTime();
      QueryPerformanceCounter(&count[n]);
      for (int f = 0; f < 90 && n == 0; ++f) scriptWait(0);
    }
    QueryPerformanceFrequency(&frequency);
  }));
  EXPECT_EQ(tick[1] - tick[0], 1500u) << "ninety frames of a sixtieth of a second";
  EXPECT_EQ(tick64[1] - tick64[0], 1500u);
  EXPECT_EQ(time[1] - time[0], 1500u);
  EXPECT_EQ(static_cast<uint32_t>(tick64[0]), tick[0]) << "one clock, two widths";
  ASSERT_GT(frequency.QuadPart, 0);
  EXPECT_EQ((count[1].QuadPart - count[0].QuadPart) * 1000 / frequency.QuadPart, 1500);
}

TEST_F(ModsWorld, TheWallClockIsTheMachinesForEveryClock) {
  world().wall_clock = true;
  const auto machine_ms = [] {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
  };
  uint64_t before = 0, tick64 = 0, after = 0;
  LARGE_INTEGER count = {}, frequency = {};
  ASSERT_TRUE(run_script([&] {
    for (int f = 0; f < 300; ++f) scriptWait(0);  // five seconds of game time
    before = machine_ms();
    tick64 = GetTickCount64();
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    after = machine_ms();
  }));
  world().wall_clock = false;
  EXPECT_GE(tick64, before);
  EXPECT_LE(tick64, after);
  const int64_t count_ms = count.QuadPart / (frequency.QuadPart / 1000);
  EXPECT_GE(count_ms, static_cast<int64_t>(before));
  EXPECT_LE(count_ms, static_cast<int64_t>(after));
}

}  // namespace
