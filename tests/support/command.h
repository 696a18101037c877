#pragma once
// A command run from a test: its exit status and what it printed.

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

struct CommandRun {
  int status = -1;  // -1: it could not be started, or a signal ended it
  std::string output;
};

// Lines as one text, each ended by a newline: how a test prints a list it failed on.
inline std::string joined(const std::vector<std::string>& lines) {
  std::string all;
  for (const auto& line : lines) all += line + '\n';
  return all;
}

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

// Wine's own processes (its services, started with a wine session's first
// program) write to the stderr they inherit, and one of them has been seen to
// crash ("wine: Unhandled page fault ...") in a run whose program went on and
// ended well. Lines that begin "wine: " are wine's, never our programs': they
// are taken out of the output and told in the test's log. Were it our
// program that crashed, its exit status and its output would still say so.
inline void drop_wine_lines(CommandRun& run) {
  std::string kept;
  size_t at = 0;
  while (at < run.output.size()) {
    const size_t end = run.output.find('\n', at);
    const size_t next = end == std::string::npos ? run.output.size() : end + 1;
    const std::string line = run.output.substr(at, next - at);
    if (line.rfind("wine: ", 0) == 0) {
      std::fprintf(stderr, "wine said, taken out of the output: %s%s", line.c_str(),
                   line.back() == '\n' ? "" : "\n");
    } else {
      kept += line;
    }
    at = next;
  }
  run.output = kept;
}

inline CommandRun run_under_wine(const std::string& command) {
  CommandRun run = run_command(command);
  if (wine_failed_the_run(run)) {
    std::fprintf(stderr, "wine failed the run (exit %d, printed \"%.200s\"); once more: %s\n",
                 run.status, run.output.c_str(), command.c_str());
    run = run_command(command);
  }
  drop_wine_lines(run);
  return run;
}
