// The example plug-ins, each played through its own scenario: natively as a
// shared object, and as its .asi under wine, where the timeline must be the
// native run's.

#include <gtest/gtest.h>

#include <filesystem>

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

TEST(SessionTimer, PlaysUnderWineAsNatively) { expect_example_same_under_wine("session_timer"); }

TEST(FaultNoWait, TheWatchdogEndsItsEndlessTurnNamingWhereItWas) {
  expect_report(
      play_example("fault_no_wait", "--watchdog 1"),
      {"play: watchdog: a script's turn did not yield within 1 s", "plug-in:      fault_no_wait.so",
       "script:       1 (", "frame:        122", "last native:  HAS_MODEL_LOADED",
       "why:          it runs without calling scriptWait"});
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
