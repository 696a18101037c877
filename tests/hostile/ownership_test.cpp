// A plug-in deletes and changes only what it made: each way of breaking that
// rule, committed once by a test script standing in for a plug-in, is
// reported; its own things and the player's sanctioned handling are not.

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

#include "host.h"
#include "joaat.h"
#include "natives.h"
#include "test_script.h"

namespace {

using test_support::run_script;

int other_plugin_tag;
const sim::PluginId other_plugin{&other_plugin_tag};

class Ownership : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Host::get().set_strict(true);  // our plug-ins are held to the table
    sim::Host::get().reset();
    world().owners.name_creator(other_plugin, "other.asi");
    world().owners.name_creator(test_support::test_plugin(), "tested.asi");
  }
  void TearDown() override { sim::Host::get().reset(); }
  sim::Host& host() { return sim::Host::get(); }
  sim::World& world() { return sim::Host::get().world(); }

  // An entity of the other plug-in, or of the game.
  int32_t entity_of(sim::PluginId owner) {
    const int32_t e =
        world().create_entity(sim::EntityKind::object, sim::joaat("p_chair01x"), {}, 0.0f);
    if (!owner.none()) world().owners.give(sim::Thing::entity, e, owner);
    return e;
  }

  // A chair the tested plug-in made.
  int32_t chair_of_mine() {
    world().model("p_chair01x").load_frames = 0;
    int32_t made = 0;
    EXPECT_TRUE(run_script([&] {
      request_model(get_hash_key("p_chair01x"), false);
      made = create_object(get_hash_key("p_chair01x"), 1.0f, 2.0f, 3.0f, false, false, false, false,
                           false);
    }));
    return made;
  }

  // A blip of the other plug-in.
  int32_t blip_of_other() {
    sim::BlipState b;
    b.handle = world().blips.handles.give(world().frame());
    world().blips.all[b.handle] = b;
    world().owners.give(sim::Thing::blip, b.handle, other_plugin);
    return b.handle;
  }

  // Exactly one violation, naming what was done.
  void expect_one_violation(const std::string& native, const std::string& whose) {
    const auto& v = world().violations();
    ASSERT_EQ(v.size(), 1u) << (v.empty() ? "no violation" : v.back());
    EXPECT_NE(v.front().find("tested.asi"), std::string::npos) << v.front();
    EXPECT_NE(v.front().find(native), std::string::npos) << v.front();
    EXPECT_NE(v.front().find(whose), std::string::npos) << v.front();
  }
  void expect_no_violation() {
    EXPECT_TRUE(world().violations().empty()) << world().violations().front();
  }

  // A plug-in's deletes of a thing it had deleted already, as the journal tells them.
  uint64_t deleted_again(sim::PluginId by) {
    uint64_t n = 0;
    world().journal.each(sim::EntryKind::deleted_again,
                         [&](const sim::Entry& e) { n += e.at.by == by ? 1 : 0; });
    return n;
  }
};

TEST_F(Ownership, DeletingThePlayersPedIsReported) {
  ASSERT_TRUE(run_script([] {
    Ped me = player_ped_id();
    delete_ped(&me);
  }));
  expect_one_violation("DELETE_PED", "the player's ped");
}

TEST_F(Ownership, DeletingAnotherPluginsEntityIsReported) {
  int32_t e = entity_of(other_plugin);
  ASSERT_TRUE(run_script([&] { delete_entity(&e); }));
  expect_one_violation("DELETE_ENTITY", "other.asi");
}

TEST_F(Ownership, DeletingAnEntityOfTheGameIsReported) {
  int32_t e = entity_of(sim::PluginId{});
  ASSERT_TRUE(run_script([&] { delete_entity(&e); }));
  expect_one_violation("DELETE_ENTITY", "the game");
}

TEST_F(Ownership, ChangingAnotherPluginsEntityIsReported) {
  const int32_t e = entity_of(other_plugin);
  ASSERT_TRUE(run_script([&] { freeze_entity_position(e, true); }));
  expect_one_violation("FREEZE_ENTITY_POSITION", "other.asi");
}

