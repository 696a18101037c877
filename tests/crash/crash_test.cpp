// A plug-in that loops without yielding, throws, faults or aborts ends play
// with exit status 1 and a report naming the plug-in, the script, the frame
// and the last native it called; the timeline up to then is kept. play
// exits with 0, 1 or 2 and nothing else, natively and under wine.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "command.h"

namespace {

std::string scenario_at_hour(int hour) {
  const std::filesystem::path dir = std::filesystem::path(TEST_OUTPUT_DIR) / "crash_test";
  std::filesystem::create_directories(dir);
  const std::filesystem::path path = dir / ("hour_" + std::to_string(hour) + ".scenario");
  std::ofstream(path, std::ios::binary)
      << "hour " << hour << "\nstart at 1 2 3\nwait 10 frames\nexpect no violation\n";
  return path.string();
}

std::string quoted(const std::string& s) { return "'" + s + "'"; }

CommandRun play_native(int hour, const std::string& options = "--watchdog 0.5") {
  return run_command(quoted(PLAY_COMMAND) + " --plugin " + quoted(MISBEHAVING_PLUGIN) + " " +
                     options + " " + quoted(scenario_at_hour(hour)) + " 2>&1");
}

CommandRun play_wine(int hour, const std::string& options = "--watchdog 0.5") {
  return run_under_wine(quoted(PLAY_COMMAND) + " --asi " + quoted(MISBEHAVING_ASI) + " " + options +
                        " " + quoted(scenario_at_hour(hour)) + " 2>&1");
}

struct Misdeed {
  int hour;
  const char* headline;
  const char* last_native;
  const char* native_code;   // the report's code line, natively
  const char* windows_code;  // and under wine
  const char* more;          // a further line both give, or empty
};

const Misdeed misdeeds[] = {
    {1, "play: watchdog: a script's turn did not yield within 0.5 s of wall time",
     "GET_CLOCK_HOURS", "", "", "  why:          it runs without calling scriptWait\n"},
    {2, "play: watchdog: a script's turn did not yield within 0.5 s of wall time", "GET_GAME_TIMER",
     "", "", "  why:          its last call read the game timer"},
    {3, "play: a script crashed", "GET_CLOCK_HOURS", "  code:         SIGSEGV (access violation)",
     "  code:         0xC0000005 (access violation)", "  accessing:    0x"},
    {4, "play: a script ended with an unhandled C++ exception", "GET_CLOCK_HOURS",
     "  code:         C++ exception std::runtime_error",
     "  code:         C++ exception std::runtime_error",
     "  message:      the misbehaving plug-in gave up\n"},
    {5, "play: a script aborted", "GET_CLOCK_HOURS", "  code:         SIGABRT (abort)",
     "  code:         SIGABRT (abort)", ""},
    {6, "play: a script ended with an unhandled C++ exception", "GET_CLOCK_HOURS",
     "  code:         C++ exception int", "  code:         C++ exception int", ""},
};

void expect_report(const CommandRun& run, const Misdeed& m, const char* plugin_file,
                   const char* code) {
  EXPECT_EQ(run.status, 1) << run.output;
  const size_t report = run.output.find(std::string(m.headline) + "\n");
  ASSERT_NE(report, std::string::npos) << run.output;
  EXPECT_NE(run.output.find("> 3: wait 10 frames"), std::string::npos)
      << "the timeline so far is kept\n"
      << run.output;
  const std::string text = run.output.substr(report);
  for (const std::string& line :
       {std::string("  plug-in:      ") + plugin_file + "\n",
        std::string("  script:       1 (entry at 0x"), std::string("  frame:        3\n"),
        std::string("  last native:  ") + m.last_native + " (0x", std::string(code),
        std::string(m.more)}) {
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
  }
  EXPECT_EQ(text.find("expect no violation"), std::string::npos) << "nothing runs after it";
}

TEST(Crash, APlugInThatLoopsThrowsFaultsOrAbortsEndsTheRunWithAReport) {
  for (const Misdeed& m : misdeeds) {
    SCOPED_TRACE("hour " + std::to_string(m.hour));
    expect_report(play_native(m.hour), m, "misbehaving.so", m.native_code);
  }
}

TEST(Crash, UnderWineTheSameMisdeedsGiveTheSameReports) {
  ASSERT_TRUE(std::filesystem::exists(MISBEHAVING_ASI)) << "build the 'windows' preset first";
  for (const Misdeed& m : misdeeds) {
    SCOPED_TRACE("hour " + std::to_string(m.hour));
    expect_report(play_wine(m.hour), m, "misbehaving.asi", m.windows_code);
  }
}

TEST(Crash, TheWatchdogWaitsAsLongAsItIsToldAndZeroTurnsItOff) {
  const CommandRun patient = play_native(2, "--watchdog 3");
  EXPECT_NE(patient.output.find("within 3 s of wall time"), std::string::npos) << patient.output;
  const CommandRun bad = play_native(12, "--watchdog -1");
  EXPECT_EQ(bad.status, 2) << bad.output;
  const CommandRun off = play_native(12, "--watchdog 0");
  EXPECT_EQ(off.status, 0) << off.output;
}

// 0: everything held; 1: an expectation or the protocol failed, or a
// plug-in misbehaved; 2: nothing could be played. Never anything else.
TEST(Crash, PlayExitsWithZeroOneOrTwo) {
  EXPECT_EQ(play_native(12).status, 0);
  EXPECT_EQ(play_native(8).status, 1) << "the player's ped deleted";
  EXPECT_EQ(play_native(3).status, 1);
  const CommandRun unreadable =
      run_command(quoted(PLAY_COMMAND) + " --plugin " + quoted(MISBEHAVING_PLUGIN) +
                  " /nonexistent.scenario 2>&1");
  EXPECT_EQ(unreadable.status, 2) << unreadable.output;
}

TEST(Crash, PlayExitsWithZeroOneOrTwoUnderWine) {
  ASSERT_TRUE(std::filesystem::exists(MISBEHAVING_ASI)) << "build the 'windows' preset first";
  EXPECT_EQ(play_wine(12).status, 0);
  EXPECT_EQ(play_wine(8).status, 1);
  EXPECT_EQ(play_wine(3).status, 1);
  const CommandRun missing = run_command(quoted(PLAY_COMMAND) + " --asi /nonexistent.asi " +
                                         quoted(scenario_at_hour(12)) + " 2>&1");
  EXPECT_EQ(missing.status, 2) << missing.output;
}

}  // namespace
