// play.exe as a modder on Windows runs it: the runner itself, started
// directly (here under wine, not through ./play), with --asi. Every shipped
// scenario's timeline, trace and map must be the native run's.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "../play/play_runs.h"
#include "parser.h"

namespace play_test {
namespace {

// The runner as play.exe, its stderr after its stdout.
PlayRun play_exe(const std::string& arguments) {
  const CommandRun run =
      run_under_wine(std::string("WINEDEBUG=-all WINEPREFIX='") + WINE_PREFIX + "' '" + WINE64 +
                     "' '" + WINDOWS_RUNNER + "' " + arguments + " 2>&1");
  return {run.status, run.output, ""};
}

// A path as a modder on Windows gives it: an absolute one on Z:, since one
// that begins with / reads as an option there.
std::string z(const std::string& path) { return "'Z:" + path + "'"; }

std::string file_stem(const std::string& scenario) {
  const std::filesystem::path path(scenario);
  return path.parent_path().filename().string() + "_" + path.stem().string();
}

class PlayExeUnderWine : public ::testing::TestWithParam<std::string> {};

TEST_P(PlayExeUnderWine, PrintsAndWritesWhatTheNativeRunDoes) {
  std::string asis;
  for (const std::string& deliverable : play::parse_scenario_file(GetParam()).deliverables) {
    const std::string asi = std::string(DIST_DIR) + "/" + deliverable + ".asi";
    ASSERT_TRUE(std::filesystem::exists(asi) && std::filesystem::exists(WINDOWS_RUNNER))
        << "no " << asi << " or " << WINDOWS_RUNNER << ": build the 'windows' preset first";
    asis += " --asi " + z(asi);
  }
  const std::string stem = file_stem(GetParam());
  play::Options options;
  options.scenario = GetParam();
  options.trace = output_file(stem + ".native.json").string();
  options.map = output_file(stem + ".native.svg").string();
  const PlayRun native = play_here(options);
  ASSERT_EQ(native.status, 0) << native.err;

  const std::string trace = output_file(stem + ".exe.json").string();
  const std::string map = output_file(stem + ".exe.svg").string();
  const PlayRun exe =
      play_exe(asis + " --trace " + z(trace) + " --map " + z(map) + " " + z(GetParam()));
  EXPECT_EQ(exe.status, 0) << (exe.out.empty() ? "play.exe printed nothing" : exe.out);
  EXPECT_EQ(same_film(exe.out), same_film(native.out));
  EXPECT_EQ(read_file(map), read_file(options.map)) << "the maps differ";
  const std::string native_trace = read_file(options.trace);
  EXPECT_GT(native_trace.size(), 0u) << "the native run wrote no trace";
  EXPECT_TRUE(same_film(read_file(trace)) == same_film(native_trace))
      << "the traces differ: " << trace << " and " << options.trace;
}

INSTANTIATE_TEST_SUITE_P(Shipped, PlayExeUnderWine,
                         ::testing::ValuesIn(scenarios_in(SCENARIOS_DIR)),
                         [](const auto& info) { return file_stem(info.param); });

// A modder's CI runs a folder with play.exe test: each outcome as natively,
// and the JUnit file written.
TEST(PlayExeUnderWine, TestsAFolderAndWritesJUnit) {
  const std::string junit = output_file("out.xml").string();
  const PlayRun exe =
      play_exe("test --asi " + z(std::string(DIST_DIR) + "/toytrain.asi") + " " +
               z(std::string(SCENARIOS_DIR) + "/toytrain") + " --junit " + z(junit));
  EXPECT_EQ(exe.status, 0) << exe.out;
  size_t toytrain = 0;
  for (const std::string& s : scenarios_in(SCENARIOS_DIR)) {
    if (s.find("/toytrain/") != std::string::npos) ++toytrain;
  }
  EXPECT_NE(exe.out.find(std::to_string(toytrain) + " passed, 0 failed"), std::string::npos)
      << exe.out;
  EXPECT_EQ(count(read_file(junit), "<testcase "), toytrain) << read_file(junit);
}

// On Windows too, -j 2 plays two at once, each runner a process of its own:
// a scenario whose plug-in crashes is that scenario's error, and the rest of
// its runner's share still plays.
TEST(PlayExeUnderWine, TestsInRunnersOfTheirOwnSoThatACrashEndsOnlyItsScenario) {
  const std::filesystem::path dir = output_file("shares");
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  for (const char* name : {"a_first", "c_third", "d_fourth", "e_fifth"}) {
    std::ofstream(dir / (std::string(name) + ".scenario")) << "start at 0 0 0\nwait 1 s\n";
  }
  // The plug-in writes where it may not, two frames in, at hour 3.
  std::ofstream(dir / "b_crashes.scenario") << "start at 0 0 0\nhour 3\nwait 1 s\n";
  const std::string junit = output_file("shares.xml").string();
  const PlayRun exe = play_exe("test -j 2 --asi " + z(MISBEHAVING_ASI) + " --any-name " +
                               z(dir.string()) + " --junit " + z(junit));
  EXPECT_EQ(exe.status, 1) << exe.out;
  EXPECT_NE(exe.out.find("4 passed, 1 failed"), std::string::npos) << exe.out;
  const std::string xml = read_file(junit);
  EXPECT_EQ(count(xml, "<testcase "), 5u) << xml;
  EXPECT_EQ(count(xml, "<error "), 1u) << xml;
  const size_t crashed = xml.find("name=\"b_crashes\"");
  ASSERT_NE(crashed, std::string::npos) << xml;
  EXPECT_NE(xml.find("crash or violation", crashed), std::string::npos) << xml;
}

}  // namespace
}  // namespace play_test
