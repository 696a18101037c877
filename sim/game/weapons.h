#pragma once
// The weapons peds carry: what each holds in hand, and the ammunition of
// each weapon it has. A ped holds the unarmed weapon until given another.

#include <cstdint>
#include <map>

namespace sim {

struct PedWeapons {
  uint32_t current = 0;          // 0: unarmed
  std::map<uint32_t, int> ammo;  // the weapons it has, and their ammunition
  std::map<uint32_t, int> clip;  // what is loaded, of those it has
};

struct Weapons {
  std::map<int32_t, PedWeapons> of;  // by ped; none kept: unarmed

  PedWeapons& get(int32_t ped) { return of[ped]; }
  const PedWeapons* find(int32_t ped) const;
};

}  // namespace sim