TEST_F(Ownership, TaskingAnotherPluginsPedIsReported) {
  const int32_t ped =
      world().create_entity(sim::EntityKind::ped, sim::joaat("a_f_m_tumtownfolk_01"), {}, 0.0f);
  world().owners.give(sim::Thing::entity, ped, other_plugin);
  ASSERT_TRUE(run_script([&] { clear_ped_tasks(ped, true, true); }));
  expect_one_violation("CLEAR_PED_TASKS", "other.asi");
}

TEST_F(Ownership, SwitchingAnotherPluginsPromptIsReported) {
  const int32_t p = world().new_prompt();
  world().owners.give(sim::Thing::prompt, p, other_plugin);
  ASSERT_TRUE(run_script([&] { ui_prompt_set_enabled(p, false); }));
  expect_one_violation("_UI_PROMPT_SET_ENABLED", "other.asi");
}

TEST_F(Ownership, DeletingAnotherPluginsPromptIsReported) {
  const int32_t p = world().new_prompt();
  world().owners.give(sim::Thing::prompt, p, other_plugin);
  ASSERT_TRUE(run_script([&] { ui_prompt_delete(p); }));
  expect_one_violation("_UI_PROMPT_DELETE", "other.asi");
}

TEST_F(Ownership, RemovingAnotherPluginsBlipIsReported) {
  int32_t handle = blip_of_other();
  ASSERT_TRUE(run_script([&] { remove_blip(&handle); }));
  expect_one_violation("REMOVE_BLIP", "other.asi");
}

TEST_F(Ownership, ScalingAnotherPluginsBlipIsReported) {
  const int32_t handle = blip_of_other();
  ASSERT_TRUE(run_script([&] { set_blip_scale(handle, 2.0f); }));
  expect_one_violation("SET_BLIP_SCALE", "other.asi");
}

TEST_F(Ownership, DeletingAnotherPluginsScenarioPointIsReported) {
  sim::ScenarioPointState p;
  p.handle = world().points.next_handle++;
  p.entity = entity_of(other_plugin);
  world().points.all[p.handle] = p;
  world().owners.give(sim::Thing::point, p.handle, other_plugin);
  ASSERT_TRUE(run_script([&] { delete_scenario_point(p.handle); }));
  expect_one_violation("_DELETE_SCENARIO_POINT", "other.asi");
}

TEST_F(Ownership, StoppingAnotherPluginsEffectIsReported) {
  const float offset[3] = {};
  const int32_t fx = world().particles.start(sim::joaat("ent_amb_smoke"), sim::joaat("core"),
                                             entity_of(other_plugin), offset, 1.0f);
  world().owners.give(sim::Thing::effect, fx, other_plugin);
  ASSERT_TRUE(run_script([&] { stop_particle_fx_looped(fx, false); }));
  expect_one_violation("STOP_PARTICLE_FX_LOOPED", "other.asi");
}

TEST_F(Ownership, DeletingAnotherPluginsSceneIsReported) {
  sim::AnimSceneState s;
  s.handle = world().anim_scenes.next_scene++;
  world().anim_scenes.scenes[s.handle] = s;
  world().owners.give(sim::Thing::scene, s.handle, other_plugin);
  ASSERT_TRUE(run_script([&] { delete_anim_scene(s.handle); }));
  expect_one_violation("_DELETE_ANIM_SCENE", "other.asi");
}

TEST_F(Ownership, ReleasingAnotherPluginsRenderTargetIsReported) {
  world().tv.targets["bla_theater"].registered = true;
  world().owners.give_target("bla_theater", other_plugin);
  ASSERT_TRUE(run_script([] { release_named_rendertarget("bla_theater"); }));
  expect_one_violation("RELEASE_NAMED_RENDERTARGET", "other.asi");
}

TEST_F(Ownership, AStaleHandleTheGameGaveToItsOwnPedIsReported) {
  const int32_t mine = chair_of_mine();
  ASSERT_NE(mine, 0);
  world().faults.start(world(), sim::Fault::handle_reused);  // gone, and its handle reused
  ASSERT_TRUE(world().exists(mine));
  EXPECT_EQ(world().entity(mine)->model, sim::joaat("a_c_cat_01"));
  ASSERT_TRUE(
      run_script([&] { set_entity_coords(mine, 0.0f, 0.0f, 0.0f, false, false, false, false); }));
  expect_one_violation("SET_ENTITY_COORDS", "the game");
}

