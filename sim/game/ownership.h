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
#include <unordered_map>

#include "native_table.h"
#include "plugin_id.h"

namespace sim {

class World;

// Each native's row says what it makes, removes or changes (its Touch).
const char* thing_name(Thing t);

// How many live things of each kind a creator holds.
using Holdings = std::array<int, static_cast<size_t>(Thing::count)>;
int total(const Holdings& h);
std::string holdings_text(const Holdings& h);  // "entity 3, prompt 2"

class Ownership {
 public:
  // The plug-in a running script stands for, else the game.
  PluginId creator = {};
  void name_creator(PluginId creator, std::string name) { names_[creator] = std::move(name); }
  std::string name_of(PluginId creator) const;
  // Native calls made while a creator's script ran; the host adds each turn's.
  void count_calls(PluginId who, uint64_t calls) { calls_[who] += calls; }
  uint64_t calls_of(PluginId who) const;

  PluginId owner(Thing t, int32_t handle) const;
  PluginId target_owner(const std::string& name) const;
  void give(Thing t, int32_t handle, PluginId to) { owned_[index(t)][handle] = to; }
  void forget(Thing t, int32_t handle) { owned_[index(t)].erase(handle); }
  void give_target(const std::string& name, PluginId to) { targets_[name] = to; }

  // Also forgets what no longer lives, so a long run keeps its books small.
  // What a plug-in made over the run, and what of it lives, is the
  // journal's: its made and gone entries.
  Holdings holdings(World& w, PluginId creator);

  // Around each sound call of a native that touches a thing: the check
  // before its handler, the note of what it made after.
  void before(World& w, const NativeCall& call);
  void after(World& w, const NativeCall& call);

 private:
  static size_t index(Thing t) { return static_cast<size_t>(t); }
  bool live(World& w, Thing t, int32_t handle) const;
  bool seated_on_own_point(World& w, int32_t ped) const;
  void deleted(World& w, Thing t, int32_t handle);
  std::map<int32_t, PluginId> owned_[static_cast<size_t>(Thing::count)];
  std::map<std::string, PluginId> targets_;
  std::map<PluginId, std::string> names_;
  // Who deleted each thing last, by its serial: a handle the game gives
  // again names a new thing, which no one has deleted yet.
  std::unordered_map<uint64_t, PluginId> deleted_;
  std::map<PluginId, uint64_t> calls_;
};

}  // namespace sim
