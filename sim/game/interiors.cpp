// Interiors.

#include <cstring>

#include "joaat.h"
#include "native_words.h"
#include "world.h"

namespace sim {

bool InteriorState::contains(const Vec& at) const {
  return at.x >= low.x && at.x <= high.x && at.y >= low.y && at.y <= high.y && at.z >= low.z &&
         at.z <= high.z;
}

Interiors::Interiors() {
  // The theater holds the audience's chairs, the player's chair and the
  // screen; the ticket taker's post lies some 2.5 m west of its wall.
  InteriorState theater;
  theater.id = theater_interior;
  theater.name_hash = joaat("arm_school_int");
  theater.low = Vec{-3611.5f, -2652.5f, -14.0f};
  theater.high = Vec{-3601.0f, -2642.0f, -5.0f};
  theater.location = Vec{-3606.25f, -2647.25f, -11.7f};
  all.push_back(theater);
}

int32_t Interiors::interior_at(const Vec& at) const {
  for (const InteriorState& i : all) {
    if (i.contains(at)) return i.id;
  }
  return 0;
}

const InteriorState* Interiors::interior(int32_t id) const {
  for (const InteriorState& i : all) {
    if (id != 0 && i.id == id) return &i;
  }
  return nullptr;
}

static void interior_from_entity(World& w, NativeCall& c) {
  if (!w.exists(c.i(0))) return;
  c.ret_int(w.interiors.interior_at(w.entity(c.i(0))->position));
}

// Writes the interior's location (a game vector) and name hash; for no
// interior, or one the game does not know, it writes nothing.
static void interior_location_and_namehash(World& w, NativeCall& c) {
  const InteriorState* i = w.interiors.interior(c.i(0));
  if (i == nullptr) return;
  auto* location = c.p<unsigned char>(1);
  std::memset(location, 0, 24);
  std::memcpy(location, &i->location.x, sizeof(float));
  std::memcpy(location + 8, &i->location.y, sizeof(float));
  std::memcpy(location + 16, &i->location.z, sizeof(float));
  std::memcpy(c.p<unsigned char>(2), &i->name_hash, sizeof(uint32_t));
}

NativeRows interiors_native_rows() {
  static const DomainRow rows[] = {
      {Native::GET_INTERIOR_FROM_ENTITY, interior_from_entity},
      {Native::ADD_DOOR_TO_SYSTEM_NEW_,
       [](World& w, NativeCall& c) { w.interiors.doors.try_emplace(c.u(0), 0); }},
      {Native::IS_DOOR_REGISTERED_WITH_SYSTEM,
       [](World& w, NativeCall& c) { c.ret_bool(w.interiors.doors.count(c.u(0)) != 0); }},
      {Native::DOOR_SYSTEM_SET_DOOR_STATE,
       [](World& w, NativeCall& c) {
         const auto it = w.interiors.doors.find(c.u(0));
         if (it != w.interiors.doors.end()) it->second = c.i(1);
       }},
      {Native::DOOR_SYSTEM_GET_DOOR_STATE,
       [](World& w, NativeCall& c) {
         const auto it = w.interiors.doors.find(c.u(0));
         if (it != w.interiors.doors.end()) c.ret_int(it->second);
       }},
      {Native::GET_INTERIOR_LOCATION_AND_NAMEHASH, interior_location_and_namehash},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
