#pragma once
// The command line of play, read the same way natively and by the Windows
// runner that plays a .asi under wine.

#include <optional>
#include <string>

namespace play {

struct Options {
  std::string scenario;
  std::string asi;     // a Windows plug-in to play under wine
  std::string plugin;  // a plug-in file to load here; empty: the deliverable's own
  bool verbose = false;
  std::string trace;   // Trace Event Format JSON to write
  std::string map;     // SVG to write
  std::string record;  // every native call, a line each, to write
};

// The options, or the exit status when there is nothing to play (0 after
// --help, 2 after a bad command line, with the reason on stderr).
std::optional<int> parse_options(int argc, char** argv, Options& options);

}  // namespace play
