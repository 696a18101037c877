#pragma once
// What scripts draw on the screen besides text: rectangles and sprites of
// the latest frame, the objective and its log, the fade, the HUD and the
// on-screen keyboard.

#include <cstdint>
#include <string>
#include <vector>

#include "plugin_id.h"

namespace sim {

struct DrawnRect {
  float x = 0.0f, y = 0.0f, width = 0.0f, height = 0.0f;
  int colour[4] = {};  // red, green, blue, alpha
  PluginId by;         // who drew it

  bool operator==(const DrawnRect&) const = default;
};

struct DrawnSprite {
  std::string dictionary, name;
  float x = 0.0f, y = 0.0f, width = 0.0f, height = 0.0f, heading = 0.0f;
  int colour[4] = {};
  PluginId by;

  bool operator==(const DrawnSprite&) const = default;
};

struct Screen {
  // Drawn since the frame began: the game draws them for one frame only.
  std::vector<DrawnRect> rects;
  std::vector<DrawnSprite> sprites;
  uint64_t total_rects = 0;
  uint64_t total_sprites = 0;

  std::string cached_objective;  // set, waiting to be printed
  bool objective_shown = false;
  std::vector<std::string> objectives;  // printed, in order: the objective log
  std::vector<std::string> help_texts;  // posted to the feed

  // The fade: the screen goes from `fade_from` to `fade_to` (0 clear, 1
  // black) over the game time between the two stamps.
  float fade_from = 0.0f, fade_to = 0.0f;
  uint64_t fade_start_ms = 0, fade_end_ms = 0;
  float fade_at(uint64_t now_ms) const;

  bool radar = true;
  bool hud = true;
  bool hud_hidden_this_frame = false;

  // The on-screen keyboard: the stand-in's player takes its default text.
  int keyboard = 3;  // 0 editing, 1 done, 2 cancelled, 3 not shown
  std::string keyboard_text;

  void new_frame() {
    if (!rects.empty()) rects.clear();
    if (!sprites.empty()) sprites.clear();
    hud_hidden_this_frame = false;
    if (keyboard == 0) keyboard = 1;  // taken as offered, a frame after it opens
  }
};

}  // namespace sim
