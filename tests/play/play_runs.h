#pragma once
// Ways to run play in a test: in this process with the native plug-ins, or
// as the command with a real .asi under wine; and the two runs' records
// made comparable across the film the C library draws.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "../../cinema/site.h"
#include "command.h"
#include "play.h"

namespace play_test {

struct PlayRun {
  int status = -1;
  std::string out;  // the timeline
  std::string err;
};

inline std::string native_plugin(const std::string& deliverable) {
  if (deliverable == "cinema") return CINEMA_PLUGIN;
  if (deliverable == "toytrain") return TOYTRAIN_PLUGIN;
  return "";
}

inline PlayRun play_here(play::Options options) {
  std::ostringstream out;
  std::ostringstream err;
  PlayRun run;
  run.status = play::play_scenario(sim::Host::get(), options, native_plugin, out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

inline PlayRun play_here(const std::string& scenario) {
  play::Options options;
  options.scenario = scenario;
  return play_here(options);
}

// A plug-in of no deliverable, played in this process.
inline PlayRun play_plugin_here(const std::string& plugin, const std::string& scenario) {
  play::Options options;
  options.scenario = scenario;
  options.plugin = {plugin};
  return play_here(options);
}

// The play command, with its stderr after its stdout.
inline PlayRun play_command(const std::string& arguments) {
  const CommandRun run = run_command(std::string("'") + PLAY_COMMAND + "' " + arguments + " 2>&1");
  return {run.status, run.output, ""};
}

// The play command with real .asi files, which it runs under wine.
inline PlayRun play_asi(const std::vector<std::string>& asis, const std::string& arguments) {
  std::string command = std::string("'") + PLAY_COMMAND + "'";
  for (const std::string& asi : asis) command += " --asi '" + asi + "'";
  const CommandRun run = run_under_wine(command + " " + arguments + " 2>&1");
  return {run.status, run.output, ""};
}

inline PlayRun play_asi(const std::string& asi, const std::string& arguments) {
  return play_asi(std::vector<std::string>{asi}, arguments);
}

inline std::string read_file(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Every scenario in the folders of a folder (the shipped ones, in
// SCENARIOS_DIR), by its path.
inline std::vector<std::string> scenarios_in(const std::string& folder) {
  std::vector<std::string> files;
  for (const auto& dir : std::filesystem::directory_iterator(folder)) {
    if (!dir.is_directory()) continue;
    for (const auto& file : std::filesystem::directory_iterator(dir.path())) {
      if (file.path().extension() == ".scenario") files.push_back(file.path().string());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

// A file of the test's own, in the build tree, in a folder per test: the
// suite runs tests in parallel, and two that play the same scenario would
// otherwise write one file while the other reads it.
inline std::filesystem::path output_file(const std::string& name) {
  const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string folder =
      test != nullptr ? std::string(test->test_suite_name()) + "." + test->name() : "outside_tests";
  const std::filesystem::path dir = std::filesystem::path(TEST_OUTPUT_DIR) / "play_test" / folder;
  std::filesystem::create_directories(dir);
  return dir / name;
}

// A scenario of the test's own, written to the build tree.
inline std::string write_scenario(const std::string& name, const std::string& text) {
  const std::filesystem::path path = output_file(name + ".scenario");
  std::ofstream(path, std::ios::binary) << text;
  return path.string();
}

inline size_t count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// The plug-in's file as the timeline names it: natively a shared object,
// under wine the .asi. Natively named, a run reads as the .asi's would.
inline std::string as_asi(std::string text) {
  for (size_t at = text.find(".so"); at != std::string::npos; at = text.find(".so", at + 1)) {
    const size_t after = at + 3;
    if (after < text.size() &&
        (std::isalnum(static_cast<unsigned char>(text[after])) != 0 || text[after] == '_')) {
      continue;
    }
    text.replace(at, 3, ".asi");
  }
  return text;
}

// The .asi played under wine with the arguments ends as the native run did
// and prints the same, the plug-in's file named as the .asi.
inline void expect_same_under_wine(const PlayRun& native, const std::string& asi,
                                   const std::string& arguments) {
  const PlayRun wine = play_asi(asi, arguments);
  EXPECT_EQ(wine.status, native.status) << wine.out;
  EXPECT_EQ(wine.out, as_asi(native.out));
}

// The film is drawn with the C library's rand, which differs between the
// native build and msvcrt, so either film may play. A text's first film
// name tells the film it drew: that film's names become <drawn film> and the
// other's <other film>. Two runs that drew different films compare equal;
// a run that names one film and plays the other still differs. Timeline
// lines that repeat the scenario's own steps are left as they are.
inline std::string same_film(const std::string& text) {
  static constexpr std::array<std::array<const char*, 2>, 2> films = {
      {{cinema_site::films[0].line, cinema_site::films[0].playlist},
       {cinema_site::films[1].line, cinema_site::films[1].playlist}}};
  static const std::regex step_line(R"(^ *\d+\.\d{3} +\d+ +\S+  (> |ok ))");
  std::vector<std::string> lines;
  std::istringstream in(as_asi(text));
  for (std::string line; std::getline(in, line);) lines.push_back(line);

  size_t drawn = films.size();
  for (size_t n = 0; n < lines.size() && drawn == films.size(); ++n) {
    if (std::regex_search(lines[n], step_line)) continue;
    size_t first = std::string::npos;
    for (size_t f = 0; f < films.size(); ++f) {
      for (const char* name : films[f]) {
        const size_t at = lines[n].find(name);
        if (at < first) {
          first = at;
          drawn = f;
        }
      }
    }
  }
  std::string out;
  for (std::string& line : lines) {
    if (drawn != films.size() && !std::regex_search(line, step_line)) {
      for (size_t f = 0; f < films.size(); ++f) {
        const std::string as = f == drawn ? "<drawn film>" : "<other film>";
        for (const std::string name : films[f]) {
          for (size_t at = line.find(name); at != std::string::npos; at = line.find(name, at)) {
            line.replace(at, name.size(), as);
          }
        }
      }
    }
    out += line + '\n';
  }
  return out;
}

}  // namespace play_test
