#include "screen.h"

#include <cstdint>

#include "entities.h"
#include "natives.h"

static const char* const target_name = cinema_site::render_target;
static const char* const screen_model = cinema_site::screen_model;
constexpr int32_t film_start_delay_ms = 15500;  // from the sale, strictly more

void create_screen(CinemaState& s) {
  const Vector3 at{cinema_site::screen.x, cinema_site::screen.y, cinema_site::screen.z};
  s.screen = spawn_object(get_hash_key(screen_model), &at);
  set_entity_alpha(s.screen, 165, true);
  set_entity_rotation(s.screen, 0.0f, 0.0f, -45.0f, 1, false);
  set_entity_visible(s.screen, false);  // until the first film
}

void attach_screen_audio(const CinemaState& s) { attach_tv_audio_to_entity(s.screen); }

void set_screen_level_by_hour(const CinemaState& s) {
  // Hours 6 to 19 as one unsigned test; any hour the game answers is safe.
  const uint32_t hour = static_cast<uint32_t>(get_clock_hours());
  const int level = hour - 6u <= 13u ? 220 : 165;
  set_entity_alpha(s.screen, level, true);
}

void release_screen_target() {
  if (is_named_rendertarget_registered(target_name)) release_named_rendertarget(target_name);
}

void end_of_film_step(CinemaState&, float d_home) {
  if (!is_tvshow_currently_playing(get_hash_key("END_OF_MOVIE_MARKER")) ||
      !(d_home < post_open_distance)) {
    return;
  }
  release_screen_target();
  set_tv_channel(-1);
}

void film_start_step(CinemaState& s) {
  if (!(elapsed_ms(get_game_timer(), s.show_start_ms) > film_start_delay_ms)) return;
  set_tv_channel(-1);
  set_tv_channel_playlist(1, cinema_site::films[s.film_choice == 0 ? 0 : 1].playlist, true);
  set_tv_channel(1);
  set_entity_visible(s.screen, true);
  set_tv_audio_frontend(false);
  attach_tv_audio_to_entity(s.screen);
  s.film_on = true;
  s.film_pending = false;
}

void render_target_step(CinemaState& s, float d_home) {
  if (!(d_home < post_open_distance)) return;
  const Hash model = get_hash_key(screen_model);
  bool ready = is_named_rendertarget_registered(target_name);
  if (!ready) {
    register_named_rendertarget(target_name, false);
    link_named_rendertarget(model);
    ready = is_named_rendertarget_linked(model);
  }
  if (ready) {
    set_text_render_id(get_named_rendertarget_render_id(target_name));
    if (s.film_on) draw_tv_channel(0.5f, 0.5f, 1.0f, 1.0f, 0.0f, 255, 255, 255, 155);
  } else {
    release_screen_target();  // tried again next pass
  }
}
