// Peds: their tasks and scenarios, flags, looks, death and fleeing.

#include "world.h"

namespace sim {

PedActivity& Peds::get(int32_t handle) { return all[handle]; }

const PedActivity* Peds::find(int32_t handle) const {
  auto it = all.find(handle);
  return it == all.end() ? nullptr : &it->second;
}

void Peds::kill(World& w, int32_t ped) {
  leave_point(w, ped);
  PedActivity& a = all[ped];
  a.dead = true;
  a.scenario = 0;
  a.talking = false;
  if (EntityState* e = w.live_entity(ped)) e->health = 0;
}

void Peds::scare(World& w, int32_t ped) {
  leave_point(w, ped);
  PedActivity& a = all[ped];
  a.fleeing = true;
  a.scenario = 0;
}

// A ped's activity, for a ped that is in the world; otherwise null.
static PedActivity* live(World& w, int32_t handle) {
  const EntityState* e = w.entity(handle);
  if (e == nullptr || !e->exists || e->kind != EntityKind::ped) return nullptr;
  return &w.peds.get(handle);
}

// Tests allocate nothing: a ped the world holds no activity for is idle.
static const PedActivity* known(World& w, int32_t handle) {
  return w.exists(handle) ? w.peds.find(handle) : nullptr;
}

bool is_dead(World& w, int32_t entity) {
  const EntityState* e = w.live_entity(entity);
  if (e == nullptr) return false;
  const PedActivity* a = w.peds.find(entity);
  return e->health <= 0 || (a != nullptr && a->dead);
}

static void using_any_scenario(World& w, NativeCall& c) {
  const PedActivity* a = w.peds.find(c.i(0));
  if (a == nullptr || !w.exists(c.i(0))) return;
  c.ret_bool(a->scenario != 0 || a->on_point);
}

static void start_scenario_in_place(World& w, NativeCall& c) {
  PedActivity* a = live(w, c.i(0));
  if (a == nullptr || a->dead) return;
  leave_point(w, c.i(0));
  a->scenario = c.u(1);
  ++a->scenario_starts;
}

static void clear_tasks(World& w, NativeCall& c) {
  PedActivity* a = live(w, c.i(0));
  if (a == nullptr) return;
  leave_point(w, c.i(0));
  a->scenario = 0;
}

NativeRows peds_native_rows() {
  static const NativeRow rows[] = {
      {0xE1EF3C1216AFF2CD, "CLEAR_PED_TASKS", "ibb", 'v', clear_tasks, changes(Thing::entity)},
      {0x77FF8D35EEC6BBC4, "_EQUIP_META_PED_OUTFIT_PRESET", "iib", 'v',
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) e->outfit = c.i(1);
       },
       changes(Thing::entity)},
      {0x10C70A515BC03707, "GET_NUM_META_PED_OUTFITS", "i", 'i',
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) c.ret_int(e->outfit_count);
       }},
      {0x7D5B1F88E7504BBA, "IS_ENTITY_DEAD", "i", 'b',
       [](World& w, NativeCall& c) { c.ret_bool(is_dead(w, c.i(0))); }},
      {0xBBCCE00B381F8482, "IS_PED_FLEEING", "i", 'b',
       [](World& w, NativeCall& c) {
         const PedActivity* a = known(w, c.i(0));
         c.ret_bool(a != nullptr && a->fleeing);
       }},
      {0x57AB4A3080F85143, "IS_PED_USING_ANY_SCENARIO", "i", 'b', using_any_scenario},
      {0xFFC24B988B938B38, "SET_FACIAL_IDLE_ANIM_OVERRIDE", "isz", 'v',
       [](World& w, NativeCall& c) {
         if (PedActivity* a = live(w, c.i(0))) a->mood = c.s(1);
       },
       changes(Thing::entity)},
      {0x1913FE4CBF41C463, "SET_PED_CONFIG_FLAG", "iib", 'v',
       [](World& w, NativeCall& c) {
         if (PedActivity* a = live(w, c.i(0))) a->config_flags[c.i(1)] = c.b(2);
       },
       changes(Thing::entity)},
      {0x70A2D1137C8ED7C9, "SET_PED_FLEE_ATTRIBUTES", "iib", 'v',
       [](World& w, NativeCall& c) {
         if (PedActivity* a = live(w, c.i(0))) {
           a->flee_attributes = c.b(2) ? a->flee_attributes | c.i(1) : a->flee_attributes & ~c.i(1);
         }
       },
       changes(Thing::entity)},
      {0xC1E8A365BF3B29F2, "SET_PED_RESET_FLAG", "iib", 'v',
       [](World& w, NativeCall& c) {
         if (PedActivity* a = live(w, c.i(0))) a->reset_flags[c.i(1)] = c.b(2);
       },
       changes(Thing::entity)},
      {0x524B54361229154F, "TASK_START_SCENARIO_IN_PLACE_HASH", "iiibifb", 'v',
       start_scenario_in_place, changes(Thing::entity)},
      {0x69F4BE8C8CC4796C, "TASK_LOOK_AT_ENTITY", "iiiiii", 'v',
       [](World& w, NativeCall& c) {
         if (PedActivity* a = live(w, c.i(0))) {
           a->look_target = c.i(1);
           a->look_ms = c.i(2);
         }
       },
       changes(Thing::entity)},
      {0xCC8CA3E88256E58F, "_UPDATE_PED_VARIATION", "ibbbbb", 'v',
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) ++e->variation_updates;
       },
       changes(Thing::entity)},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
