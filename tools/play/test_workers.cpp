// play test's workers: natively a process forked for each scenario, under
// wine a runner for each share of the list.

#include "test_workers.h"

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <vector>

#include "test_run.h"
#include "under_wine.h"

namespace play {

namespace {

std::string temp_folder() {
  std::string dir = (std::filesystem::temp_directory_path() / "play-test-XXXXXX").string();
  if (mkdtemp(dir.data()) == nullptr) return "";
  return dir;
}

// Natively, each scenario plays in a process of its own, forked from one in
// which no plug-in has loaded: a fresh game, a fresh load, whatever a plug-in
// left behind in its last run.
int test_natively(sim::Host& host, const Options& options, const PluginFinder& find_plugin,
                  const std::vector<std::string>& files, const std::string& dir,
                  std::vector<TestCase>& cases) {
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
        play_to_folder(host, options, files[next], find_plugin, dir, next);
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
    std::optional<TestCase> c = read_outcome(dir, i, files[i]);
    if (!c) {
      // The process ended before it could tell: a crash, and its report.
      std::ifstream crash(dir + "/" + std::to_string(i) + ".crash", std::ios::binary);
      std::ostringstream text;
      text << crash.rdbuf();
      c = ended_inside(dir, i, files[i], text.str());
    }
    std::cout << outcome_line(*c) << '\n' << std::flush;
    cases[i] = *c;
  }
  return 0;
}

// Under wine, the Windows runners play the shares.
int test_under_wine(const Options& options, const std::vector<std::string>& files,
                    const std::string& dir, std::vector<TestCase>& cases) {
  int failed = 2;
  const auto command = runner_command(options, failed);
  if (!command) return failed;
  Runners runners;
  runners.start = [](std::vector<std::string> args, const std::string& err_file) -> long {
    return start_wine(std::move(args), err_file);
  };
  runners.finished = []() -> std::optional<Ended> {
    int status = 0;
    const pid_t done = waitpid(-1, &status, WNOHANG);
    if (done <= 0) return std::nullopt;
    Ended e{done, WIFEXITED(status) ? WEXITSTATUS(status) : -1, ""};
    e.how = WIFEXITED(status) ? "status " + std::to_string(WEXITSTATUS(status))
                              : "signal " + std::to_string(WTERMSIG(status));
    return e;
  };
  runners.path_for = windows_path;
  return test_in_runners(options, *command, runners, files, dir, cases);
}

}  // namespace

int play_tests(sim::Host& host, const Options& options, const PluginFinder& find_plugin) {
  const auto files = tests_to_play(options, std::cerr);
  if (!files) return 2;
  std::error_code ec;
  const std::string dir = temp_folder();
  if (dir.empty()) {
    std::perror("play: a temporary folder");
    return 2;
  }
  std::vector<TestCase> cases(files->size());
  const int status = options.asi.empty()
                         ? test_natively(host, options, find_plugin, *files, dir, cases)
                         : test_under_wine(options, *files, dir, cases);
  std::filesystem::remove_all(dir, ec);
  if (status != 0) return status;
  return finish_tests(options, cases, std::cout, std::cerr);
}

}  // namespace play
