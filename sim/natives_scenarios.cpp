// Scenario points and the tasks that use them.
// Natives listed without a handler are recorded and answer 0.

#include "world.h"

namespace sim {

NativeRows scenarios_native_rows() {
  static const NativeRow rows[] = {
      {0xE1EF3C1216AFF2CD, "CLEAR_PED_TASKS", "ibb", 'v', nullptr},
      {0x794AB1379A74064D, "CREATE_SCENARIO_POINT_HASH_ATTACHED_TO_ENTITY", "iiffffiib", 'i', nullptr},
      {0x81948DFE4F5A0283, "_DELETE_SCENARIO_POINT", "i", 'v', nullptr},
      {0x841475AC96E794D1, "DOES_SCENARIO_POINT_EXIST", "i", 'b', nullptr},
      {0x5BA659955369B0E2, "_GET_PED_USING_SCENARIO_POINT", "i", 'i', nullptr},
      {0x57AB4A3080F85143, "IS_PED_USING_ANY_SCENARIO", "i", 'b', nullptr},
      {0xEEE4829304F93EEE, "_SET_SCENARIO_POINT_ACTIVE", "ib", 'v', nullptr},
      {0x524B54361229154F, "TASK_START_SCENARIO_IN_PLACE_HASH", "iiibifb", 'v', nullptr},
      {0xCCDAE6324B6A821C, "TASK_USE_SCENARIO_POINT", "iisibbibfb", 'v', nullptr},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
