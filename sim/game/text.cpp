// Text drawn on the screen, and the natives that style and draw it.

#include "native_words.h"
#include "world.h"

namespace sim {

void TextDrawing::draw(const char* text, float x, float y, PluginId by) {
  drawn.push_back({text, x, y, next, by});
  ++total_drawn;
  next = TextStyle{};
}

const DrawnText* TextDrawing::find(const std::string& text) const {
  for (const DrawnText& d : drawn) {
    if (d.text == text) return &d;
  }
  return nullptr;
}

NativeRows text_native_rows() {
  static const DomainRow rows[] = {
      {Native::BG_DISPLAY_TEXT_,
       [](World& w, NativeCall& c) { w.text.draw(c.s(0), c.f(1), c.f(2), w.journal.clock.by); }},
      {Native::BG_SET_TEXT_COLOR_,
       [](World& w, NativeCall& c) {
         for (int n = 0; n < 4; ++n) w.text.next.colour[n] = c.i(n);
       }},
      {Native::BG_SET_TEXT_SCALE_,
       [](World& w, NativeCall& c) {
         w.text.next.scale_x = c.f(0);
         w.text.next.scale_y = c.f(1);
       }},
  };
  return {rows, std::size(rows)};
}

}  // namespace sim
