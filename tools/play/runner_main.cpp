// The Windows runner, beside the stand-in host's DLL: the play command on
// Windows (play.exe [options] SCENARIO, play.exe test PATH...), a .asi loaded
// as the host loads it, with no game and no wine. Under wine it is also what
// the native play runs for --asi: `runner.exe play ...` as above, and
// `runner.exe play ... test --worker-dir DIR FILE...`, which plays the list in
// one start and writes each outcome to DIR for the native command to tell.
// `runner.exe SCENARIO PLUGIN` runs one of the C++ scenarios and prints its
// record, then its failures.

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <iostream>
#include <string>

#include "crash_report.h"
#include "game_process.h"
#include "play.h"
#include "scenario.h"
#include "test_run.h"

// Tells the host's DLL, as it loads, that this is the stand-in's runner and
// not a game (game_process.h).
extern "C" __declspec(dllexport) const int SIM_RUNNER_MARK = 1;

namespace {

int run_cpp_scenario(sim::Host& host, const sim::ScenarioDef& def, const char* plugin) {
  sim::install_crash_reports();
  const sim::ScenarioResult result = sim::run_scenario(host, def, plugin);
  std::fwrite(result.record.data(), 1, result.record.size(), stdout);
  for (const std::string& f : result.failures) std::printf("FAILED: %s\n", f.c_str());
  std::fflush(stdout);
  return result.failures.empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);  // the same bytes as a native run
  sim::Host& host = sim::Host::get();    // the DLL's one host, handed to what runs in it
  if (argc == 3 && argv[1][0] != '-') {
    if (const sim::ScenarioDef* def = sim::find_scenario(argv[1])) {
      return run_cpp_scenario(host, *def, argv[2]);
    }
  }
  // `play` first is how the native command asks; a modder leaves it out.
  const int skip = argc >= 2 && std::string(argv[1]) == "play" ? 1 : 0;
  play::Options options;
  if (const auto status = play::parse_options(argc - skip, argv + skip, options)) return *status;
  if (options.live) {
    std::cerr << "play: --live is not on Windows; play the scenario, or write its page with "
                 "--report FILE.html\n";
    return 2;
  }
  // Here a plug-in is always named: the deliverables' builds are not beside it.
  const auto no_deliverable_here = [](const std::string&) { return std::string(); };
  if (options.test && !options.worker_dir.empty()) {
    for (size_t i = 0; i < options.paths.size(); ++i) {
      play::play_to_folder(host, options, options.paths[i], no_deliverable_here, options.worker_dir,
                           i);
    }
    return 0;
  }
  if (options.test)
    return play::test_in_process(host, options, no_deliverable_here, std::cout, std::cerr);
  return play::play_scenario(host, options, no_deliverable_here, std::cout, std::cerr);
}
