// Scenario points and the tasks that use them.

#include "world.h"

namespace sim {

static bool live_ped(World& w, int32_t handle) {
  const EntityState* e = w.entity(handle);
  return e != nullptr && e->exists && e->kind == EntityKind::ped;
}

static void create_attached_point(World& w, NativeCall& c) {
  if (!w.exists(c.i(0))) return;  // nothing to attach it to
  ScenarioPointState p;
  p.handle = w.venue.next_point++;
  p.entity = c.i(0);
  p.type = c.u(1);
  p.offset = Vec{c.f(2), c.f(3), c.f(4)};
  p.heading = c.f(5);
  w.venue.points[p.handle] = p;
  c.ret_int(p.handle);
}

static void delete_point(World& w, NativeCall& c) {
  ScenarioPointState* p = w.venue.point(c.i(0));
  if (p == nullptr) return;
  if (p->user != 0) w.venue.leave_point(p->user);
  p->exists = false;
  p->user = 0;
}

static void ped_using_point(World& w, NativeCall& c) {
  const ScenarioPointState* p = w.venue.point(c.i(0));
  if (p != nullptr && p->user != 0 && w.exists(p->user)) c.ret_int(p->user);
}

static void using_any_scenario(World& w, NativeCall& c) {
  const PedActivity* a = w.venue.find_ped(c.i(0));
  if (a == nullptr || !w.exists(c.i(0))) return;
  c.ret_bool(a->scenario != 0 || a->on_point);
}

static void start_scenario_in_place(World& w, NativeCall& c) {
  if (!live_ped(w, c.i(0))) return;
  PedActivity& a = w.venue.ped(c.i(0));
  if (a.dead) return;
  w.venue.leave_point(c.i(0));
  a.scenario = c.u(1);
  ++a.scenario_starts;
}

static void use_point(World& w, NativeCall& c) {
  if (!live_ped(w, c.i(0)) || w.venue.point(c.i(1)) == nullptr) return;
  PedActivity& a = w.venue.ped(c.i(0));
  if (a.dead) return;
  w.venue.leave_point(c.i(0));
  a.scenario = 0;
  a.point = c.i(1);
  a.point_variant = c.s(2);
}

static void clear_tasks(World& w, NativeCall& c) {
  if (!live_ped(w, c.i(0))) return;
  w.venue.leave_point(c.i(0));
  w.venue.ped(c.i(0)).scenario = 0;
}

NativeRows scenarios_native_rows() {
  static const NativeRow rows[] = {
      {0xE1EF3C1216AFF2CD, "CLEAR_PED_TASKS", "ibb", 'v', clear_tasks},
      {0x794AB1379A74064D, "CREATE_SCENARIO_POINT_HASH_ATTACHED_TO_ENTITY", "iiffffiib", 'i',
       create_attached_point},
      {0x81948DFE4F5A0283, "_DELETE_SCENARIO_POINT", "i", 'v', delete_point},
      {0x841475AC96E794D1, "DOES_SCENARIO_POINT_EXIST", "i", 'b',
       [](World& w, NativeCall& c) { c.ret_bool(w.venue.point(c.i(0)) != nullptr); }},
      {0x5BA659955369B0E2, "_GET_PED_USING_SCENARIO_POINT", "i", 'i', ped_using_point},
      {0x57AB4A3080F85143, "IS_PED_USING_ANY_SCENARIO", "i", 'b', using_any_scenario},
      {0xEEE4829304F93EEE, "_SET_SCENARIO_POINT_ACTIVE", "ib", 'v',
       [](World& w, NativeCall& c) {
         if (ScenarioPointState* p = w.venue.point(c.i(0))) p->active = c.b(1);
       }},
      {0x524B54361229154F, "TASK_START_SCENARIO_IN_PLACE_HASH", "iiibifb", 'v',
       start_scenario_in_place},
      {0xCCDAE6324B6A821C, "TASK_USE_SCENARIO_POINT", "iisibbibfb", 'v', use_point},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
