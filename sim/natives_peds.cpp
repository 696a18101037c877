// Characters: their state, flags and looks.

#include "world.h"

namespace sim {

// A ped's activity, for a ped that is in the world; otherwise null.
static PedActivity* live(World& w, int32_t handle) {
  const EntityState* e = w.entity(handle);
  if (e == nullptr || !e->exists || e->kind != EntityKind::ped) return nullptr;
  return &w.venue.ped(handle);
}

// Tests allocate nothing: a ped the world holds no activity for is idle.
static const PedActivity* known(World& w, int32_t handle) {
  return w.exists(handle) ? w.venue.find_ped(handle) : nullptr;
}

NativeRows peds_native_rows() {
  static const NativeRow rows[] = {
      {0x7D5B1F88E7504BBA, "IS_ENTITY_DEAD", "i", 'b',
       [](World& w, NativeCall& c) {
         const PedActivity* a = known(w, c.i(0));
         c.ret_bool(a != nullptr && a->dead);
       }},
      {0xBBCCE00B381F8482, "IS_PED_FLEEING", "i", 'b',
       [](World& w, NativeCall& c) {
         const PedActivity* a = known(w, c.i(0));
         c.ret_bool(a != nullptr && a->fleeing);
       }},
      {0xFFC24B988B938B38, "SET_FACIAL_IDLE_ANIM_OVERRIDE", "isz", 'v',
       [](World& w, NativeCall& c) {
         if (PedActivity* a = live(w, c.i(0))) a->mood = c.s(1);
       }},
      {0x1913FE4CBF41C463, "SET_PED_CONFIG_FLAG", "iib", 'v',
       [](World& w, NativeCall& c) {
         if (PedActivity* a = live(w, c.i(0))) a->config_flags[c.i(1)] = c.b(2);
       }},
      {0x70A2D1137C8ED7C9, "SET_PED_FLEE_ATTRIBUTES", "iib", 'v',
       [](World& w, NativeCall& c) {
         if (PedActivity* a = live(w, c.i(0))) {
           a->flee_attributes = c.b(2) ? a->flee_attributes | c.i(1) : a->flee_attributes & ~c.i(1);
         }
       }},
      {0xC1E8A365BF3B29F2, "SET_PED_RESET_FLAG", "iib", 'v',
       [](World& w, NativeCall& c) {
         if (PedActivity* a = live(w, c.i(0))) a->reset_flags[c.i(1)] = c.b(2);
       }},
      {0x69F4BE8C8CC4796C, "TASK_LOOK_AT_ENTITY", "iiiiii", 'v',
       [](World& w, NativeCall& c) {
         if (PedActivity* a = live(w, c.i(0))) {
           a->look_target = c.i(1);
           a->look_ms = c.i(2);
         }
       }},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
