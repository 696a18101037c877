#pragma once
// A command run from a test: its exit status and what it printed.

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

struct CommandRun {
  int status = -1;  // -1: it could not be started, or a signal ended it
  std::string output;
};

// Runs a shell command and reads its standard output; add 2>&1 for stderr.
inline CommandRun run_command(const std::string& command) {
  CommandRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return run;
  std::array<char, 4096> chunk;
  size_t n;
  while ((n = fread(chunk.data(), 1, chunk.size(), pipe)) > 0) run.output.append(chunk.data(), n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// Wine itself has been seen, in busy runs, to fail a program of ours: to
// exit 1 having run nothing and printed nothing, and to lose the program's
// connection to its server midway ("wine client error: ... Connection reset
// by peer"). Such a run is tried once more, and the test's log says so; a
// second one is the test's to report.
inline bool wine_failed_the_run(const CommandRun& run) {
  return run.status != 0 &&
         (run.output.empty() || run.output.find("wine client error:") != std::string::npos);
}

inline CommandRun run_under_wine(const std::string& command) {
  CommandRun run = run_command(command);
  if (wine_failed_the_run(run)) {
    std::fprintf(stderr, "wine failed the run (exit %d, printed \"%.200s\"); once more: %s\n",
                 run.status, run.output.c_str(), command.c_str());
    run = run_command(command);
  }
  return run;
}
