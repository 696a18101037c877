// play test: a folder of scenarios, each in a fresh game, told a line each,
// as JUnit XML and as an index of pages; and the command lines it must not misread.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "play_runs.h"
#include "test_run.h"

namespace {

using play_test::count;
using play_test::output_file;
using play_test::play_command;
using play_test::read_file;
using play_test::write_scenario;

const char* passing =
    "deliverable toytrain\n"
    "start at 10 m west of site\n"
    "wait 1 s\n"
    "expect 1 live train\n";

// A folder of the test's own: a passing scenario, one that fails at line 4,
// one that cannot be read at line 2 and one marked skipped, in two folders.
std::filesystem::path mixed_folder() {
  const std::filesystem::path dir = output_file("suite");
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir / "more");
  std::ofstream(dir / "a_passes.scenario") << passing;
  std::ofstream(dir / "b_fails.scenario") << "deliverable toytrain\n"
                                             "start at 10 m west of site\n"
                                             "wait 1 s\n"
                                             "expect 2 live train\n";
  std::ofstream(dir / "more" / "c_unread.scenario") << "deliverable toytrain\nwalk sideways\n";
  std::ofstream(dir / "more" / "d_skipped.scenario")
      << "deliverable toytrain\nskip \"not ready\"\nwait 1 s\n";
  std::ofstream(dir / "notes.txt") << "not a scenario\n";
  return dir;
}

TEST(PlayTest, EveryScenarioOfAFolderPlaysAndTheLastLineCountsThem) {
  const std::string dir = mixed_folder().string();
  for (const char* jobs : {"", "-j 2 "}) {
    const auto run = play_command(std::string("test ") + jobs + "'" + dir + "'");
    EXPECT_EQ(run.status, 2) << run.out;  // one cannot be read
    EXPECT_NE(run.out.find("passed  " + dir + "/a_passes.scenario ("), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("failed  " + dir +
                           "/b_fails.scenario:4: expect 2 live train: the world held 1 live train"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("unread  " + dir + "/more/c_unread.scenario:2: "), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("skipped " + dir + "/more/d_skipped.scenario: not ready"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(count(run.out, "\n"), 5u) << "a line a scenario, and the count: " << run.out;
    EXPECT_TRUE(run.out.size() > 30 &&
                run.out.compare(run.out.size() - 30, 30, "1 passed, 2 failed, 1 skipped\n") == 0)
        << run.out;
  }
}

TEST(PlayTest, TheStatusIsZeroOnlyWhenAllPassedAndOneWhenOneFailed) {
  const std::string pass = write_scenario("pass", passing);
  const std::string fail = write_scenario("fail", std::string(passing) + "expect 3 live train\n");
  EXPECT_EQ(play_command("test '" + pass + "'").status, 0);
  const auto both = play_command("test '" + pass + "' '" + fail + "'");
  EXPECT_EQ(both.status, 1) << both.out;
  EXPECT_NE(both.out.find("1 passed, 1 failed\n"), std::string::npos) << both.out;
}

TEST(PlayTest, EachScenarioGetsAFreshGameAndAFreshLoad) {
  // Played after itself, a scenario tells the same timeline as when played
  // first: nothing of the first game or load is left in the second.
  const std::filesystem::path dir = output_file("fresh");
  std::filesystem::create_directories(dir);
  const std::string text =
      "deliverable toytrain\nstart at 1 m east of site\n"
      "wait until prompt \"Turn off\" offered within 2 s\ncomplete \"Turn off\"\nwait 2 s\n";
  std::ofstream(dir / "one.scenario") << text;
  std::ofstream(dir / "two.scenario") << text;
  // Forked a process each, and one after the other in this process (as on
  // Windows, and under wine), where only the host's reset makes it fresh.
  const std::string forked = (dir / "forked.xml").string();
  const auto run = play_command("test --junit '" + forked + "' '" + dir.string() + "'");
  ASSERT_EQ(run.status, 0) << run.out;
  play::Options options;
  options.test = true;
  options.paths = {(dir / "one.scenario").string(), (dir / "two.scenario").string()};
  options.worker_dir = (dir / "here").string();
  std::filesystem::create_directories(options.worker_dir);
  play::play_share(sim::Host::get(), options, play_test::native_plugin);
  std::vector<play::TestCase> cases;
  for (size_t i = 0; i < options.paths.size(); ++i) {
    const auto c = play::read_outcome(options.worker_dir, i, options.paths[i]);
    ASSERT_TRUE(c.has_value()) << options.paths[i];
    cases.push_back(*c);
  }
  const std::string here = (dir / "here.xml").string();
  {
    std::ofstream xml(here);
    play::write_junit(xml, cases);
  }
  for (const std::string& junit : {forked, here}) {
    const std::string xml = read_file(junit);
    const std::regex out_re("<system-out>([^<]*)</system-out>");
    std::vector<std::string> outs;
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), out_re);
         it != std::sregex_iterator(); ++it) {
      // The same, but for the file's name, which the header and the end give.
      outs.push_back(
          std::regex_replace(std::string((*it)[1]), std::regex("(one|two)\\.scenario"), "FILE"));
    }
    ASSERT_EQ(outs.size(), 2u) << xml;
    EXPECT_NE(outs[0].find("prompt offered: &quot;Turn on&quot;"), std::string::npos) << outs[0];
    EXPECT_EQ(outs[0], outs[1]) << junit;
  }
}

