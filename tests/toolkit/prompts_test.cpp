// Labelled prompts, in each mode the deliverables use.

#include "prompts.h"

#include <gtest/gtest.h>

#include "finders.h"
#include "host.h"
#include "joaat.h"
#include "sim_test.h"
#include "test_script.h"

using sim::Host;
using test_support::find_call;
using test_support::find_prompt;
using test_support::must;
using test_support::run_script;

namespace {

using Prompts = test_support::SimTest;

// Each mode a deliverable asks for: the cinema's press, the toy train's hold.
class PromptModes : public test_support::SimTest, public ::testing::WithParamInterface<int32_t> {};
INSTANTIATE_TEST_SUITE_P(Modes, PromptModes, ::testing::Values(0, 550));

TEST_P(PromptModes, LabelledPromptIsMadeInNineCallsWithoutWaiting) {
  Prompt prompt = 0;
  uint64_t waits = 0;
  ASSERT_TRUE(run_script([&] {
    const uint64_t before = Host::get().waits();
    prompt = create_labelled_prompt("Leave", sim::joaat("INPUT_CONTEXT_B"), PromptMode{GetParam()});
    waits = Host::get().waits() - before;
  }));
  EXPECT_EQ(waits, 0u);
  const std::string p = std::to_string(prompt);
  const std::string mode = GetParam() == 0 ? "_UI_PROMPT_SET_STANDARD_MODE(" + p + ", 0)"
                                           : "_UI_PROMPT_SET_HOLD_MODE(" + p + ", 550)";
  const std::vector<std::string> expected = {
      "_UI_PROMPT_REGISTER_BEGIN() -> " + p,
      "_UI_PROMPT_SET_CONTROL_ACTION(" + p + ", " +
          std::to_string(static_cast<int32_t>(sim::joaat("INPUT_CONTEXT_B"))) + ") -> 0",
      "VAR_STRING(10, \"LITERAL_STRING\", \"Leave\") -> \"Leave\"",
      "_UI_PROMPT_SET_TEXT(" + p + ", \"Leave\")",
      mode,
      "_UI_PROMPT_SET_PRIORITY(" + p + ", 1)",
      "_UI_PROMPT_REGISTER_END(" + p + ")",
      "_UI_PROMPT_SET_ENABLED(" + p + ", 0)",
      "_UI_PROMPT_SET_VISIBLE(" + p + ", 0)",
  };
  std::vector<std::string> made;
  for (const auto& call : world().calls()) made.push_back(call.text());
  EXPECT_EQ(made, expected);

  const sim::PromptState& state = must(find_prompt(world(), prompt));
  EXPECT_EQ(state.label, "Leave");
  EXPECT_EQ(state.control, sim::joaat("INPUT_CONTEXT_B"));
}

TEST_F(Prompts, AGameThatGivesNoTextStillGetsAWorkingPromptWithoutALabel) {
  world().fail_native(0xFA925AC00EB830B9);  // VAR_STRING answers null
  Prompt prompt = 0;
  ASSERT_TRUE(run_script([&] {
    prompt = create_labelled_prompt("Leave", sim::joaat("INPUT_CONTEXT_B"), press_mode);
  }));
  EXPECT_EQ(world().count_calls("VAR_STRING"), 1u);
  EXPECT_EQ(world().count_calls("_UI_PROMPT_SET_TEXT"), 0u) << "no null label is handed on";
  EXPECT_EQ(world().calls().size(), 8u) << "every other step is made";
  const sim::PromptState& state = must(find_prompt(world(), prompt));
  EXPECT_EQ(state.label, "");
  EXPECT_EQ(state.control, sim::joaat("INPUT_CONTEXT_B"));
  ASSERT_TRUE(run_script([&] { set_prompt_on(prompt, true); }));
  EXPECT_TRUE(world().complete_prompt(prompt));
}

TEST_F(Prompts, ANullLabelIsShownEmpty) {
  Prompt prompt = 0;
  ASSERT_TRUE(run_script(
      [&] { prompt = create_labelled_prompt(nullptr, sim::joaat("INPUT_ENTER"), press_mode); }));
  ASSERT_EQ(world().count_calls("VAR_STRING"), 1u);
  EXPECT_EQ(must(find_call(world(), "VAR_STRING")).text(),
            "VAR_STRING(10, \"LITERAL_STRING\", \"\") -> \"\"");
  EXPECT_EQ(must(find_prompt(world(), prompt)).label, "");
}

TEST_F(Prompts, AFreshPromptIsOfferedOnlyOnceBothSwitchesAreOn) {
  Prompt prompt = 0;
  ASSERT_TRUE(run_script([&] {
    prompt = create_labelled_prompt("Turn on", sim::joaat("INPUT_ENTER"), PromptMode{550});
  }));
  EXPECT_FALSE(world().complete_prompt(prompt));
  ASSERT_TRUE(run_script([&] { set_prompt_on(prompt, true); }));
  EXPECT_TRUE(world().prompt_offered(must(find_prompt(world(), prompt))));
  EXPECT_TRUE(world().complete_prompt(prompt));
  ASSERT_TRUE(run_script([&] { set_prompt_on(prompt, false); }));
  EXPECT_FALSE(must(find_prompt(world(), prompt)).enabled);
  EXPECT_FALSE(must(find_prompt(world(), prompt)).visible);
}

TEST_F(Prompts, SwitchingSetsEnabledThenVisible) {
  ASSERT_TRUE(run_script([&] { set_prompt_on(9, true); }));
  ASSERT_EQ(world().calls().size(), 2u);
  EXPECT_EQ(world().calls()[0].text(), "_UI_PROMPT_SET_ENABLED(9, 1)");
  EXPECT_EQ(world().calls()[1].text(), "_UI_PROMPT_SET_VISIBLE(9, 1)");
}

}  // namespace
