// Models, entities and the player: making props and peds, removing them,
// where they stand and how they turn, and the names the game shows for them.

#include <algorithm>
#include <cmath>
#include <string>

#include "joaat.h"
#include "world.h"

namespace sim {

ModelState& World::model(const char* name) { return models_[joaat(name)]; }
ModelState& World::model(uint32_t hash) {
  auto [it, added] = models_.try_emplace(hash);
  // Hash 0 names no model: what a failed hash lookup would ask the game for.
  if (added && hash == 0) it->second.valid = false;
  return it->second;
}

int32_t World::create_entity(EntityKind kind, uint32_t model, Vec position, float heading) {
  FreedHandles& freed = kind == EntityKind::ped ? freed_peds_ : freed_objects_;
  int32_t handle = freed.take(frame_);
  // A handle the game brought back to life meanwhile is not free.
  while (handle != 0 && exists(handle)) handle = freed.take(frame_);
  if (handle == 0) {
    handle = next_entity_++;
  } else {
    forget_entity(handle);
  }
  EntityState e;
  e.handle = handle;
  e.kind = kind;
  e.model = model;
  e.position = position;
  e.rotation.z = heading;
  e.made = e.moved = stamp();
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

bool World::exists(int32_t handle) const {
  auto it = entities_.find(handle);
  return it != entities_.end() && it->second.exists;
}

void World::remove_entity(int32_t handle) {
  EntityState* e = live_entity(handle);
  if (e == nullptr) return;
  e->exists = false;
  e->gone = stamp();
  (e->kind == EntityKind::ped ? freed_peds_ : freed_objects_).free(handle, frame_);
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

void World::place_player(float x, float y, float z) {
  if (EntityState* p = entity(player_ped_)) move_entity(*p, Vec{x, y, z});
}

void World::move_entity(EntityState& e, Vec to) {
  e.position = to;
  e.moved = stamp();
}

Vec World::player_position() const {
  auto it = entities_.find(player_ped_);
  return it == entities_.end() ? Vec{} : it->second.position;
}

int32_t World::replace_player_ped(const char* model_name) {
  const Vec at = player_position();
  remove_entity(player_ped_);
  player_ped_ = create_entity(EntityKind::ped, joaat(model_name), at, 0.0f);
  return player_ped_;
}

static void create_object(World& w, NativeCall& c) {
  const ModelState& m = w.model(c.u(0));
  if (!m.valid || !m.loaded) return;  // the game makes nothing of an unloaded model
  c.ret_int(w.create_entity(EntityKind::object, c.u(0), Vec{c.f(1), c.f(2), c.f(3)}, 0.0f));
}

static void create_ped(World& w, NativeCall& c) {
  const ModelState& m = w.model(c.u(0));
  if (!m.valid || !m.loaded) return;
  c.ret_int(w.create_entity(EntityKind::ped, c.u(0), Vec{c.f(1), c.f(2), c.f(3)}, c.f(4)));
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
  return e->kind == EntityKind::ped ? 1 : 3;
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

NativeRows entities_native_rows() {
  static const NativeRow rows[] = {
      {0x509D5878EB39E842, "CREATE_OBJECT", "ifffbbbbb", 'i', create_object, makes(Thing::entity)},
      {0xD49F9B0955C367DE, "CREATE_PED", "iffffbbbb", 'i', create_ped, makes(Thing::entity)},
      {0x4CD38C78BD19A497, "DELETE_ENTITY", "h", 'v', delete_entity, removes(Thing::entity)},
      {0xCC0EF140F99365C5, "DELETE_PED", "h", 'v', delete_entity, removes(Thing::entity)},
      {0xD42BD6EB2E0F1677, "DOES_ENTITY_EXIST", "i", 'b',
       [](World& w, NativeCall& c) { c.ret_bool(w.exists(c.i(0))); }},
      {0x7D9EFB7AD6B19754, "FREEZE_ENTITY_POSITION", "ib", 'v',
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) e->frozen = c.b(1);
       },
       changes(Thing::entity)},
      {0x931914268722C263, "DELETE_OBJECT", "h", 'v', delete_entity, removes(Thing::entity)},
      {0xA86D5F069399F44D, "GET_ENTITY_COORDS", "ibb", 'V',
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) {
           c.ret_vector(e->position.x, e->position.y, e->position.z);
         }
       }},
      {0xC230DD956E2F5507, "GET_ENTITY_HEADING", "i", 'f',
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) c.ret_float(World::heading_of(*e));
       }},
      {0x82368787EA73C0F7, "GET_ENTITY_HEALTH", "i", 'i',
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) c.ret_int(e->health);
       }},
      {0x15D757606D170C3C, "GET_ENTITY_MAX_HEALTH", "ib", 'i', max_health},
      {0x97F696ACA466B4E0, "GET_ENTITY_TYPE", "i", 'i',
       [](World& w, NativeCall& c) { c.ret_int(entity_type(w, c.i(0))); }},
      {0x4700A416E8324EF3, "GET_PED_MAX_HEALTH", "i", 'i', max_health},
      {0xDA76A9F39210D365, "GET_ENTITY_MODEL", "i", 'i',
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) c.ret_int(static_cast<int32_t>(e->model));
       }},
      {0xE09CAF86C32CB48F, "GET_ENTITY_ROTATION", "ii", 'V',
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) {
           c.ret_vector(e->rotation.x, e->rotation.y, e->rotation.z);
         }
       }},
      {0x497C6B1A2C9AE69C, "GET_OFFSET_FROM_ENTITY_GIVEN_WORLD_COORDS", "ifff", 'V',
       offset_from_entity},
      {0x47E385B0D957C8D4, "GET_PLAYER_INDEX", "", 'i',
       [](World& w, NativeCall& c) { c.ret_int(w.player_index()); }},
      {0x1283B8B89DD5D1B6, "HAS_MODEL_LOADED", "i", 'b',
       [](World& w, NativeCall& c) { c.ret_bool(w.model(c.u(0)).loaded); }},
      {0xCF8176912DDA4EA5, "IS_ENTITY_A_PED", "i", 'b',
       [](World& w, NativeCall& c) { c.ret_bool(entity_type(w, c.i(0)) == 1); }},
      {0xC3D96AF45FCCEC4C, "IS_ENTITY_A_VEHICLE", "i", 'b',
       [](World& w, NativeCall& c) { c.ret_bool(entity_type(w, c.i(0)) == 2); }},
      {0x0A27A546A375FDEF, "IS_ENTITY_AN_OBJECT", "i", 'b',
       [](World& w, NativeCall& c) { c.ret_bool(entity_type(w, c.i(0)) == 3); }},
      {0x392C8D8E07B70EFC, "IS_MODEL_VALID", "i", 'b',
       [](World& w, NativeCall& c) { c.ret_bool(w.model(c.u(0)).valid); }},
      {0x9587913B9E772D29, "PLACE_ENTITY_ON_GROUND_PROPERLY", "ib", 'b',
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) {
           e->placed_on_ground = true;
           c.ret_bool(true);
         }
       },
       changes(Thing::entity)},
      {0x096275889B8E0EE0, "PLAYER_PED_ID", "", 'i',
       [](World& w, NativeCall& c) { c.ret_int(w.player_ped()); }},
      {0xFA28FE3A6246FC30, "REQUEST_MODEL", "ib", 'v',
       [](World& w, NativeCall& c) {
         ModelState& m = w.model(c.u(0));
         if (m.valid) {
           m.request();
         } else {
           ++m.requests;
         }
       }},
      {0x80646744FA88F9D7, "SET_CAN_AUTO_VAULT_ON_ENTITY", "ib", 'v',
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) e->auto_vault = c.b(1);
       },
       changes(Thing::entity)},
      {0x24AED2A608F93C4C, "SET_CAN_CLIMB_ON_ENTITY", "ib", 'v',
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) e->climbable = c.b(1);
       },
       changes(Thing::entity)},
      {0x0DF7692B1D9E7BA7, "SET_ENTITY_ALPHA", "iib", 'v',
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) e->alpha = c.i(1);
       },
       changes(Thing::entity)},
      {0xDC19C288082E586E, "SET_ENTITY_AS_MISSION_ENTITY", "ibb", 'v',
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) e->mission_entity = c.b(1);
       },
       changes(Thing::entity)},
      {0x06843DA7060A026B, "SET_ENTITY_COORDS", "ifffbbbb", 'v',
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) w.move_entity(*e, Vec{c.f(1), c.f(2), c.f(3)});
       },
       changes(Thing::entity)},
      {0x239A3351AC1DA385, "SET_ENTITY_COORDS_NO_OFFSET", "ifffbbb", 'v',
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) w.move_entity(*e, Vec{c.f(1), c.f(2), c.f(3)});
       },
       changes(Thing::entity)},
      {0xCF2B9C0645C4651B, "SET_ENTITY_HEADING", "if", 'v',
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) turn_to(*e, c.f(1));
       },
       changes(Thing::entity)},
      {0xAC2767ED8BDFAB15, "SET_ENTITY_HEALTH", "iii", 'v',
       [](World& w, NativeCall& c) {
         EntityState* e = w.live_entity(c.i(0));
         if (e == nullptr) return;
         e->health = std::clamp(c.i(1), 0, e->max_health);
         if (e->health == 0 && e->kind == EntityKind::ped) w.peds.kill(w, c.i(0));
       },
       changes(Thing::entity)},
      {0x9CC8314DFEDE441E, "SET_ENTITY_ROTATION", "ifffib", 'v', set_rotation,
       changes(Thing::entity)},
      {0x1794B4FCC84D812F, "SET_ENTITY_VISIBLE", "ib", 'v',
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) e->visible = c.b(1);
       },
       changes(Thing::entity)},

      // Names the game shows for entities, and their targeting.
      {0x280BBE5601EAA983, "GET_OBJECT_INDEX_FROM_ENTITY_INDEX", "i", 'i',
       [](World& w, NativeCall& c) {
         if (w.live_entity(c.i(0)) != nullptr) c.ret_int(c.i(0));
       }},
      {0x543DFE14BE720027, "_REGISTER_EAGLE_EYE_FOR_ENTITY", "iib", 'v',
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(1))) e->eagle_eye = true;
       },
       changes(Thing::entity, 1)},
      {0x870708A6E147A9AD, "REGISTER_INTERACTION_LOCKON_PROMPT", "isffiffibi", 'b',
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) {
           e->shown_name = c.s(1);
           e->lockon_prompt = true;
           e->lockon_radius = c.f(2);
           c.ret_bool(true);
         }
       },
       changes(Thing::entity)},
      {0xD503D6F0986D58BC, "_SET_OBJECT_PROMPT_NAME_FROM_GXT_ENTRY", "xi", 'v',
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) e->prompt_name_label = c.u(1);
       },
       changes(Thing::entity)},
      {0xA22712E8471AA08E, "_SET_OBJECT_TARGETTABLE_FOCUS", "ibb", 'v',
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) e->targettable_focus = c.b(1);
       },
       changes(Thing::entity)},
      {0x4A48B6E03BABB4AC, "_SET_PED_PROMPT_NAME", "is", 'v',
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) e->shown_name = c.s(1);
       },
       changes(Thing::entity)},
      {0xE98D55C5983F2509, "UNREGISTER_INTERACTION_LOCKON_PROMPT", "i", 'b',
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
