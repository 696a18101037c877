#pragma once
// Models, and the props and peds made from them. The world keeps them
// (world.h); entities.cpp simulates them.

#include <cstdint>
#include <map>
#include <string>

#include "ramp.h"
#include "streaming.h"
#include "vec.h"

namespace sim {

struct ModelState : StreamedAsset {
  bool valid = true;  // a model the game does not have is never requested
};

enum class EntityKind { object, ped, vehicle, pickup };

struct EntityState {
  uint64_t serial = 0;  // its name in the journal, never given to another
  int32_t handle = 0;
  uint32_t model = 0;
  Vec position;
  Vec rotation;            // pitch, roll, yaw in degrees
  double turned = 0.0;     // total yaw change written to it, unwrapped
  Ramp turning;            // last_turn, as the world's pass a frame saw it
  float last_turn = 0.0f;  // the yaw change of the latest rotation written
  EntityKind kind = EntityKind::object;
  bool exists = true;
  int health = 100;  // 0 is dead
  int max_health = 100;
  bool frozen = false;
  bool visible = true;
  int alpha = 255;
  bool climbable = true;
  bool auto_vault = true;
  bool mission_entity = false;
  bool no_longer_needed = false;  // the script let it go; the game may clean it up
  bool invincible = false;
  bool collision = true;
  bool dynamic = true;  // moved by physics
  bool gravity = true;
  int proofs = 0;  // the damage kinds it takes no harm from, a bit each
  Vec velocity;    // m/s; the world moves it by this each frame
  int32_t attached_to = 0;
  Vec attach_offset;                                   // in the frame of what it is attached to
  std::map<std::string, int, std::less<>> decorators;  // a float's bits, for a float
  bool placed_on_ground = false;
  int outfit = 0;
  int outfit_count = 8;
  int variation_updates = 0;
  std::string shown_name;  // the name the game shows when the player targets it
  bool lockon_prompt = false;
  float lockon_radius = 0.0f;  // as registered with its lock-on prompt
  bool targettable_focus = false;
  uint32_t prompt_name_label = 0;
  bool eagle_eye = false;
};

}  // namespace sim
