// Peds: their scenarios, flags, looks, groups, relationships and cores,
// death and fleeing. What they are told to do is in tasks.cpp.

#include <algorithm>
#include <utility>
#include <vector>

#include "joaat.h"
#include "native_words.h"
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
static PedActivity* live_activity(World& w, int32_t handle) {
  const EntityState* e = w.entity(handle);
  if (e == nullptr || !e->exists || e->kind != EntityKind::ped) return nullptr;
  return &w.peds.get(handle);
}

PedActivity* tell(World& w, int32_t ped, std::string task) {
  if (ped == 0 && w.peds.open_sequence != 0) {
    w.peds.sequences[w.peds.open_sequence].push_back(std::move(task));
    return nullptr;
  }
  PedActivity* a = live_activity(w, ped);
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
  PedActivity* a = live_activity(w, c.i(0));
  if (a == nullptr || a->dead) return;
  leave_point(w, c.i(0));
  a->scenario = c.u(1);
  ++a->scenario_starts;
}

static void clear_tasks(World& w, NativeCall& c) {
  PedActivity* a = live_activity(w, c.i(0));
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
  static const DomainRow rows[] = {
      // Looks
      {Native::SET_RANDOM_OUTFIT_VARIATION_,
       [](World& w, NativeCall& c) {
         EntityState* e = w.live_entity(c.i(0));
         if (e == nullptr || e->kind != EntityKind::ped) return;
         e->outfit = w.random_in_range(0, std::max(1, e->outfit_count));
         ++w.peds.get(c.i(0)).random_outfits;
       },
       changes(Thing::entity)},
      {Native::APPLY_SHOP_ITEM_TO_PED_,
       [](World& w, NativeCall& c) {
         if (PedActivity* a = live_activity(w, c.i(0))) a->shop_items.push_back(c.u(1));
       },
       changes(Thing::entity)},
      {Native::SET_PED_SCALE_,
       [](World& w, NativeCall& c) {
         if (PedActivity* a = live_activity(w, c.i(0))) a->scale = c.f(1);
       },
       changes(Thing::entity)},
      {Native::UPDATE_PED_VARIATION_,
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) ++e->variation_updates;
       },
       changes(Thing::entity)},

      // What kind of ped it is, by its model
      {Native::IS_PED_HUMAN,
       [](World& w, NativeCall& c) {
         const EntityState* e = w.live_entity(c.i(0));
         c.ret_bool(e != nullptr && e->kind == EntityKind::ped &&
                    w.model_kind(e->model) == ModelKind::human);
       }},
      {Native::IS_THIS_MODEL_A_HORSE_,
       [](World& w, NativeCall& c) { c.ret_bool(w.is_horse_model(c.u(0))); }},
      {Native::IS_PED_MODEL,
       [](World& w, NativeCall& c) {
         const EntityState* e = w.live_entity(c.i(0));
         c.ret_bool(e != nullptr && e->kind == EntityKind::ped && e->model == c.u(1));
       }},
      {Native::CLONE_PED, clone_ped, makes(Thing::entity)},
      {Native::GET_PED_NEARBY_PEDS, [](World& w, NativeCall& c) { nearby(w, c, EntityKind::ped); }},
      {Native::GET_PED_NEARBY_VEHICLES,
       [](World& w, NativeCall& c) { nearby(w, c, EntityKind::vehicle); }},

      // Relationships
      {Native::GET_PED_RELATIONSHIP_GROUP_HASH,
       [](World& w, NativeCall& c) {
         if (w.exists(c.i(0))) c.ret_int(static_cast<int32_t>(relationship_group(w, c.i(0))));
       }},
      {Native::SET_PED_RELATIONSHIP_GROUP_HASH,
       [](World& w, NativeCall& c) {
         if (PedActivity* a = live_activity(w, c.i(0))) a->relationship_group = c.u(1);
       },
       changes(Thing::entity)},
      {Native::ADD_RELATIONSHIP_GROUP,
       [](World& w, NativeCall& c) {
         const uint32_t group = w.hash_of(c.s(0));
         *c.p<uint32_t>(1) = group;
         c.ret_bool(w.peds.relationship_groups.insert(group).second);
       }},
      {Native::SET_RELATIONSHIP_BETWEEN_GROUPS,
       [](World& w, NativeCall& c) {
         w.peds.relationships[{c.u(1), c.u(2)}] = c.i(0);
       }},
      {Native::GET_RELATIONSHIP_BETWEEN_GROUPS,
       [](World& w, NativeCall& c) { c.ret_int(relationship(w, c.u(0), c.u(1))); }},
      {Native::GET_RELATIONSHIP_BETWEEN_PEDS,
       [](World& w, NativeCall& c) {
         if (!w.exists(c.i(0)) || !w.exists(c.i(1))) return;
         c.ret_int(relationship(w, relationship_group(w, c.i(0)), relationship_group(w, c.i(1))));
       }},

      // Behaviour
      {Native::SET_BLOCKING_OF_NON_TEMPORARY_EVENTS,
       [](World& w, NativeCall& c) {
         if (PedActivity* a = live_activity(w, c.i(0))) a->blocking_events = c.b(1);
       },
       changes(Thing::entity)},
      {Native::SET_PED_KEEP_TASK,
       [](World& w, NativeCall& c) {
         if (PedActivity* a = live_activity(w, c.i(0))) a->keep_task = c.b(1);
       },
       changes(Thing::entity)},
      {Native::SET_PED_COMBAT_ATTRIBUTES,
       [](World& w, NativeCall& c) {
         if (PedActivity* a = live_activity(w, c.i(0))) a->combat_attributes[c.i(1)] = c.b(2);
       },
       changes(Thing::entity)},
      {Native::SET_PED_CAN_RAGDOLL,
       [](World& w, NativeCall& c) {
         if (PedActivity* a = live_activity(w, c.i(0))) a->can_ragdoll = c.b(1);
       },
       changes(Thing::entity)},
      {Native::CAN_PED_RAGDOLL,
       [](World& w, NativeCall& c) {
         const PedActivity* a = known(w, c.i(0));
         if (w.exists(c.i(0))) c.ret_bool(a == nullptr || a->can_ragdoll);
       }},
      {Native::SET_PED_TO_RAGDOLL,
       [](World& w, NativeCall& c) {
         PedActivity* a = live_activity(w, c.i(0));
         if (a == nullptr || !a->can_ragdoll) return;
         a->ragdoll_until_ms = w.elapsed_ms() + static_cast<uint64_t>(std::max(0, c.i(2)));
         c.ret_bool(true);
       },
       changes(Thing::entity)},
      {Native::IS_PED_RAGDOLL,
       [](World& w, NativeCall& c) {
         const PedActivity* a = known(w, c.i(0));
         c.ret_bool(a != nullptr && w.elapsed_ms() < a->ragdoll_until_ms);
       }},

      // Groups a ped follows: the player's own, and those scripts make
      {Native::GET_PLAYER_GROUP,
       [](World& w, NativeCall& c) {
         if (c.i(0) == w.player_index()) c.ret_int(player_group);
       }},
      {Native::CREATE_GROUP,
       [](World& w, NativeCall& c) {
         const int group = ++w.peds.next_group;  // past the player's
         w.peds.group_leaders[group] = 0;
         c.ret_int(group);
       }},
      {Native::DOES_GROUP_EXIST,
       [](World& w, NativeCall& c) { c.ret_bool(group_exists(w, c.i(0))); }},
      {Native::SET_PED_AS_GROUP_MEMBER,
       [](World& w, NativeCall& c) {
         PedActivity* a = live_activity(w, c.i(0));
         if (a != nullptr && group_exists(w, c.i(1))) a->group = c.i(1);
       },
       changes(Thing::entity)},
      {Native::SET_PED_AS_GROUP_LEADER,
       [](World& w, NativeCall& c) {
         if (live_activity(w, c.i(0)) != nullptr && w.peds.group_leaders.count(c.i(1)) != 0) {
           w.peds.group_leaders[c.i(1)] = c.i(0);
         }
       },
       changes(Thing::entity)},
      {Native::REMOVE_PED_FROM_GROUP,
       [](World& w, NativeCall& c) {
         if (PedActivity* a = live_activity(w, c.i(0))) a->group = 0;
       },
       changes(Thing::entity)},
      {Native::IS_PED_GROUP_MEMBER,
       [](World& w, NativeCall& c) {
         const PedActivity* a = known(w, c.i(0));
         c.ret_bool(a != nullptr && a->group != 0 && a->group == c.i(1));
       }},
      {Native::IS_PED_IN_GROUP,
       [](World& w, NativeCall& c) {
         const PedActivity* a = known(w, c.i(0));
         c.ret_bool(a != nullptr && a->group != 0);
       }},
      // The player leads his own group, whichever native asks.
      {Native::GET_PED_GROUP_INDEX,
       [](World& w, NativeCall& c) {
         const PedActivity* a = known(w, c.i(0));
         if (c.i(0) != 0 && c.i(0) == w.player_ped()) {
           c.ret_int(player_group);
         } else if (a != nullptr) {
           c.ret_int(a->group);
         }
       }},

      // Cores (health 0, stamina 1, dead eye 2) and attribute ranks
      {Native::SET_ATTRIBUTE_CORE_VALUE_,
       [](World& w, NativeCall& c) {
         if (PedActivity* a = live_activity(w, c.i(0)))
           a->cores[c.i(1)] = std::clamp(c.i(2), 0, 100);
       },
       changes(Thing::entity)},
      {Native::GET_ATTRIBUTE_CORE_VALUE_, core_value},
      {Native::SET_ATTRIBUTE_BASE_RANK,
       [](World& w, NativeCall& c) {
         if (PedActivity* a = live_activity(w, c.i(0))) a->attribute_ranks[c.i(1)] = c.i(2);
       },
       changes(Thing::entity)},
      {Native::GET_ATTRIBUTE_BASE_RANK,
       [](World& w, NativeCall& c) {
         const PedActivity* a = known(w, c.i(0));
         if (a == nullptr) return;
         const auto it = a->attribute_ranks.find(c.i(1));
         if (it != a->attribute_ranks.end()) c.ret_int(it->second);
       }},

      {Native::CLEAR_PED_TASKS, clear_tasks, changes(Thing::entity)},
      {Native::EQUIP_META_PED_OUTFIT_PRESET_,
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) e->outfit = c.i(1);
       },
       changes(Thing::entity)},
      {Native::GET_NUM_META_PED_OUTFITS,
       [](World& w, NativeCall& c) {
         if (EntityState* e = w.live_entity(c.i(0))) c.ret_int(e->outfit_count);
       }},
      {Native::IS_ENTITY_DEAD, [](World& w, NativeCall& c) { c.ret_bool(is_dead(w, c.i(0))); }},
      {Native::IS_PED_FLEEING,
       [](World& w, NativeCall& c) {
         const PedActivity* a = known(w, c.i(0));
         c.ret_bool(a != nullptr && a->fleeing);
       }},
      {Native::IS_PED_USING_ANY_SCENARIO, using_any_scenario},
      {checked_as(Native::SET_FACIAL_IDLE_ANIM_OVERRIDE, "isz"),
       [](World& w, NativeCall& c) {
         if (PedActivity* a = live_activity(w, c.i(0))) a->mood = c.s(1);
       },
       changes(Thing::entity)},
      {Native::SET_PED_CONFIG_FLAG,
       [](World& w, NativeCall& c) {
         if (PedActivity* a = live_activity(w, c.i(0))) a->config_flags[c.i(1)] = c.b(2);
       },
       changes(Thing::entity)},
      {Native::SET_PED_FLEE_ATTRIBUTES,
       [](World& w, NativeCall& c) {
         if (PedActivity* a = live_activity(w, c.i(0))) {
           a->flee_attributes = c.b(2) ? a->flee_attributes | c.i(1) : a->flee_attributes & ~c.i(1);
         }
       },
       changes(Thing::entity)},
      {Native::SET_PED_RESET_FLAG,
       [](World& w, NativeCall& c) {
         if (PedActivity* a = live_activity(w, c.i(0))) a->reset_flags[c.i(1)] = c.b(2);
       },
       changes(Thing::entity)},
      {Native::TASK_START_SCENARIO_IN_PLACE_HASH, start_scenario_in_place, changes(Thing::entity)},
      {Native::TASK_LOOK_AT_ENTITY,
       [](World& w, NativeCall& c) {
         if (PedActivity* a = live_activity(w, c.i(0))) {
           a->look_target = c.i(1);
           a->look_ms = c.i(2);
         }
       },
       changes(Thing::entity)},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
