// play: plays a scenario with a plug-in in the stand-in host, natively, or
// with a real .asi under wine through the Windows build of the same host.

#include <iostream>

#include "install_paths.h"
#include "live.h"
#include "options.h"
#include "play.h"
#include "test_workers.h"
#include "under_wine.h"

namespace {

std::string native_plugin(const std::string& deliverable) {
  return play::deliverable_plugin(deliverable);
}

}  // namespace

int main(int argc, char** argv) {
  play::Options options;
  if (const auto status = play::parse_options(argc, argv, options)) return *status;
  sim::Host& host = sim::Host::get();
  if (options.test) return play::play_tests(host, options, native_plugin);
  if (options.live) return play::play_live(host, options, native_plugin, std::cout, std::cerr);
  if (!options.asi.empty()) return play::play_under_wine(options);
  return play::play_scenario(host, options, native_plugin, std::cout, std::cerr);
}
