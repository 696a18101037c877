// The runner's body, inside the stand-in host's DLL: runs one scenario
// against a real .asi and prints its record, then its failures.

#include <cstdio>
#include <string>

#include "scenario.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#define SIM_RUNNER_EXPORT __declspec(dllexport)
#else
#define SIM_RUNNER_EXPORT
#endif

extern "C" SIM_RUNNER_EXPORT int sim_runner_main(int argc, char** argv) {
#if defined(_WIN32)
  _setmode(_fileno(stdout), _O_BINARY);  // the same bytes as a native run
#endif
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s SCENARIO PLUGIN\n", argv[0]);
    for (const sim::ScenarioDef& def : sim::scenarios()) std::fprintf(stderr, "  %s\n", def.name);
    return 2;
  }
  const sim::ScenarioDef* def = sim::find_scenario(argv[1]);
  if (def == nullptr) {
    std::fprintf(stderr, "no scenario named %s\n", argv[1]);
    return 2;
  }
  const sim::ScenarioResult result = sim::run_scenario(*def, argv[2]);
  std::fwrite(result.record.data(), 1, result.record.size(), stdout);
  for (const std::string& f : result.failures) std::printf("FAILED: %s\n", f.c_str());
  std::fflush(stdout);
  return result.failures.empty() ? 0 : 1;
}
