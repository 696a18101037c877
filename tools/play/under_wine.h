#pragma once
// The Windows runner under wine, for --asi: its command for the options, a
// start of it, and a whole run of one scenario.

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "options.h"

namespace play {

// A path as the runner sees it under wine.
std::string windows_path(const std::string& path);
// The runner's command line for the options, up to the scenarios; empty,
// with the reason told and `status` set, when it cannot run.
std::optional<std::vector<std::string>> runner_command(const Options& options, int& status);
// Starts wine with the runner; `err_file`, when given, takes its stderr.
pid_t start_wine(std::vector<std::string> args, const std::string& err_file = "");
// Plays options.scenario with options.asi: the run's exit status.
int play_under_wine(const Options& options);

}  // namespace play
