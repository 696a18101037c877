// The player and his ped as plug-ins ask about them: who he is, whether he
// is playing, alive, on foot; his control, invincibility, the law's
// interest in him, what he aims at and what is unlocked for him.

#include <algorithm>
#include <cctype>
#include <map>
#include <string>

#include "native_words.h"
#include "world.h"

namespace sim {

namespace {

bool is_player(World& w, int32_t player) { return player == w.player_index(); }

void player_ped(World& w, NativeCall& c) {
  if (is_player(w, c.i(0))) c.ret_int(w.player_ped());
}

void dead_or_dying(World& w, NativeCall& c) {
  c.ret_bool(w.live_ped(c.i(0)) && is_dead(w, c.i(0)));
}

// A setter of the player's state, for the player only.
template <auto Field>
void set_player_flag(World& w, NativeCall& c) {
  if (is_player(w, c.i(0))) w.player.*Field = c.b(1);
}

template <auto Field>
void set_player_float(World& w, NativeCall& c) {
  if (is_player(w, c.i(0))) w.player.*Field = c.f(1);
}

// The stand-in's player aims at nothing: the game's answer then is no
// entity, written out.
void aiming_at(World&, NativeCall& c) { *c.p<int32_t>(1) = 0; }

void stamina_restored(World& w, int32_t ped) {
  if (w.live_ped(ped)) w.peds.get(ped).cores[1] = 100;
}

void unlock(const NativeCall& c, std::map<uint32_t, bool>& table) { table[c.u(0)] = c.b(1); }

}  // namespace

NativeRows player_native_rows() {
  static const DomainRow rows[] = {
      {Native::GET_PLAYER_PED, player_ped},
      {Native::GET_PLAYER_PED_SCRIPT_INDEX, player_ped},
      {Native::IS_PED_A_PLAYER,
       [](World& w, NativeCall& c) {
         c.ret_bool(c.i(0) != 0 && c.i(0) == w.player_ped() && w.exists(c.i(0)));
       }},
      {Native::IS_PED_DEAD_OR_DYING, dead_or_dying},
      {Native::IS_PED_FATALLY_INJURED, dead_or_dying},
      {Native::IS_PED_ON_FOOT,
       [](World& w, NativeCall& c) {
         c.ret_bool(w.live_ped(c.i(0)) && !is_dead(w, c.i(0)) &&
                    w.vehicles.seat_of(c.i(0)) == nullptr);
       }},
      {Native::IS_PLAYER_PLAYING,
       [](World& w, NativeCall& c) {
         c.ret_bool(is_player(w, c.i(0)) && w.exists(w.player_ped()) &&
                    !is_dead(w, w.player_ped()));
       }},
      {Native::PLAYER_ID, [](World& w, NativeCall& c) { c.ret_int(w.player_index()); }},
      {Native::IS_PLAYER_DEAD,
       [](World& w, NativeCall& c) {
         c.ret_bool(is_player(w, c.i(0)) && is_dead(w, w.player_ped()));
       }},
      {Native::GET_PLAYER_NAME,
       [](World& w, NativeCall& c) {
         if (is_player(w, c.i(0))) c.ret_text(w.player.name.c_str());
       }},
      {Native::SET_PLAYER_MODEL,
       [](World& w, NativeCall& c) {
         const ModelState& m = w.model(c.u(1));
         if (is_player(w, c.i(0)) && m.valid && m.loaded) w.replace_player_ped(c.u(1));
       }},
      {Native::IS_PED_MALE,
       [](World& w, NativeCall& c) {
         const EntityState* e = w.live_entity(c.i(0));
         if (e == nullptr || e->kind != EntityKind::ped) return;
         const std::string* name = w.name_of(e->model);
         // The game's female models say so in their names; the rest are male.
         std::string lower = name != nullptr ? *name : "";
         for (char& ch : lower)
           ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
         c.ret_bool(lower.find("_f_") == std::string::npos &&
                    lower.find("female") == std::string::npos);
       }},

      // Control and protection
      {Native::IS_PLAYER_CONTROL_ON,
       [](World& w, NativeCall& c) { c.ret_bool(is_player(w, c.i(0)) && w.player.control); }},
      {Native::SET_PLAYER_CONTROL, set_player_flag<&PlayerState::control>},
      {Native::SET_PLAYER_INVINCIBLE, set_player_flag<&PlayerState::invincible>},
      {Native::GET_PLAYER_INVINCIBLE,
       [](World& w, NativeCall& c) { c.ret_bool(is_player(w, c.i(0)) && w.player.invincible); }},
      {Native::SET_EVERYONE_IGNORE_PLAYER, set_player_flag<&PlayerState::ignored>},
      {Native::SET_PLAYER_WEAPON_DAMAGE_MODIFIER, set_player_float<&PlayerState::weapon_damage>},
      {Native::SET_PLAYER_MELEE_WEAPON_DAMAGE_MODIFIER,
       set_player_float<&PlayerState::melee_damage>},
      {Native::SET_PLAYER_HEALTH_RECHARGE_MULTIPLIER,
       set_player_float<&PlayerState::health_recharge>},
      {Native::SET_SUPER_JUMP_THIS_FRAME,
       [](World& w, NativeCall& c) {
         if (is_player(w, c.i(0))) w.player.super_jump_frame = w.frame();
       }},
      {Native::RESTORE_PLAYER_STAMINA,
       [](World& w, NativeCall& c) {
         if (is_player(w, c.i(0))) stamina_restored(w, w.player_ped());
       }},
      {Native::RESTORE_PED_STAMINA_, [](World& w, NativeCall& c) { stamina_restored(w, c.i(0)); },
       changes(Thing::entity)},

      // The law
      {Native::SET_BOUNTY,
       [](World& w, NativeCall& c) {
         if (is_player(w, c.i(0))) w.player.bounty = std::max(0, c.i(1));
       }},
      {Native::GET_BOUNTY,
       [](World& w, NativeCall& c) {
         if (is_player(w, c.i(0))) c.ret_int(w.player.bounty);
       }},
      {Native::SET_WANTED_SCORE,
       [](World& w, NativeCall& c) {
         if (is_player(w, c.i(0))) w.player.wanted_score = std::max(0, c.i(1));
       }},
      {Native::GET_WANTED_SCORE,
       [](World& w, NativeCall& c) {
         if (is_player(w, c.i(0))) c.ret_int(w.player.wanted_score);
       }},
      {Native::SET_BOUNTY_HUNTER_PURSUIT_CLEARED_,
       [](World& w, NativeCall&) { w.player.wanted_score = 0; }},
      {Native::SET_WANTED_LEVEL_MULTIPLIER,
       [](World& w, NativeCall& c) { w.player.wanted_multiplier = c.f(0); }},

      // Aiming and targeting: the stand-in's player aims at nothing
      {Native::IS_PLAYER_FREE_AIMING, [](World&, NativeCall&) {}},
      {Native::IS_PLAYER_FREE_AIMING_AT_ENTITY, [](World&, NativeCall&) {}},
      {Native::IS_PLAYER_TARGETTING_ANYTHING, [](World&, NativeCall&) {}},
      {Native::GET_ENTITY_PLAYER_IS_FREE_AIMING_AT, aiming_at},
      {Native::GET_PLAYER_TARGET_ENTITY, aiming_at},

      // The waypoint the player set on the map
      {Native::IS_WAYPOINT_ACTIVE, [](World& w, NativeCall& c) { c.ret_bool(w.player.waypoint); }},
      {Native::GET_WAYPOINT_COORDS_,
       [](World& w, NativeCall& c) {
         if (!w.player.waypoint) return;
         const float x = w.player.waypoint_x;
         const float y = w.player.waypoint_y;
         c.ret_vector(x, y, w.environment.ground_at(x, y));
       }},
      {Native::CLEAR_GPS_PLAYER_WAYPOINT, [](World& w, NativeCall&) { w.player.waypoint = false; }},

      // Unlocks
      {Native::UNLOCK_SET_UNLOCKED, [](World& w, NativeCall& c) { unlock(c, w.player.unlocked); }},
      {Native::UNLOCK_SET_VISIBLE,
       [](World& w, NativeCall& c) { unlock(c, w.player.unlock_visible); }},
      {Native::UNLOCK_IS_UNLOCKED,
       [](World& w, NativeCall& c) {
         const auto it = w.player.unlocked.find(c.u(0));
         c.ret_bool(it != w.player.unlocked.end() && it->second);
       }},
      {Native::UNLOCK_IS_VISIBLE,
       [](World& w, NativeCall& c) {
         const auto it = w.player.unlock_visible.find(c.u(0));
         c.ret_bool(it != w.player.unlock_visible.end() && it->second);
       }},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
