#pragma once
// Scenario points attached to entities, and the peds that use them.

#include <cstdint>
#include <map>
#include <vector>

#include "vec.h"

namespace sim {

class World;

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

struct ScenarioPoints {
  std::map<int32_t, ScenarioPointState> all;
  int32_t next_handle = 0x701;

  ScenarioPointState* find(int32_t handle);  // a point that still exists, or null
  std::vector<const ScenarioPointState*> live() const;
  Vec position(World& w, const ScenarioPointState& p) const;

  void update(World& w);                  // once per frame
  void remove(World& w, int32_t handle);  // its user stands up; the point is gone
};

// The ped gets up from the point it was sent to, if any.
void leave_point(World& w, int32_t ped);

}  // namespace sim
