// Animated scenes and the animations they play.
// Natives listed without a handler are recorded and answer 0.

#include "world.h"

namespace sim {

NativeRows anim_scenes_native_rows() {
  static const NativeRow rows[] = {
      {0x718CF1328D20C2B3, "ABORT_ANIM_SCENE", "ib", 'v', nullptr},
      {0x1FCA98E33C1437B3, "_CREATE_ANIM_SCENE", "sizbb", 'i', nullptr},
      {0x84EEDB2C6E650000, "_DELETE_ANIM_SCENE", "i", 'v', nullptr},
      {0x25557E324489393C, "DOES_ANIM_SCENE_EXIST", "i", 'b', nullptr},
      {0x627520389E288A73, "_GET_ENTITY_ANIM_CURRENT_TIME", "iss", 'f', nullptr},
      {0x477122B8D05E7968, "IS_ANIM_SCENE_LOADED", "ibb", 'b', nullptr},
      {0xDEE49D5CA6C49148, "IS_ENTITY_PLAYING_ANIM", "issi", 'b', nullptr},
      {0xAF068580194D9DC7, "LOAD_ANIM_SCENE", "i", 'v', nullptr},
      {0xDF7B5144E25CD3FE, "REQUEST_ANIM_SCENE_PLAY_LIST", "is", 'b', nullptr},
      {0x8B720AD451CA2AB3, "SET_ANIM_SCENE_ENTITY", "isii", 'v', nullptr},
      {0x020894BF17A02EF2, "SET_ANIM_SCENE_ORIGIN", "iffffffi", 'v', nullptr},
      {0x15598CFB25F3DC7E, "SET_ANIM_SCENE_PLAY_LIST", "isb", 'v', nullptr},
      {0xC2329B0206426644, "TASK_ENTER_ANIM_SCENE", "iissfbiif", 'v', nullptr},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
