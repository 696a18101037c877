// Models, entities and the player: making props and peds, removing them,
// where they stand and how they turn, and the names the game shows for them.

#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>
#include <string_view>

#include "joaat.h"
#include "native_words.h"
#include "out_params.h"
#include "world.h"

namespace sim {

ModelState& World::model(const char* name) { return model(hash_of(name)); }
ModelState& World::model(uint32_t hash) {
  auto [it, added] = models_.try_emplace(hash);
  // Hash 0 names no model: what a failed hash lookup would ask the game for.
  if (added) it->second.valid = model_in_game(hash);
  return it->second;
}

int32_t World::create_entity(EntityKind kind, uint32_t model, Vec position, float heading) {
  int32_t before = 0;
  // A handle the game brought back to life meanwhile is not free.
  const int32_t handle = entity_handles_.give(
      frame_, [this](int32_t h) { return exists(h); }, &before, pool_of(kind));
  if (before != 0) {
    forget_entity(before);
    entities_.erase(before);
  }
  EntityState e;
  e.handle = handle;
  e.kind = kind;
  e.model = model;
  e.position = position;
  e.rotation.z = heading;
  e.mission_entity = static_cast<bool>(owners.creator);  // a script's; the game's are not
  if (kind == EntityKind::ped) {
    const ContentItem* item = content.find(ContentList::peds, model);
    e.outfit_count = item != nullptr ? item->outfits : 1;
  }
  e.serial = journal.made(Thing::entity, handle, model, position, kind);
  entities_[e.handle] = e;
  return e.handle;
}

EntityState* World::entity(int32_t handle) {
  auto it = entities_.find(handle);
  return it == entities_.end() ? nullptr : &it->second;
}

EntityState* World::live_entity(int32_t handle) {
  EntityState* e = entity(handle);
  return e != nullptr && e->exists ? e : nullptr;
}

EntityState* World::live_ped(int32_t handle) {
  EntityState* e = live_entity(handle);
  return e != nullptr && e->kind == EntityKind::ped ? e : nullptr;
}

bool World::exists(int32_t handle) const {
  auto it = entities_.find(handle);
  return it != entities_.end() && it->second.exists;
}

void World::remove_entity(int32_t handle) {
  EntityState* e = live_entity(handle);
  if (e == nullptr) return;
  e->exists = false;
  journal.gone(Thing::entity, handle);
  // Its looped effects end with it.
  for (const auto& [effect, fx] : particles.effects()) {
    if (fx.entity != handle || fx.stopped) continue;
    if (const uint64_t serial = serial_of(Thing::effect, effect)) {
      journal.write<EntryKind::gone>({.because = GoneBecause::its_entity_gone}, serial);
      journal.forget_live(Thing::effect, effect);
    }
  }
  entity_handles_.free(handle, frame_, pool_of(e->kind));
}

// What the world kept about the entity a reused handle named before, so the
// new one starts afresh: its activity, its seat, its effects.
void World::forget_entity(int32_t handle) {
  leave_point(*this, handle);
  peds.all.erase(handle);
  particles.entity_gone(handle);
}

std::vector<const EntityState*> World::live_entities(const char* model_name) const {
  std::vector<const EntityState*> found;
  const uint32_t hash = joaat(model_name);
  for (const auto& [handle, e] : entities_) {
    if (e.exists && e.model == hash) found.push_back(&e);
  }
  return found;
}

bool World::any_live_entity_of(uint32_t model) const {
  for (const auto& [handle, e] : entities_) {
    if (e.exists && e.model == model) return true;
  }
  return false;
}

float World::heading_of(const EntityState& e) {
  float h = std::fmod(e.rotation.z, 360.0f);
  if (h < 0.0f) h += 360.0f;
  return h;
}

// What the player rides goes where the scenario moves him.
void World::place_player(float x, float y, float z) {
  if (EntityState* p = entity(player_ped_)) move_entity(*p, Vec{x, y, z});
  if (const Seat* s = vehicles.seat_of(player_ped_)) {
    if (EntityState* v = live_entity(s->vehicle)) move_entity(*v, Vec{x, y, z});
  }
}

void World::set_player_velocity(Vec v) {
  if (EntityState* p = entity(player_ped_)) p->velocity = v;
  if (const Seat* s = vehicles.seat_of(player_ped_)) {
    if (EntityState* r = live_entity(s->vehicle)) r->velocity = v;
  }
}

void World::move_entity(EntityState& e, Vec to) {
  e.position = to;
  if (const uint64_t serial = serial_of(Thing::entity, e.handle)) {
    journal.write<EntryKind::moved>({.where = to}, serial);
    journal.thing(serial)->where = to;
  }
}

Vec World::player_position() const {
  auto it = entities_.find(player_ped_);
  return it == entities_.end() ? Vec{} : it->second.position;
}

int32_t World::replace_player_ped(const char* model_name) {
  return replace_player_ped(hash_of(model_name));
}

int32_t World::replace_player_ped(uint32_t model) {
  const Vec at = player_position();
  const int32_t old = player_ped_;
  remove_entity(old);
  unseat_ped(*this, old);
  player_ped_ = create_entity(EntityKind::ped, model, at, 0.0f);
  journal.name_thing(serial_of(Thing::entity, player_ped_), "player");
  return player_ped_;
}

// A vector in an entity's own frame (x right, y forward, z up), turned into
// the world's by its yaw.
static Vec to_world(const EntityState& e, Vec local) {
  const float yaw = e.rotation.z * 3.14159265f / 180.0f;
  const float cs = std::cos(yaw);
  const float sn = std::sin(yaw);
  return Vec{local.x * cs - local.y * sn, local.x * sn + local.y * cs, local.z};
}

// How far from the player the game cleans up what scripts let go of.
constexpr float cleanup_distance = 250.0f;

void World::move_by_velocity() {
  const Vec player = player_position();
  for (auto& [handle, e] : entities_) {
    if (!e.exists || handle == player_ped_) continue;
    if (e.attached_to != 0) {
      const EntityState* parent = live_entity(e.attached_to);
      if (parent == nullptr) {
        e.attached_to = 0;  // what it hung on is gone: it drops
      } else {
        const Vec off = to_world(*parent, e.attach_offset);
        move_entity(e, Vec{parent->position.x + off.x, parent->position.y + off.y,
                           parent->position.z + off.z});
      }
      continue;
    }
    if (e.frozen || (e.velocity.x == 0.0f && e.velocity.y == 0.0f && e.velocity.z == 0.0f)) {
      continue;
    }
    if (vehicles.seat_of(handle) != nullptr) continue;  // carried by what it sits on
    const Seat* player_seat = vehicles.seat_of(player_ped_);
    if (player_seat != nullptr && player_seat->vehicle == handle)
      continue;  // the scenario moves it
    Vec to{e.position.x + e.velocity.x * frame_seconds_,
           e.position.y + e.velocity.y * frame_seconds_,
           e.position.z + e.velocity.z * frame_seconds_};
    const float ground = environment.ground_at(to.x, to.y);
    if (to.z < ground) {  // it lands
      to.z = ground;
      e.velocity.z = 0.0f;
    }
    move_entity(e, to);
  }
  if (frame_ % 60 != 0) return;
  for (auto& [handle, e] : entities_) {
    if (e.exists && e.no_longer_needed && !e.mission_entity && handle != player_ped_ &&
        distance(e.position, player) > cleanup_distance) {
      remove_entity(handle);
    }
  }
}

static void create_object(World& w, NativeCall& c) {
  const ModelState& m = w.model(c.u(0));
  if (!m.valid || !m.loaded) return;  // the game makes nothing of an unloaded model
  c.ret_int(w.create_entity(EntityKind::object, c.u(0), Vec{c.f(1), c.f(2), c.f(3)}, 0.0f));
}

static void create_ped(World& w, NativeCall& c) {
  const ModelState& m = w.model(c.u(0));
  if (!m.valid || !m.loaded || !w.makes(EntityKind::ped, c.u(0))) return;
  c.ret_int(w.create_entity(EntityKind::ped, c.u(0), Vec{c.f(1), c.f(2), c.f(3)}, c.f(4)));
}

// A model's box by its kind, about its origin, x across, y along, z up:
// sizes of the kind's usual build (a ped's origin at his hips), for a mod
// that places things beside it. A model the game lacks has none.
static void model_dimensions(World& w, NativeCall& c) {
  struct Box {
    Vec low, high;
  };
  static const Box boxes[] = {
      {},                                               // none
      {{-0.35f, -0.25f, -1.0f}, {0.35f, 0.25f, 0.8f}},  // human
      {{-0.45f, -1.3f, -1.1f}, {0.45f, 1.3f, 1.0f}},    // horse
      {{-0.3f, -0.7f, -0.5f}, {0.3f, 0.7f, 0.5f}},      // animal
      {{-0.2f, -0.2f, -0.2f}, {0.2f, 0.2f, 0.2f}},      // bird
      {{-0.1f, -0.4f, -0.15f}, {0.1f, 0.4f, 0.15f}},    // fish
      {{-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}},      // other
      {{-1.1f, -3.0f, -1.0f}, {1.1f, 3.0f, 1.6f}},      // vehicle
      {{-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}},      // object
  };
  const bool valid = w.model(c.u(0)).valid;
  const Box& box = boxes[valid ? static_cast<size_t>(w.model_kind(c.u(0))) : 0];
  write_vector(c, 1, box.low);
  write_vector(c, 2, box.high);
}

static void delete_entity(World& w, NativeCall& c) {
  auto* handle = c.p<int32_t>(0);
  w.remove_entity(*handle);
  *handle = 0;  // the game clears the caller's handle
}

// The yaw written to it, with the change kept for how fast it turns.
static void turn_to(EntityState& e, float yaw) {
  float delta = std::fmod(yaw - e.rotation.z, 360.0f);
  if (delta >= 180.0f) delta -= 360.0f;
  if (delta < -180.0f) delta += 360.0f;
  e.turned += delta;
  e.last_turn = delta;
  e.rotation.z = yaw;
}

static void set_rotation(World& w, NativeCall& c) {
  EntityState* e = w.live_entity(c.i(0));
  if (e == nullptr) return;
  turn_to(*e, c.f(3));
  e->rotation.x = c.f(1);
  e->rotation.y = c.f(2);
}

// The game's entity types: none, ped, vehicle, object.
static int entity_type(World& w, int32_t handle) {
  const EntityState* e = w.live_entity(handle);
  if (e == nullptr) return 0;
  if (e->kind == EntityKind::ped) return 1;
  return e->kind == EntityKind::vehicle ? 2 : 3;
}

static void max_health(World& w, NativeCall& c) {
  if (EntityState* e = w.live_entity(c.i(0))) c.ret_int(e->max_health);
}

static void offset_from_entity(World& w, NativeCall& c) {
  EntityState* e = w.live_entity(c.i(0));
  if (e == nullptr) return;
  // The offset in the entity's own frame: undo its position, then its yaw.
  const float dx = c.f(1) - e->position.x;
  const float dy = c.f(2) - e->position.y;
  const float dz = c.f(3) - e->position.z;
  const float yaw = e->rotation.z * 3.14159265f / 180.0f;
  const float cs = std::cos(yaw);
  const float sn = std::sin(yaw);
  c.ret_vector(dx * cs + dy * sn, -dx * sn + dy * cs, dz);
}

// A setter of one field of a live entity, for the rows below.
template <auto Field>
void set_flag(World& w, NativeCall& c) {
  if (EntityState* e = w.live_entity(c.i(0))) e->*Field = c.b(1);
}

static void get_velocity(World& w, NativeCall& c) {
  if (EntityState* e = w.live_entity(c.i(0))) {
    c.ret_vector(e->velocity.x, e->velocity.y, e->velocity.z);
  }
}

static void forward_vector(World& w, NativeCall& c) {
  if (EntityState* e = w.live_entity(c.i(0))) {
    const Vec f = to_world(*e, Vec{0.0f, 1.0f, 0.0f});
    c.ret_vector(f.x, f.y, f.z);
  }
}

static void offset_in_world(World& w, NativeCall& c) {
  if (EntityState* e = w.live_entity(c.i(0))) {
    const Vec off = to_world(*e, Vec{c.f(1), c.f(2), c.f(3)});
    c.ret_vector(e->position.x + off.x, e->position.y + off.y, e->position.z + off.z);
  }
}

// A force moves what physics moves: the stand-in's every thing weighs one
// unit, so the force is the change of its velocity.
static void push(World& w, int32_t handle, Vec force, bool relative) {
  EntityState* e = w.live_entity(handle);
  if (e == nullptr || e->frozen || !e->dynamic) return;
  const Vec f = relative ? to_world(*e, force) : force;
  e->velocity = Vec{e->velocity.x + f.x, e->velocity.y + f.y, e->velocity.z + f.z};
}

static void attach(World& w, NativeCall& c) {
  EntityState* e = w.live_entity(c.i(0));
  if (e == nullptr || c.i(1) == c.i(0) || w.live_entity(c.i(1)) == nullptr) return;
  e->attached_to = c.i(1);
  e->attach_offset = Vec{c.f(3), c.f(4), c.f(5)};
  e->velocity = Vec{};
}

static void let_go(World& w, NativeCall& c) {
  const int32_t* handle = c.p<int32_t>(0);
  if (EntityState* e = w.live_entity(*handle)) e->no_longer_needed = true;
}

static void decorate(World& w, NativeCall& c, int value) {
  EntityState* e = w.live_entity(c.i(0));
  if (e == nullptr) return;
  e->decorators[c.s(1)] = value;
  c.ret_bool(true);
}

static const int* decorator(World& w, const NativeCall& c) {
  const EntityState* e = w.live_entity(c.i(0));
  if (e == nullptr) return nullptr;
  const auto it = e->decorators.find(std::string_view(c.s(1)));
  return it == e->decorators.end() ? nullptr : &it->second;
}

static void closest_object(World& w, NativeCall& c) {
  const Vec at{c.f(0), c.f(1), c.f(2)};
  float best = c.f(3);
  for (const auto& [handle, e] : w.entities()) {
    if (!e.exists || e.kind != EntityKind::object || e.model != c.u(4)) continue;
    const float d = distance(e.position, at);
    if (d <= best) {
      best = d;
      c.ret_int(handle);
    }
  }
}

NativeRows entities_native_rows() {
  static const DomainRow rows[] = {
      {Native::CREATE_OBJECT, create_object, makes(Thing::entity)},
      {Native::CREATE_PED, create_ped, makes(Thing::entity)},
      {Native::DELETE_ENTITY, delete_entity, removes(Thing::entity)},
      {Native::DELETE_PED, delete_entity, removes(Thing::entity)},
      {Native::DOES_ENTITY_EXIST,
       [](World& w, NativeCall& c) { c.ret_bool(w.exists(c.i(0))); }},
      {Native::FREEZE_ENTITY_POSITION,
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) e->frozen = c.b(1);
       },
       changes(Thing::entity)},
      {Native::DELETE_OBJECT, delete_entity, removes(Thing::entity)},
      {Native::GET_ENTITY_COORDS,
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) {
           c.ret_vector(e->position.x, e->position.y, e->position.z);
         }
       }},
      {Native::GET_ENTITY_HEADING,
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) c.ret_float(World::heading_of(*e));
       }},
      {Native::GET_ENTITY_HEALTH,
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) c.ret_int(e->health);
       }},
      {Native::GET_ENTITY_MAX_HEALTH, max_health},
      {Native::GET_ENTITY_TYPE,
       [](World& w, NativeCall& c) { c.ret_int(entity_type(w, c.i(0))); }},
      {Native::GET_PED_MAX_HEALTH, max_health},
      {Native::GET_ENTITY_MODEL,
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) c.ret_int(static_cast<int32_t>(e->model));
       }},
      {Native::GET_ENTITY_ROTATION,
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) {
           c.ret_vector(e->rotation.x, e->rotation.y, e->rotation.z);
         }
       }},
      {Native::GET_OFFSET_FROM_ENTITY_GIVEN_WORLD_COORDS,
       offset_from_entity},
      {Native::GET_PLAYER_INDEX,
       [](World& w, NativeCall& c) { c.ret_int(w.player_index()); }},
      {Native::HAS_MODEL_LOADED,
       [](World& w, NativeCall& c) { c.ret_bool(w.model(c.u(0)).loaded); }},
      {Native::IS_ENTITY_A_PED,
       [](World& w, NativeCall& c) { c.ret_bool(entity_type(w, c.i(0)) == 1); }},
      {Native::IS_ENTITY_A_VEHICLE,
       [](World& w, NativeCall& c) { c.ret_bool(entity_type(w, c.i(0)) == 2); }},
      {Native::IS_ENTITY_AN_OBJECT,
       [](World& w, NativeCall& c) { c.ret_bool(entity_type(w, c.i(0)) == 3); }},
      {Native::IS_MODEL_VALID,
       [](World& w, NativeCall& c) { c.ret_bool(w.model(c.u(0)).valid); }},
      {Native::PLACE_ENTITY_ON_GROUND_PROPERLY,
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) {
           e->placed_on_ground = true;
           c.ret_bool(true);
         }
       },
       changes(Thing::entity)},
      {Native::PLAYER_PED_ID,
       [](World& w, NativeCall& c) { c.ret_int(w.player_ped()); }},
      {Native::REQUEST_MODEL,
       [](World& w, NativeCall& c) {
         ModelState& m = w.model(c.u(0));
         if (m.valid) {
           m.request();
         } else {
           ++m.requests;
         }
       }},
      {Native::SET_CAN_AUTO_VAULT_ON_ENTITY,
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) e->auto_vault = c.b(1);
       },
       changes(Thing::entity)},
      {Native::SET_CAN_CLIMB_ON_ENTITY,
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) e->climbable = c.b(1);
       },
       changes(Thing::entity)},
      {Native::SET_ENTITY_ALPHA,
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) e->alpha = c.i(1);
       },
       changes(Thing::entity)},
      {Native::SET_ENTITY_AS_MISSION_ENTITY,
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) e->mission_entity = c.b(1);
       },
       changes(Thing::entity)},
      {Native::SET_ENTITY_COORDS,
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) w.move_entity(*e, Vec{c.f(1), c.f(2), c.f(3)});
       },
       changes(Thing::entity)},
      {Native::SET_ENTITY_COORDS_NO_OFFSET,
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) w.move_entity(*e, Vec{c.f(1), c.f(2), c.f(3)});
       },
       changes(Thing::entity)},
      {Native::SET_ENTITY_HEADING,
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) turn_to(*e, c.f(1));
       },
       changes(Thing::entity)},
      {Native::SET_ENTITY_HEALTH,
       [](World& w, NativeCall& c) {
         EntityState* e = w.live_entity(c.i(0));
         if (e == nullptr) return;
         e->health = std::clamp(c.i(1), 0, e->max_health);
         if (e->health == 0 && e->kind == EntityKind::ped) w.peds.kill(w, c.i(0));
       },
       changes(Thing::entity)},
      {Native::SET_ENTITY_ROTATION, set_rotation,
       changes(Thing::entity)},
      {Native::SET_ENTITY_VISIBLE,
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) e->visible = c.b(1);
       },
       changes(Thing::entity)},

      // Physics and state the game keeps per entity.
      {Native::SET_ENTITY_INVINCIBLE, set_flag<&EntityState::invincible>,
       changes(Thing::entity)},
      {Native::SET_ENTITY_DYNAMIC, set_flag<&EntityState::dynamic>,
       changes(Thing::entity)},
      {Native::SET_ENTITY_HAS_GRAVITY, set_flag<&EntityState::gravity>,
       changes(Thing::entity)},
      {Native::SET_ENTITY_COLLISION, set_flag<&EntityState::collision>,
       changes(Thing::entity)},
      {Native::GET_ENTITY_COLLISION_DISABLED,
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) c.ret_bool(!e->collision);
       }},
      {Native::SET_ENTITY_PROOFS,
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) e->proofs = c.i(1);
       },
       changes(Thing::entity)},
      {Native::IS_ENTITY_VISIBLE,
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) c.ret_bool(e->visible);
       }},
      {Native::GET_ENTITY_ALPHA,
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) c.ret_int(e->alpha);
       }},
      {Native::RESET_ENTITY_ALPHA,
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) e->alpha = 255;
       },
       changes(Thing::entity)},
      {Native::IS_ENTITY_A_MISSION_ENTITY,
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) c.ret_bool(e->mission_entity);
       }},
      {Native::SET_ENTITY_MAX_HEALTH,
       [](World& w, NativeCall& c) {
         EntityState* e = w.live_entity(c.i(0));
         if (e == nullptr || c.i(1) < 0) return;
         e->max_health = c.i(1);
         e->health = std::min(e->health, e->max_health);
       },
       changes(Thing::entity)},
      {Native::GET_ENTITY_VELOCITY, get_velocity},
      {Native::SET_ENTITY_VELOCITY,
       [](World& w, NativeCall& c) {
         EntityState* e = w.live_entity(c.i(0));
         if (e != nullptr && !e->frozen) e->velocity = Vec{c.f(1), c.f(2), c.f(3)};
       },
       changes(Thing::entity)},
      {Native::GET_ENTITY_SPEED,
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) c.ret_float(distance(e->velocity, Vec{}));
       }},
      {Native::GET_ENTITY_FORWARD_VECTOR, forward_vector},
      {Native::GET_OFFSET_FROM_ENTITY_IN_WORLD_COORDS, offset_in_world},
      {Native::APPLY_FORCE_TO_ENTITY,
       [](World& w, NativeCall& c) { push(w, c.i(0), Vec{c.f(2), c.f(3), c.f(4)}, c.b(9)); },
       changes(Thing::entity)},
      {Native::APPLY_FORCE_TO_ENTITY_CENTER_OF_MASS,
       [](World& w, NativeCall& c) { push(w, c.i(0), Vec{c.f(2), c.f(3), c.f(4)}, c.b(6)); },
       changes(Thing::entity)},
      {Native::ACTIVATE_PHYSICS,
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) e->dynamic = true;
       },
       changes(Thing::entity)},
      {Native::ATTACH_ENTITY_TO_ENTITY, attach,
       changes(Thing::entity)},
      {Native::DETACH_ENTITY,
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) e->attached_to = 0;
       },
       changes(Thing::entity)},
      {Native::IS_ENTITY_ATTACHED,
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) c.ret_bool(e->attached_to != 0);
       }},
      {Native::IS_ENTITY_ATTACHED_TO_ENTITY,
       [](World& w, NativeCall& c) {
         EntityState* e = w.live_entity(c.i(0));
         c.ret_bool(e != nullptr && e->attached_to != 0 && e->attached_to == c.i(1));
       }},
      {Native::GET_ENTITY_ATTACHED_TO,
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) c.ret_int(e->attached_to);
       }},
      {Native::GET_ENTITY_HEIGHT_ABOVE_GROUND,
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) {
           c.ret_float(e->position.z - w.environment.ground_at(e->position.x, e->position.y));
         }
       }},
      {Native::PLACE_OBJECT_ON_GROUND_PROPERLY,
       [](World& w, NativeCall& c) {
         EntityState* e = w.live_entity(c.i(0));
         if (e == nullptr || e->kind != EntityKind::object) return;
         e->placed_on_ground = true;
         w.move_entity(*e, Vec{e->position.x, e->position.y,
                               w.environment.ground_at(e->position.x, e->position.y)});
         c.ret_bool(true);
       },
       changes(Thing::entity)},
      {Native::GET_CLOSEST_OBJECT_OF_TYPE, closest_object},
      {Native::GET_MODEL_DIMENSIONS, model_dimensions},
      {Native::SET_ENTITY_AS_NO_LONGER_NEEDED, let_go,
       removes(Thing::entity)},
      {Native::SET_PED_AS_NO_LONGER_NEEDED, let_go,
       removes(Thing::entity)},
      {Native::SET_OBJECT_AS_NO_LONGER_NEEDED, let_go,
       removes(Thing::entity)},
      {Native::SET_VEHICLE_AS_NO_LONGER_NEEDED, let_go,
       removes(Thing::entity)},
      {Native::DELETE_VEHICLE, delete_entity, removes(Thing::entity)},

      // Decorators: named values a script hangs on an entity.
      {Native::DECOR_REGISTER, [](World&, NativeCall&) {}},
      {Native::DECOR_SET_INT,
       [](World& w, NativeCall& c) { decorate(w, c, c.i(2)); }, changes(Thing::entity)},
      {Native::DECOR_SET_BOOL,
       [](World& w, NativeCall& c) { decorate(w, c, c.b(2) ? 1 : 0); }, changes(Thing::entity)},
      {Native::DECOR_SET_FLOAT,
       [](World& w, NativeCall& c) { decorate(w, c, static_cast<int>(c.u(2))); },
       changes(Thing::entity)},
      {Native::DECOR_GET_INT,
       [](World& w, NativeCall& c) {
         if (const int* v = decorator(w, c)) c.ret_int(*v);
       }},
      {Native::DECOR_GET_BOOL,
       [](World& w, NativeCall& c) {
         if (const int* v = decorator(w, c)) c.ret_bool(*v != 0);
       }},
      {Native::DECOR_GET_FLOAT,
       [](World& w, NativeCall& c) {
         if (const int* v = decorator(w, c)) c.result[0] = static_cast<uint32_t>(*v);
       }},
      {Native::DECOR_EXIST_ON,
       [](World& w, NativeCall& c) { c.ret_bool(decorator(w, c) != nullptr); }},
      {Native::DECOR_REMOVE,
       [](World& w, NativeCall& c) {
         EntityState* e = w.live_entity(c.i(0));
         if (e == nullptr) return;
         const auto it = e->decorators.find(std::string_view(c.s(1)));
         if (it == e->decorators.end()) return;
         e->decorators.erase(it);
         c.ret_bool(true);
       },
       changes(Thing::entity)},

      // Names the game shows for entities, and their targeting.
      {Native::GET_OBJECT_INDEX_FROM_ENTITY_INDEX,
       [](World& w, NativeCall& c) {
         if (w.live_entity(c.i(0)) != nullptr) c.ret_int(c.i(0));
       }},
      {Native::REGISTER_EAGLE_EYE_FOR_ENTITY_,
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(1))) e->eagle_eye = true;
       },
       changes(Thing::entity, 1)},
      {Native::REGISTER_INTERACTION_LOCKON_PROMPT,
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) {
           e->shown_name = c.s(1);
           e->lockon_prompt = true;
           e->lockon_radius = c.f(2);
           c.ret_bool(true);
         }
       },
       changes(Thing::entity)},
      {checked_as(Native::SET_OBJECT_PROMPT_NAME_FROM_GXT_ENTRY_, "xi"),
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) e->prompt_name_label = c.u(1);
       },
       changes(Thing::entity)},
      {Native::SET_OBJECT_TARGETTABLE_FOCUS_,
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) e->targettable_focus = c.b(1);
       },
       changes(Thing::entity)},
      {Native::SET_PED_PROMPT_NAME_,
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) e->shown_name = c.s(1);
       },
       changes(Thing::entity)},
      {Native::UNREGISTER_INTERACTION_LOCKON_PROMPT,
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) {
           e->lockon_prompt = false;
           c.ret_bool(true);
         }
       },
       changes(Thing::entity)},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
