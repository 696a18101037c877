// The player and his ped as plug-ins ask about them: who he is, whether he
// is playing, alive, on foot; his control, invincibility, the law's
// interest in him, what he aims at and what is unlocked for him.

#include <algorithm>
#include <cctype>
#include <map>
#include <string>

#include "world.h"

namespace sim {

namespace {

bool is_player(World& w, int32_t player) { return player == w.player_index(); }

bool live_ped(World& w, int32_t handle) {
  const EntityState* e = w.live_entity(handle);
  return e != nullptr && e->kind == EntityKind::ped;
}

void player_ped(World& w, NativeCall& c) {
  if (is_player(w, c.i(0))) c.ret_int(w.player_ped());
}

void dead_or_dying(World& w, NativeCall& c) {
  c.ret_bool(live_ped(w, c.i(0)) && is_dead(w, c.i(0)));
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
  if (live_ped(w, ped)) w.peds.get(ped).cores[1] = 100;
}

void unlock(const NativeCall& c, std::map<uint32_t, bool>& table) { table[c.u(0)] = c.b(1); }

}  // namespace

NativeRows player_native_rows() {
  static const NativeRow rows[] = {
      {0x275F255ED201B937, "GET_PLAYER_PED", "i", 'i', player_ped},
      {0x5C880F9056D784C8, "GET_PLAYER_PED_SCRIPT_INDEX", "i", 'i', player_ped},
      {0x12534C348C6CB68B, "IS_PED_A_PLAYER", "i", 'b',
       [](World& w, NativeCall& c) {
         c.ret_bool(c.i(0) != 0 && c.i(0) == w.player_ped() && w.exists(c.i(0)));
       }},
      {0x3317DEDB88C95038, "IS_PED_DEAD_OR_DYING", "ib", 'b', dead_or_dying},
      {0xD839450756ED5A80, "IS_PED_FATALLY_INJURED", "i", 'b', dead_or_dying},
      {0x01FEE67DB37F59B2, "IS_PED_ON_FOOT", "i", 'b',
       [](World& w, NativeCall& c) {
         c.ret_bool(live_ped(w, c.i(0)) && !is_dead(w, c.i(0)) &&
                    w.vehicles.seat_of(c.i(0)) == nullptr);
       }},
      {0xBFFB35986CAAE58C, "IS_PLAYER_PLAYING", "i", 'b',
       [](World& w, NativeCall& c) {
         c.ret_bool(is_player(w, c.i(0)) && w.exists(w.player_ped()) &&
                    !is_dead(w, w.player_ped()));
       }},
      {0x217E9DC48139933D, "PLAYER_ID", "", 'i',
       [](World& w, NativeCall& c) { c.ret_int(w.player_index()); }},
      {0x2E9C3FCB6798F397, "IS_PLAYER_DEAD", "i", 'b',
       [](World& w, NativeCall& c) {
         c.ret_bool(is_player(w, c.i(0)) && is_dead(w, w.player_ped()));
       }},
      {0x7124FD9AC0E01BA0, "GET_PLAYER_NAME", "i", 's',
       [](World& w, NativeCall& c) {
         if (is_player(w, c.i(0))) c.ret_text(w.player.name.c_str());
       }},
      {0xED40380076A31506, "SET_PLAYER_MODEL", "iib", 'v',
       [](World& w, NativeCall& c) {
         const ModelState& m = w.model(c.u(1));
         if (is_player(w, c.i(0)) && m.valid && m.loaded) w.replace_player_ped(c.u(1));
       }},
      {0x6D9F5FAA7488BA46, "IS_PED_MALE", "i", 'b',
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
      {0x7964097FCE4C244B, "IS_PLAYER_CONTROL_ON", "i", 'b',
       [](World& w, NativeCall& c) { c.ret_bool(is_player(w, c.i(0)) && w.player.control); }},
      {0x4D51E59243281D80, "SET_PLAYER_CONTROL", "ibib", 'v',
       set_player_flag<&PlayerState::control>},
      {0xFEBEEBC9CBDF4B12, "SET_PLAYER_INVINCIBLE", "ib", 'v',
       set_player_flag<&PlayerState::invincible>},
      {0x0CBBCB2CCFA7DC4E, "GET_PLAYER_INVINCIBLE", "i", 'b',
       [](World& w, NativeCall& c) { c.ret_bool(is_player(w, c.i(0)) && w.player.invincible); }},
      {0x34630A768925B852, "SET_EVERYONE_IGNORE_PLAYER", "ib", 'v',
       set_player_flag<&PlayerState::ignored>},
      {0x94D529F7B73D7A85, "SET_PLAYER_WEAPON_DAMAGE_MODIFIER", "if", 'v',
       set_player_float<&PlayerState::weapon_damage>},
      {0xE4CB5A3F18170381, "SET_PLAYER_MELEE_WEAPON_DAMAGE_MODIFIER", "if", 'v',
       set_player_float<&PlayerState::melee_damage>},
      {0x8899C244EBCF70DE, "SET_PLAYER_HEALTH_RECHARGE_MULTIPLIER", "if", 'v',
       set_player_float<&PlayerState::health_recharge>},
      {0xB3E9BE963F10C445, "SET_SUPER_JUMP_THIS_FRAME", "i", 'v',
       [](World& w, NativeCall& c) {
         if (is_player(w, c.i(0))) w.player.super_jump_frame = w.frame();
       }},
      {0xC41F4B6E23FE6A4A, "RESTORE_PLAYER_STAMINA", "if", 'v',
       [](World& w, NativeCall& c) {
         if (is_player(w, c.i(0))) stamina_restored(w, w.player_ped());
       }},
      {0x675680D089BFA21F, "_RESTORE_PED_STAMINA", "if", 'v',
       [](World& w, NativeCall& c) { stamina_restored(w, c.i(0)); }, changes(Thing::entity)},

      // The law
      {0x093A9D1F72DF0D19, "SET_BOUNTY", "ii", 'v',
       [](World& w, NativeCall& c) {
         if (is_player(w, c.i(0))) w.player.bounty = std::max(0, c.i(1));
       }},
      {0x54310AAB97B92816, "GET_BOUNTY", "i", 'i',
       [](World& w, NativeCall& c) {
         if (is_player(w, c.i(0))) c.ret_int(w.player.bounty);
       }},
      {0xA80FF73F772ACF6A, "SET_WANTED_SCORE", "ii", 'v',
       [](World& w, NativeCall& c) {
         if (is_player(w, c.i(0))) w.player.wanted_score = std::max(0, c.i(1));
       }},
      {0xDD5FD601481F648B, "GET_WANTED_SCORE", "i", 'i',
       [](World& w, NativeCall& c) {
         if (is_player(w, c.i(0))) c.ret_int(w.player.wanted_score);
       }},
      {0x55F37F5F3F2475E1, "_SET_BOUNTY_HUNTER_PURSUIT_CLEARED", "", 'v',
       [](World& w, NativeCall&) { w.player.wanted_score = 0; }},
      {0xD7FA719CB54866C2, "SET_WANTED_LEVEL_MULTIPLIER", "f", 'v',
       [](World& w, NativeCall& c) { w.player.wanted_multiplier = c.f(0); }},

      // Aiming and targeting: the stand-in's player aims at nothing
      {0x936F967D4BE1CE9D, "IS_PLAYER_FREE_AIMING", "i", 'b', [](World&, NativeCall&) {}},
      {0x8C67C11C68713D25, "IS_PLAYER_FREE_AIMING_AT_ENTITY", "ii", 'b',
       [](World&, NativeCall&) {}},
      {0x4605C66E0F935F83, "IS_PLAYER_TARGETTING_ANYTHING", "i", 'b', [](World&, NativeCall&) {}},
      {0xA6817C110B830EAD, "GET_ENTITY_PLAYER_IS_FREE_AIMING_AT", "ih", 'b', aiming_at},
      {0xAE663DDD99C8A670, "GET_PLAYER_TARGET_ENTITY", "ih", 'b', aiming_at},

      // The waypoint the player set on the map
      {0x202B1BBFC6AB5EE4, "IS_WAYPOINT_ACTIVE", "", 'b',
       [](World& w, NativeCall& c) { c.ret_bool(w.player.waypoint); }},
      {0x29B30D07C3F7873B, "_GET_WAYPOINT_COORDS", "", 'V',
       [](World& w, NativeCall& c) {
         if (!w.player.waypoint) return;
         const float x = w.player.waypoint_x;
         const float y = w.player.waypoint_y;
         c.ret_vector(x, y, w.environment.ground_at(x, y));
       }},
      {0x08FDC6F796E350D1, "CLEAR_GPS_PLAYER_WAYPOINT", "", 'v',
       [](World& w, NativeCall&) { w.player.waypoint = false; }},

      // Unlocks
      {0x1B7C5ADA8A6910A0, "UNLOCK_SET_UNLOCKED", "ib", 'v',
       [](World& w, NativeCall& c) { unlock(c, w.player.unlocked); }},
      {0x46B901A8ECDB5A61, "UNLOCK_SET_VISIBLE", "ib", 'v',
       [](World& w, NativeCall& c) { unlock(c, w.player.unlock_visible); }},
      {0xC4B660C7B6040E75, "UNLOCK_IS_UNLOCKED", "i", 'b',
       [](World& w, NativeCall& c) {
         const auto it = w.player.unlocked.find(c.u(0));
         c.ret_bool(it != w.player.unlocked.end() && it->second);
       }},
      {0x8588A14B75AF096B, "UNLOCK_IS_VISIBLE", "i", 'b',
       [](World& w, NativeCall& c) {
         const auto it = w.player.unlock_visible.find(c.u(0));
         c.ret_bool(it != w.player.unlock_visible.end() && it->second);
       }},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
