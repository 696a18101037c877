// Weapons: what each ped has, with its ammunition, and what it holds in
// hand. A ped holds the unarmed weapon until it is given one.

#include <algorithm>
#include <string>

#include "joaat.h"
#include "native_words.h"
#include "out_params.h"
#include "world.h"

namespace sim {

namespace {

uint32_t unarmed() {
  static const uint32_t hash = joaat(unarmed_weapon.data());
  return hash;
}

// The game's list of weapons decides, by hash, however the name was spelt.
bool valid_weapon(World& w, uint32_t weapon) {
  return weapon != 0 && w.has_content(ContentList::weapons, weapon);
}

bool is_gun(const World& w, uint32_t weapon) {
  const ContentItem* item = w.content.find(ContentList::weapons, weapon);
  if (item == nullptr) return false;
  for (const char* group : {"group_revolver", "group_pistol", "group_repeater", "group_rifle",
                            "group_shotgun", "group_sniper"}) {
    if (item->group == group) return true;
  }
  return false;
}

PedWeapons* armed_ped(World& w, int32_t ped) {
  const EntityState* e = w.live_entity(ped);
  if (e == nullptr || e->kind != EntityKind::ped) return nullptr;
  return &w.weapons.get(ped);
}

uint32_t current_of(World& w, int32_t ped) {
  const PedWeapons* p = w.weapons.find(ped);
  return p == nullptr || p->current == 0 ? unarmed() : p->current;
}

void give(World& w, int32_t ped, uint32_t weapon, int ammo, bool in_hand) {
  if (!valid_weapon(w, weapon)) return;
  PedWeapons* p = armed_ped(w, ped);
  if (p == nullptr) return;
  p->ammo[weapon] += std::max(0, ammo);
  if (in_hand || p->current == 0) p->current = weapon;
}

void give_weapon(World& w, NativeCall& c) {
  give(w, c.i(0), c.u(1), c.i(2), c.b(3));
  if (w.weapons.find(c.i(0)) != nullptr && valid_weapon(w, c.u(1))) c.ret_int(c.i(1));
}

void current_weapon(World& w, NativeCall& c) {
  auto* out = c.p<uint32_t>(1);
  const EntityState* e = w.live_entity(c.i(0));
  if (e == nullptr || e->kind != EntityKind::ped) {
    *out = 0;
    return;
  }
  *out = current_of(w, c.i(0));
  c.ret_bool(*out != unarmed());
}

void remove_weapon(World& w, NativeCall& c) {
  PedWeapons* p = armed_ped(w, c.i(0));
  if (p == nullptr) return;
  p->ammo.erase(c.u(1));
  p->clip.erase(c.u(1));
  if (p->current == c.u(1)) p->current = 0;
}

void has_weapon(World& w, NativeCall& c) {
  const PedWeapons* p = w.exists(c.i(0)) ? w.weapons.find(c.i(0)) : nullptr;
  c.ret_bool(c.u(1) == unarmed() ? w.exists(c.i(0)) : p != nullptr && p->ammo.count(c.u(1)) != 0);
}

void set_current(World& w, NativeCall& c) {
  PedWeapons* p = armed_ped(w, c.i(0));
  if (p == nullptr) return;
  if (c.u(1) == unarmed()) {
    p->current = 0;
  } else if (p->ammo.count(c.u(1)) != 0) {
    p->current = c.u(1);  // only a weapon it has
  }
}

// The best it has: a gun before anything else, else what it holds.
void best_weapon(World& w, NativeCall& c) {
  const PedWeapons* p = w.exists(c.i(0)) ? w.weapons.find(c.i(0)) : nullptr;
  if (!w.exists(c.i(0))) return;
  uint32_t best = unarmed();
  if (p != nullptr) {
    for (const auto& [weapon, ammo] : p->ammo) {
      if (is_gun(w, weapon) || best == unarmed()) best = weapon;
      if (is_gun(w, weapon)) break;
    }
  }
  c.ret_int(static_cast<int32_t>(best));
}

}  // namespace

const PedWeapons* Weapons::find(int32_t ped) const {
  const auto it = of.find(ped);
  return it == of.end() ? nullptr : &it->second;
}

NativeRows weapons_native_rows() {
  static const DomainRow rows[] = {
      {Native::GIVE_WEAPON_TO_PED, give_weapon, changes(Thing::entity)},
      {Native::GIVE_DELAYED_WEAPON_TO_PED,
       [](World& w, NativeCall& c) { give(w, c.i(0), c.u(1), c.i(2), c.b(3)); },
       changes(Thing::entity)},
      {Native::SET_CURRENT_PED_WEAPON, set_current, changes(Thing::entity)},
      {Native::GET_CURRENT_PED_WEAPON, current_weapon},
      {Native::GET_PED_CURRENT_HELD_WEAPON_,
       [](World& w, NativeCall& c) {
         if (w.exists(c.i(0))) c.ret_int(static_cast<int32_t>(current_of(w, c.i(0))));
       }},
      {Native::IS_PED_ARMED,
       [](World& w, NativeCall& c) {
         c.ret_bool(w.exists(c.i(0)) && current_of(w, c.i(0)) != unarmed());
       }},
      {Native::REMOVE_ALL_PED_WEAPONS,
       [](World& w, NativeCall& c) {
         if (PedWeapons* p = armed_ped(w, c.i(0))) *p = PedWeapons{};
       },
       changes(Thing::entity)},
      {Native::REMOVE_WEAPON_FROM_PED, remove_weapon, changes(Thing::entity)},
      {Native::HAS_PED_GOT_WEAPON, has_weapon},
      {Native::GET_BEST_PED_WEAPON, best_weapon},
      {Native::SET_PED_AMMO,
       [](World& w, NativeCall& c) {
         PedWeapons* p = armed_ped(w, c.i(0));
         if (p != nullptr && p->ammo.count(c.u(1)) != 0) p->ammo[c.u(1)] = std::max(0, c.i(2));
       },
       changes(Thing::entity)},
      {Native::GET_AMMO_IN_PED_WEAPON,
       [](World& w, NativeCall& c) {
         const PedWeapons* p = w.exists(c.i(0)) ? w.weapons.find(c.i(0)) : nullptr;
         if (p == nullptr) return;
         const auto it = p->ammo.find(c.u(1));
         if (it != p->ammo.end()) c.ret_int(it->second);
       }},
      {Native::SET_AMMO_IN_CLIP,
       [](World& w, NativeCall& c) {
         PedWeapons* p = armed_ped(w, c.i(0));
         if (p == nullptr || p->ammo.count(c.u(1)) == 0) return;
         p->clip[c.u(1)] = std::max(0, c.i(2));
         c.ret_bool(true);
       },
       changes(Thing::entity)},
      {Native::GET_AMMO_IN_CLIP,
       [](World& w, NativeCall& c) {
         auto* out = c.p<int32_t>(1);
         *out = 0;
         const PedWeapons* p = w.exists(c.i(0)) ? w.weapons.find(c.i(0)) : nullptr;
         if (p == nullptr || p->ammo.count(c.u(2)) == 0) return;
         const auto it = p->clip.find(c.u(2));
         *out = it != p->clip.end() ? it->second : 0;
         c.ret_bool(true);
       }},
      {Native::IS_WEAPON_VALID,
       [](World& w, NativeCall& c) { c.ret_bool(valid_weapon(w, c.u(0))); }},
      {Native::IS_WEAPON_A_GUN, [](World& w, NativeCall& c) { c.ret_bool(is_gun(w, c.u(0))); }},
      {Native::IS_PED_SHOOTING,
       [](World& w, NativeCall& c) {
         c.ret_bool(c.i(0) == w.player_ped() && w.exists(c.i(0)) && w.player.shooting &&
                    current_of(w, c.i(0)) != unarmed());
       }},
      // No shot of the stand-in's lands anywhere: no impact, its point zero.
      {Native::GET_PED_LAST_WEAPON_IMPACT_COORD,
       [](World&, NativeCall& c) { write_vector(c, 1, Vec{}); }},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