TEST_F(Ownership, AFreedSlotGoesToTheNextOfItsKindUnderANewHandleAndAStaleOneNamesNothing) {
  world().model("p_chair01x").load_frames = 0;
  int32_t mine = 0;
  int32_t early = 0;
  ASSERT_TRUE(run_script([&] {
    request_model(get_hash_key("p_chair01x"), false);
    mine = create_object(get_hash_key("p_chair01x"), 1.0f, 2.0f, 3.0f, false, false, false, false,
                         false);
    Object deleting = mine;
    delete_entity(&deleting);
    early = create_object(get_hash_key("p_chair01x"), 1.0f, 2.0f, 3.0f, false, false, false, false,
                          false);
  }));
  ASSERT_NE(mine, 0);
  EXPECT_NE(early, mine) << "not given again at once";
  const int32_t ped = world().create_entity(sim::EntityKind::ped, sim::joaat("a_c_cat_01"), {}, 0);
  EXPECT_NE(ped >> 8, mine >> 8) << "a freed object's slot goes to an object";

  host().run_frames(static_cast<int>(sim::HandlePool::reuse_after));
  const int32_t theirs =
      world().create_entity(sim::EntityKind::object, sim::joaat("p_chair01x"), {}, 0.0f);
  world().owners.give(sim::Thing::entity, theirs, other_plugin);
  EXPECT_EQ(theirs >> 8, mine >> 8) << "the oldest freed slot of its kind";
  EXPECT_NE(theirs, mine) << "under its next handle";
  bool exists = true;
  ASSERT_TRUE(run_script([&] {
    freeze_entity_position(mine, true);  // the stale handle
    exists = does_entity_exist(mine);
  }));
  expect_no_violation();
  EXPECT_FALSE(exists);
  EXPECT_FALSE(world().entity(theirs)->frozen) << "acting on a stale handle acts on nothing";
}

TEST_F(Ownership, AHandleKeptAfterItsPedIsDeletedNamesNothingThroughManyMorePeds) {
  world().model("a_c_cat_01").load_frames = 0;
  int32_t kept = 0;
  ASSERT_TRUE(run_script([&] {
    request_model(get_hash_key("a_c_cat_01"), false);
    kept =
        create_ped(get_hash_key("a_c_cat_01"), 1.0f, 2.0f, 3.0f, 0.0f, false, false, false, false);
    Ped deleting = kept;
    delete_ped(&deleting);
  }));
  ASSERT_NE(kept, 0);
  // Each ped made and deleted once its slot may be given again, so the
  // kept handle's slot is given over and over.
  std::set<int32_t> given;
  for (int n = 0; n < 200; ++n) {
    host().run_frames(static_cast<int>(sim::HandlePool::reuse_after));
    const int32_t ped =
        world().create_entity(sim::EntityKind::ped, sim::joaat("a_c_cat_01"), {}, 0.0f);
    given.insert(ped);
    ASSERT_NE(ped, kept) << "after " << n << " more peds";
    world().owners.give(sim::Thing::entity, ped, other_plugin);
    bool exists = true;
    ASSERT_TRUE(run_script([&] {
      exists = does_entity_exist(kept);
      set_entity_coords(kept, 9.0f, 9.0f, 9.0f, false, false, false, false);
    }));
    ASSERT_FALSE(exists);
    ASSERT_EQ(world().entity(ped)->position.x, 0.0f) << "the stale handle moved the new ped";
    world().remove_entity(ped);
  }
  expect_no_violation();
  EXPECT_EQ(given.size(), 200u) << "each a handle of its own";
}

