#pragma once
// Speech lines: what was said, by whom, in which voice, and who is still
// talking.

#include <cstdint>
#include <string>
#include <vector>

namespace sim {

class World;

struct SpokenLine {
  uint64_t frame = 0;
  int32_t ped = 0;
  std::string line;
  std::string voice;
  uint32_t params = 0;
};

struct Speech {
  std::vector<SpokenLine> spoken;
  uint32_t line_ms = 2500;  // how long a line keeps its speaker talking

  std::vector<const SpokenLine*> lines(const std::string& line) const;
  bool talking(const World& w, int32_t ped) const;
  void start_talking(World& w, int32_t ped);
  void stop_talking(World& w, int32_t ped);
};

}  // namespace sim
