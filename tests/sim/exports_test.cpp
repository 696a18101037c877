// The host's exports beyond the native calls, each doing its job in the
// simulated game: script globals, the world's entities by kind, additional
// scripts, both ways to unregister, entity records and the game's version.

#include "exports.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "host.h"
#include "sim_test.h"
#include "test_script.h"

using sim::Host;
using test_support::run_script;

namespace {

class Exports : public test_support::HostTest {};

TEST_F(Exports, GlobalsAreZeroUntilWrittenAndKeepTheirAddress) {
  uint64_t* first = nullptr;
  uint64_t* again = nullptr;
  uint64_t unwritten = 1;
  ASSERT_TRUE(run_script([&] {
    first = getGlobalPtr(1835);
    unwritten = *getGlobalPtr(40);
    *first = 0x1122334455667788ULL;  // all 64 bits
    scriptWait(0);
    again = getGlobalPtr(1835);
  }));
  EXPECT_EQ(unwritten, 0u);
  EXPECT_EQ(first, again);
  EXPECT_EQ(*again, 0x1122334455667788ULL);
  EXPECT_NE(getGlobalPtr(40), first) << "each index is a slot of its own";
  EXPECT_TRUE(world().violations().empty());
}

TEST_F(Exports, GlobalReadsAndWritesAreEvents) {
  ASSERT_TRUE(run_script([] {
    uint64_t* g = getGlobalPtr(7);
    *g = 5;
    scriptWait(0);
    *g = 6;
  }));
  std::vector<sim::entry::GlobalGiven> given;
  std::vector<sim::entry::GlobalWritten> written;
  const sim::Journal& j = world().journal;
  for (uint64_t n = j.begin(); n < j.end(); ++n) {
    if (j[n].kind == sim::EntryKind::global_given) given.push_back(j[n].global_given);
    if (j[n].kind == sim::EntryKind::global_written) written.push_back(j[n].global_written);
  }
  ASSERT_EQ(given.size(), 1u);
  EXPECT_EQ(given[0].index, 7);
  EXPECT_EQ(given[0].value, 0u);
  ASSERT_EQ(written.size(), 2u);
  EXPECT_EQ(written[0].index, 7);
  EXPECT_EQ(written[0].from, 0u);
  EXPECT_EQ(written[0].to, 5u);
  EXPECT_EQ(written[0].when, "by script 1 of " + Host::get().scripts().front()->plugin);
  EXPECT_EQ(written[1].from, 5u);
  EXPECT_EQ(written[1].to, 6u);
  EXPECT_TRUE(written[1].when.starts_with("by script 1"));
}

TEST_F(Exports, ANegativeGlobalIndexIsAViolationNotACrash) {
  ASSERT_TRUE(run_script([] {
    uint64_t* g = getGlobalPtr(-3);
    ASSERT_NE(g, nullptr);
    *g = 9;  // a plug-in that does not check writes anyway
    EXPECT_EQ(*getGlobalPtr(-1), 0u) << "nothing written through it is kept";
  }));
  EXPECT_TRUE(violated("getGlobalPtr(-3): a negative index"));
  EXPECT_TRUE(violated("getGlobalPtr(-1): a negative index"));
}

TEST_F(Exports, WorldGetAllListsTheLiveEntitiesOfEachKind) {
  const int32_t ped_a = world().create_entity(sim::EntityKind::ped, 1, {}, 0);
  const int32_t prop = world().create_entity(sim::EntityKind::object, 2, {}, 0);
  const int32_t gone = world().create_entity(sim::EntityKind::ped, 1, {}, 0);
  const int32_t ped_b = world().create_entity(sim::EntityKind::ped, 1, {}, 0);
  const int32_t cart = world().create_entity(sim::EntityKind::vehicle, 3, {}, 0);
  const int32_t pickup = world().create_entity(sim::EntityKind::pickup, 4, {}, 0);
  world().remove_entity(gone);
  std::vector<int32_t> peds(16, 0);
  int ped_count = 0;
  int one[1] = {0};
  int limited = 0;
  int objects[4] = {};
  int vehicles[4] = {};
  int pickups[4] = {};
  int object_count = 0, vehicle_count = 0, pickup_count = 0;
  ASSERT_TRUE(run_script([&] {
    ped_count = worldGetAllPeds(peds.data(), static_cast<int>(peds.size()));
    limited = worldGetAllPeds(one, 1);
    object_count = worldGetAllObjects(objects, 4);
    vehicle_count = worldGetAllVehicles(vehicles, 4);
    pickup_count = worldGetAllPickups(pickups, 4);
  }));
  peds.resize(static_cast<size_t>(ped_count));
  std::sort(peds.begin(), peds.end());
  std::vector<int32_t> expected = {world().player_ped(), ped_a, ped_b};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(peds, expected) << "the player's ped too, and not the removed one";
  EXPECT_EQ(limited, 1);
  EXPECT_TRUE(std::find(expected.begin(), expected.end(), one[0]) != expected.end());
  ASSERT_EQ(object_count, 1);
  EXPECT_EQ(objects[0], prop);
  ASSERT_EQ(vehicle_count, 1);
  EXPECT_EQ(vehicles[0], cart);
  ASSERT_EQ(pickup_count, 1);
  EXPECT_EQ(pickups[0], pickup);
  EXPECT_TRUE(world().violations().empty());
}

TEST_F(Exports, WorldGetAllRefusesANullArrayOrANegativeCapacity) {
  int counts[3] = {-1, -1, -1};
  int untouched[2] = {77, 77};
  ASSERT_TRUE(run_script([&] {
    counts[0] = worldGetAllPeds(nullptr, 10);
    counts[1] = worldGetAllPeds(untouched, -2);
    counts[2] = worldGetAllPeds(nullptr, 0);  // asks for nothing: sound
  }));
  EXPECT_EQ(counts[0], 0);
  EXPECT_EQ(counts[1], 0);
  EXPECT_EQ(counts[2], 0);
  EXPECT_EQ(untouched[0], 77);
  EXPECT_TRUE(violated("worldGetAllPeds: a null array with capacity 10"));
  EXPECT_TRUE(violated("worldGetAllPeds: a negative capacity -2"));
  EXPECT_EQ(world().violations().size(), 2u);
}

// Scripts that note who ran, in order, and wait a frame.
std::vector<std::string>& turns() {
  static std::vector<std::string> record;
  return record;
}
void first_script() {
  for (;;) {
    turns().push_back("first");
    scriptWait(0);
  }
}
void extra_script() {
  for (;;) {
    turns().push_back("extra");
    scriptWait(1000);  // its own fiber: its wait is not the first's
  }
}
void other_module_script() {
  for (;;) {
    turns().push_back("other");
    scriptWait(0);
  }
}
int module_a_tag, module_b_tag;
HMODULE module_a() { return reinterpret_cast<HMODULE>(&module_a_tag); }
HMODULE module_b() { return reinterpret_cast<HMODULE>(&module_b_tag); }

TEST_F(Exports, AnAdditionalThreadRunsEachFrameAfterItsModulesFirstOnAFiberOfItsOwn) {
  turns().clear();
  scriptRegister(module_a(), first_script);
  scriptRegister(module_b(), other_module_script);
  scriptRegisterAdditionalThread(module_a(), extra_script);
  Host::get().run_frames(2);
  EXPECT_EQ(turns(), (std::vector<std::string>{"first", "extra", "other", "first", "other"}));
  Host::get().run_for_ms(1000);
  EXPECT_EQ(std::count(turns().begin(), turns().end(), "extra"), 2);
  ASSERT_EQ(Host::get().scripts().size(), 3u);
  EXPECT_EQ(Host::get().scripts()[1]->index, 1) << "the module's second script";
  EXPECT_TRUE(world().violations().empty());
}

TEST_F(Exports, UnregisteringByModuleEndsAllItsScriptsByEntryOnlyThatOne) {
  turns().clear();
  scriptRegister(module_a(), first_script);
  scriptRegisterAdditionalThread(module_a(), extra_script);
  scriptRegister(module_b(), other_module_script);
  Host::get().run_frame();
  scriptUnregisterEntry(first_script);
  scriptUnregister(extra_script);  // the older form, as plug-ins spell it
  scriptUnregisterEntry(nullptr);  // nothing registered with it: harmless
  ASSERT_EQ(Host::get().script_count(), 1u);
  EXPECT_FALSE(Host::get().has_script(module_a()));
  scriptRegister(module_a(), first_script);
  scriptRegisterAdditionalThread(module_a(), extra_script);
  scriptUnregister(module_a());
  EXPECT_FALSE(Host::get().has_script(module_a()));
  EXPECT_TRUE(Host::get().has_script(module_b()));
  turns().clear();
  Host::get().run_frame();
  EXPECT_EQ(turns(), (std::vector<std::string>{"other"}));
  EXPECT_TRUE(world().violations().empty());
}

int keys_seen = 0;
void count_keys(DWORD, WORD, BYTE, BOOL, BOOL, BOOL, BOOL) { ++keys_seen; }

TEST_F(Exports, AnUnregisteredKeyboardHandlerIsCalledNoMore) {
  keys_seen = 0;
  keyboardHandlerRegister(count_keys);
  Host::get().send_key(0x41, 1, 0, 0, 0, 0, 0);
  keyboardHandlerUnregister(count_keys);
  Host::get().send_key(0x41, 1, 0, 0, 0, 0, 0);
  EXPECT_EQ(keys_seen, 1);
  EXPECT_FALSE(Host::get().has_keyboard_handler(count_keys));
}

TEST_F(Exports, AnEntitysRecordIsAZeroedBlockForItsLife) {
  const int32_t ped = world().create_entity(sim::EntityKind::ped, 1, {}, 0);
  const int32_t prop = world().create_entity(sim::EntityKind::object, 2, {}, 0);
  BYTE* block = getScriptHandleBaseAddress(ped);
  ASSERT_NE(block, nullptr);
  const std::vector<BYTE> zeros(sim::entity_block_bytes, 0);
  EXPECT_EQ(std::memcmp(block, zeros.data(), zeros.size()), 0);
  std::memset(block, 0xAB, sim::entity_block_bytes);  // the whole block is the plug-in's to touch
  Host::get().run_frames(3);
  EXPECT_EQ(getScriptHandleBaseAddress(ped), block) << "stable while the entity lives";
  EXPECT_EQ(block[sim::entity_block_bytes - 1], 0xAB);
  BYTE* other = getScriptHandleBaseAddress(prop);
  ASSERT_NE(other, nullptr);
  EXPECT_NE(other, block);
  EXPECT_EQ(getScriptHandleBaseAddress(0), nullptr);
  EXPECT_EQ(getScriptHandleBaseAddress(0x7FFF0000), nullptr) << "no such handle";

  world().remove_entity(ped);
  EXPECT_EQ(getScriptHandleBaseAddress(ped), nullptr) << "gone with its entity";
  Host::get().run_frame();
  const int32_t next = world().create_entity(sim::EntityKind::ped, 1, {}, 0);
  BYTE* reused = getScriptHandleBaseAddress(next);
  ASSERT_NE(reused, nullptr);
  EXPECT_EQ(std::memcmp(reused, zeros.data(), zeros.size()), 0) << "a new entity starts zeroed";
}

TEST_F(Exports, TheGameVersionIsTheStandInsOwnFixedNumber) {
  EXPECT_EQ(static_cast<int>(getGameVersion()), sim::stand_in_game_version);
  Host::get().run_frames(10);
  EXPECT_EQ(static_cast<int>(getGameVersion()), sim::stand_in_game_version);
}

// A reset starts a run afresh: nothing of the one before is kept, in the
// host or in the world.
TEST_F(Exports, AResetKeepsNothingOfTheRunBefore) {
  Host& host = Host::get();
  keys_seen = 0;
  keyboardHandlerRegister(count_keys);
  test_support::start_script([] {
    *getGlobalPtr(1835) = 7;
    scriptWait(100);
  });
  host.run_frames(3);
  ASSERT_EQ(host.script_count(), 1u);
  ASSERT_GT(world().journal.end(), 0u);
  ASSERT_GT(host.waits(), 0u);
  ASSERT_GT(world().frame(), 0u);

  host.reset();
  EXPECT_EQ(host.script_count(), 0u);
  EXPECT_EQ(host.keyboard_handler_count(), 0u);
  EXPECT_EQ(world().journal.end(), sim::World{}.journal.end()) << "only a new world's own entries";
  EXPECT_EQ(host.waits(), 0u);
  EXPECT_EQ(world().frame(), 0u);
  EXPECT_TRUE(world().calls().empty());
  host.send_key(0x41, 1, 0, 0, 0, 0, 0);
  EXPECT_EQ(keys_seen, 0);
  uint64_t global = 1;
  const uint64_t from = world().journal.end();
  ASSERT_TRUE(run_script([&] { global = *getGlobalPtr(1835); }));
  EXPECT_EQ(global, 0u) << "globals start at zero again";
  uint64_t number = 0;
  for (uint64_t n = from; n < world().journal.end(); ++n) {
    const sim::Entry& e = world().journal[n];
    if (e.kind == sim::EntryKind::registered) number = e.registered.script.number;
  }
  EXPECT_EQ(number, 1u) << "scripts are numbered from 1 again";
}

}  // namespace