TEST(PlayTest, JUnitHasASuitePerFolderACasePerScenarioAndTheFailingLine) {
  const std::string dir = mixed_folder().string();
  const std::string junit = output_file("out.xml").string();
  const auto run = play_command("test --junit '" + junit + "' '" + dir + "'");
  EXPECT_EQ(run.status, 2) << run.out;
  const std::string xml = read_file(junit);
  EXPECT_EQ(xml.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites ", 0), 0u) << xml;
  EXPECT_NE(xml.find("tests=\"4\" failures=\"1\" errors=\"1\" skipped=\"1\""), std::string::npos)
      << xml;
  EXPECT_EQ(count(xml, "<testsuite "), 2u) << xml;
  EXPECT_NE(xml.find("<testsuite name=\"" + dir + "\" tests=\"2\""), std::string::npos) << xml;
  EXPECT_NE(xml.find("<testsuite name=\"" + dir + "/more\" tests=\"2\""), std::string::npos) << xml;
  EXPECT_EQ(count(xml, "<testcase "), 4u);
  EXPECT_NE(xml.find("<failure message=\"" + dir +
                     "/b_fails.scenario:4: expect 2 live train: the world held 1 live train\" "
                     "type=\"expectation\">"),
            std::string::npos)
      << xml;
  EXPECT_NE(xml.find("<skipped message=\"not ready\"/>"), std::string::npos) << xml;
  EXPECT_NE(xml.find("<error message=\"" + dir + "/more/c_unread.scenario:2: "), std::string::npos);
  EXPECT_TRUE(std::regex_search(xml, std::regex("<testcase name=\"a_passes\" classname=\"[^\"]+\" "
                                                "file=\"[^\"]+\" time=\"[0-9]+\\.[0-9]{3}\">")))
      << xml;
}

TEST(PlayTest, JUnitEscapesMarkupAndControlCharacters) {
  play::TestCase crashed{"dir/x&y.scenario", 1, 0.5, "line <1>\x01\n",
                         "play: plug-in crashed \"here\"\n  frame: 3\x1b\n"};
  std::ostringstream xml;
  play::write_junit(xml, {crashed});
  const std::string text = xml.str();
  EXPECT_NE(text.find("<error message=\"dir/x&amp;y.scenario: play: plug-in crashed "
                      "&quot;here&quot;\" type=\"crash or violation\">"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("<system-out>line &lt;1&gt;\\x01\n</system-out>"), std::string::npos) << text;
  EXPECT_NE(text.find("frame: 3\\x1B\n</error>"), std::string::npos) << text;
  for (const char c : text) {
    EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20 && c != '\n') << "a raw control character";
  }
}

TEST(PlayTest, AReportDirHoldsEachScenariosPageAndAnIndexOfOutcomes) {
  const std::string dir = mixed_folder().string();
  const std::filesystem::path pages = output_file("pages");
  std::filesystem::remove_all(pages);
  const auto run = play_command("test --report-dir '" + pages.string() + "' '" + dir + "'");
  EXPECT_EQ(run.status, 2) << run.out;
  const std::string index = read_file(pages / "index.html");
  for (const char* name : {"a_passes", "b_fails"}) {
    const std::string page = play::report_page_name(dir + "/" + name + ".scenario");
    EXPECT_TRUE(std::filesystem::is_regular_file(pages / page)) << page;
    EXPECT_NE(index.find("<a href=\"" + page + "\">"), std::string::npos) << index;
  }
  EXPECT_NE(index.find("<tr class=\"failed\">"), std::string::npos);
  EXPECT_NE(index.find("<tr class=\"skipped\">"), std::string::npos);
  EXPECT_NE(index.find("<tr class=\"unread\">"), std::string::npos);
}

TEST(PlayTest, GlobsMatchWithinANameOrAcrossFolders) {
  const std::string dir = mixed_folder().string();
  std::ostringstream err;
  const auto one = play::scenario_files({dir + "/*.scenario"}, err);
  ASSERT_TRUE(one);
  EXPECT_EQ(*one,
            (std::vector<std::string>{dir + "/a_passes.scenario", dir + "/b_fails.scenario"}));
  const auto deep = play::scenario_files({dir + "/**/?_*.scenario"}, err);
  ASSERT_TRUE(deep);
  EXPECT_EQ(deep->size(), 2u);  // '**/' needs a folder between
  EXPECT_FALSE(play::scenario_files({dir + "/*.nothing"}, err));
  EXPECT_NE(err.str().find("matches no file"), std::string::npos);
}

// Each bad command line ends with a clear message and status 2.
TEST(PlayTest, ABadCommandLineIsNeverMisread) {
  const std::string scenario = write_scenario("plain", passing);
  const std::string folder = mixed_folder().string();
  struct Case {
    std::string arguments;
    std::string message;
  };
  const std::vector<Case> cases = {
      // A scenario after --plugin is not a second plug-in.
      {"--plugin '" + std::string(TOYTRAIN_PLUGIN) + "' '" + scenario + "' '" + scenario + "'",
       "The following argument was not expected: " + scenario},
      {"'" + folder + "'", folder + ": is a folder, not a scenario (play test " + folder},
      {"--asi '" + folder + "' test '" + folder + "'", folder + ": is a folder, not a plug-in"},
      {"--plugin '" + folder + "' '" + scenario + "'", folder + ": is a folder, not a plug-in"},
      {"test '" + folder + "/none'", folder + "/none: no such scenario or folder"},
      {"test '" + folder + "/more/../none*'", "matches no file"},
      {"test", "paths is required"},
      {"", "expected a scenario to play"},
      {"test -j 0 '" + folder + "'", "-j"},
  };
  for (const Case& c : cases) {
    const auto run = play_command(c.arguments);
    EXPECT_EQ(run.status, 2) << c.arguments << "\n" << run.out;
    EXPECT_NE(run.out.find(c.message), std::string::npos) << c.arguments << "\n" << run.out;
  }
}

}  // namespace
