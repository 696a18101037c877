#pragma once
// Text drawn on the screen: the style the next text takes, and what was
// drawn in the latest frame.

#include <cstdint>
#include <string>
#include <vector>

#include "plugin_id.h"

namespace sim {

struct TextStyle {
  float scale_x = 1.0f;
  float scale_y = 1.0f;
  int colour[4] = {255, 255, 255, 255};  // red, green, blue, alpha
  bool centred = false;
  bool shadow = false;
};

struct DrawnText {
  std::string text;
  float x = 0.0f;
  float y = 0.0f;
  TextStyle style;
  PluginId by;  // who drew it
};

struct TextDrawing {
  // Set by the style natives, taken by the next text drawn, then the
  // game's defaults again.
  TextStyle next;
  // What was drawn since the frame began; the game draws a text for one
  // frame only, so a menu draws its lines every frame.
  std::vector<DrawnText> drawn;
  uint64_t total_drawn = 0;

  void new_frame() {
    if (!drawn.empty()) drawn.clear();
  }
  void draw(const char* text, float x, float y, PluginId by);
  const DrawnText* find(const std::string& text) const;  // drawn this frame, or null
};

}  // namespace sim
