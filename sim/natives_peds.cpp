// Characters: their state, flags and looks.
// Natives listed without a handler are recorded and answer 0.

#include "world.h"

namespace sim {

NativeRows peds_native_rows() {
  static const NativeRow rows[] = {
      {0x7D5B1F88E7504BBA, "IS_ENTITY_DEAD", "i", 'b', nullptr},
      {0xBBCCE00B381F8482, "IS_PED_FLEEING", "i", 'b', nullptr},
      {0xFFC24B988B938B38, "SET_FACIAL_IDLE_ANIM_OVERRIDE", "isz", 'v', nullptr},
      {0x1913FE4CBF41C463, "SET_PED_CONFIG_FLAG", "iib", 'v', nullptr},
      {0x70A2D1137C8ED7C9, "SET_PED_FLEE_ATTRIBUTES", "iib", 'v', nullptr},
      {0xC1E8A365BF3B29F2, "SET_PED_RESET_FLAG", "iib", 'v', nullptr},
      {0x69F4BE8C8CC4796C, "TASK_LOOK_AT_ENTITY", "iiiiii", 'v', nullptr},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
