// play: plays a scenario with a plug-in in the stand-in host, natively, or
// with a real .asi under wine through the Windows build of the same host.

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <vector>

#include "install_paths.h"
#include "live.h"
#include "options.h"
#include "pe_file.h"
#include "play.h"
#include "test_run.h"

namespace {

std::string native_plugin(const std::string& deliverable) {
  return play::deliverable_plugin(deliverable);
}

// A path as the Windows runner sees it under wine: Z: is the root, and a
// relative path stays relative, since wine starts in the same directory.
std::string windows_path(const std::string& path) {
  if (path.empty() || std::filesystem::path(path).is_relative()) return path;
  return "Z:" + std::filesystem::path(path).lexically_normal().string();
}

// The Windows runner's command line for the options, up to the scenarios:
// empty, with the reason told, when a part is missing or an .asi cannot load.
std::optional<std::vector<std::string>> runner_command(const play::Options& options, int& status) {
  status = 2;
  const std::string runner = play::windows_runner();
  for (const std::string& needed : {runner, std::string(WINE64)}) {
    if (!std::filesystem::exists(needed)) {
      std::cerr << "play: " << needed
                << " is missing: ./play builds the Windows runner for --asi, ./setup.sh installs "
                   "wine64\n";
      return std::nullopt;
    }
  }
  std::vector<std::string> args = {WINE64, runner, "play"};
  for (const std::string& asi : options.asi) {
    if (!std::filesystem::exists(asi)) {
      std::cerr << "play: " << asi << ": no such plug-in\n";
      return std::nullopt;
    }
    args.push_back("--plugin");
    args.push_back(windows_path(asi));
  }
  // The system loader would refuse a plug-in whose imports it cannot bind:
  // say which before wine does it without a word.
  const std::string host_dll =
      (std::filesystem::path(runner).parent_path() / "ScriptHookRDR2.dll").string();
  const play::PeTables host = play::read_pe_tables(host_dll);
  if (!host.error.empty()) {
    std::cerr << "play: " << host_dll << " " << host.error << "\n";
    return std::nullopt;
  }
  for (const std::string& asi : options.asi) {
    const auto problems = play::unresolved_imports(asi, host.exports, WINE_DLL_DIR);
    for (const std::string& p : problems) std::cerr << "play: " << p << '\n';
    if (!problems.empty()) {
      status = 1;
      return std::nullopt;
    }
  }
  if (options.any_name) args.push_back("--any-name");
  if (options.verbose) args.push_back("--verbose");
  if (options.wall_clock) args.push_back("--wall-clock");
  if (options.strict) args.push_back("--strict");
  args.push_back("--watchdog");
  args.push_back(std::to_string(options.watchdog));
  if (options.trace_all) args.push_back("--trace-all");
  if (options.summary) args.push_back("--summary");
  for (const auto& [flag, path] :
       {std::pair{"--trace", options.trace}, std::pair{"--map", options.map},
        std::pair{"--record", options.record}, std::pair{"--report", options.report}}) {
    if (!path.empty()) {
      args.push_back(flag);
      args.push_back(windows_path(path));
    }
  }
  return args;
}

// Starts wine with the runner; `err_file`, when given, takes its stderr.
pid_t start_wine(std::vector<std::string> args, const std::string& err_file = "") {
  const std::string prefix = play::wine_prefix(WINE64);
  if (prefix.empty()) return -1;
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  std::cout.flush();
  const pid_t child = fork();
  if (child < 0) std::perror("play: fork");
  if (child == 0) {
    setenv("WINEDEBUG", "-all", 1);
    setenv("WINEPREFIX", prefix.c_str(), 1);
    if (!err_file.empty() && std::freopen(err_file.c_str(), "wb", stderr) == nullptr) _exit(2);
    execv(argv[0], argv.data());
    std::perror("play: wine64");
    _exit(2);
  }
  return child;
}

int play_under_wine(const play::Options& options) {
  int failed = 2;
  auto args = runner_command(options, failed);
  if (!args) return failed;
  args->push_back(windows_path(options.scenario));
  const pid_t child = start_wine(*args);
  if (child < 0) return 2;
  int status = 0;
  if (waitpid(child, &status, 0) < 0) return 2;
  // The runner ends with 0, 1 or 2 itself, crashes included; anything else
  // is wine's own failure, and the run failed all the same.
  if (WIFEXITED(status) && WEXITSTATUS(status) <= 2) return WEXITSTATUS(status);
  std::cerr << "play: the Windows runner under wine ended with "
            << (WIFEXITED(status) ? "status " + std::to_string(WEXITSTATUS(status))
                                  : "signal " + std::to_string(WTERMSIG(status)))
            << '\n';
  return 1;
}

std::string temp_folder() {
  std::string dir = (std::filesystem::temp_directory_path() / "play-test-XXXXXX").string();
  if (mkdtemp(dir.data()) == nullptr) return "";
  return dir;
}

// Natively, each scenario plays in a process of its own, forked from one in
// which no plug-in has loaded: a fresh game, a fresh load, whatever a plug-in
// left behind in its last run.
int test_natively(sim::Host& host, const play::Options& options,
                  const std::vector<std::string>& files, const std::string& dir,
                  std::vector<play::TestCase>& cases) {
  std::map<pid_t, size_t> running;
  size_t next = 0;
  while (next < files.size() || !running.empty()) {
    while (next < files.size() && running.size() < static_cast<size_t>(options.jobs)) {
      std::cout.flush();
      std::cerr.flush();
      const pid_t child = fork();
      if (child < 0) {
        std::perror("play: fork");
        return 2;
      }
      if (child == 0) {
        // A crash report goes to stderr: into the scenario's outcome.
        const std::string base = dir + "/" + std::to_string(next);
        if (std::freopen((base + ".crash").c_str(), "wb", stderr) == nullptr) _exit(2);
        play::play_to_folder(host, options, files[next], native_plugin, dir, next);
        std::fflush(nullptr);
        _exit(0);
      }
      running[child] = next++;
    }
    int status = 0;
    const pid_t done = wait(&status);
    if (done < 0) return 2;
    const auto it = running.find(done);
    if (it == running.end()) continue;
    const size_t i = it->second;
    running.erase(it);
    std::optional<play::TestCase> c = play::read_outcome(dir, i, files[i]);
    if (!c) {
      // The process ended before it could tell: a crash, and its report.
      std::ifstream crash(dir + "/" + std::to_string(i) + ".crash", std::ios::binary);
      std::ostringstream text;
      text << crash.rdbuf();
      c = play::ended_inside(dir, i, files[i], text.str());
    }
    std::cout << play::outcome_line(*c) << '\n' << std::flush;
    cases[i] = *c;
  }
  return 0;
}

// Under wine, each of N runners plays its share of the list in one wine
// start, a fresh game and a fresh load for each; one that dies on a crash is
// started again on what it had left.
int test_under_wine(const play::Options& options, const std::vector<std::string>& files,
                    const std::string& dir, std::vector<play::TestCase>& cases) {
  int failed = 2;
  const auto command = runner_command(options, failed);
  if (!command) return failed;
  const size_t shards = std::min(files.size(), static_cast<size_t>(options.jobs));
  std::vector<std::vector<size_t>> left(shards);
  for (size_t i = 0; i < files.size(); ++i) left[i % shards].push_back(i);
  std::map<pid_t, size_t> running;
  std::vector<size_t> told(shards, 0);  // how many of its share each has been told
  // Each start writes to a folder of its own, from the first it was given.
  std::vector<std::string> folder(shards);
  std::vector<size_t> first(shards, 0);
  int starts = 0;
  const auto start = [&](size_t shard) {
    folder[shard] = dir + "/start" + std::to_string(starts++);
    first[shard] = told[shard];
    std::error_code ec;
    std::filesystem::create_directories(folder[shard], ec);
    std::vector<std::string> args = *command;
    args.push_back("test");
    args.push_back("--worker-dir");
    args.push_back(windows_path(folder[shard]));
    if (!options.report_dir.empty()) {
      args.push_back("--report-dir");
      args.push_back(windows_path(options.report_dir));
    }
    args.push_back("--");
    for (size_t k = told[shard]; k < left[shard].size(); ++k) {
      args.push_back(windows_path(files[left[shard][k]]));
    }
    const pid_t child = start_wine(args, folder[shard] + "/runner.err");
    if (child > 0) running[child] = shard;
    return child;
  };
  for (size_t shard = 0; shard < shards; ++shard) {
    if (start(shard) < 0) return 2;
  }
  const auto tell_new = [&](size_t shard) {
    while (told[shard] < left[shard].size()) {
      const size_t i = left[shard][told[shard]];
      const auto c = play::read_outcome(folder[shard], told[shard] - first[shard], files[i]);
      if (!c) return;
      std::cout << play::outcome_line(*c) << '\n' << std::flush;
      cases[i] = *c;
      ++told[shard];
    }
  };
  while (!running.empty()) {
    int status = 0;
    const pid_t done = waitpid(-1, &status, WNOHANG);
    if (done < 0) return 2;
    for (size_t shard = 0; shard < shards; ++shard) tell_new(shard);
    if (done == 0) {
      usleep(10000);
      continue;
    }
    const auto it = running.find(done);
    if (it == running.end()) continue;
    const size_t shard = it->second;
    running.erase(it);
    tell_new(shard);
    if (told[shard] == left[shard].size()) continue;
    // The runner ended inside a scenario: that one failed with what it said.
    std::ifstream crash(folder[shard] + "/runner.err", std::ios::binary);
    std::ostringstream text;
    text << crash.rdbuf();
    const size_t i = left[shard][told[shard]];
    cases[i] =
        play::ended_inside(folder[shard], told[shard]++ - first[shard], files[i], text.str());
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 2) {
      cases[i].err += "play: the Windows runner under wine ended with " +
                      (WIFEXITED(status) ? "status " + std::to_string(WEXITSTATUS(status))
                                         : "signal " + std::to_string(WTERMSIG(status))) +
                      '\n';
    }
    std::cout << play::outcome_line(cases[i]) << '\n' << std::flush;
    if (told[shard] < left[shard].size() && start(shard) < 0) return 2;
  }
  return 0;
}

