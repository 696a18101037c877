// The screen beyond text: rectangles and sprites drawn each frame, the
// objective log, help texts in the feed, the fade, the HUD and radar, and
// the on-screen keyboard.

#include <algorithm>
#include <string>

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
  static const NativeRow rows[] = {
      {0x405224591DF02025, "DRAW_RECT", "ffffiiiibb", 'v', draw_rect},
      {0xC9884ECADE94CB34, "DRAW_SPRITE", "ssfffffiiiib", 'v', draw_sprite},

      // The objective: set, printed into the log, cleared
      {0xFA233F8FE190514C, "_UILOG_SET_CACHED_OBJECTIVE", "s", 'v',
       [](World& w, NativeCall& c) {
         w.screen.cached_objective = c.s(0);
         w.screen.objective_shown = false;
       }},
      {0xE9990552DEC71600, "_UILOG_PRINT_CACHED_OBJECTIVE", "", 'v',
       [](World& w, NativeCall&) {
         if (w.screen.cached_objective.empty()) return;
         w.screen.objectives.push_back(w.screen.cached_objective);
         w.screen.objective_shown = true;
       }},
      {0xDFF0D417277B41F8, "_UILOG_CLEAR_CACHED_OBJECTIVE", "", 'v',
       [](World& w, NativeCall&) { w.screen.cached_objective.clear(); }},
      {0xCC48FFBB45B54F71, "_UILOG_HAS_DISPLAYED_CACHED_OBJECTIVE", "", 'b',
       [](World& w, NativeCall& c) { c.ret_bool(w.screen.objective_shown); }},
      {0xA3108D6981A5CADB, "_UILOG_CLEAR_HAS_DISPLAYED_CACHED_OBJECTIVE", "", 'v',
       [](World& w, NativeCall&) { w.screen.objective_shown = false; }},
      {0x049D5C615BD38BAD, "_UI_FEED_POST_HELP_TEXT", "ppb", 'i', help_text},

      // The fade, over game time
      {0x6A053CF596F67DF7, "DO_SCREEN_FADE_IN", "i", 'v',
       [](World& w, NativeCall& c) { fade(w, 0.0f, c.i(0)); }},
      {0x40C719A5E410B9E4, "DO_SCREEN_FADE_OUT", "i", 'v',
       [](World& w, NativeCall& c) { fade(w, 1.0f, c.i(0)); }},
      {0xF5472C80DF2FF847, "IS_SCREEN_FADED_OUT", "", 'b',
       [](World& w, NativeCall& c) { c.ret_bool(w.screen.fade_at(w.elapsed_ms()) >= 1.0f); }},
      {0x37F9A426FBCF4AF2, "IS_SCREEN_FADED_IN", "", 'b',
       [](World& w, NativeCall& c) { c.ret_bool(w.screen.fade_at(w.elapsed_ms()) <= 0.0f); }},
      {0x02F39BEFE7B88D00, "IS_SCREEN_FADING_OUT", "", 'b',
       [](World& w, NativeCall& c) {
         c.ret_bool(w.screen.fade_to == 1.0f && w.elapsed_ms() < w.screen.fade_end_ms);
       }},
      {0x0CECCC63FFA2EF24, "IS_SCREEN_FADING_IN", "", 'b',
       [](World& w, NativeCall& c) {
         c.ret_bool(w.screen.fade_to == 0.0f && w.elapsed_ms() < w.screen.fade_end_ms);
       }},

      // The HUD and the radar
      {0x36CDD81627A6FCD2, "HIDE_HUD_AND_RADAR_THIS_FRAME", "", 'v',
       [](World& w, NativeCall&) { w.screen.hud_hidden_this_frame = true; }},
      {0x1B3DA717B9AFF828, "DISPLAY_RADAR", "b", 'v',
       [](World& w, NativeCall& c) { w.screen.radar = c.b(0); }},
      {0xD63FE3AF9FB3D53F, "DISPLAY_HUD", "b", 'v',
       [](World& w, NativeCall& c) { w.screen.hud = c.b(0); }},
      {0x1B82FD5FFA4D666E, "IS_RADAR_HIDDEN", "", 'b',
       [](World& w, NativeCall& c) {
         c.ret_bool(!w.screen.radar || w.screen.hud_hidden_this_frame);
       }},
      // The stand-in's game is never paused: it plays the scenario.
      {0x535384D6067BA42E, "IS_PAUSE_MENU_ACTIVE", "", 'b', [](World&, NativeCall&) {}},

      // The on-screen keyboard: the player takes the text offered a frame later
      {0x044131118D8DB3CD, "DISPLAY_ONSCREEN_KEYBOARD", "izzzzzzi", 'v', keyboard},
      {0x37DF360F235A3893, "UPDATE_ONSCREEN_KEYBOARD", "", 'i',
       [](World& w, NativeCall& c) { c.ret_int(w.screen.keyboard); }},
      {0xAFB4CF58A4A292B1, "GET_ONSCREEN_KEYBOARD_RESULT", "", 's',
       [](World& w, NativeCall& c) {
         if (w.screen.keyboard == 1) c.ret_text(w.keep_text(w.screen.keyboard_text.c_str()));
       }},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
