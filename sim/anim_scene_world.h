#pragma once
// Animated scenes as the game holds them: made from a dictionary, loaded
// some frames after they are asked for, placed, and given their entities.
// Included by world.h once Vec is known.

#include <cstdint>
#include <map>
#include <string>
#include <utility>

namespace sim {

struct AnimSceneState {
  int32_t handle = 0;
  std::string dictionary;
  bool exists = true;
  bool aborted = false;
  bool load_asked = false;
  bool loaded = false;
  int frames_left = 0;
  bool placed = false;
  Vec origin;
  Vec rotation;
  int rotation_order = 0;
  std::map<std::string, std::pair<int32_t, int>> roles;  // role: entity, flags
};

struct AnimSceneWorld {
  std::map<int32_t, AnimSceneState> scenes;
  int32_t next_scene = 0x3001;
  int load_frames = 3;  // frames from the load request until loaded
  bool never_load = false;

  AnimSceneState* scene(int32_t handle);  // a scene that still exists, or null
  int live_count() const;
  void update();  // once per frame
};

}  // namespace sim
