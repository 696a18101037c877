// The runner, for a real .asi under wine, beside the stand-in host's DLL:
// either plays a scenario file, printing the timeline a native run of play
// prints (runner.exe play --plugin PLUGIN [--plugin PLUGIN...] [options]
// SCENARIO), or runs one of the C++ scenarios and prints its record, then its
// failures (runner.exe SCENARIO PLUGIN).

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <iostream>
#include <string>

#include "crash_report.h"
#include "play.h"
#include "scenario.h"

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);  // the same bytes as a native run
  sim::Host& host = sim::Host::get();    // the DLL's one host, handed to what runs in it
  if (argc >= 2 && std::string(argv[1]) == "play") {
    play::Options options;
    if (const auto status = play::parse_options(argc - 1, argv + 1, options)) return *status;
    const auto no_deliverable_here = [](const std::string&) { return std::string(); };
    return play::play_scenario(host, options, no_deliverable_here, std::cout, std::cerr);
  }
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s SCENARIO PLUGIN\n       %s play --plugin PLUGIN SCENARIO\n",
                 argv[0], argv[0]);
    for (const sim::ScenarioDef& def : sim::scenarios()) std::fprintf(stderr, "  %s\n", def.name);
    return 2;
  }
  const sim::ScenarioDef* def = sim::find_scenario(argv[1]);
  if (def == nullptr) {
    std::fprintf(stderr, "no scenario named %s\n", argv[1]);
    return 2;
  }
  sim::install_crash_reports();
  const sim::ScenarioResult result = sim::run_scenario(host, *def, argv[2]);
  std::fwrite(result.record.data(), 1, result.record.size(), stdout);
  for (const std::string& f : result.failures) std::printf("FAILED: %s\n", f.c_str());
  std::fflush(stdout);
  return result.failures.empty() ? 0 : 1;
}
