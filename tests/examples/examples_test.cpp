// The example plug-ins, each played through its own scenario: natively as a
// shared object, and as its .asi under wine, where the timeline must be the
// native run's.

#include <gtest/gtest.h>

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

TEST(MenuTrainer, OpensWithAKeyDrawsItsMenuAndSpawnsAndDeletesAPed) {
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

TEST(CompanionSpawner, SpawnsARiderOnAHorseArmsThePlayerAndSeesTheScenariosDeer) {
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
  const PlayRun run = play_example("session_timer");
  ASSERT_EQ(run.status, 0) << run.out;
  EXPECT_NE(run.out.find("script 2 of session_timer.so registered (an additional thread)"),
            std::string::npos)
      << run.out;
  // The older unregister, by entry, takes the thread alone; the module's then takes the rest.
  const size_t thread = run.out.find("script 2 of session_timer.so unregistered");
  const size_t main = run.out.find("script 1 of session_timer.so unregistered");
  ASSERT_NE(thread, std::string::npos) << run.out;
  ASSERT_NE(main, std::string::npos) << run.out;
  EXPECT_LT(thread, main);
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
