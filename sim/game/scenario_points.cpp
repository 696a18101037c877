// Scenario points attached to entities, and the peds sent to use them.

#include <cmath>

#include "native_words.h"
#include "world.h"

namespace sim {

ScenarioPointState* ScenarioPoints::find(int32_t handle) {
  auto it = all.find(handle);
  return it == all.end() || !it->second.exists ? nullptr : &it->second;
}

std::vector<const ScenarioPointState*> ScenarioPoints::live() const {
  std::vector<const ScenarioPointState*> found;
  for (const auto& [handle, p] : all) {
    if (p.exists) found.push_back(&p);
  }
  return found;
}

Vec ScenarioPoints::position(World& w, const ScenarioPointState& p) const {
  const EntityState* e = w.entity(p.entity);
  if (e == nullptr) return p.offset;
  const float yaw = e->rotation.z * 3.14159265f / 180.0f;
  const float cs = std::cos(yaw);
  const float sn = std::sin(yaw);
  return Vec{e->position.x + p.offset.x * cs - p.offset.y * sn,
             e->position.y + p.offset.x * sn + p.offset.y * cs, e->position.z + p.offset.z};
}

void leave_point(World& w, int32_t ped) {
  auto it = w.peds.all.find(ped);
  if (it == w.peds.all.end()) return;
  if (ScenarioPointState* p = w.points.find(it->second.point); p != nullptr && p->user == ped) {
    p->user = 0;
  }
  it->second.point = 0;
  if (it->second.on_point) {
    if (w.exists(ped)) w.journal.write<EntryKind::stands>(w.serial_of(Thing::entity, ped));
  }
  it->second.on_point = false;
}

void ScenarioPoints::update(World& w) {
  // A ped sent to a point takes it in the next frame, if it is still there,
  // switched on and free; a ped whose point went away stands up.
  for (auto& [handle, a] : w.peds.all) {
    if (a.point == 0) continue;
    ScenarioPointState* p = find(a.point);
    if (p == nullptr || !w.exists(handle) || a.dead || a.fleeing) {
      if (p != nullptr && p->user == handle) p->user = 0;
      a.point = 0;
      if (a.on_point) {
        // One that is gone leaves no line of its own: its going is its line.
        if (w.exists(handle))
          w.journal.write<EntryKind::stands>(w.serial_of(Thing::entity, handle));
      }
      a.on_point = false;
      continue;
    }
    if (a.on_point || !p->active || (p->user != 0 && p->user != handle && w.exists(p->user))) {
      continue;
    }
    p->user = handle;
    a.on_point = true;
    w.journal.write<EntryKind::sits>(w.serial_of(Thing::entity, handle));
    if (EntityState* e = w.entity(handle)) w.move_entity(*e, position(w, *p));
  }
}

static void create_attached_point(World& w, NativeCall& c) {
  if (!w.exists(c.i(0))) return;  // nothing to attach it to
  ScenarioPointState p;
  p.handle = w.points.next_handle++;
  p.entity = c.i(0);
  p.type = c.u(1);
  p.offset = Vec{c.f(2), c.f(3), c.f(4)};
  p.heading = c.f(5);
  w.points.all[p.handle] = p;
  const uint64_t serial = w.journal.made(Thing::point, p.handle, p.type, w.points.position(w, p));
  w.journal.thing(serial)->on = w.serial_of(Thing::entity, p.entity);
  c.ret_int(p.handle);
}

void ScenarioPoints::remove(World& w, int32_t handle) {
  ScenarioPointState* p = find(handle);
  if (p == nullptr) return;
  if (p->user != 0) leave_point(w, p->user);
  p->exists = false;
  p->user = 0;
  w.journal.gone(Thing::point, handle);
}

static void delete_point(World& w, NativeCall& c) { w.points.remove(w, c.i(0)); }

static void ped_using_point(World& w, NativeCall& c) {
  const ScenarioPointState* p = w.points.find(c.i(0));
  if (p != nullptr && p->user != 0 && w.exists(p->user)) c.ret_int(p->user);
}

static void use_point(World& w, NativeCall& c) {
  if (!w.live_ped(c.i(0)) || w.points.find(c.i(1)) == nullptr) return;
  PedActivity& a = w.peds.get(c.i(0));
  if (a.dead) return;
  leave_point(w, c.i(0));
  a.scenario = 0;
  a.point = c.i(1);
  a.point_variant = c.s(2);
}

NativeRows scenario_points_native_rows() {
  static const DomainRow rows[] = {
      {checked_as(Native::CREATE_SCENARIO_POINT_HASH_ATTACHED_TO_ENTITY, "iiffffiib"),
       create_attached_point, makes(Thing::point)},
      {Native::DELETE_SCENARIO_POINT_, delete_point, removes(Thing::point)},
      {Native::DOES_SCENARIO_POINT_EXIST,
       [](World& w, NativeCall& c) { c.ret_bool(w.points.find(c.i(0)) != nullptr); }},
      {Native::GET_PED_USING_SCENARIO_POINT_, ped_using_point},
      {Native::SET_SCENARIO_POINT_ACTIVE_,
       [](World& w, NativeCall& c) {
         if (ScenarioPointState* p = w.points.find(c.i(0))) p->active = c.b(1);
       },
       changes(Thing::point)},
      {Native::TASK_USE_SCENARIO_POINT, use_point, changes(Thing::entity)},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
