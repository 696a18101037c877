#pragma once
// What peds do beyond being entities: their tasks and scenarios, flags,
// looks, death and fleeing.

#include <cstdint>
#include <map>
#include <string>

#include "stamp.h"

namespace sim {

class World;

struct PedActivity {
  uint32_t scenario = 0;  // the scenario it plays in place, 0 for none
  int scenario_starts = 0;
  int32_t point = 0;      // the point it was sent to use
  bool on_point = false;  // it has reached the point and uses it
  Stamp seated;           // when on_point last changed
  std::string point_variant;
  bool dead = false;
  bool fleeing = false;
  std::string ambient_voice;
  bool talking = false;
  uint32_t talk_from_ms = 0;
  uint32_t talk_ms = 0;
  int32_t look_target = 0;
  int look_ms = 0;
  std::string mood;
  std::map<int, bool> config_flags;
  std::map<int, bool> reset_flags;
  int flee_attributes = 0;
};

struct Peds {
  std::map<int32_t, PedActivity> all;

  PedActivity& get(int32_t handle);  // made on first use
  const PedActivity* find(int32_t handle) const;

  // What a test does to a ped, as the game would.
  void kill(World& w, int32_t ped);
  void scare(World& w, int32_t ped);
};

// An entity that exists and has died (a ped killed, or its health spent).
bool is_dead(World& w, int32_t entity);

}  // namespace sim
