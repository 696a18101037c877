#pragma once
// The command line of play, read the same way natively and by the Windows
// runner that plays a .asi under wine.

#include <optional>
#include <string>
#include <vector>

namespace play {

struct Options {
  std::string scenario;
  // Plug-ins to load, in this order: Windows .asi files played under wine, or
  // files loaded here. None: the deliverables' own.
  std::vector<std::string> asi;
  std::vector<std::string> plugin;
  bool any_name = false;  // play plug-ins whose names are not the scenario's deliverables
  bool verbose = false;
  std::string trace;        // Trace Event Format JSON to write
  bool trace_all = false;   // the trace keeps every call, quiet frames too
  bool summary = false;     // the summary lists every native not simulated
  std::string map;          // SVG to write
  std::string record;       // every native call, a line each, to write
  std::string report;       // the page of the run (HTML) to write
  bool live = false;        // play in real time, driven from a page served here
  int port = 0;             // the live page's port on the loopback; 0: one that is free
  std::string session;      // live: the scenario that replays the session, to write
  double watchdog = 5.0;    // wall-time seconds a script's turn may take; 0: no limit
  bool strict = false;      // what the game tolerates fails the run too
  bool wall_clock = false;  // a plug-in's tick count is the machine's, not the game's

  // play test: every scenario under these files, folders and globs.
  bool test = false;
  std::vector<std::string> paths;
  int jobs = 1;            // scenarios played at once
  std::string junit;       // JUnit XML to write
  std::string report_dir;  // each scenario's page, and an index of them
  std::string
      worker_dir;  // the Windows runner under wine: plays `paths` and writes each outcome there
};

// The options, or the exit status when there is nothing to play (0 after
// --help, 2 after a bad command line, with the reason on stderr).
std::optional<int> parse_options(int argc, char** argv, Options& options);

}  // namespace play
