// Every scenario runs against the native plug-in, then against the real
// .asi under wine; both must pass and make the same native calls.

#include "scenario.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "command.h"

namespace sim {
void PrintTo(const ScenarioDef& def, std::ostream* out) { *out << def.name; }
}  // namespace sim

namespace {

std::string native_plugin(const sim::Deliverable* d) {
  return std::string(d->name) == "cinema" ? CINEMA_PLUGIN : TOYTRAIN_PLUGIN;
}

std::string windows_plugin(const sim::Deliverable* d) {
  return std::string(d->name) == "cinema" ? CINEMA_ASI : TOYTRAIN_ASI;
}

CommandRun run_runner(const std::string& scenario, const std::string& asi) {
  return run_under_wine(std::string("WINEDEBUG=-all WINEPREFIX='") + WINE_PREFIX + "' '" + WINE64 +
                        "' '" + WINDOWS_RUNNER + "' " + scenario + " '" + asi + "' 2>/dev/null");
}

class Scenarios : public ::testing::TestWithParam<sim::ScenarioDef> {};

TEST_P(Scenarios, PassesNatively) {
  const sim::ScenarioResult result =
      sim::run_scenario(sim::Host::get(), GetParam(), native_plugin(GetParam().deliverable));
  EXPECT_TRUE(result.failures.empty()) << joined(result.failures);
}

TEST_P(Scenarios, PassesUnderWineWithTheSameCalls) {
  const std::string asi = windows_plugin(GetParam().deliverable);
  ASSERT_TRUE(std::filesystem::exists(WINDOWS_RUNNER) && std::filesystem::exists(asi))
      << "the Windows build is missing: build the 'windows' preset first";
  const sim::ScenarioResult native =
      sim::run_scenario(sim::Host::get(), GetParam(), native_plugin(GetParam().deliverable));
  const CommandRun wine = run_runner(GetParam().name, asi);
  EXPECT_EQ(wine.status, 0) << wine.output.substr(0, 4000);
  EXPECT_EQ(wine.output, native.record + joined([&] {
                           std::vector<std::string> lines;
                           for (const auto& f : native.failures) lines.push_back("FAILED: " + f);
                           return lines;
                         }()));
}

INSTANTIATE_TEST_SUITE_P(All, Scenarios, ::testing::ValuesIn(sim::scenarios()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
