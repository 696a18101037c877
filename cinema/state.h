#pragma once
// Everything the cinema keeps from one pass of its main loop to the next.
// Handles keep their value after what they name is removed; existence is
// always asked of the game.

#include <cstdint>

#include "measures.h"
#include "site.h"
#include "types.h"

// What an audience seat puts into the world besides its ped.
struct SeatProps {
  Object chair = 0;   // the seat's anchor chair; removed at despawn
  int32_t point = 0;  // the scenario point on it; deleted at despawn
};

constexpr int audience_size = 7;

// How far the player is from `taker_home` when the post opens and closes.
constexpr float post_open_distance = cinema_site::open_distance;
constexpr float post_close_distance = cinema_site::close_distance;

struct CinemaState {
  // Held from load.
  int32_t film_choice = -1;  // 0 or 1: the film of the run; drawn on the first pass, then fixed
  bool film_chosen = false;  // film_choice has been drawn; never cleared
  Vector3 taker_home{cinema_site::post.x, cinema_site::post.y,
                     cinema_site::post.z};  // the post; never written
  Vector3 seat_chair_pos{cinema_site::seat.x, cinema_site::seat.y,
                         cinema_site::seat.z};  // player's chair, Sit/Leave point
  Ped ticket_taker = 0;                         // made by the spawn, deleted by the despawn
  Object screen = 0;                            // the film screen; made at set-up, never removed
  Object money_prop = 0;           // made by the hand-over set-up, deleted at payment or next sale
  Object seat_chair = 0;           // the player's chair; made at set-up, never removed
  int32_t handover_scene = 0;      // made by the hand-over set-up, released by the next one
  int32_t entry_count = 0;         // entries into the theater; +1 per entry, 0 at spawn and sale
  bool was_inside = false;         // the player was in the theater at the last pass
  bool left_show_latched = false;  // the player walked out after an entry; cleared by spawn
  bool farewell_due = false;       // set with left_show_latched: the farewell is armed
  bool channel_off_pending = false;  // set with left_show_latched; cleared at the channel-off
  int32_t left_at_ms = 0;  // game time of that walk-out; the channel goes off 5000 ms later

  // Given their first values by the main loop's set-up.
  const char* voice_name = nullptr;  // the taker's voice; drawn at set-up and at each spawn
  Prompt buy_prompt = 0;             // "Buy Ticket (price)"; on at set-up and spawn, off at sale
  Prompt info_prompt = 0;            // what is playing; on at spawn, off at sale or once asked
  Prompt sit_prompt = 0;             // "Sit"; on at sale and Leave, off at Sit and despawn
  Prompt leave_prompt = 0;           // "Leave"; on at Sit, off at Leave
  Ped player_ped = 0;                // the player's ped as read at set-up
  Blip post_blip = 0;                // the theater's blip; added by spawn, removed by despawn
  int32_t seat_scenario = 0;  // point on the player's chair; made at a sale, deleted by despawn
  Ped seat_occupant = 0;      // who uses seat_scenario, read each pass; a stranger is removed
  Ped audience[audience_size] = {};  // the seated audience; made by spawn, deleted by despawn
  SeatProps audience_props[audience_size] = {};  // each visit's chairs and points, cleared away
  int32_t show_start_ms = 0;  // game time of the last sale; the film starts 15500 ms later
  bool spawned = false;       // the post (blip, taker, audience) exists: spawn sets, despawn clears
  bool welcomed = false;      // "WELCOME" said since the spawn
  bool farewell_said = false;  // "FAREWELL_DURING_SHOW" said since the spawn
  bool film_pending = false;   // a ticket is sold and the film waits; sale sets, film start clears
  bool film_on = false;        // a film has started; drawing goes on from then; never cleared
};
