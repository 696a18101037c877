// A session timer with a thread of its own: the additional thread counts
// the seconds of play, waking once a second, and the main script draws the
// time on screen every frame.

#include <cstdio>

#include "entry.h"
#include "old_text.h"

namespace {

// Written only by the counting thread, read only by the main script; the
// host runs the two one after the other on the game's thread.
int seconds_played = 0;

void count_seconds() {
  for (;;) {
    scriptWait(1000);
    ++seconds_played;
  }
}

void draw_time() {
  for (;;) {
    char text[32];
    std::snprintf(text, sizeof text, "Played %d:%02d", seconds_played / 60, seconds_played % 60);
    set_text_scale(0.0f, 0.3f);
    set_text_color(200, 200, 200, 255);
    display_text(text, 0.9f, 0.05f);
    scriptWait(0);
  }
}

}  // namespace

void on_attach(HMODULE module) {
  scriptRegister(module, draw_time);
  scriptRegisterAdditionalThread(module, count_seconds);
}

void on_detach(HMODULE module) {
  // The older form, by entry, for the thread; then whatever is left of the module.
  scriptUnregister(count_seconds);
  scriptUnregister(module);
}