int play_tests(sim::Host& host, const play::Options& options) {
  const auto files = play::scenario_files(options.paths, std::cerr);
  if (!files) return 2;
  std::error_code ec;
  if (!options.report_dir.empty()) {
    std::filesystem::create_directories(options.report_dir, ec);
    if (!std::filesystem::is_directory(options.report_dir)) {
      std::cerr << "play: " << options.report_dir << ": cannot be made a folder\n";
      return 2;
    }
  }
  const std::string dir = temp_folder();
  if (dir.empty()) {
    std::perror("play: a temporary folder");
    return 2;
  }
  std::vector<play::TestCase> cases(files->size());
  const int status = options.asi.empty() ? test_natively(host, options, *files, dir, cases)
                                         : test_under_wine(options, *files, dir, cases);
  std::filesystem::remove_all(dir, ec);
  if (status != 0) return status;
  return play::finish_tests(options, cases, std::cout, std::cerr);
}

}  // namespace

int main(int argc, char** argv) {
  play::Options options;
  if (const auto status = play::parse_options(argc, argv, options)) return *status;
  sim::Host& host = sim::Host::get();
  if (options.test) return play_tests(host, options);
  if (options.live) return play::play_live(host, options, native_plugin, std::cout, std::cerr);
  if (!options.asi.empty()) return play_under_wine(options);
  return play::play_scenario(host, options, native_plugin, std::cout, std::cerr);
}
