// The example plug-ins: natively as a shared object, driven through the
// testing library a modder uses, and through its own scenario by the
// command; as its .asi under wine, where the timeline must be the native
// run's.

#include <gtest/gtest.h>
#include <rdr2-standin/testing.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>

#include "play_runs.h"

namespace play_test {
namespace {

std::string native_example(const std::string& name) {
  return std::string(EXAMPLES_NATIVE_DIR) + "/" + name + ".so";
}
std::string example_asi(const std::string& name) {
  return std::string(EXAMPLES_ASI_DIR) + "/" + name + ".asi";
}
std::string example_scenario(const std::string& name) {
  return std::string(EXAMPLE_SCENARIOS_DIR) + "/" + name + ".scenario";
}

PlayRun play_example(const std::string& name, const std::string& options = "") {
  return play_command(options + " --plugin '" + native_example(name) + "' '" +
                      example_scenario(name) + "'");
}

PlayRun play_example_under_wine(const std::string& name) {
  const std::string asi = example_asi(name);
  if (!std::filesystem::exists(asi))
    return {-1, asi + " is missing: build the 'windows' preset", ""};
  return play_asi(asi, "'" + example_scenario(name) + "'");
}

// The same timeline under wine, where the plug-in's file is the .asi.
void expect_example_same_under_wine(const std::string& name) {
  const std::string asi = example_asi(name);
  ASSERT_TRUE(std::filesystem::exists(asi)) << asi << " is missing: build the 'windows' preset";
  expect_same_under_wine(play_example(name), asi, "'" + example_scenario(name) + "'");
}

void expect_report(const PlayRun& run, std::initializer_list<const char*> parts) {
  EXPECT_EQ(run.status, 1) << run.out;
  for (const char* part : parts) {
    EXPECT_NE(run.out.find(part), std::string::npos) << part << '\n' << run.out;
  }
}

const standin::Text* drawn(const std::vector<standin::Text>& texts, const std::string& text) {
  const auto it = std::find_if(texts.begin(), texts.end(),
                               [&](const standin::Text& t) { return t.text == text; });
  return it != texts.end() ? &*it : nullptr;
}

TEST(MenuTrainer, OpensWithAKeyDrawsItsMenuAndSpawnsAndDeletesAPed) {
  standin::Game game;
  EXPECT_TRUE(game.step("start at -2361.5 -2395.1 62.1"));
  ASSERT_TRUE(game.load(native_example("menu_trainer")));
  EXPECT_TRUE(game.step(R"(
    wait 1 s
    expect not text "Main menu" drawn
    hold F4 for 0.05 s
    wait 1 frames
    expect text "> Spawn ped" drawn in 255 220 0 255 at scale 0.35
  )"));
  // Its title is larger than its lines, drawn by the plug-in.
  const std::vector<standin::Text> texts = game.texts_drawn();
  const standin::Text* title = drawn(texts, "Main menu");
  ASSERT_NE(title, nullptr);
  EXPECT_EQ(title->plugin, "menu_trainer");
  EXPECT_FLOAT_EQ(title->scale, 0.5f);
  EXPECT_EQ(title->alpha, 255);

  EXPECT_TRUE(game.step(R"(
    wait 0.2 s
    hold NUMPAD5 for 0.05 s
    wait until 1 live a_m_m_valtownfolk_01 within 2 s
  )"));
  const auto peds = game.live_things("ped", "menu_trainer");
  ASSERT_EQ(peds.size(), 1u);
  EXPECT_EQ(peds[0].model, "a_m_m_valtownfolk_01");
  EXPECT_LT(std::abs(peds[0].x + 2361.5f) + std::abs(peds[0].y + 2395.1f), 10.0f)
      << "beside the player";

  EXPECT_TRUE(game.step(R"(
    wait 0.2 s
    hold NUMPAD2 for 0.05 s
    wait 0.2 s
    hold NUMPAD5 for 0.05 s
    wait 1 frames
  )"));
  EXPECT_TRUE(game.expect("0 live a_m_m_valtownfolk_01"));
  ASSERT_EQ(game.things("ped", "menu_trainer").size(), 1u) << "the ped it deleted is still told";
  EXPECT_FALSE(game.things("ped", "menu_trainer")[0].live);
  EXPECT_EQ(game.journal("gone").size(), 1u);
  EXPECT_TRUE(game.finish());
  EXPECT_TRUE(game.violations().empty());
}

TEST(MenuTrainer, ItsCallsShowInTheVerboseTimelineOfItsScenario) {
  // Its expectations are the scenario's: the menu drawn with the old text
  // natives, the ped count from the world, the global it counts openings in.
  const PlayRun run = play_example("menu_trainer", "--verbose");
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find("global 1000 written: 0 -> 1"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("SET_TEXT_CENTRE"), std::string::npos) << run.out;
  // A native the game no longer has is shown as what the host sent it on as.
  EXPECT_NE(run.out.find("| _DISPLAY_TEXT sent on as _BG_DISPLAY_TEXT("), std::string::npos)
      << run.out;
  // Every native the timeline shows called counts, those the host answers itself too.
  std::set<std::string> called;
  static const std::regex call(R"(\| ([A-Z_0-9]+)[( ])");
  for (auto m = std::sregex_iterator(run.out.begin(), run.out.end(), call);
       m != std::sregex_iterator(); ++m) {
    called.insert((*m)[1].str());
  }
  EXPECT_NE(run.out.find("to " + std::to_string(called.size()) + " distinct natives"),
            std::string::npos)
      << run.out;
}

TEST(MenuTrainer, PlaysUnderWineAsNatively) { expect_example_same_under_wine("menu_trainer"); }

TEST(CompanionSpawner, SpawnsARiderOnAHorseArmsThePlayerAndSeesTheGamesDeer) {
  standin::Game game;
  EXPECT_TRUE(game.step("start at -2361.5 -2395.1 62.1"));
  ASSERT_TRUE(game.load(native_example("companion_spawner")));
  EXPECT_TRUE(game.step(R"(
    spawn a_c_deer_01 at -2361.5 -2375.1 62.1 as deer
    wait 1 s
    expect text "weapon: none" drawn
    expect text "animals: 1" drawn
    hold F5 for 0.05 s
    wait until 1 live a_c_horse_morgan_bay within 2 s
    wait 1 frames
    expect text "animals: 2" drawn
  )"));
  // The horse and its rider are the plug-in's; the deer is the game's.
  std::vector<std::string> its;
  for (const standin::Thing& t : game.live_things("ped", "companion_spawner"))
    its.push_back(t.model);
  std::sort(its.begin(), its.end());
  EXPECT_EQ(its, (std::vector<std::string>{"a_c_horse_morgan_bay", "g_m_m_unicriminals_01"}));
  const auto games = game.live_things("ped", "");
  EXPECT_TRUE(std::any_of(games.begin(), games.end(), [](const standin::Thing& t) {
    return t.model == "a_c_deer_01" && t.owner.empty();
  }));

  EXPECT_TRUE(game.step("hold F6 for 0.05 s\nwait 1 frames"));
  EXPECT_TRUE(game.expect("text \"weapon: revolver\" drawn"));
  // A later step names what an earlier one spawned.
  EXPECT_TRUE(game.step("deer dies\nwait 1 frames"));
  EXPECT_TRUE(game.expect("no violation"));
}

TEST(CompanionSpawner, ItsScenarioPlaysWithTheWorldAnsweringEveryCall) {
  // Its expectations are the scenario's: the overlay's lines drawn through
  // the colour formatter, the companion in the pools, the revolver in hand.
  const PlayRun run = play_example("companion_spawner", "--verbose");
  ASSERT_EQ(run.status, 0) << run.out;
  for (const char* seen : {"+ ped a_c_horse_morgan_bay", "CREATE_PED_ON_MOUNT",
                           "RENDER_SCRIPT_CAMS(1", "GET_CURRENT_PED_WEAPON"}) {
    EXPECT_NE(run.out.find(seen), std::string::npos) << seen << '\n' << run.out;
  }
  EXPECT_NE(run.out.find("not simulated: none called"), std::string::npos)
      << "the world answers it all\n"
      << run.out;
}

TEST(CompanionSpawner, PlaysUnderWineAsNatively) {
  expect_example_same_under_wine("companion_spawner");
}

TEST(SessionTimer, ItsSecondThreadCountsWhileTheMainScriptDraws) {
  standin::Game game;
  ASSERT_TRUE(game.load(native_example("session_timer")));
  EXPECT_TRUE(game.step(R"(
    wait 2 frames
    expect text "Played 0:00" drawn
    wait until text "Played 0:03" drawn within 3.1 s
    wait 10 s
    expect text "Played 0:13" drawn
    expect text "Since load 13 13 13 13 s" drawn
  )"));
  EXPECT_TRUE(game.finish());
  // The older unregister, by entry, takes the thread alone; the module's then takes the rest.
  std::vector<std::string> told;
  for (const standin::Entry& e : game.journal("host")) told.push_back(e.what);
  const auto at = [&](const std::string& what) {
    return std::find(told.begin(), told.end(), what) - told.begin();
  };
  const auto registered = at("script 2 of session_timer.so registered (an additional thread)");
  const auto thread = at("script 2 of session_timer.so unregistered");
  const auto main = at("script 1 of session_timer.so unregistered");
  ASSERT_LT(registered, thread) << ::testing::PrintToString(told);
  ASSERT_LT(main, static_cast<std::ptrdiff_t>(told.size())) << ::testing::PrintToString(told);
  EXPECT_LT(thread, main);
}

// What a modder's test sees when a step does not hold: the scenario
// runner's message, at the test's own line, and the run goes on.
TEST(TestingLibrary, AFailedStepSaysWhereAndWhatTheWorldHeldAndTheRunGoesOn) {
  standin::Game game;
  ASSERT_TRUE(game.load(native_example("session_timer")));
  const std::string here = std::string(__FILE__) + ":" + std::to_string(__LINE__ + 1) + ": ";
  const standin::Result missed = game.expect("text \"Played 9:99\" drawn");
  EXPECT_FALSE(missed);
  EXPECT_EQ(missed.message().rfind(here + "expect text \"Played 9:99\" drawn: the world held ", 0),
            0u)
      << missed;
  // GoogleTest's own result carries the message.
  const ::testing::AssertionResult as_gtest = missed;
  EXPECT_FALSE(as_gtest);
  EXPECT_EQ(as_gtest.message(), missed.message());
  EXPECT_TRUE(game.step("wait 1 frames\nexpect text \"Played 0:00\" drawn"));
}

TEST(TestingLibrary, StepsThatCannotBeReadOrComeTooEarlyFailWithTheirLine) {
  standin::Game game;
  const int line = __LINE__ + 1;
  const standin::Result unread = game.step("start at\nwalk nowhere");
  ASSERT_FALSE(unread);
  EXPECT_EQ(unread.message().rfind(std::string(__FILE__) + ":" + std::to_string(line) + ": ", 0),
            0u)
      << unread;
  const standin::Result early = game.step("wait 1 s");
  ASSERT_FALSE(early);
  EXPECT_NE(early.message().find("wait 1 s: the plug-in is not loaded yet"), std::string::npos)
      << early;
  const standin::Result missing = game.load("/nonexistent/my_mod.so");
  EXPECT_NE(missing.message().find("the plug-in /nonexistent/my_mod.so cannot be loaded"),
            std::string::npos)
      << missing;
  EXPECT_THROW(standin::Game second, std::logic_error) << "one game at a time";
}

TEST(SessionTimer, ItsScenarioPlaysThroughTheCommand) {
  const PlayRun run = play_example("session_timer");
  EXPECT_EQ(run.status, 0) << run.out;
}

TEST(SessionTimer, EachPauseNamesItsScriptAndTheSamePauseAgainFoldsWithTheQuietFrames) {
  const PlayRun run = play_example("session_timer");
  ASSERT_EQ(run.status, 0) << run.out;
  // Once at first, then only where something else was told since: 3 of its 13 pauses.
  EXPECT_EQ(count(run.out, "script 2 of session_timer pauses 1000 ms"), 3u) << run.out;
  EXPECT_EQ(count(run.out, "the script pauses"), 0u) << run.out;
  // The ten seconds' wait is one fold of quiet frames after its first pause.
  EXPECT_NE(run.out.find("... 541 quiet frames, 9.017 s"), std::string::npos) << run.out;
}

TEST(SessionTimer, PlaysUnderWineAsNatively) { expect_example_same_under_wine("session_timer"); }

TEST(FaultNoWait, TheWatchdogEndsItsEndlessTurnNamingWhereItWas) {
  expect_report(
      play_example("fault_no_wait", "--watchdog 1"),
      {"play: watchdog: a script's turn did not yield within 1 s", "plug-in:      fault_no_wait.so",
       "script:       1 (", "frame:        122", "last native:  HAS_MODEL_LOADED",
       "why:          it runs without calling scriptWait"});
}

// The page of a run a crash ended: it opens at the crash, with the report,
// and keeps the crashing frame's calls.
nlohmann::json crash_page(const std::string& file) {
  const std::string page = read_file(file);
  const std::string open = "<script type=\"application/json\" id=\"report\">";
  const size_t from = page.find(open);
  const size_t to = page.find("</script>", from);
  if (from == std::string::npos || to == std::string::npos) return nullptr;
  return nlohmann::json::parse(page.substr(from + open.size(), to - from - open.size()));
}

TEST(FaultNoWait, TheTimelineAndThePageGoOnToTheFrameTheWatchdogNames) {
  const std::string page = output_file("no_wait.html").string();
  const PlayRun run =
      play_example("fault_no_wait", "--watchdog 1 --verbose --report '" + page + "'");
  expect_report(run, {"frame:        122", "last native:  HAS_MODEL_LOADED"});
  // The hung frame's calls, the endless loop's told in a few lines.
  EXPECT_NE(run.out.find("     122     0.00  | REQUEST_MODEL("), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("     122     0.00  | HAS_MODEL_LOADED("), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("| ... the same call "), std::string::npos) << run.out;
  EXPECT_LT(run.out.find("     122     0.00  CRASH watchdog: a script's turn did not yield"),
            run.out.find("play: watchdog:"))
      << run.out;
  const nlohmann::json data = crash_page(page);
  ASSERT_TRUE(data.is_object()) << read_file(page).substr(0, 300);
  EXPECT_EQ(data["status"], 1);
  ASSERT_TRUE(data["failure"].is_object());
  EXPECT_EQ(data["failure"]["frame"], 122);
  const std::string report = data["failure"]["text"];
  EXPECT_NE(report.find("last native:  HAS_MODEL_LOADED"), std::string::npos) << report;
  ASSERT_TRUE(data["calls"].contains("122")) << data["calls"].dump().substr(0, 300);
  EXPECT_NE(data["calls"]["122"].dump().find("HAS_MODEL_LOADED"), std::string::npos);
}

TEST(FaultNoWait, UnderWineTheWatchdogEndsItToo) {
  const std::string asi = example_asi("fault_no_wait");
  expect_report(
      play_asi(asi, "--watchdog 1 '" + example_scenario("fault_no_wait") + "'"),
      {"play: watchdog: a script's turn did not yield within 1 s",
       "plug-in:      fault_no_wait.asi", "frame:        122", "last native:  HAS_MODEL_LOADED"});
}

// The timeline goes on up to the crash: the quiet frames before it, and
// what the faulting frame did before the fault.
void expect_timeline_up_to_the_crash(const PlayRun& run) {
  const size_t report = run.out.find("play: a script crashed");
  const size_t quiet = run.out.find("... 120 quiet frames, 2.000 s");
  const size_t deleted = run.out.find("     124     0.00  - ped a_m_m_valtownfolk_01\n");
  EXPECT_LT(quiet, deleted) << run.out;
  EXPECT_LT(deleted, report) << run.out;
}

TEST(FaultAccessViolation, ACrashReportNamesThePlugInFrameAndLastNative) {
  const PlayRun run = play_example("fault_access_violation");
  expect_report(run,
                {"play: a script crashed", "plug-in:      fault_access_violation.so",
                 "frame:        124", "last native:  DELETE_PED",
                 "code:         SIGSEGV (access violation)", "accessing:    0x0000000000000280"});
  expect_timeline_up_to_the_crash(run);
}

TEST(FaultAccessViolation, ItsPageOpensAtTheCrashWithTheReport) {
  const std::string page = output_file("crash.html").string();
  const PlayRun run =
      play_command("--report '" + page + "' --plugin '" + native_example("fault_access_violation") +
                   "' '" + example_scenario("fault_access_violation") + "'");
  EXPECT_EQ(run.status, 1) << run.out;
  const nlohmann::json data = crash_page(page);
  ASSERT_TRUE(data.is_object()) << "the page is empty or broken";
  ASSERT_TRUE(data["failure"].is_object());
  EXPECT_EQ(data["failure"]["frame"], 124);
  const std::string report = data["failure"]["text"];
  EXPECT_NE(report.find("code:         SIGSEGV (access violation)"), std::string::npos) << report;
  EXPECT_NE(data["lines"].dump().find("- ped a_m_m_valtownfolk_01"), std::string::npos);
}

TEST(FaultAccessViolation, UnderWineReportsTheSameCrash) {
  const PlayRun run = play_example_under_wine("fault_access_violation");
  expect_report(run, {"play: a script crashed", "plug-in:      fault_access_violation.asi",
                      "frame:        124", "last native:  DELETE_PED",
                      "code:         0xC0000005 (access violation)"});
  expect_timeline_up_to_the_crash(run);
}

TEST(FaultException, ACrashReportGivesTheExceptionAndItsMessage) {
  expect_report(play_example("fault_exception"),
                {"play: a script ended with an unhandled C++ exception",
                 "plug-in:      fault_exception.so", "frame:        122",
                 "code:         C++ exception std::out_of_range", "message:      vector"});
}

TEST(FaultException, UnderWineReportsTheSameException) {
  expect_report(play_example_under_wine("fault_exception"),
                {"play: a script ended with an unhandled C++ exception",
                 "plug-in:      fault_exception.asi", "frame:        122",
                 "code:         C++ exception std::out_of_range", "message:      vector"});
}

}  // namespace
}  // namespace play_test
