// Peds: their scenarios, flags, looks, groups, relationships and cores,
// death and fleeing. What they are told to do is in tasks.cpp.

#include <algorithm>
#include <utility>
#include <vector>

#include "joaat.h"
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

PedActivity* tell(World& w, int32_t ped, std::string task) {
  if (ped == 0 && w.peds.open_sequence != 0) {
    w.peds.sequences[w.peds.open_sequence].push_back(std::move(task));
    return nullptr;
  }
  PedActivity* a = live(w, ped);
  if (a == nullptr || a->dead) return nullptr;
  a->tasks.push_back(std::move(task));
  a->sequence = 0;
  if (a->tasks.size() > 16) a->tasks.erase(a->tasks.begin());  // the latest are kept
  return a;
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
  a->tasks.clear();
  a->combat_target = 0;
  a->sequence = 0;
  a->fleeing = false;
}

// The group a relationship is read for: the one a script gave, else the
// game's own for the player and for everyone else.
static uint32_t relationship_group(World& w, int32_t ped) {
  const PedActivity* a = known(w, ped);
  if (a != nullptr && a->relationship_group != 0) return a->relationship_group;
  return ped == w.player_ped() ? joaat("PLAYER") : joaat("CIVMALE");
}

// What group one thinks of another: what a script set, else neutral (3),
// and a group thinks of itself as companions (0).
static int relationship(World& w, uint32_t from, uint32_t to) {
  const auto it = w.peds.relationships.find({from, to});
  if (it != w.peds.relationships.end()) return it->second;
  return from == to ? 0 : 3;
}

// The player's own group, which the game keeps for him.
constexpr int player_group = 1;

static bool group_exists(World& w, int group) {
  return group == player_group || w.peds.group_leaders.count(group) != 0;
}

static void core_value(World& w, NativeCall& c) {
  const PedActivity* a = known(w, c.i(0));
  if (!w.exists(c.i(0))) return;
  const int core = c.i(1);
  if (a == nullptr || a->cores.count(core) == 0) {
    c.ret_int(100);  // full until something spends it
    return;
  }
  c.ret_int(a->cores.at(core));
}

// The peds near one, nearest first, into the caller's array: its first slot
// holds how many it has room for, each ped a slot of eight bytes after it.
static void nearby(World& w, NativeCall& c, EntityKind kind) {
  const EntityState* me = w.live_entity(c.i(0));
  auto* slots = c.p<int64_t>(1);
  // Its room as a 32-bit count, as scripts write it; a room past any the
  // game's own scripts ask for is taken as that.
  const int64_t room = std::min(static_cast<int32_t>(slots[0]), 256);
  if (me == nullptr || room <= 0) return;
  constexpr float reach = 50.0f;  // m: the game looks only so far around
  std::vector<std::pair<float, int32_t>> found;
  for (const auto& [handle, e] : w.entities()) {
    if (!e.exists || handle == c.i(0) || e.kind != kind) continue;
    const float d = distance(e.position, me->position);
    if (d <= reach) found.emplace_back(d, handle);
  }
  std::sort(found.begin(), found.end());
  const auto count = static_cast<int>(std::min<int64_t>(room, static_cast<int64_t>(found.size())));
  for (int n = 0; n < count; ++n) slots[1 + n] = found[static_cast<size_t>(n)].second;
  c.ret_int(count);
}

static void clone_ped(World& w, NativeCall& c) {
  const EntityState* e = w.live_entity(c.i(0));
  if (e == nullptr || e->kind != EntityKind::ped) return;
  const EntityState original = *e;  // making may move the map's nodes' contents
  const int32_t clone = w.create_entity(EntityKind::ped, original.model, original.position,
                                        World::heading_of(original));
  if (EntityState* made = w.entity(clone)) made->outfit = original.outfit;
  c.ret_int(clone);
}

