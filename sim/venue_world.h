#pragma once
// The theater's side of the game: map blips, interiors, scenario points and
// the peds that use them, what peds say and look at, and the TV channel.
// Included by world.h once Vec is known.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace sim {

class World;

struct BlipState {
  int32_t handle = 0;
  uint32_t style = 0;
  Vec position;
  uint32_t sprite = 0;
  float scale = 1.0f;
  std::string name;
  std::vector<uint32_t> modifiers;
  bool exists = true;

  bool has(uint32_t modifier) const;
};

// An interior is a box of the world; outside every box there is no interior.
struct InteriorState {
  int32_t id = 0;
  uint32_t name_hash = 0;
  Vec low;
  Vec high;
  Vec location;

  bool contains(const Vec& at) const;
};

struct ScenarioPointState {
  int32_t handle = 0;
  int32_t entity = 0;  // the entity it is attached to
  uint32_t type = 0;
  Vec offset;  // in the entity's frame
  float heading = 0.0f;
  bool active = true;
  bool exists = true;
  int32_t user = 0;  // the ped seated on it
};

struct PedActivity {
  uint32_t scenario = 0;  // the scenario it plays in place, 0 for none
  int scenario_starts = 0;
  int32_t point = 0;      // the point it was sent to use
  bool on_point = false;  // it has reached the point and uses it
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

struct SpokenLine {
  uint64_t frame = 0;
  int32_t ped = 0;
  std::string line;
  std::string voice;
  uint32_t params = 0;
};

struct VenueWorld {
  VenueWorld();

  std::map<int32_t, BlipState> blips;
  int32_t next_blip = 0x51;
  std::vector<InteriorState> interiors;
  std::map<int32_t, ScenarioPointState> points;
  int32_t next_point = 0x701;
  std::map<int32_t, PedActivity> peds;
  std::vector<SpokenLine> spoken;
  uint32_t line_ms = 2500;  // how long a line keeps its speaker talking
  int tv_channel = -1;      // -1: no channel

  static constexpr int32_t theater_interior = 53250;

  PedActivity& ped(int32_t handle);  // made on first use
  const PedActivity* find_ped(int32_t handle) const;
  BlipState* blip(int32_t handle);            // a blip that still exists, or null
  ScenarioPointState* point(int32_t handle);  // a point that still exists, or null
  int32_t interior_at(const Vec& at) const;
  const InteriorState* interior(int32_t id) const;
  Vec point_position(World& w, const ScenarioPointState& p) const;

  std::vector<const BlipState*> live_blips() const;
  std::vector<const ScenarioPointState*> live_points() const;
  std::vector<const SpokenLine*> lines(const std::string& line) const;
  bool talking(const World& w, int32_t ped) const;

  // What a test does to a ped, as the game would.
  void kill(int32_t ped);
  void scare(int32_t ped);
  void start_talking(const World& w, int32_t ped);
  void stop_talking(int32_t ped);
  void leave_point(int32_t ped);

  void update(World& w);  // once per frame
};

}  // namespace sim
