// A session timer with a thread of its own: the additional thread counts
// the seconds of play, waking once a second, and the main script draws the
// time on screen every frame, with the seconds since its load by each of the
// system's clocks, as overlays time themselves.

#include <cstdio>

#include "entry.h"
#include "old_text.h"

#if defined(_WIN32)
#include <mmsystem.h>  // timeGetTime, once windows.h is in
#endif

namespace {

// Written only by the counting thread, read only by the main script; the
// host runs the two one after the other on the game's thread.
int seconds_played = 0;

// The system's clocks when the plug-in was loaded.
struct Clocks {
  uint32_t tick = 0;
  uint64_t tick64 = 0;
  uint32_t time = 0;
  int64_t count = 0;
};
Clocks loaded;

Clocks read_clocks() {
  LARGE_INTEGER count;
  QueryPerformanceCounter(&count);
  return {GetTickCount(), GetTickCount64(), timeGetTime(), count.QuadPart};
}

void draw_clocks() {
  const Clocks now = read_clocks();
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  char text[96];
  std::snprintf(text, sizeof text, "Since load %u %llu %u %lld s", (now.tick - loaded.tick) / 1000,
                static_cast<unsigned long long>((now.tick64 - loaded.tick64) / 1000),
                (now.time - loaded.time) / 1000,
                static_cast<long long>((now.count - loaded.count) / frequency.QuadPart));
  set_text_scale(0.0f, 0.3f);
  display_text(text, 0.9f, 0.08f);
}

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
    draw_clocks();
    scriptWait(0);
  }
}

}  // namespace

void on_attach(HMODULE module) {
  loaded = read_clocks();
  scriptRegister(module, draw_time);
  scriptRegisterAdditionalThread(module, count_seconds);
}

void on_detach(HMODULE module) {
  // The older form, by entry, for the thread; then whatever is left of the module.
  scriptUnregister(count_seconds);
  scriptUnregister(module);
}
