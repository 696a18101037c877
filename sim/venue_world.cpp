#include <algorithm>
#include <cmath>

#include "joaat.h"
#include "world.h"

namespace sim {

bool BlipState::has(uint32_t modifier) const {
  return std::find(modifiers.begin(), modifiers.end(), modifier) != modifiers.end();
}

bool InteriorState::contains(const Vec& at) const {
  return at.x >= low.x && at.x <= high.x && at.y >= low.y && at.y <= high.y && at.z >= low.z &&
         at.z <= high.z;
}

VenueWorld::VenueWorld() {
  // The theater holds the audience's chairs, the player's chair and the
  // screen; the ticket taker's post lies some 2.5 m west of its wall.
  InteriorState theater;
  theater.id = theater_interior;
  theater.name_hash = joaat("arm_school_int");
  theater.low = Vec{-3611.5f, -2652.5f, -14.0f};
  theater.high = Vec{-3601.0f, -2642.0f, -5.0f};
  theater.location = Vec{-3606.25f, -2647.25f, -11.7f};
  interiors.push_back(theater);
}

PedActivity& VenueWorld::ped(int32_t handle) { return peds[handle]; }

const PedActivity* VenueWorld::find_ped(int32_t handle) const {
  auto it = peds.find(handle);
  return it == peds.end() ? nullptr : &it->second;
}

BlipState* VenueWorld::blip(int32_t handle) {
  auto it = blips.find(handle);
  return it == blips.end() || !it->second.exists ? nullptr : &it->second;
}

ScenarioPointState* VenueWorld::point(int32_t handle) {
  auto it = points.find(handle);
  return it == points.end() || !it->second.exists ? nullptr : &it->second;
}

int32_t VenueWorld::interior_at(const Vec& at) const {
  for (const InteriorState& i : interiors) {
    if (i.contains(at)) return i.id;
  }
  return 0;
}

const InteriorState* VenueWorld::interior(int32_t id) const {
  for (const InteriorState& i : interiors) {
    if (id != 0 && i.id == id) return &i;
  }
  return nullptr;
}

Vec VenueWorld::point_position(World& w, const ScenarioPointState& p) const {
  const EntityState* e = w.entity(p.entity);
  if (e == nullptr) return p.offset;
  const float yaw = e->rotation.z * 3.14159265f / 180.0f;
  const float cs = std::cos(yaw);
  const float sn = std::sin(yaw);
  return Vec{e->position.x + p.offset.x * cs - p.offset.y * sn,
             e->position.y + p.offset.x * sn + p.offset.y * cs, e->position.z + p.offset.z};
}

std::vector<const BlipState*> VenueWorld::live_blips() const {
  std::vector<const BlipState*> found;
  for (const auto& [handle, b] : blips) {
    if (b.exists) found.push_back(&b);
  }
  return found;
}

std::vector<const ScenarioPointState*> VenueWorld::live_points() const {
  std::vector<const ScenarioPointState*> found;
  for (const auto& [handle, p] : points) {
    if (p.exists) found.push_back(&p);
  }
  return found;
}

std::vector<const SpokenLine*> VenueWorld::lines(const std::string& line) const {
  std::vector<const SpokenLine*> found;
  for (const SpokenLine& l : spoken) {
    if (l.line == line) found.push_back(&l);
  }
  return found;
}

bool VenueWorld::talking(const World& w, int32_t ped) const {
  const PedActivity* a = find_ped(ped);
  if (a == nullptr || !a->talking || !w.exists(ped)) return false;
  return w.game_timer() - a->talk_from_ms < a->talk_ms;
}

void VenueWorld::leave_point(int32_t ped) {
  auto it = peds.find(ped);
  if (it == peds.end()) return;
  if (ScenarioPointState* p = point(it->second.point); p != nullptr && p->user == ped) p->user = 0;
  it->second.point = 0;
  it->second.on_point = false;
}

void VenueWorld::kill(int32_t ped) {
  leave_point(ped);
  PedActivity& a = peds[ped];
  a.dead = true;
  a.scenario = 0;
  a.talking = false;
}

void VenueWorld::scare(int32_t ped) {
  leave_point(ped);
  PedActivity& a = peds[ped];
  a.fleeing = true;
  a.scenario = 0;
}

void VenueWorld::start_talking(const World& w, int32_t ped) {
  PedActivity& a = peds[ped];
  a.talking = true;
  a.talk_from_ms = w.game_timer();
  a.talk_ms = line_ms;
}

void VenueWorld::stop_talking(int32_t ped) {
  auto it = peds.find(ped);
  if (it != peds.end()) it->second.talking = false;
}

void VenueWorld::update(World& w) {
  // A ped sent to a point takes it in the next frame, if it is still there,
  // switched on and free; a ped whose point went away stands up.
  for (auto& [handle, a] : peds) {
    if (a.point == 0) continue;
    ScenarioPointState* p = point(a.point);
    if (p == nullptr || !w.exists(handle) || a.dead || a.fleeing) {
      if (p != nullptr && p->user == handle) p->user = 0;
      a.point = 0;
      a.on_point = false;
      continue;
    }
    if (a.on_point || !p->active || (p->user != 0 && p->user != handle && w.exists(p->user))) {
      continue;
    }
    p->user = handle;
    a.on_point = true;
    if (EntityState* e = w.entity(handle)) e->position = point_position(w, *p);
  }
}

AnimSceneState* AnimSceneWorld::scene(int32_t handle) {
  auto it = scenes.find(handle);
  return it == scenes.end() || !it->second.exists ? nullptr : &it->second;
}

int AnimSceneWorld::live_count() const {
  int n = 0;
  for (const auto& [handle, s] : scenes) n += s.exists ? 1 : 0;
  return n;
}

void AnimSceneWorld::update() {
  for (auto& [handle, s] : scenes) {
    if (s.exists && s.load_asked && !s.loaded && !never_load && --s.frames_left <= 0) {
      s.loaded = true;
    }
  }
}

}  // namespace sim
