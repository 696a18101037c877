// The player and his ped as plug-ins ask about them: who he is, whether he
// is playing, alive, on foot. The stand-in's player walks: he is never on a
// mount or in a vehicle.

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
      {0x997ABD671D25CA0B, "IS_PED_IN_ANY_VEHICLE", "ib", 'b', [](World&, NativeCall&) {}},
      {0x01FEE67DB37F59B2, "IS_PED_ON_FOOT", "i", 'b',
       [](World& w, NativeCall& c) { c.ret_bool(live_ped(w, c.i(0)) && !is_dead(w, c.i(0))); }},
      {0x460BC76A0E10655E, "IS_PED_ON_MOUNT", "i", 'b', [](World&, NativeCall&) {}},
      {0x826AA586EDB9FEF8, "IS_PED_SITTING_IN_ANY_VEHICLE", "i", 'b', [](World&, NativeCall&) {}},
      {0xBFFB35986CAAE58C, "IS_PLAYER_PLAYING", "i", 'b',
       [](World& w, NativeCall& c) {
         c.ret_bool(is_player(w, c.i(0)) && w.exists(w.player_ped()) &&
                    !is_dead(w, w.player_ped()));
       }},
      {0x217E9DC48139933D, "PLAYER_ID", "", 'i',
       [](World& w, NativeCall& c) { c.ret_int(w.player_index()); }},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
