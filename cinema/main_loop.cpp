// The cinema's life: a set-up, then one pass per frame that keeps the ticket
// taker's post, follows the player's visits to the theater, and runs the
// show's steps at their places.

#include "main_loop.h"

#include <cstdlib>
#include <initializer_list>

#include "counter.h"
#include "entities.h"
#include "measures.h"
#include "natives.h"
#include "plugin_entry.h"
#include "prompts.h"
#include "sale.h"
#include "screen.h"
#include "script_hook.h"
#include "seating.h"
#include "speech.h"
#include "state.h"
#include "venue.h"

static CinemaState cinema;

constexpr float greeting_distance = 6.5f;       // from the taker
constexpr float farewell_distance = 4.5f;       // from the taker
constexpr int32_t channel_off_delay_ms = 5000;  // after the player walks out
constexpr uint32_t audience_pause_ms = 2000;    // after the first and the fifth seat

static const char* draw_voice() {
  const int r = get_random_int_in_range(0, 100);
  if (r <= 25) return cinema_site::taker_voices[0];
  if (r <= 50) return cinema_site::taker_voices[1];
  return cinema_site::taker_voices[2];
}

// A text the game hands out, or an empty one when the call failed.
static const char* text_or_empty(const char* text) { return text != nullptr ? text : ""; }

Vector3 cinema_set_up(CinemaState& s) {
  s.voice_name = draw_voice();
  s.buy_prompt = create_buy_prompt();
  const char* info_label = text_or_empty(get_string_from_hash_key(get_hash_key("SHOW_GET_INFO")));
  s.info_prompt = create_labelled_prompt(info_label, get_hash_key("INPUT_CONTEXT_B"), press_mode);
  s.sit_prompt = create_sit_prompt();
  s.leave_prompt =
      create_labelled_prompt(cinema_site::leave_label, get_hash_key("INPUT_CONTEXT_B"), press_mode);
  create_screen(s);
  create_player_chair(s);
  s.player_ped = player_ped_id();
  for (Ped& ped : s.audience) ped = 0;
  s.film_on = false;
  place_seat_prompts(s);
  attach_screen_audio(s);
  const Vector3 seat_offset = compute_seat_offset(s);
  s.welcomed = false;
  s.farewell_said = false;
  s.film_pending = false;
  s.spawned = false;
  s.post_blip = 0;
  s.seat_occupant = 0;
  s.seat_scenario = 0;
  s.show_start_ms = 0;
  return seat_offset;
}

static void start_idle_scenario(Ped taker) {
  task_start_scenario_in_place_hash(taker, get_hash_key("WORLD_HUMAN_STARE_STOIC"), -1, true, 1,
                                    1.0f, false);
}

static void spawn_post(CinemaState& s) {
  const Hash blip_style = get_hash_key("BLIP_STYLE_SHOP");
  s.post_blip = blip_add_for_coords(blip_style, s.taker_home.x, s.taker_home.y, s.taker_home.z);
  set_blip_sprite(s.post_blip, get_hash_key("blip_ambient_theatre"), true);
  set_blip_scale(s.post_blip, 0.1f);
  set_blip_name_from_text_file(s.post_blip, "blip_ambient_theatre");
  s.farewell_said = false;
  s.left_show_latched = false;

  s.ticket_taker = spawn_ped(get_hash_key(cinema_site::taker_model), s.taker_home.x, s.taker_home.y,
                             s.taker_home.z);
  const Ped taker = s.ticket_taker;
  set_ambient_voice_name(taker, "MALE_SILENT_PVG");
  const char* name =
      text_or_empty(get_string_from_hash_key(get_hash_key("DISCOVERABLE_NAME_TICKET_TAKER")));
  register_interaction_lockon_prompt(taker, name, 5.0f, 5.0f, 1, 0.0f, 0.0f, 0, true, -1);
  dress_at_random(taker);
  name = text_or_empty(get_string_from_hash_key(get_hash_key("DISCOVERABLE_NAME_TICKET_TAKER")));
  set_ped_prompt_name(taker, name);
  set_ped_reset_flag(taker, 49, true);
  set_facial_idle_anim_override(taker, "mood_happy", nullptr);
  s.voice_name = draw_voice();
  s.entry_count = 0;
  s.farewell_due = false;
  set_scenario_point_active(s.seat_scenario, true);
  set_entity_as_mission_entity(taker, true, true);
  start_idle_scenario(taker);

  ui_prompt_set_group(s.buy_prompt, ui_prompt_get_group_id_for_target_entity(taker), 0);
  ui_prompt_set_group(s.info_prompt, ui_prompt_get_group_id_for_target_entity(taker), 0);
  for (const Prompt prompt : {s.info_prompt, s.buy_prompt}) {
    ui_prompt_set_visible(prompt, true);
    ui_prompt_set_enabled(prompt, true);
  }
  blip_remove_modifier(s.post_blip, get_hash_key(cinema_site::locked_modifier));
  s.spawned = true;
  s.welcomed = false;

  for (int seat = 0; seat < audience_size; ++seat) {
    s.audience[seat] = spawn_audience_seat(audience_seats[seat], s.audience_props[seat]);
    if (seat == 0 || seat == 4) scriptWait(audience_pause_ms);
  }
  for (const Ped ped : s.audience) set_ped_config_flag(ped, 301, true);
  for (const Ped ped : s.audience) {
    set_ped_config_flag(ped, 44, true);
    set_ped_flee_attributes(ped, 32768, true);
  }
  set_script_gfx_draw_behind_pausemenu(true);
}

