#pragma once
// The player as the game keeps him beyond his ped: control, invincibility,
// the law's interest, his unlocks, his movement as the scenario moves him.

#include <cstdint>
#include <map>
#include <string>

namespace sim {

enum class Movement : uint8_t { still, walking, running, sprinting };

struct PlayerState {
  bool control = true;  // until a native or the scenario takes it
  bool invincible = false;
  int bounty = 0;
  int wanted_score = 0;
  bool ignored = false;  // everyone ignores him
  float weapon_damage = 1.0f;
  float melee_damage = 1.0f;
  float health_recharge = 1.0f;
  float wanted_multiplier = 1.0f;
  uint64_t super_jump_frame = ~0ull;  // the frame a script let him jump high
  bool shooting = false;
  std::string name = "Arthur";
  bool waypoint = false;  // set on the map by the player
  float waypoint_x = 0.0f, waypoint_y = 0.0f;
  std::map<uint32_t, bool> unlocked;
  std::map<uint32_t, bool> unlock_visible;
};

// How fast a ped moves on foot, by its speed in m/s.
Movement movement_at(float speed);

}  // namespace sim
