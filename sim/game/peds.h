#pragma once
// What peds do beyond being entities: their tasks and scenarios, flags,
// looks, death and fleeing.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace sim {

class World;

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
  uint64_t talk_from_ms = 0;  // in the world's elapsed time
  uint32_t talk_ms = 0;
  int32_t look_target = 0;
  int look_ms = 0;
  std::string mood;
  std::map<int, bool> config_flags;
  std::map<int, bool> reset_flags;
  int flee_attributes = 0;
  uint32_t relationship_group = 0;  // 0: its model's own
  // What it was told to do, the latest last; a sequence puts its tasks here.
  std::vector<std::string> tasks;
  int32_t combat_target = 0;
  int sequence = 0;  // the sequence it performs, 0 for none
  bool blocking_events = false;
  bool keep_task = false;
  bool can_ragdoll = true;
  uint64_t ragdoll_until_ms = 0;  // in the game's elapsed time
  std::map<int, bool> combat_attributes;
  float scale = 1.0f;
  int group = 0;                     // the ped group it follows, 0 for none
  std::vector<uint32_t> shop_items;  // applied, in order
  int random_outfits = 0;            // outfits drawn at random
  std::map<int, int> cores;          // health, stamina, dead eye: 0 to 100
  std::map<int, int> attribute_ranks;
};

struct Peds {
  std::map<int32_t, PedActivity> all;

  // Task sequences, by id: the tasks given while one was open.
  std::map<int, std::vector<std::string>> sequences;
  int open_sequence = 0;
  int next_sequence = 1;
  // Relationship groups, and what one thinks of another (the game's 0 to 5).
  std::set<uint32_t> relationship_groups;
  std::map<std::pair<uint32_t, uint32_t>, int> relationships;
  // Ped groups: each one's leader, by id.
  std::map<int, int32_t> group_leaders;
  int next_group = 1;

  PedActivity& get(int32_t handle);  // made on first use
  const PedActivity* find(int32_t handle) const;

  // What a test does to a ped, as the game would.
  void kill(World& w, int32_t ped);
  void scare(World& w, int32_t ped);
};

// Records a task given to a ped: in the open sequence, when there is one,
// else as what the ped now does. Null: no live ped to tell.
PedActivity* tell(World& w, int32_t ped, std::string task);

// Whether the latest task a ped was told is to play that clip.
bool told_to_play(World& w, int32_t ped, const char* dictionary, const char* name);

// An entity that exists and has died (a ped killed, or its health spent).
bool is_dead(World& w, int32_t entity);

}  // namespace sim
