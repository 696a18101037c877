// Setting the train out, removing it, and what a pass asks of the game.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "train_world.h"

namespace toytrain_test {
namespace {

class Site : public TrainWorld {};

TEST_F(Site, APlayerInRangeAtStartGetsTheTrainOnTheFirstPassAlreadyOn) {
  world().model("p_toytrain01x").loaded = true;
  world().model("p_toytrack01x").loaded = true;
  load(134.0f);        // just within its 135.0
  host().run_frame();  // the script's first pass

  const sim::EntityState& t = train();
  EXPECT_FLOAT_EQ(t.position.x, site_x);
  EXPECT_FLOAT_EQ(t.position.y, site_y);
  EXPECT_FLOAT_EQ(t.position.z, site_z);
  EXPECT_TRUE(t.frozen);
  EXPECT_TRUE(t.targettable_focus);
  EXPECT_TRUE(t.eagle_eye);
  EXPECT_EQ(t.shown_name, "Toy Train");
  EXPECT_EQ(t.prompt_name_label, sim::joaat("MG_TOY_TRAIN"));
  EXPECT_TRUE(must(find_entity(world(), "p_toytrack01x")).frozen);

  EXPECT_TRUE(switched_on("Turn off"));
  EXPECT_FALSE(switched_on("Turn on"));
  for (const char* label : {"Turn on", "Turn off"}) {
    const sim::PromptState& p = prompt(label);
    EXPECT_EQ(p.control, sim::joaat("INPUT_ENTER")) << label;
    EXPECT_EQ(p.mode, sim::PromptMode::hold) << label;
    EXPECT_EQ(p.mode_value, 550) << label;
    EXPECT_EQ(p.group, world().group_for_entity(t.handle)) << label;
  }

  const sim::LoopedEffectState& s = the_smoke();
  EXPECT_EQ(s.scale, 0.5f) << "full size at once, no fade-in";
  EXPECT_EQ(s.effect, sim::joaat("ent_amb_toy_boat_idle_smoke"));
  EXPECT_EQ(s.asset, sim::joaat("core"));
  EXPECT_FLOAT_EQ(s.offset[0], 0.18922f);
  EXPECT_FLOAT_EQ(s.offset[1], -0.380005f);
  EXPECT_FLOAT_EQ(s.offset[2], 0.053727f);

  EXPECT_NEAR(speed(), 0.005f, 1e-5f) << "rising from 0.0";
}

// The object index is asked before the label is hashed, as the set-up is
// written, whichever way a compiler orders a call's arguments.
TEST_F(Site, TheTrainsPromptNameAsksForItsObjectIndexThenTheLabelsHash) {
  load_with_train();
  const std::string t = std::to_string(train().handle);
  const std::string label = std::to_string(static_cast<int32_t>(sim::joaat("MG_TOY_TRAIN")));
  const std::string index_call = "GET_OBJECT_INDEX_FROM_ENTITY_INDEX(" + t + ") -> " + t;
  std::vector<std::string> made;
  for (const sim::CallRecord& r : world().calls()) made.push_back(r.text());
  const auto at = std::find(made.begin(), made.end(), index_call);
  ASSERT_NE(at, made.end()) << "no " << index_call;
  ASSERT_GE(made.end() - at, 3) << "the record ends after " << index_call;
  EXPECT_EQ(std::vector<std::string>(at, at + 3),
            (std::vector<std::string>{
                index_call,
                "GET_HASH_KEY(\"MG_TOY_TRAIN\") -> " + label,
                "_SET_OBJECT_PROMPT_NAME_FROM_GXT_ENTRY(" + t + ", " + label + ")",
            }));
}

TEST_F(Site, ADistanceOfExactly135IsOutOfRangeBothWays) {
  load(135.0f);
  host().run_frames(10);
  EXPECT_TRUE(trains().empty()) << "no set-up at 135.0";
  EXPECT_EQ(live_tracks(), 0u);

  place_player(134.99f);
  ASSERT_TRUE(run_until_set_up(10));

  place_player(135.0f);
  host().run_frame();
  EXPECT_TRUE(trains().empty()) << "removed at 135.0";
  EXPECT_EQ(live_tracks(), 0u) << "the track goes with the train";
  EXPECT_TRUE(world().prompts_labelled("Turn on").empty());
  EXPECT_TRUE(world().prompts_labelled("Turn off").empty());
}

TEST_F(Site, APresentTrainStaysJustWithin135AndGoesJustBeyondIt) {
  load_with_train();
  const int32_t handle = train().handle;
  const sim::Vec site{site_x, site_y, site_z};
  place_player(134.99f);
  ASSERT_LT(sim::distance(world().player_position(), site), 135.0f);
  host().run_frames(10);
  EXPECT_TRUE(world().exists(handle)) << "kept just within 135.0";
  EXPECT_EQ(trains().size(), 1u);
  EXPECT_TRUE(switched_on("Turn off"));

  place_player(135.01f);
  ASSERT_GT(sim::distance(world().player_position(), site), 135.0f);
  host().run_frame();
  EXPECT_FALSE(world().exists(handle));
  host().run_frames(5);
  EXPECT_TRUE(trains().empty()) << "and no set-up beyond it";
}

TEST_F(Site, ADistanceThatIsNotANumberCountsAsInRange) {
  load(500.0f);
  world().place_player(std::nanf(""), site_y, site_z);
  ASSERT_TRUE(run_until_set_up(10));
  host().run_frames(5);
  EXPECT_EQ(trains().size(), 1u) << "set out once, and kept";
}

TEST_F(Site, WalkingAwayRemovesTrainTrackPromptsAndSmokeAndLeavesThemAlone) {
  load_with_train();
  const int32_t handle = train().handle;
  const int32_t smoke = the_smoke().handle;
  host().run_frames(30);

  place_player(500.0f);
  host().run_frame();
  EXPECT_FALSE(world().exists(handle));
  EXPECT_EQ(live_tracks(), 0u);
  EXPECT_TRUE(world().prompts_labelled("Turn on").empty());
  EXPECT_TRUE(world().prompts_labelled("Turn off").empty());
  EXPECT_TRUE(must(test_support::find_effect(world(), smoke)).stopped)
      << "put out before the train went";
  EXPECT_FALSE(must(find_entity(world(), handle)).lockon_prompt);

  // Further passes away from the site touch nothing of the removed train.
  world().clear_record();
  host().run_frames(5);
  std::vector<std::string> names;
  for (const sim::CallRecord& r : world().calls()) {
    if (r.frame == world().frame()) names.push_back(test_support::call_name(r));
  }
  EXPECT_EQ(names, (std::vector<std::string>{"PLAYER_PED_ID", "GET_ENTITY_COORDS",
                                             "GET_DISTANCE_BETWEEN_COORDS", "DOES_ENTITY_EXIST"}));
  EXPECT_EQ(world().count_calls("SET_ENTITY_ROTATION"), 0u);
  EXPECT_EQ(world().count_calls("_UI_PROMPT_HAS_HOLD_MODE_COMPLETED"), 0u);
}

TEST_F(Site, ComingBackGivesAFreshTrainOnFromRestWithOneTrackAndOnePairOfPrompts) {
  load_with_train();
  host().run_frames(200);  // top speed
  EXPECT_NEAR(speed(), 0.6f, 1e-4f);
  const int32_t first = train().handle;
  const int32_t first_on = prompt("Turn on").handle;

  for (int visit = 0; visit < 3; ++visit) {
    place_player(300.0f);
    host().run_frames(3);
    ASSERT_TRUE(trains().empty());
    place_player(20.0f);
    ASSERT_TRUE(run_until_set_up(10));
  }
  EXPECT_NE(train().handle, first);
  EXPECT_NE(prompt("Turn on").handle, first_on);
  EXPECT_TRUE(switched_on("Turn off"));
  EXPECT_FALSE(switched_on("Turn on"));
  EXPECT_NEAR(speed(), 0.005f, 1e-5f) << "from 0.0 again";
  EXPECT_EQ(live_tracks(), 1u);
  EXPECT_EQ(world().prompts_labelled("Turn on").size(), 1u);
  EXPECT_EQ(world().prompts_labelled("Turn off").size(), 1u);
  EXPECT_EQ(the_smoke().scale, 0.5f);
}

TEST_F(Site, ATrainThatVanishesInRangeIsSetOutAgainWithoutLeftovers) {
  load_with_train();
  host().run_frames(5);
  const int32_t gone = train().handle;
  const int32_t old_on = prompt("Turn on").handle;
  const int32_t old_off = prompt("Turn off").handle;
  world().remove_entity(gone);

  ASSERT_TRUE(run_until_set_up(10));
  EXPECT_NE(train().handle, gone);
  EXPECT_TRUE(must(find_prompt(world(), old_on)).deleted);
  EXPECT_TRUE(must(find_prompt(world(), old_off)).deleted);
  EXPECT_EQ(world().prompts_labelled("Turn off").size(), 1u);
  EXPECT_TRUE(switched_on("Turn off"));
  EXPECT_EQ(live_tracks(), 1u);
  EXPECT_EQ(smoke().size(), 1u);
}

TEST_F(Site, ATrainThatVanishesAsThePlayerLeavesTakesItsPromptsAndTrackWithIt) {
  load_with_train();
  world().remove_entity(train().handle);
  place_player(400.0f);
  host().run_frame();
  EXPECT_TRUE(world().prompts_labelled("Turn on").empty());
  EXPECT_TRUE(world().prompts_labelled("Turn off").empty());
  EXPECT_EQ(live_tracks(), 0u);
}

// A train the game does not make (0) gets the whole set-up all the same, so
// each pass in range ends it with "Turn off" on; what the set-up before made
// is deleted first, so nothing piles up.
TEST_F(Site, ATrainThatCannotBeCreatedIsSetUpAgainEachPassAndNothingPilesUp) {
  world().model("p_toytrain01x").valid = false;
  load(10.0f);
  host().run_frames(30);
  EXPECT_TRUE(trains().empty());
  EXPECT_EQ(world().prompts_labelled("Turn on").size(), 1u);
  EXPECT_EQ(world().prompts_labelled("Turn off").size(), 1u);
  EXPECT_FALSE(switched_on("Turn on"));
  EXPECT_TRUE(switched_on("Turn off"));
  EXPECT_EQ(live_tracks(), 1u);
  // The same calls as for a train, each pass, on handle 0.
  const uint64_t passes = world().count_calls("_UI_PROMPT_SET_GROUP") / 2;
  EXPECT_GE(passes, 28u);
  for (const char* name : {"_UI_PROMPT_GET_GROUP_ID_FOR_TARGET_ENTITY", "FREEZE_ENTITY_POSITION",
                           "_SET_OBJECT_TARGETTABLE_FOCUS", "START_PARTICLE_FX_LOOPED_ON_ENTITY"}) {
    EXPECT_GE(world().count_calls(name), passes) << name;
  }

  place_player(200.0f);
  host().run_frame();
  EXPECT_TRUE(world().prompts_labelled("Turn on").empty());
  EXPECT_TRUE(world().prompts_labelled("Turn off").empty());
  EXPECT_EQ(live_tracks(), 0u);
}

// While the set-up waits for its models, "Turn on" is on offer outside any
// group and nothing else is made; the train comes in the frame its model has
// loaded, the track in the frame its own has, and only then is the train on.
TEST_F(Site, ASlowTrainModelHoldsTheSetUpWithTurnOnOfferedAndTheTrackAfterTheTrain) {
  world().model("p_toytrain01x").load_frames = 4;
  world().model("p_toytrack01x").load_frames = 3;
  load(10.0f);
  struct Frame {
    uint64_t frame;
    bool on;
    bool off;
    int on_group;
  };
  std::vector<Frame> seen;
  for (int n = 0; n < 12; ++n) {
    host().run_frame();
    const auto on = world().prompts_labelled("Turn on");
    seen.push_back({world().frame(), switched_on("Turn on"), switched_on("Turn off"),
                    on.size() == 1 ? on.front()->group : -1});
  }
  auto made_in = [&](const char* model) {
    std::vector<uint64_t> frames;
    for (const auto* r : world().calls_to("CREATE_OBJECT")) {
      if (static_cast<uint32_t>(r->args.at(0).raw) == sim::joaat(model)) frames.push_back(r->frame);
    }
    return frames;
  };
  const auto prompts_made = world().calls_to("_UI_PROMPT_REGISTER_BEGIN");
  ASSERT_EQ(prompts_made.size(), 2u);
  const uint64_t first = prompts_made.front()->frame;
  EXPECT_EQ(prompts_made.back()->frame, first);
  EXPECT_EQ(made_in("p_toytrain01x"), std::vector<uint64_t>{first + 4});
  EXPECT_EQ(made_in("p_toytrack01x"), std::vector<uint64_t>{first + 4 + 3});
  const uint64_t ready = first + 7;
  ASSERT_LE(ready, seen.back().frame);
  for (const Frame& f : seen) {
    SCOPED_TRACE("frame " + std::to_string(f.frame - first) + " of the set-up");
    if (f.frame < first) {
      EXPECT_FALSE(f.on || f.off);
    } else if (f.frame < ready) {
      EXPECT_TRUE(f.on) << "offered while the set-up waits";
      EXPECT_FALSE(f.off);
      EXPECT_EQ(f.on_group, 0) << "in no train's group yet";
    } else {
      EXPECT_FALSE(f.on);
      EXPECT_TRUE(f.off) << "the train is on";
      EXPECT_EQ(f.on_group, world().group_for_entity(train().handle));
    }
  }
}

TEST_F(Site, AGameTextThatIsMissingNamesTheTrainEmpty) {
  world().fail_native(0xBD5DD5EAE2B6CE14);  // GET_STRING_FROM_HASH_KEY answers null
  load_with_train();
  EXPECT_EQ(train().shown_name, "");
  EXPECT_TRUE(train().lockon_prompt);
}

// The game may report both prompts completed in one pass: the turn-on runs,
// then the turn-off, so the train ends off.
TEST_F(Site, WhenBothPromptsCompleteInOnePassTheTurnOnRunsThenTheTurnOff) {
  load_with_train();
  complete("Turn off");
  host().run_frames(3);
  const int32_t on = prompt("Turn on").handle;
  const int32_t off = prompt("Turn off").handle;
  world().clear_record();
  for (const int32_t handle : {on, off}) {
    sim::PromptState* p = world().prompt(handle);
    ASSERT_NE(p, nullptr) << "prompt " << handle;
    p->completed_frame = world().frame() + 1;  // both seen by the next pass
  }
  host().run_frame();

  // The switches with their arguments, and where the smoke starts and stops.
  std::vector<std::string> steps;
  for (const sim::CallRecord& r : world().calls()) {
    const std::string name = test_support::call_name(r);
    if (name == "_UI_PROMPT_SET_ENABLED" || name == "_UI_PROMPT_SET_VISIBLE") {
      steps.push_back(r.text());
    } else if (name == "START_PARTICLE_FX_LOOPED_ON_ENTITY" || name == "STOP_PARTICLE_FX_LOOPED") {
      steps.push_back(name);
    }
  }
  const auto sw = [](const char* name, int32_t prompt, int value) {
    return std::string(name) + "(" + std::to_string(prompt) + ", " + std::to_string(value) + ")";
  };
  EXPECT_EQ(steps, (std::vector<std::string>{
                       sw("_UI_PROMPT_SET_ENABLED", on, 0), sw("_UI_PROMPT_SET_VISIBLE", on, 0),
                       sw("_UI_PROMPT_SET_ENABLED", off, 1), sw("_UI_PROMPT_SET_VISIBLE", off, 1),
                       "START_PARTICLE_FX_LOOPED_ON_ENTITY", sw("_UI_PROMPT_SET_ENABLED", off, 0),
                       sw("_UI_PROMPT_SET_VISIBLE", off, 0), sw("_UI_PROMPT_SET_ENABLED", on, 1),
                       sw("_UI_PROMPT_SET_VISIBLE", on, 1), "STOP_PARTICLE_FX_LOOPED"}));
  EXPECT_TRUE(switched_on("Turn on"));
  EXPECT_FALSE(switched_on("Turn off"));
  EXPECT_TRUE(smoke().empty()) << "the smoke the turn-on lit is out again";
}

// Off and stopped: the pass asks the prompts, then the off step writes the
// heading it read, and nothing coasts.
TEST_F(Site, AQuietPassOfAStoppedTrainThatIsOffMakesElevenNativeCalls) {
  load_with_train();
  complete("Turn off");
  host().run_frames(400);
  ASSERT_EQ(speed(), 0.0f);
  world().clear_record();
  host().run_frame();
  std::vector<std::string> calls;
  for (const sim::CallRecord& r : world().calls()) calls.push_back(r.text());
  const std::string on = std::to_string(prompt("Turn on").handle);
  const std::string off = std::to_string(prompt("Turn off").handle);
  const std::string t = std::to_string(train().handle);
  ASSERT_EQ(calls.size(), 11u) << ::testing::PrintToString(calls);
  EXPECT_EQ(calls[3], "DOES_ENTITY_EXIST(" + t + ") -> 1");
  EXPECT_EQ(std::vector<std::string>(calls.begin() + 4, calls.begin() + 8),
            (std::vector<std::string>{"_UI_PROMPT_HAS_HOLD_MODE_COMPLETED(" + on + ") -> 0",
                                      "_UI_PROMPT_HAS_HOLD_MODE_COMPLETED(" + off + ") -> 0",
                                      "_UI_PROMPT_IS_ENABLED(" + off + ") -> 0",
                                      "_UI_PROMPT_IS_ENABLED(" + on + ") -> 1"}));
  EXPECT_EQ(calls[8].substr(0, calls[8].find('(')), "GET_FRAME_TIME");
  EXPECT_EQ(calls[9].substr(0, calls[9].find(')') + 1), "GET_ENTITY_HEADING(" + t + ")");
  EXPECT_EQ(calls[10].substr(0, calls[10].find(',')), "SET_ENTITY_ROTATION(" + t);
}

TEST_F(Site, AQuietPassMakesThirteenNativeCalls) {
  load_with_train();
  host().run_frames(200);
  ASSERT_NEAR(speed(), 0.6f, 1e-4f);
  world().clear_record();
  const uint64_t before = world().total_calls();
  host().run_frame();
  EXPECT_EQ(world().total_calls() - before, 13u);
  std::vector<std::string> names;
  for (const sim::CallRecord& r : world().calls()) names.push_back(test_support::call_name(r));
  EXPECT_EQ(names, (std::vector<std::string>{
                       "PLAYER_PED_ID", "GET_ENTITY_COORDS", "GET_DISTANCE_BETWEEN_COORDS",
                       "DOES_ENTITY_EXIST", "_UI_PROMPT_HAS_HOLD_MODE_COMPLETED",
                       "_UI_PROMPT_HAS_HOLD_MODE_COMPLETED", "_UI_PROMPT_IS_ENABLED",
                       "GET_FRAME_TIME", "GET_ENTITY_HEADING", "SET_ENTITY_ROTATION",
                       "_UI_PROMPT_IS_ENABLED", "GET_ENTITY_HEADING", "SET_ENTITY_ROTATION"}));
}

}  // namespace
}  // namespace toytrain_test