static void despawn_post(CinemaState& s) {
  remove_blip(&s.post_blip);
  set_scenario_point_active(s.seat_scenario, false);
  set_tv_channel(-1);
  release_screen_target();
  if (does_scenario_point_exist(s.seat_scenario)) {
    delete_scenario_point(s.seat_scenario);
    set_prompt_on(s.sit_prompt, false);
  }
  if (does_entity_exist(s.ticket_taker)) {
    set_script_gfx_draw_behind_pausemenu(false);
    delete_ped(&s.ticket_taker);
  }
  // Also when the game has already taken the taker away: the audience would
  // otherwise stay in the world for good.
  for (Ped& ped : s.audience) delete_ped(&ped);
  for (SeatProps& props : s.audience_props) remove_seat_props(props);
  s.spawned = false;
}

void cinema_pass(CinemaState& s, const Vector3& seat_offset) {
  s.seat_occupant = get_ped_using_scenario_point(s.seat_scenario);
  const Ped current_player = player_ped_id();
  const Vector3 player_at = get_entity_coords(current_player, true, false);
  const float d_home = distance_between(player_at, s.taker_home);
  const Vector3 taker_at = get_entity_coords(s.ticket_taker, true, false);
  const float d_taker = distance_between(player_at, taker_at);

  // The game may have given the player a new ped since set-up; that one is
  // never taken for a stranger on the seat.
  if (s.seat_occupant != s.player_ped && s.seat_occupant != current_player) {
    delete_entity(&s.seat_occupant);
  }

  set_screen_level_by_hour(s);

  if (!(d_taker >= greeting_distance) && !s.welcomed) {
    taker_looks_at_player(s);
    say_line(s, s.ticket_taker, cinema_site::welcome_line);
    s.welcomed = true;
  }

  if (d_home > post_close_distance && s.spawned) {
    despawn_post(s);
  } else if (d_home < post_open_distance && !s.spawned) {
    spawn_post(s);
  }

  for (const Ped ped : s.audience) hush_audience_member(ped);

  if (!s.film_chosen) {
    s.film_choice = rand() % 2;
    s.film_chosen = true;
  }

  if (d_home < post_open_distance) end_of_film_step(s, d_home);
  ticket_sale_step(s, seat_offset);
  if (s.film_pending) film_start_step(s);
  if (d_home < post_open_distance) render_target_step(s, d_home);
  sit_step(s);
  leave_step(s);
  film_information_step(s);

  if (get_tv_channel() != -1) {
    const bool inside = player_in_theater();
    if (!inside && s.entry_count != 0 && !s.left_show_latched) {
      s.left_show_latched = true;
      s.farewell_due = true;
      s.channel_off_pending = true;
      s.left_at_ms = get_game_timer();
    }
  }

  if (s.channel_off_pending && elapsed_ms(get_game_timer(), s.left_at_ms) > channel_off_delay_ms) {
    set_tv_channel(-1);
    s.channel_off_pending = false;
  }

  const bool inside = player_in_theater();
  if (inside && !s.was_inside) ++s.entry_count;
  s.was_inside = inside;

  if (!(d_taker >= farewell_distance) && !s.farewell_said && s.farewell_due) {
    taker_looks_at_player(s);
    say_line(s, s.ticket_taker, cinema_site::farewell_line);
    s.farewell_said = true;
  }

  handover_start_step(s);
  handover_progress_step(s);

  const Ped taker = s.ticket_taker;
  if (!taker_playing_handover(s) && !is_ped_using_any_scenario(taker) && !is_entity_dead(taker) &&
      !is_ped_fleeing(taker)) {
    start_idle_scenario(taker);
  }
  if (is_entity_dead(taker) || is_ped_fleeing(taker)) {
    set_prompt_on(s.buy_prompt, false);
    set_prompt_on(s.info_prompt, false);
    blip_add_modifier(s.post_blip, get_hash_key(cinema_site::locked_modifier));
  }
}

void cinema_main_loop() {
  const Vector3 seat_offset = cinema_set_up(cinema);
  for (;;) {
    cinema_pass(cinema, seat_offset);
    scriptWait(0);
  }
}

void plugin_main_loop() { cinema_main_loop(); }
