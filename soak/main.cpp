// Soaks one deliverable for as long as asked:
//   soak --deliverable cinema --frames 10000000 --seed 1

#include <CLI/CLI.hpp>
#include <cstdio>
#include <exception>

#include "soak.h"

static int soak_main(int argc, char** argv) {
  CLI::App app{"Runs a deliverable for a long time in a hostile simulated game"};
  soak::Options o;
  bool calm = false;
  app.add_option("--deliverable", o.deliverable, "cinema or toytrain")
      ->required()
      ->check(CLI::IsMember({"cinema", "toytrain"}));
  app.add_option("--frames", o.frames, "game frames to run")->capture_default_str();
  app.add_option("--seed", o.seed, "seed of the walk and the faults")->capture_default_str();
  app.add_option("--fault-rate", o.fault_rate, "chance per frame that a fault starts")
      ->capture_default_str();
  app.add_flag("--calm", calm, "no faults: the game behaves");
  app.add_flag("--trace", o.trace, "print the recent native calls when the run breaks");
  CLI11_PARSE(app, argc, argv);
  o.faults = !calm;

  const soak::Report r = soak::run(o);
  std::printf("deliverable %s, seed %llu\n%s", o.deliverable.c_str(),
              static_cast<unsigned long long>(o.seed), r.text().c_str());
  if (o.trace && !r.sound()) std::printf("recent calls:\n%s", r.recent.c_str());
  return r.sound() ? 0 : 1;
}

int main(int argc, char** argv) {
  // What the run could not go on from is told, not thrown out of the program.
  try {
    return soak_main(argc, argv);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "soak: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "soak: the run stopped on an unknown error\n");
  }
  return 2;
}
