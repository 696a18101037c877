#pragma once
// play test: the scenarios under the paths given, each played in a fresh game
// by a worker (a process of its own natively, or one of the Windows runner's
// plays under wine), each outcome written to a folder the command reads, and
// the outcomes told as lines, JUnit XML and an index of pages.

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "play.h"

namespace play {

// Every scenario file the paths name, in order: a file as given, a folder's
// *.scenario files searched recursively and sorted, a glob's matches ('*'
// and '?' within a name, '**' across folders). Empty, with the reason on
// `err`, when a path names nothing.
std::optional<std::vector<std::string>> scenario_files(const std::vector<std::string>& paths,
                                                       std::ostream& err);

// The scenarios play test plays, with --report-dir's folder made; nullopt,
// with the reason on `err`, when a path names nothing or the folder cannot
// be made.
std::optional<std::vector<std::string>> tests_to_play(const Options& options, std::ostream& err);

// Where a scenario's page goes under --report-dir.
std::string report_page_name(const std::string& scenario);

// The worker's side: plays the scenario in a fresh game and writes its
// outcome as INDEX.status ("STATUS SECONDS", STATUS 3 for skipped), INDEX.out
// (the timeline) and INDEX.err under `dir`.
void play_to_folder(sim::Host& host, const Options& options, const std::string& scenario,
                    const PluginFinder& find_plugin, const std::string& dir, size_t index);

struct TestCase {
  std::string file;
  int status = -1;  // 0 passed, 1 failed, 2 cannot be read, 3 skipped; -1 not played yet
  double seconds = 0.0;
  std::string out;
  std::string err;
};

// The outcome a worker wrote, or nullopt while it has not.
std::optional<TestCase> read_outcome(const std::string& dir, size_t index, const std::string& file);

// The outcome of a worker that ended inside the scenario, before it could
// write one: a failure, with what it wrote so far and the report it left.
TestCase ended_inside(const std::string& dir, size_t index, const std::string& file,
                      const std::string& report);

// The line play test prints when a scenario ends.
std::string outcome_line(const TestCase& c);

// The last line, the files --junit and --report-dir ask for, and the exit status.
int finish_tests(const Options& options, const std::vector<TestCase>& cases, std::ostream& out,
                 std::ostream& err);

// JUnit XML of the outcomes: a testsuite per folder, a testcase per scenario.
void write_junit(std::ostream& out, const std::vector<TestCase>& cases);

// A worker's share: each of options.paths played in this process, one after
// another, each in a fresh game, its outcome written to options.worker_dir.
void play_share(sim::Host& host, const Options& options, const PluginFinder& find_plugin);

// The options a runner is given for the plug-ins and the run, as flags, with
// each path as `path_for` makes it (the runner's own view of the path).
std::vector<std::string> runner_option_args(
    const Options& options, const std::function<std::string(const std::string&)>& path_for);

// How play test starts and watches the runners that play its shares: a
// start (the command and its arguments, the file its stderr goes to) gives
// an id, or a negative one when it could not start; `finished` gives a runner
// that ended since, without waiting, with its exit status (-1 when it ended
// otherwise, `how` saying how), or nullopt.
struct Ended {
  long id = 0;
  int status = 0;
  std::string how;
};
struct Runners {
  std::function<long(std::vector<std::string> args, const std::string& err_file)> start;
  std::function<std::optional<Ended>()> finished;
  std::function<std::string(const std::string&)> path_for;
};

// N runners (options.jobs) each play their share of the list in one start,
// a fresh game and a fresh load for each scenario; one that dies inside a
// scenario is told as that scenario's failure and started again on what it
// had left. `command` starts a runner up to its scenarios.
int test_in_runners(const Options& options, const std::vector<std::string>& command,
                    const Runners& runners, const std::vector<std::string>& files,
                    const std::string& dir, std::vector<TestCase>& cases);

}  // namespace play