NativeRows peds_native_rows() {
  static const NativeRow rows[] = {
      // Looks
      {0x283978A15512B2FE, "_SET_RANDOM_OUTFIT_VARIATION", "ib", 'v',
       [](World& w, NativeCall& c) {
         EntityState* e = w.live_entity(c.i(0));
         if (e == nullptr || e->kind != EntityKind::ped) return;
         e->outfit = w.random_in_range(0, std::max(1, e->outfit_count));
         ++w.peds.get(c.i(0)).random_outfits;
       },
       changes(Thing::entity)},
      {0xD3A7B003ED343FD9, "_APPLY_SHOP_ITEM_TO_PED", "iibbb", 'v',
       [](World& w, NativeCall& c) {
         if (PedActivity* a = live(w, c.i(0))) a->shop_items.push_back(c.u(1));
       },
       changes(Thing::entity)},
      {0x25ACFC650B65C538, "_SET_PED_SCALE", "if", 'v',
       [](World& w, NativeCall& c) {
         if (PedActivity* a = live(w, c.i(0))) a->scale = c.f(1);
       },
       changes(Thing::entity)},
      {0xCC8CA3E88256E58F, "_UPDATE_PED_VARIATION", "ibbbbb", 'v',
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) ++e->variation_updates;
       },
       changes(Thing::entity)},

      // What kind of ped it is, by its model
      {0xB980061DA992779D, "IS_PED_HUMAN", "i", 'b',
       [](World& w, NativeCall& c) {
         const EntityState* e = w.live_entity(c.i(0));
         c.ret_bool(e != nullptr && e->kind == EntityKind::ped &&
                    w.model_kind(e->model) == ModelKind::human);
       }},
      {0x772A1969F649E902, "_IS_THIS_MODEL_A_HORSE", "i", 'b',
       [](World& w, NativeCall& c) { c.ret_bool(w.is_horse_model(c.u(0))); }},
      {0xC9D55B1A358A5BF7, "IS_PED_MODEL", "ii", 'b',
       [](World& w, NativeCall& c) {
         const EntityState* e = w.live_entity(c.i(0));
         c.ret_bool(e != nullptr && e->kind == EntityKind::ped && e->model == c.u(1));
       }},
      {0xEF29A16337FACADB, "CLONE_PED", "ibbb", 'i', clone_ped, makes(Thing::entity)},
      {0x23F8F5FC7E8C4A6B, "GET_PED_NEARBY_PEDS", "ipii", 'i',
       [](World& w, NativeCall& c) { nearby(w, c, EntityKind::ped); }},
      {0xCFF869CBFA210D82, "GET_PED_NEARBY_VEHICLES", "ip", 'i',
       [](World& w, NativeCall& c) { nearby(w, c, EntityKind::vehicle); }},

      // Relationships
      {0x7DBDD04862D95F04, "GET_PED_RELATIONSHIP_GROUP_HASH", "i", 'i',
       [](World& w, NativeCall& c) {
         if (w.exists(c.i(0))) c.ret_int(static_cast<int32_t>(relationship_group(w, c.i(0))));
       }},
      {0xC80A74AC829DDD92, "SET_PED_RELATIONSHIP_GROUP_HASH", "ii", 'v',
       [](World& w, NativeCall& c) {
         if (PedActivity* a = live(w, c.i(0))) a->relationship_group = c.u(1);
       },
       changes(Thing::entity)},
      {0xF372BC22FCB88606, "ADD_RELATIONSHIP_GROUP", "sp", 'b',
       [](World& w, NativeCall& c) {
         const uint32_t group = w.hash_of(c.s(0));
         *c.p<uint32_t>(1) = group;
         c.ret_bool(w.peds.relationship_groups.insert(group).second);
       }},
      {0xBF25EB89375A37AD, "SET_RELATIONSHIP_BETWEEN_GROUPS", "iii", 'v',
       [](World& w, NativeCall& c) { w.peds.relationships[{c.u(1), c.u(2)}] = c.i(0); }},
      {0x9E6B70061662AE5C, "GET_RELATIONSHIP_BETWEEN_GROUPS", "ii", 'i',
       [](World& w, NativeCall& c) { c.ret_int(relationship(w, c.u(0), c.u(1))); }},
      {0xEBA5AD3A0EAF7121, "GET_RELATIONSHIP_BETWEEN_PEDS", "ii", 'i',
       [](World& w, NativeCall& c) {
         if (!w.exists(c.i(0)) || !w.exists(c.i(1))) return;
         c.ret_int(relationship(w, relationship_group(w, c.i(0)), relationship_group(w, c.i(1))));
       }},

      // Behaviour
      {0x9F8AA94D6D97DBF4, "SET_BLOCKING_OF_NON_TEMPORARY_EVENTS", "ib", 'v',
       [](World& w, NativeCall& c) {
         if (PedActivity* a = live(w, c.i(0))) a->blocking_events = c.b(1);
       },
       changes(Thing::entity)},
      {0x971D38760FBC02EF, "SET_PED_KEEP_TASK", "ib", 'v',
       [](World& w, NativeCall& c) {
         if (PedActivity* a = live(w, c.i(0))) a->keep_task = c.b(1);
       },
       changes(Thing::entity)},
      {0x9F7794730795E019, "SET_PED_COMBAT_ATTRIBUTES", "iib", 'v',
       [](World& w, NativeCall& c) {
         if (PedActivity* a = live(w, c.i(0))) a->combat_attributes[c.i(1)] = c.b(2);
       },
       changes(Thing::entity)},
      {0xB128377056A54E2A, "SET_PED_CAN_RAGDOLL", "ib", 'v',
       [](World& w, NativeCall& c) {
         if (PedActivity* a = live(w, c.i(0))) a->can_ragdoll = c.b(1);
       },
       changes(Thing::entity)},
      {0x128F79EDCECE4FD5, "CAN_PED_RAGDOLL", "i", 'b',
       [](World& w, NativeCall& c) {
         const PedActivity* a = known(w, c.i(0));
         if (w.exists(c.i(0))) c.ret_bool(a == nullptr || a->can_ragdoll);
       }},
      {0xAE99FB955581844A, "SET_PED_TO_RAGDOLL", "iiiibbs", 'b',
       [](World& w, NativeCall& c) {
         PedActivity* a = live(w, c.i(0));
         if (a == nullptr || !a->can_ragdoll) return;
         a->ragdoll_until_ms = w.elapsed_ms() + static_cast<uint64_t>(std::max(0, c.i(2)));
         c.ret_bool(true);
       },
       changes(Thing::entity)},
      {0x47E4E977581C5B55, "IS_PED_RAGDOLL", "i", 'b',
       [](World& w, NativeCall& c) {
         const PedActivity* a = known(w, c.i(0));
         c.ret_bool(a != nullptr && w.elapsed_ms() < a->ragdoll_until_ms);
       }},

      // Groups a ped follows: the player's own, and those scripts make
      {0x9BAB31815159ABCF, "GET_PLAYER_GROUP", "i", 'i',
       [](World& w, NativeCall& c) {
         if (c.i(0) == w.player_index()) c.ret_int(player_group);
       }},
      {0x90370EBE0FEE1A3D, "CREATE_GROUP", "i", 'i',
       [](World& w, NativeCall& c) {
         const int group = ++w.peds.next_group;  // past the player's
         w.peds.group_leaders[group] = 0;
         c.ret_int(group);
       }},
      {0x7C6B0C22F9F40BBE, "DOES_GROUP_EXIST", "i", 'b',
       [](World& w, NativeCall& c) { c.ret_bool(group_exists(w, c.i(0))); }},
      {0x9F3480FE65DB31B5, "SET_PED_AS_GROUP_MEMBER", "ii", 'v',
       [](World& w, NativeCall& c) {
         PedActivity* a = live(w, c.i(0));
         if (a != nullptr && group_exists(w, c.i(1))) a->group = c.i(1);
       },
       changes(Thing::entity)},
      {0x2A7819605465FBCE, "SET_PED_AS_GROUP_LEADER", "iib", 'v',
       [](World& w, NativeCall& c) {
         if (live(w, c.i(0)) != nullptr && w.peds.group_leaders.count(c.i(1)) != 0) {
           w.peds.group_leaders[c.i(1)] = c.i(0);
         }
       },
       changes(Thing::entity)},
      {0xED74007FFB146BC2, "REMOVE_PED_FROM_GROUP", "i", 'v',
       [](World& w, NativeCall& c) {
         if (PedActivity* a = live(w, c.i(0))) a->group = 0;
       },
       changes(Thing::entity)},
      {0x9BB01E3834671191, "IS_PED_GROUP_MEMBER", "iib", 'b',
       [](World& w, NativeCall& c) {
         const PedActivity* a = known(w, c.i(0));
         c.ret_bool(a != nullptr && a->group != 0 && a->group == c.i(1));
       }},
      {0x5891CAC5D4ACFF74, "IS_PED_IN_GROUP", "i", 'b',
       [](World& w, NativeCall& c) {
         const PedActivity* a = known(w, c.i(0));
         c.ret_bool(a != nullptr && a->group != 0);
       }},
      // The player leads his own group, whichever native asks.
      {0xF162E133B4E7A675, "GET_PED_GROUP_INDEX", "i", 'i',
       [](World& w, NativeCall& c) {
         const PedActivity* a = known(w, c.i(0));
         if (c.i(0) != 0 && c.i(0) == w.player_ped()) {
           c.ret_int(player_group);
         } else if (a != nullptr) {
           c.ret_int(a->group);
         }
       }},

      // Cores (health 0, stamina 1, dead eye 2) and attribute ranks
      {0xC6258F41D86676E0, "_SET_ATTRIBUTE_CORE_VALUE", "iii", 'v',
       [](World& w, NativeCall& c) {
         if (PedActivity* a = live(w, c.i(0))) a->cores[c.i(1)] = std::clamp(c.i(2), 0, 100);
       },
       changes(Thing::entity)},
      {0x36731AC041289BB1, "_GET_ATTRIBUTE_CORE_VALUE", "ii", 'i', core_value},
      {0x5DA12E025D47D4E5, "SET_ATTRIBUTE_BASE_RANK", "iii", 'v',
       [](World& w, NativeCall& c) {
         if (PedActivity* a = live(w, c.i(0))) a->attribute_ranks[c.i(1)] = c.i(2);
       },
       changes(Thing::entity)},
      {0x147149F2E909323C, "GET_ATTRIBUTE_BASE_RANK", "ii", 'i',
       [](World& w, NativeCall& c) {
         const PedActivity* a = known(w, c.i(0));
         if (a == nullptr) return;
         const auto it = a->attribute_ranks.find(c.i(1));
         if (it != a->attribute_ranks.end()) c.ret_int(it->second);
       }},

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
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
