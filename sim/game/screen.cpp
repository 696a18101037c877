// The screen beyond text: rectangles and sprites drawn each frame, the
// objective log, help texts in the feed, the fade, the HUD and radar, and
// the on-screen keyboard.

#include <algorithm>
#include <string>

#include "native_words.h"
#include "world.h"

namespace sim {

namespace {

void draw_rect(World& w, NativeCall& c) {
  DrawnRect r{c.f(0), c.f(1), c.f(2), c.f(3), {c.i(4), c.i(5), c.i(6), c.i(7)}, w.journal.clock.by};
  w.screen.rects.push_back(r);
  ++w.screen.total_rects;
}

void draw_sprite(World& w, NativeCall& c) {
  DrawnSprite s{c.s(0),
                c.s(1),
                c.f(2),
                c.f(3),
                c.f(4),
                c.f(5),
                c.f(6),
                {c.i(7), c.i(8), c.i(9), c.i(10)},
                w.journal.clock.by};
  w.screen.sprites.push_back(std::move(s));
  ++w.screen.total_sprites;
}

// The help text's record: its duration first, then the text in the
// second slot of the other.
void help_text(World& w, NativeCall& c) {
  const auto* data = c.p<const uint64_t>(1);
  const char* text = reinterpret_cast<const char*>(static_cast<uintptr_t>(data[1]));
  if (text == nullptr) {
    w.violation("help text record: a null text");  // the game would read through it
    return;
  }
  w.screen.help_texts.emplace_back(text);
  c.ret_int(static_cast<int32_t>(w.screen.help_texts.size()));
}

void fade(World& w, float to, int duration_ms) {
  Screen& s = w.screen;
  s.fade_from = s.fade_at(w.elapsed_ms());
  s.fade_to = to;
  s.fade_start_ms = w.elapsed_ms();
  s.fade_end_ms = w.elapsed_ms() + static_cast<uint64_t>(std::max(0, duration_ms));
}

void keyboard(World& w, NativeCall& c) {
  w.screen.keyboard = 0;
  std::string text = c.args[3] != 0 ? c.s(3) : "";
  for (int n = 4; n <= 6; ++n) {
    if (c.args[n] != 0) text += c.s(n);
  }
  if (c.i(7) > 0 && text.size() > static_cast<size_t>(c.i(7)))
    text.resize(static_cast<size_t>(c.i(7)));
  w.screen.keyboard_text = std::move(text);
}

}  // namespace

float Screen::fade_at(uint64_t now_ms) const {
  if (now_ms >= fade_end_ms) return fade_to;
  if (now_ms <= fade_start_ms) return fade_from;
  const double k = static_cast<double>(now_ms - fade_start_ms) /
                   static_cast<double>(fade_end_ms - fade_start_ms);
  return static_cast<float>(fade_from + (fade_to - fade_from) * k);
}

NativeRows screen_native_rows() {
  static const DomainRow rows[] = {
      {Native::DRAW_RECT, draw_rect},
      {Native::DRAW_SPRITE, draw_sprite},

      // The objective: set, printed into the log, cleared
      {Native::UILOG_SET_CACHED_OBJECTIVE_,
       [](World& w, NativeCall& c) {
         w.screen.cached_objective = c.s(0);
         w.screen.objective_shown = false;
       }},
      {Native::UILOG_PRINT_CACHED_OBJECTIVE_,
       [](World& w, NativeCall&) {
         if (w.screen.cached_objective.empty()) return;
         w.screen.objectives.push_back(w.screen.cached_objective);
         w.screen.objective_shown = true;
       }},
      {Native::UILOG_CLEAR_CACHED_OBJECTIVE_,
       [](World& w, NativeCall&) { w.screen.cached_objective.clear(); }},
      {Native::UILOG_HAS_DISPLAYED_CACHED_OBJECTIVE_,
       [](World& w, NativeCall& c) { c.ret_bool(w.screen.objective_shown); }},
      {Native::UILOG_CLEAR_HAS_DISPLAYED_CACHED_OBJECTIVE_,
       [](World& w, NativeCall&) { w.screen.objective_shown = false; }},
      {Native::UI_FEED_POST_HELP_TEXT_, help_text},

      // The fade, over game time
      {Native::DO_SCREEN_FADE_IN, [](World& w, NativeCall& c) { fade(w, 0.0f, c.i(0)); }},
      {Native::DO_SCREEN_FADE_OUT, [](World& w, NativeCall& c) { fade(w, 1.0f, c.i(0)); }},
      {Native::IS_SCREEN_FADED_OUT,
       [](World& w, NativeCall& c) { c.ret_bool(w.screen.fade_at(w.elapsed_ms()) >= 1.0f); }},
      {Native::IS_SCREEN_FADED_IN,
       [](World& w, NativeCall& c) { c.ret_bool(w.screen.fade_at(w.elapsed_ms()) <= 0.0f); }},
      {Native::IS_SCREEN_FADING_OUT,
       [](World& w, NativeCall& c) {
         c.ret_bool(w.screen.fade_to == 1.0f && w.elapsed_ms() < w.screen.fade_end_ms);
       }},
      {Native::IS_SCREEN_FADING_IN,
       [](World& w, NativeCall& c) {
         c.ret_bool(w.screen.fade_to == 0.0f && w.elapsed_ms() < w.screen.fade_end_ms);
       }},

      // The HUD and the radar
      {Native::HIDE_HUD_AND_RADAR_THIS_FRAME,
       [](World& w, NativeCall&) { w.screen.hud_hidden_this_frame = true; }},
      {Native::DISPLAY_RADAR, [](World& w, NativeCall& c) { w.screen.radar = c.b(0); }},
      {Native::DISPLAY_HUD, [](World& w, NativeCall& c) { w.screen.hud = c.b(0); }},
      {Native::IS_RADAR_HIDDEN,
       [](World& w, NativeCall& c) {
         c.ret_bool(!w.screen.radar || w.screen.hud_hidden_this_frame);
       }},
      // The stand-in's game is never paused: it plays the scenario.
      {Native::IS_PAUSE_MENU_ACTIVE, [](World&, NativeCall&) {}},

      // The on-screen keyboard: the player takes the text offered a frame later
      {checked_as(Native::DISPLAY_ONSCREEN_KEYBOARD, "izzzzzzi"), keyboard},
      {Native::UPDATE_ONSCREEN_KEYBOARD,
       [](World& w, NativeCall& c) { c.ret_int(w.screen.keyboard); }},
      {Native::GET_ONSCREEN_KEYBOARD_RESULT,
       [](World& w, NativeCall& c) {
         if (w.screen.keyboard == 1) c.ret_text(w.keep_text(w.screen.keyboard_text.c_str()));
       }},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
