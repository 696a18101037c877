// A lookup that finds nothing fails the test with what it looked for and
// what the game holds instead, and hands back a blank stand-in, not a null.

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "finders.h"
#include "joaat.h"
#include "natives.h"
#include "sim_test.h"
#include "test_script.h"

namespace {

using test_support::find_call;
using test_support::find_entity;
using test_support::find_offered_prompt;
using test_support::find_prompt;
using test_support::must;
using Lookups = test_support::SimTest;

int32_t add_prompt(sim::World& w, const char* label, bool offered) {
  sim::PromptState& p = *w.prompt(w.new_prompt());
  p.label = label;
  p.registered = true;
  p.enabled = p.visible = offered;
  return p.handle;
}

TEST_F(Lookups, AMissingPromptNamesTheLabelAndThePromptsThereAre) {
  add_prompt(world(), "Sit", false);
  add_prompt(world(), "Leave", true);
  int32_t handle = -1;
  EXPECT_NONFATAL_FAILURE(handle = must(find_prompt(world(), "Buy Ticket ($1.00)")).handle,
                          "no prompt labelled \"Buy Ticket ($1.00)\"; "
                          "prompts: \"Sit\", \"Leave\" (offered)");
  EXPECT_EQ(handle, 0) << "a blank stand-in";
  EXPECT_NONFATAL_FAILURE(must(find_offered_prompt(world(), "Sit")),
                          "prompt \"Sit\" is not on offer; offered: \"Leave\"");
}

TEST_F(Lookups, TwoWhereOneIsLookedForIsAMissToo) {
  add_prompt(world(), "Sit", true);
  add_prompt(world(), "Sit", true);
  EXPECT_NONFATAL_FAILURE(must(find_prompt(world(), "Sit")),
                          "expected one prompt labelled \"Sit\", found 2");
}

TEST_F(Lookups, AMissingEntityListsTheLiveOnesByTheNameThePlugInAskedFor) {
  ASSERT_TRUE(test_support::run_script([] { get_hash_key("p_toytrack01x"); }));
  world().create_entity(sim::EntityKind::object, sim::joaat("p_toytrack01x"), {}, 0.0f);
  EXPECT_NONFATAL_FAILURE(must(find_entity(world(), "p_toytrain01x")),
                          "no live p_toytrain01x; live entities: 1 p_toytrack01x, "
                          "1 the player's ped");
  EXPECT_NONFATAL_FAILURE(must(find_entity(world(), 12345)).exists = false, "no entity 12345");
}

TEST_F(Lookups, ACallBeyondTheRecordSaysHowManyThereAre) {
  ASSERT_TRUE(test_support::run_script([] { get_hash_key("core"); }));
  EXPECT_EQ(must(find_call(world(), "GET_HASH_KEY", test_support::last)).frame, 1u);
  EXPECT_NONFATAL_FAILURE(must(find_call(world(), "GET_HASH_KEY", 1)),
                          "no call to GET_HASH_KEY #2 (there are 1); 1 calls to GET_HASH_KEY");
  EXPECT_NONFATAL_FAILURE(must(find_call(world(), "SET_TV_CHANNEL_PLAYLIST")),
                          "no call to SET_TV_CHANNEL_PLAYLIST; 0 calls");
}

}  // namespace
