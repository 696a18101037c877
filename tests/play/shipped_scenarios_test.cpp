// Every shipped scenario passes natively, and with the real .asi under wine,
// where both runs must print the same timeline and make the same native
// calls, call for call.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "parser.h"
#include "play_runs.h"

namespace play_test {
namespace {

std::string test_name(const std::string& file) {
  const std::filesystem::path path(file);
  return path.parent_path().filename().string() + "_" + path.stem().string();
}

class Shipped : public ::testing::TestWithParam<std::string> {};

// Our plug-ins are held to the table: the strict host plays them.
TEST_P(Shipped, PassesNatively) {
  play::Options options;
  options.scenario = GetParam();
  options.strict = true;
  const PlayRun run = play_here(options);
  EXPECT_EQ(run.status, 0) << run.err << run.out;
}

TEST_P(Shipped, PassesUnderWineWithTheSameTimelineCallsAndMap) {
  std::vector<std::string> asis;
  for (const std::string& deliverable : play::parse_scenario_file(GetParam()).deliverables) {
    asis.push_back(std::string(DIST_DIR) + "/" + deliverable + ".asi");
    ASSERT_TRUE(std::filesystem::exists(asis.back()) && std::filesystem::exists(WINDOWS_RUNNER))
        << "no " << asis.back() << " or " << WINDOWS_RUNNER << ": build the 'windows' preset first";
  }

  play::Options options;
  options.scenario = GetParam();
  options.strict = true;
  options.record = output_file(test_name(GetParam()) + ".native.calls").string();
  options.map = output_file(test_name(GetParam()) + ".native.svg").string();
  const PlayRun native = play_here(options);
  ASSERT_EQ(native.status, 0) << native.err;

  const std::string wine_calls = output_file(test_name(GetParam()) + ".wine.calls").string();
  const std::string wine_map = output_file(test_name(GetParam()) + ".wine.svg").string();
  const PlayRun wine = play_asi(
      asis, "--strict --record '" + wine_calls + "' --map '" + wine_map + "' '" + GetParam() + "'");
  EXPECT_EQ(wine.status, 0) << (wine.out.empty() ? "wine printed nothing" : wine.out);
  EXPECT_EQ(same_film(wine.out), same_film(native.out));
  EXPECT_EQ(read_file(wine_map), read_file(options.map)) << "the maps differ";
  const std::string native_record = read_file(options.record);
  const std::string wine_record = read_file(wine_calls);
  EXPECT_GT(native_record.size(), 0u) << "the native run recorded no call";
  // Compared as a whole only when they differ: the records are long.
  if (same_film(wine_record) != same_film(native_record)) {
    std::istringstream a(same_film(native_record));
    std::istringstream b(same_film(wine_record));
    std::string line_a;
    std::string line_b;
    for (int line = 1;; ++line) {
      const bool more_a = static_cast<bool>(std::getline(a, line_a));
      const bool more_b = static_cast<bool>(std::getline(b, line_b));
      if (!more_a && !more_b) break;
      ASSERT_EQ(more_a ? line_a : "(end of record)", more_b ? line_b : "(end of record)")
          << "the records part at call " << line << ": native, then wine";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Scenarios, Shipped, ::testing::ValuesIn(scenarios_in(SCENARIOS_DIR)),
                         [](const auto& info) { return test_name(info.param); });

TEST(SameFilm, RunsThatDrewDifferentFilmsCompareEqual) {
  const std::string modern =
      "SPEECH(\"MOVIE_MODERN_MEDICINE\")\nPLAYLIST(\"PL_TOON_MODERN_MEDICINE\")\n";
  const std::string burly =
      "SPEECH(\"MOVIE_BEAUMONT_THE_BURLY\")\nPLAYLIST(\"PL_TOON_WORLDS_STRONGEST_MAN\")\n";
  EXPECT_EQ(same_film(modern), same_film(burly));
}

TEST(SameFilm, ARunThatNamesOneFilmAndPlaysTheOtherStillDiffers) {
  const std::string sound =
      "SPEECH(\"MOVIE_MODERN_MEDICINE\")\nPLAYLIST(\"PL_TOON_MODERN_MEDICINE\")\n";
  const std::string mixed =
      "SPEECH(\"MOVIE_BEAUMONT_THE_BURLY\")\nPLAYLIST(\"PL_TOON_MODERN_MEDICINE\")\n";
  EXPECT_NE(same_film(sound), same_film(mixed));
}

TEST(SameFilm, LeavesTheScenariosOwnStepsAsTheyAre) {
  const std::string timeline =
      "    1.000      60     3.0  > 8: wait until tv channel 1 plays "
      "PL_TOON_MODERN_MEDICINE|PL_TOON_WORLDS_STRONGEST_MAN within 20 s\n"
      "   19.750    1185     3.0  TV channel 1 gets playlist PL_TOON_WORLDS_STRONGEST_MAN\n";
  const std::string same = same_film(timeline);
  EXPECT_NE(same.find("plays PL_TOON_MODERN_MEDICINE|PL_TOON_WORLDS_STRONGEST_MAN within"),
            std::string::npos);
  EXPECT_NE(same.find("gets playlist <drawn film>"), std::string::npos) << same;
}

}  // namespace
}  // namespace play_test