TEST_F(Ownership, TheHandleReusedFaultStillGivesTheSameHandleToTheGamesPedAtOnce) {
  const int32_t mine = chair_of_mine();
  world().faults.start(world(), sim::Fault::handle_reused);
  ASSERT_TRUE(world().exists(mine)) << "the game's ped has it in the same frame";
  // While the game's ped holds the slot, the slot is not given again.
  host().run_frames(static_cast<int>(sim::HandlePool::reuse_after));
  const int32_t next =
      world().create_entity(sim::EntityKind::object, sim::joaat("p_chair01x"), {}, 0.0f);
  EXPECT_NE(next >> 8, mine >> 8);
  EXPECT_EQ(world().entity(mine)->model, sim::joaat("a_c_cat_01"));
}

TEST_F(Ownership, DeletingAHandleTwiceIsCountedForThePlugIn) {
  ASSERT_TRUE(run_script([] {
    Blip blip = blip_add_for_coords(get_hash_key("BLIP_STYLE_SHOP"), 1.0f, 2.0f, 3.0f);
    Blip copy = blip;
    remove_blip(&blip);
    remove_blip(&blip);  // cleared by the first: deletes nothing, no count
    remove_blip(&copy);  // the same handle again
    Prompt p = ui_prompt_register_begin();
    ui_prompt_delete(p);
    ui_prompt_delete(p);
  }));
  expect_no_violation();
  EXPECT_EQ(deleted_again(test_support::test_plugin()), 2u);
  EXPECT_EQ(deleted_again(other_plugin), 0u);

  const int32_t gone = entity_of(sim::PluginId{});
  world().remove_entity(gone);  // the game removed it: the plug-in's first delete is no double
  ASSERT_TRUE(run_script([&] {
    Entity e = gone;
    delete_entity(&e);
  }));
  EXPECT_EQ(deleted_again(test_support::test_plugin()), 2u);
}

TEST_F(Ownership, AHandleTheGameGivesAgainNamesAThingThePlugInHasNotDeletedYet) {
  int32_t mine = chair_of_mine();
  const int32_t handle = mine;
  ASSERT_TRUE(run_script([&] { delete_entity(&mine); }));
  // The game gives the slot again and again, under its next handle each
  // time, until the count wraps and it gives the very handle once more.
  int32_t given = 0;
  for (int n = 0; n < 256 && given != handle; ++n) {
    host().run_frames(static_cast<int>(sim::HandlePool::reuse_after));
    given = world().create_entity(sim::EntityKind::object, sim::joaat("p_chair01x"), {}, 0.0f);
    if (given != handle) world().remove_entity(given);
  }
  ASSERT_EQ(given, handle);
  world().remove_entity(given);
  const auto delete_it = [&] {
    return run_script([&] {
      Entity stale = handle;
      delete_entity(&stale);
    });
  };
  ASSERT_TRUE(delete_it());
  EXPECT_EQ(deleted_again(test_support::test_plugin()), 0u) << "the game's thing, deleted once";
  ASSERT_TRUE(delete_it());
  EXPECT_EQ(deleted_again(test_support::test_plugin()), 1u);
  expect_no_violation();
}

// The other plug-in's script, run until it returns.
std::function<void()> other_body;
bool other_done = false;
void other_entry() {
  other_body();
  other_done = true;
}
bool run_other_script(std::function<void()> body) {
  other_body = std::move(body);
  other_done = false;
  const auto module = reinterpret_cast<HMODULE>(&other_plugin_tag);
  scriptRegister(module, other_entry);
  const bool done = sim::Host::get().run_until([] { return other_done; }, 600);
  scriptUnregister(module);
  return done;
}

TEST_F(Ownership, ADoubleDeleteIsCountedForThePlugInThatDeletedTwiceNotTheFirstToDelete) {
  Blip blip = 0;
  ASSERT_TRUE(run_other_script([&] {
    blip = blip_add_for_coords(get_hash_key("BLIP_STYLE_SHOP"), 1.0f, 2.0f, 3.0f);
    Blip mine = blip;
    remove_blip(&mine);
  }));
  ASSERT_TRUE(run_script([&] {
    Blip stale = blip;
    remove_blip(&stale);  // gone already: acts on nothing
    stale = blip;
    remove_blip(&stale);  // and again: this plug-in's second delete
  }));
  expect_no_violation();
  EXPECT_EQ(deleted_again(test_support::test_plugin()), 1u);
  EXPECT_EQ(deleted_again(other_plugin), 0u);
}

