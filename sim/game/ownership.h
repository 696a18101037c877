#pragma once
// Who made what. The host names the plug-in whose script is running; every
// entity, prompt, blip, scenario point, looped effect, anim scene and
// render-target registration made while it runs belongs to it. The player's
// ped and whatever the world makes itself belong to the game.
//
// The rule: a plug-in may read anything, and may delete or change only what
// it made. Its sanctioned exception is the player's current ped, which it may
// place, seat, task and turn (never delete); and a stranger sitting on a seat
// the plug-in made, whom it may remove to keep its seat free. Acting on a handle that names
// nothing live does nothing and is no violation; acting on a live thing made
// by the game or another plug-in is one. So is a stale handle the game has
// since given to someone else.

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "native_table.h"

namespace sim {

class World;

enum class Thing { entity, prompt, blip, point, effect, scene, target, count };
const char* thing_name(Thing t);

enum class Act { make, remove, change };

// What a native makes, removes or changes, and which argument names it; the
// table of them is in ownership.cpp.
struct OwnershipRule {
  const char* native;
  Thing thing;
  Act act;
  int arg;                  // which argument names the thing
  bool by_address = false;  // the argument is the address of the handle
};

// How many live things of each kind a creator holds.
using Holdings = std::array<int, static_cast<size_t>(Thing::count)>;
int total(const Holdings& h);
std::string holdings_text(const Holdings& h);  // "entity 3, prompt 2"

class Ownership {
 public:
  // The creator a running script stands for; null is the game.
  const void* creator = nullptr;
  void name_creator(const void* creator, std::string name) { names_[creator] = std::move(name); }
  std::string name_of(const void* creator) const;

  const void* owner(Thing t, int32_t handle) const;
  const void* target_owner(const std::string& name) const;
  void give(Thing t, int32_t handle, const void* to) { owned_[index(t)][handle] = to; }
  void forget(Thing t, int32_t handle) { owned_[index(t)].erase(handle); }
  void give_target(const std::string& name, const void* to) { targets_[name] = to; }

  // Also forgets what no longer lives, so a long run keeps its books small.
  Holdings holdings(World& w, const void* creator);

  Ownership();

  // The rule of a simulated native's row; null for one that only reads, as
  // most do, so the check costs them one look into a table.
  const OwnershipRule* rule_of(const NativeRow* row) const {
    return by_row_[static_cast<size_t>(row - first_row_)];
  }
  // Around each sound call with a rule: the check before its handler, the
  // note of what it made after.
  void before(World& w, const NativeCall& call, const OwnershipRule& r);
  void after(World& w, const NativeCall& call, const OwnershipRule& r);

 private:
  const NativeRow* first_row_;
  std::vector<const OwnershipRule*> by_row_;  // by place in the native table
  static size_t index(Thing t) { return static_cast<size_t>(t); }
  bool live(World& w, Thing t, int32_t handle) const;
  bool seated_on_own_point(World& w, int32_t ped) const;
  std::map<int32_t, const void*> owned_[static_cast<size_t>(Thing::count)];
  std::map<std::string, const void*> targets_;
  std::map<const void*, std::string> names_;
};

}  // namespace sim
