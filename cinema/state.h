#pragma once
// Everything the cinema keeps from one pass of its main loop to the next.
// Handles keep their value after what they name is removed; existence is
// always asked of the game.

#include <cstdint>

#include "types.h"

// What an audience seat puts into the world besides its ped.
struct SeatProps {
  Object chair = 0;
  int32_t point = 0;
};

struct CinemaState {
  // Held from load.
  int32_t film_choice = -1;
  bool film_chosen = false;
  Vector3 taker_home{-3613.994f, -2642.941f, -12.496f};
  Vector3 seat_chair_pos{-3608.6892f, -2647.932f, -11.700739f};
  Ped ticket_taker = 0;
  Object screen = 0;
  Object money_prop = 0;
  Object seat_chair = 0;
  int32_t handover_scene = 0;
  int32_t entry_count = 0;
  bool was_inside = false;
  bool left_show_latched = false;
  bool farewell_due = false;
  bool channel_off_pending = false;
  int32_t left_at_ms = 0;

  // Given their first values by the main loop's set-up.
  const char* voice_name = nullptr;
  Prompt buy_prompt = 0;
  Prompt info_prompt = 0;
  Prompt sit_prompt = 0;
  Prompt leave_prompt = 0;
  Ped player_ped = 0;
  Blip post_blip = 0;
  int32_t seat_scenario = 0;
  Ped seat_occupant = 0;
  Ped audience[7] = {};
  SeatProps audience_props[7] = {};  // so that each visit's chairs and points are cleared away
  int32_t show_start_ms = 0;
  bool spawned = false;
  bool welcomed = false;
  bool farewell_said = false;
  bool film_pending = false;
  bool film_on = false;
};

// Game-timer milliseconds from `since` to `now`; the 32-bit timer wraps.
inline int32_t elapsed_ms(int32_t now, int32_t since) {
  return static_cast<int32_t>(static_cast<uint32_t>(now) - static_cast<uint32_t>(since));
}
