#pragma once
// Map blips.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "handle_pool.h"
#include "vec.h"

namespace sim {

struct BlipState {
  int32_t handle = 0;
  uint32_t style = 0;
  Vec position;
  int32_t entity = 0;  // the entity it follows, 0 for a blip at a point
  uint32_t sprite = 0;
  float scale = 1.0f;
  float radius = 0.0f;  // an area's, 0 for a point
  std::string name;
  std::vector<uint32_t> modifiers;
  bool exists = true;

  bool has(uint32_t modifier) const;
};

struct Blips {
  std::map<int32_t, BlipState> all;
  HandlePool handles{0x51};

  BlipState* find(int32_t handle);        // a blip that still exists, or null
  BlipState* for_entity(int32_t entity);  // the live blip that follows it, or null
  std::vector<const BlipState*> live() const;
};

}  // namespace sim
