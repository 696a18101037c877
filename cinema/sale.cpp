#include "sale.h"

#include <cstdint>
#include <cstdio>

#include "counter.h"
#include "natives.h"
#include "prompts.h"
#include "script_hook.h"
#include "speech.h"
#include "venue.h"

static const char* const handover_dictionary =
    "script_common@handover@generic@player_handover@money";
static const char* const handover_clip = "handover_money_male";
static const char* const feed_textures = "ITEMTYPE_TEXTURES";

void ticket_sale_step(CinemaState& s, const Vector3& seat_offset) {
  if (!ui_prompt_has_standard_mode_completed(s.buy_prompt, 0)) return;
  set_prompt_on(s.info_prompt, false);
  set_prompt_on(s.buy_prompt, false);
  set_prompt_on(s.sit_prompt, true);
  s.entry_count = 0;
  if (!does_scenario_point_exist(s.seat_scenario)) {
    s.seat_scenario = create_seat_scenario(s.seat_chair, get_hash_key("PROP_HUMAN_SEAT_CHAIR"),
                                           seat_offset.x, seat_offset.y, seat_offset.z);
  }
  blip_add_modifier(s.post_blip, get_hash_key(cinema_site::unavailable_modifier));
  s.show_start_ms = get_game_timer();
  s.film_pending = true;
}

void handover_start_step(CinemaState& s) {
  if (!ui_prompt_has_standard_mode_completed(s.buy_prompt, 0)) return;
  setup_handover_scene(s);
  request_anim_scene_play_list(s.handover_scene, "pb_handover");
  set_anim_scene_play_list(s.handover_scene, "pb_handover", true);
  task_enter_anim_scene(player_ped_id(), s.handover_scene, "player", "pb_handover", 1.0f, true, 2,
                        20000, -1.0f);
}

bool taker_playing_handover(const CinemaState& s) {
  return is_entity_playing_anim(s.ticket_taker, handover_dictionary, handover_clip, 1);
}

static float handover_progress(const CinemaState& s) {
  return get_entity_anim_current_time(s.ticket_taker, handover_dictionary, handover_clip);
}

// Both bounds exclusive; the clip is asked anew for each of them.
static bool in_window(const CinemaState& s, double low, double high) {
  return taker_playing_handover(s) && handover_progress(s) > low && handover_progress(s) < high;
}

static void take_payment(CinemaState& s) {
  money_decrement_cash_balance(ticket_price);
  // The game's text lives only until its next text, and the wait below may
  // outlast it; a failed call gives an empty line rather than no address.
  char text[128] = "";
  if (const char* spend = var_string(2, "FEED_MONEY_SPEND", ticket_price)) {
    std::snprintf(text, sizeof text, "%s", spend);
  }
  FeedRecord duration{};
  duration.slot[0] = 1000;
  FeedRecord feed{};
  feed.slot[1] = text_slot(text);
  feed.slot[2] = text_slot(feed_textures);
  feed.slot[3] = get_hash_key("ITEMTYPE_CASH");
  feed.slot[5] = get_hash_key("COLOR_RED");
  if (does_streamed_texture_dict_exist(feed_textures)) {
    request_streamed_texture_dict(feed_textures, false);
    while (!has_streamed_texture_dict_loaded(feed_textures)) scriptWait(0);
    ui_feed_post_sample_toast_right(&duration, &feed, true);
    set_streamed_texture_dict_as_no_longer_needed(feed_textures);
  }
  delete_entity(&s.money_prop);  // so the window pays once
}

void handover_progress_step(CinemaState& s) {
  if (in_window(s, 0.1, 0.11)) {
    player_say_line(cinema_site::ticket_line);
    task_look_at_entity(s.player_ped, s.ticket_taker, 4500, 0, 2048, 3);
  }
  if (in_window(s, 0.35, 0.36)) say_line(s, s.ticket_taker, cinema_site::enjoy_line);
  if (in_window(s, 0.65, 0.66) && does_entity_exist(s.money_prop)) take_payment(s);
}

void film_information_step(CinemaState& s) {
  if (!ui_prompt_has_standard_mode_completed(s.info_prompt, 0)) return;
  set_prompt_on(s.info_prompt, false);
  player_say_line(cinema_site::whats_playing_line);
  while (is_any_speech_playing(s.player_ped)) scriptWait(0);
  taker_looks_at_player(s);
  say_line(s, s.ticket_taker, cinema_site::films[s.film_choice == 0 ? 0 : 1].line);
}
