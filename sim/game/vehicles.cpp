// Vehicles and mounts: making vehicles, putting peds in their seats and on
// saddles, and who sits where. A ped sits on one thing at a time and goes
// where it goes.

#include "native_words.h"
#include "world.h"

namespace sim {

namespace {

// The seats a vehicle or a mount has: the driver's or rider's (-1) and the
// passengers' from 0. The stand-in's wagons seat four, its horses two.
int seats_of(const World& w, const EntityState& e) {
  if (e.kind == EntityKind::vehicle) return 4;
  return w.is_animal_model(e.model) ? 2 : 0;
}

bool can_carry(const World& w, const EntityState* e, bool mount) {
  if (e == nullptr) return false;
  return mount ? e->kind == EntityKind::ped && w.is_animal_model(e->model)
               : e->kind == EntityKind::vehicle;
}

// The seat asked for, or for -2 the first free one; -3 when there is none.
int free_seat(World& w, int32_t vehicle, int seat) {
  const EntityState* e = w.live_entity(vehicle);
  if (e == nullptr) return -3;
  const int seats = seats_of(w, *e);
  if (seat == -2) {
    for (int s = -1; s < seats - 1; ++s) {
      if (w.vehicles.in_seat(vehicle, s) == 0) return s;
    }
    return -3;
  }
  if (seat < -1 || seat >= seats - 1 || w.vehicles.in_seat(vehicle, seat) != 0) return -3;
  return seat;
}

void seat(World& w, NativeCall& c, bool mount) {
  const EntityState* v = w.live_entity(c.i(1));
  if (!w.live_ped(c.i(0)) || !can_carry(w, v, mount)) return;
  seat_ped(w, c.i(0), c.i(1), c.i(2), mount);
}

// The vehicle a ped is in, not a mount.
int32_t vehicle_of(World& w, int32_t ped) {
  const Seat* s = w.exists(ped) ? w.vehicles.seat_of(ped) : nullptr;
  return s != nullptr && !s->mount ? s->vehicle : 0;
}

int32_t mount_of(World& w, int32_t ped) {
  const Seat* s = w.exists(ped) ? w.vehicles.seat_of(ped) : nullptr;
  return s != nullptr && s->mount ? s->vehicle : 0;
}

void make_vehicle(World& w, NativeCall& c) {
  const ModelState& m = w.model(c.u(0));
  // The game makes nothing of an unloaded model, nor a vehicle of what is none.
  if (!m.valid || !m.loaded || !w.makes(EntityKind::vehicle, c.u(0))) return;
  c.ret_int(w.create_entity(EntityKind::vehicle, c.u(0), Vec{c.f(1), c.f(2), c.f(3)}, c.f(4)));
}

// A ped made in a seat, of a loaded model, or nothing.
void make_rider(World& w, NativeCall& c, bool mount) {
  const EntityState* v = w.live_entity(c.i(0));
  const ModelState& m = w.model(c.u(1));
  if (!can_carry(w, v, mount) || !m.valid || !m.loaded || !w.makes(EntityKind::ped, c.u(1))) return;
  const int at = free_seat(w, c.i(0), c.i(2));
  if (at == -3) return;
  const Vec where = v->position;
  const float heading = World::heading_of(*v);
  const int32_t ped = w.create_entity(EntityKind::ped, c.u(1), where, heading);
  seat_ped(w, ped, c.i(0), at, mount);
  c.ret_int(ped);
}

void on_ground(World& w, NativeCall& c) {
  EntityState* e = w.live_entity(c.i(0));
  if (e == nullptr) return;
  e->placed_on_ground = true;
  w.move_entity(
      *e, Vec{e->position.x, e->position.y, w.environment.ground_at(e->position.x, e->position.y)});
  c.ret_bool(true);
}

}  // namespace

const Seat* Vehicles::seat_of(int32_t ped) const {
  const auto it = seated.find(ped);
  return it == seated.end() ? nullptr : &it->second;
}

int32_t Vehicles::in_seat(int32_t vehicle, int seat) const {
  for (const auto& [ped, s] : seated) {
    if (s.vehicle == vehicle && s.seat == seat) return ped;
  }
  return 0;
}

bool seat_ped(World& w, int32_t ped, int32_t vehicle, int seat, bool mount) {
  if (!w.exists(ped) || !w.exists(vehicle) || ped == vehicle) return false;
  const Seat* now = w.vehicles.seat_of(ped);
  if (now != nullptr && now->vehicle == vehicle && (seat == now->seat || seat == -2)) return true;
  unseat_ped(w, ped);
  const int at = free_seat(w, vehicle, seat);
  if (at == -3) return false;
  w.vehicles.seated[ped] = Seat{vehicle, at, mount};
  if (!mount) w.vehicles.last_vehicle[ped] = vehicle;
  if (mount && ped == w.player_ped()) w.vehicles.saddle_horse = vehicle;
  if (EntityState* p = w.live_entity(ped)) {
    if (const EntityState* v = w.live_entity(vehicle)) w.move_entity(*p, v->position);
  }
  return true;
}

void unseat_ped(World& w, int32_t ped) { w.vehicles.seated.erase(ped); }

void carry_riders(World& w) {
  auto& seated = w.vehicles.seated;
  for (auto it = seated.begin(); it != seated.end();) {
    EntityState* p = w.live_entity(it->first);
    const EntityState* v = w.live_entity(it->second.vehicle);
    if (p == nullptr || v == nullptr) {
      it = seated.erase(it);  // a seat of nothing, or nobody in it
      continue;
    }
    if (p->position.x != v->position.x || p->position.y != v->position.y ||
        p->position.z != v->position.z) {
      w.move_entity(*p, v->position);
    }
    p->velocity = v->velocity;
    ++it;
  }
}

NativeRows vehicles_native_rows() {
  static const DomainRow rows[] = {
      {Native::CREATE_VEHICLE, make_vehicle, makes(Thing::entity)},
      {Native::SET_VEHICLE_ON_GROUND_PROPERLY, on_ground, changes(Thing::entity)},
      {Native::SET_VEHICLE_FORWARD_SPEED,
       [](World& w, NativeCall& c) {
         EntityState* e = w.live_entity(c.i(0));
         if (e == nullptr || e->kind != EntityKind::vehicle || e->frozen) return;
         const float yaw = e->rotation.z * 3.14159265f / 180.0f;
         e->velocity = Vec{-std::sin(yaw) * c.f(1), std::cos(yaw) * c.f(1), 0.0f};
       },
       changes(Thing::entity)},

      // Seats of vehicles
      {Native::SET_PED_INTO_VEHICLE, [](World& w, NativeCall& c) { seat(w, c, false); },
       changes(Thing::entity)},
      {Native::TASK_WARP_PED_INTO_VEHICLE,
       [](World& w, NativeCall& c) {
         seat(w, c, false);
         tell(w, c.i(0), "warp into entity " + std::to_string(c.i(1)));
       },
       changes(Thing::entity)},
      {Native::CREATE_PED_INSIDE_VEHICLE, [](World& w, NativeCall& c) { make_rider(w, c, false); },
       makes(Thing::entity)},
      {Native::TASK_LEAVE_ANY_VEHICLE,
       [](World& w, NativeCall& c) {
         if (vehicle_of(w, c.i(0)) == 0) return;
         unseat_ped(w, c.i(0));
         tell(w, c.i(0), "leave vehicle");
       },
       changes(Thing::entity)},
      {Native::GET_VEHICLE_PED_IS_IN,
       [](World& w, NativeCall& c) {
         int32_t v = vehicle_of(w, c.i(0));
         if (v == 0 && c.b(1) && w.exists(c.i(0))) {
           const auto it = w.vehicles.last_vehicle.find(c.i(0));
           if (it != w.vehicles.last_vehicle.end() && w.exists(it->second)) v = it->second;
         }
         c.ret_int(v);
       }},
      {Native::GET_VEHICLE_PED_IS_USING,
       [](World& w, NativeCall& c) { c.ret_int(vehicle_of(w, c.i(0))); }},
      {Native::GET_PED_IN_VEHICLE_SEAT,
       [](World& w, NativeCall& c) {
         if (w.exists(c.i(0))) c.ret_int(w.vehicles.in_seat(c.i(0), c.i(1)));
       }},
      {Native::IS_VEHICLE_SEAT_FREE,
       [](World& w, NativeCall& c) {
         const EntityState* v = w.live_entity(c.i(0));
         if (v == nullptr || v->kind != EntityKind::vehicle) return;
         c.ret_bool(c.i(1) >= -1 && c.i(1) < seats_of(w, *v) - 1 &&
                    w.vehicles.in_seat(c.i(0), c.i(1)) == 0);
       }},
      {Native::IS_PED_IN_VEHICLE,
       [](World& w, NativeCall& c) { c.ret_bool(c.i(1) != 0 && vehicle_of(w, c.i(0)) == c.i(1)); }},
      {Native::IS_PED_IN_ANY_VEHICLE,
       [](World& w, NativeCall& c) { c.ret_bool(vehicle_of(w, c.i(0)) != 0); }},
      {Native::IS_PED_SITTING_IN_ANY_VEHICLE,
       [](World& w, NativeCall& c) { c.ret_bool(vehicle_of(w, c.i(0)) != 0); }},

      // Saddles of mounts
      {Native::GET_MOUNT, [](World& w, NativeCall& c) { c.ret_int(mount_of(w, c.i(0))); }},
      {Native::IS_PED_ON_MOUNT,
       [](World& w, NativeCall& c) { c.ret_bool(mount_of(w, c.i(0)) != 0); }},
      {Native::CREATE_PED_ON_MOUNT, [](World& w, NativeCall& c) { make_rider(w, c, true); },
       makes(Thing::entity)},
      {Native::SET_PED_ONTO_MOUNT, [](World& w, NativeCall& c) { seat(w, c, true); },
       changes(Thing::entity)},
      {Native::TASK_MOUNT_ANIMAL,
       [](World& w, NativeCall& c) {
         const EntityState* m = w.live_entity(c.i(1));
         if (!w.live_ped(c.i(0)) || !can_carry(w, m, true)) return;
         tell(w, c.i(0), "mount entity " + std::to_string(c.i(1)));
         seat_ped(w, c.i(0), c.i(1), c.i(3), true);  // the stand-in's peds mount at once
       },
       changes(Thing::entity)},
      {Native::REMOVE_PED_FROM_MOUNT_,
       [](World& w, NativeCall& c) {
         if (mount_of(w, c.i(0)) != 0) unseat_ped(w, c.i(0));
       },
       changes(Thing::entity)},
      {Native::IS_MOUNT_SEAT_FREE_,
       [](World& w, NativeCall& c) {
         const EntityState* m = w.live_entity(c.i(0));
         if (!can_carry(w, m, true)) return;
         c.ret_bool(c.i(1) >= -1 && c.i(1) < seats_of(w, *m) - 1 &&
                    w.vehicles.in_seat(c.i(0), c.i(1)) == 0);
       }},
      {Native::GET_RIDER_OF_MOUNT_,
       [](World& w, NativeCall& c) {
         if (w.exists(c.i(0))) c.ret_int(w.vehicles.in_seat(c.i(0), -1));
       }},
      {Native::GET_SADDLE_HORSE_FOR_PLAYER_,
       [](World& w, NativeCall& c) {
         if (c.i(0) == w.player_index() && w.exists(w.vehicles.saddle_horse)) {
           c.ret_int(w.vehicles.saddle_horse);
         }
       }},
      {Native::GET_LAST_MOUNT_,
       [](World& w, NativeCall& c) {
         if (c.i(0) == w.player_ped() && w.exists(w.vehicles.saddle_horse)) {
           c.ret_int(w.vehicles.saddle_horse);
         }
       }},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
