// Playing under wine: the Windows build of the same host, the runner, plays
// the real .asi files; play starts it and reads what it tells.

#include "under_wine.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "install_paths.h"
#include "pe_file.h"
#include "test_run.h"

namespace play {

// A path as the Windows runner sees it under wine: Z: is the root, and a
// relative path stays relative, since wine starts in the same directory.
std::string windows_path(const std::string& path) {
  if (path.empty() || std::filesystem::path(path).is_relative()) return path;
  return "Z:" + std::filesystem::path(path).lexically_normal().string();
}

// The Windows runner's command line for the options, up to the scenarios:
// empty, with the reason told, when a part is missing or an .asi cannot load.
std::optional<std::vector<std::string>> runner_command(const Options& options, int& status) {
  status = 2;
  const std::string runner = windows_runner();
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
  }
  // The system loader would refuse a plug-in whose imports it cannot bind:
  // say which before wine does it without a word.
  const std::string host_dll =
      (std::filesystem::path(runner).parent_path() / "ScriptHookRDR2.dll").string();
  const PeTables host = read_pe_tables(host_dll);
  if (!host.error.empty()) {
    std::cerr << "play: " << host_dll << " " << host.error << "\n";
    return std::nullopt;
  }
  for (const std::string& asi : options.asi) {
    const auto problems = unresolved_imports(asi, host.exports, WINE_DLL_DIR);
    for (const std::string& p : problems) std::cerr << "play: " << p << '\n';
    if (!problems.empty()) {
      status = 1;
      return std::nullopt;
    }
  }
  const auto flags = runner_option_args(options, windows_path);
  args.insert(args.end(), flags.begin(), flags.end());
  return args;
}

// Starts wine with the runner; `err_file`, when given, takes its stderr.
pid_t start_wine(std::vector<std::string> args, const std::string& err_file) {
  const std::string prefix = wine_prefix(WINE64);
  if (prefix.empty()) return -1;
  std::vector<char*> argv;
  argv.reserve(args.size() + 1);
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

int play_under_wine(const Options& options) {
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

}  // namespace play
