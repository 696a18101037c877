#pragma once
// The cameras: the gameplay camera behind the player, and the cameras
// scripts make, place, point and render instead of it.

#include <cstdint>
#include <map>
#include <string>

#include "vec.h"

namespace sim {

struct ScriptCam {
  std::string name;
  Vec position;
  Vec rotation;  // pitch, roll, yaw in degrees
  float fov = 50.0f;
  bool active = false;
  uint64_t activated = 0;   // the order it was last made active in
  int32_t attached_to = 0;  // an entity it rides with
  Vec attach_offset;
  bool pointing = false;  // at point_at, or at point_entity when it is not 0
  Vec point_at;
  int32_t point_entity = 0;
  float shake = 0.0f;  // its shake's amplitude; 0: still
};

struct Cameras {
  std::map<int32_t, ScriptCam> all;
  int32_t next_handle = 0x2A;
  bool rendering = false;  // script cameras are rendered instead of the gameplay one
  uint64_t activations = 0;
  float gameplay_fov = 50.0f;
  float gameplay_heading = 0.0f;  // relative to the player's
  float gameplay_shake = 0.0f;

  ScriptCam* find(int32_t handle);
  int32_t active() const;  // the latest active camera, or 0
};

}  // namespace sim