// A plug-in may clear a stranger off a seat of its own, not off another's.
TEST_F(Ownership, RemovingAPedSeatedOnAnotherPlugInsPointIsReported) {
  const auto seated_on_point_of = [&](sim::PluginId owner) {
    const int32_t ped =
        world().create_entity(sim::EntityKind::ped, sim::joaat("a_f_m_tumtownfolk_01"), {}, 0.0f);
    sim::ScenarioPointState p;
    p.handle = world().points.next_handle++;
    p.entity = entity_of(owner);
    p.user = ped;
    world().points.all[p.handle] = p;
    world().owners.give(sim::Thing::point, p.handle, owner);
    return ped;
  };
  int32_t on_mine = seated_on_point_of(test_support::test_plugin());
  ASSERT_TRUE(run_script([&] { delete_ped(&on_mine); }));
  expect_no_violation();

  int32_t on_theirs = seated_on_point_of(other_plugin);
  ASSERT_TRUE(run_script([&] { delete_ped(&on_theirs); }));
  expect_one_violation("DELETE_PED", "the game");
}

TEST_F(Ownership, APluginHandlesItsOwnThingsAndPlacesAndTasksThePlayerFreely) {
  world().model("p_chair01x").load_frames = 0;
  ASSERT_TRUE(run_script([] {
    request_model(get_hash_key("p_chair01x"), false);
    Object chair = create_object(get_hash_key("p_chair01x"), 1.0f, 2.0f, 3.0f, false, false, false,
                                 false, false);
    freeze_entity_position(chair, true);
    Blip blip = blip_add_for_coords(get_hash_key("BLIP_STYLE_SHOP"), 1.0f, 2.0f, 3.0f);
    set_blip_scale(blip, 0.5f);
    remove_blip(&blip);
    Prompt p = ui_prompt_register_begin();
    ui_prompt_set_enabled(p, true);
    ui_prompt_delete(p);
    const Ped me = player_ped_id();
    set_entity_coords(me, 1.0f, 1.0f, 1.0f, false, false, false, false);
    clear_ped_tasks(me, true, true);
    delete_entity(&chair);
  }));
  expect_no_violation();
  EXPECT_EQ(sim::total(world().holdings(test_support::test_plugin())), 0);
}

TEST_F(Ownership, ThingsTheGameMadeAreItsOwnAndActingOnNothingIsNoViolation) {
  int32_t gone = entity_of(other_plugin);
  world().remove_entity(gone);
  ASSERT_TRUE(run_script([&] {
    freeze_entity_position(gone, true);
    delete_entity(&gone);
    ui_prompt_set_enabled(0, true);
  }));
  expect_no_violation();
}

TEST_F(Ownership, HoldingsCountWhatEachPluginKeepsAliveByKind) {
  world().model("p_chair01x").load_frames = 0;
  Object second = 0;
  ASSERT_TRUE(run_script([&] {
    request_model(get_hash_key("p_chair01x"), false);
    create_object(get_hash_key("p_chair01x"), 1.0f, 2.0f, 3.0f, false, false, false, false, false);
    second = create_object(get_hash_key("p_chair01x"), 1.0f, 2.0f, 3.0f, false, false, false, false,
                           false);
    ui_prompt_register_begin();
    blip_add_for_coords(get_hash_key("BLIP_STYLE_SHOP"), 1.0f, 2.0f, 3.0f);
  }));
  const sim::Holdings h = world().holdings(test_support::test_plugin());
  EXPECT_EQ(h[static_cast<size_t>(sim::Thing::entity)], 2);
  EXPECT_EQ(h[static_cast<size_t>(sim::Thing::prompt)], 1);
  EXPECT_EQ(h[static_cast<size_t>(sim::Thing::blip)], 1);
  EXPECT_EQ(sim::holdings_text(h), "entity 2, prompt 1, blip 1");
  world().remove_entity(second);
  EXPECT_EQ(sim::total(world().holdings(test_support::test_plugin())), 3);
}

}  // namespace
