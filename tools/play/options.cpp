#include "options.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstring>
#include <filesystem>

#include "syntax.h"

namespace play {

std::optional<int> parse_options(int argc, char** argv, Options& options) {
  CLI::App app(
      "Plays a scenario: runs a plug-in in the stand-in host, does what the scenario says, checks "
      "what it expects, and prints a timeline of what the world changed.\n"
      "Exit status: 0 when every expectation holds and the host saw no protocol violation; 1 "
      "when one failed, or a plug-in crashed, threw, aborted or kept a turn past the watchdog "
      "(with a report on stderr); 2 for a scenario or command line that cannot be read.",
      "play");
  app.footer("\n" + usage_text());
  // A live run may begin with no scenario; every other run plays one.
  app.add_option(
      "scenario", options.scenario,
      "the scenario file (see docs/scenarios.md); with --live, where the session begins");
  // One file each: a scenario after a plug-in is never taken for another.
  app.add_option("--asi", options.asi,
                 "a Windows plug-in (.asi) to play (on Linux under wine); given again for each, "
                 "they load in "
                 "the order given")
      ->allow_extra_args(false)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  app.add_option("--plugin", options.plugin,
                 "a plug-in to load natively in place of the deliverables' own; given again for "
                 "each, they load in the order given")
      ->allow_extra_args(false)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  CLI::App* test = app.add_subcommand(
      "test",
      "play every scenario under the paths given (files, folders searched for *.scenario, "
      "globs), each in a fresh game, a line each as it ends; exit 0 when all passed, 1 when one "
      "failed, 2 when one cannot be read");
  test->fallthrough();
  test->add_option("paths", options.paths, "scenario files, folders of them, or globs")->required();
  test->add_option("-j,--jobs", options.jobs, "play this many scenarios at once (default 1)")
      ->check(CLI::Range(1, 64));
  test->add_option("--junit", options.junit,
                   "write the outcomes as JUnit XML: a testsuite per folder, a testcase per "
                   "scenario");
  test->add_option("--report-dir", options.report_dir,
                   "write each scenario's page there, and index.html linking them");
  test->add_option("--worker-dir", options.worker_dir)->group("");
  app.add_flag("--any-name", options.any_name,
               "play plug-ins whose file names are not the deliverables the scenario names");
  app.add_flag("-v,--verbose", options.verbose, "list every native call in the timeline");
  app.add_option("--trace", options.trace,
                 "write a trace (JSON): passes, waits and native calls, the steps and the world's "
                 "events; runs of quiet frames fold into one slice");
  app.add_flag("--trace-all", options.trace_all,
               "the trace keeps every native call, quiet frames too");
  app.add_flag("--summary", options.summary,
               "the summary at the end lists every native not simulated, not only the ten most "
               "called");
  app.add_option("--map", options.map, "write a map of the site (SVG)");
  app.add_option("--record", options.record, "write every native call, a line each");
  app.add_option("--report", options.report,
                 "write the run as one page (HTML) to scrub through: the screen, the map, the "
                 "timeline and the calls");
  app.add_flag("--live", options.live,
               "play in real time, watched and driven from a page served on 127.0.0.1");
  app.add_option("--port", options.port, "the live page's port (default: one that is free)")
      ->check(CLI::Range(0, 65535));
  app.add_option("--session", options.session,
                 "live: write what was done as a scenario that replays the session (default: "
                 "session.scenario)");
  app.add_option("--watchdog", options.watchdog,
                 "end the run when a script's turn takes longer than this many seconds of wall "
                 "time without yielding (default 5; 0: never)")
      ->check(CLI::NonNegativeNumber);
  app.add_flag("--strict", options.strict,
               "what the game tolerates (a call with more or fewer arguments than its table "
               "gives, a 32-bit slot with its upper half set) is a violation too");
  app.add_flag("--wall-clock", options.wall_clock,
               "a plug-in's tick count is the machine's own clock, not the game's elapsed time");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int status = app.exit(e);
    return status == 0 ? 0 : 2;
  }
  options.test = test->parsed();
  if (!options.test && !options.live && options.scenario.empty()) {
    std::fprintf(stderr, "play: expected a scenario to play (or test PATH..., or --live)\n%s\n",
                 "Run with --help for more information.");
    return 2;
  }
  for (const auto* files : {&options.asi, &options.plugin}) {
    for (const std::string& file : *files) {
      std::error_code ec;
      if (std::filesystem::is_directory(file, ec)) {
        std::fprintf(stderr, "play: %s: is a folder, not a plug-in\n", file.c_str());
        return 2;
      }
    }
  }
  if (!options.asi.empty() && !options.plugin.empty()) {
    std::fprintf(stderr,
                 "play: --asi and --plugin name plug-ins of two builds; give one or the other\n");
    return 2;
  }
  return std::nullopt;
}

}  // namespace play
