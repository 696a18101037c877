// A plug-in that draws sprites at a heading: a cross of two bars of one
// texture at one place, turned 45 and -45 degrees, for its first 20 passes,
// then only the first bar.

#include <cstdint>

#include "entry.h"
#include "native_call.h"

namespace {

constexpr uint64_t draw_sprite = 0xC9884ECADE94CB34;

void bar(float heading) {
  invoke(draw_sprite, "generic_textures", "menu_bar", 0.5f, 0.5f, 0.2f, 0.04f, heading, 255, 255,
         255, 255, false);
}

void draw_cross() {
  for (int pass = 0;; ++pass) {
    bar(45.0f);
    if (pass < 20) bar(-45.0f);
    scriptWait(0);
  }
}

}  // namespace

void on_attach(HMODULE module) { scriptRegister(module, draw_cross); }

void on_detach(HMODULE module) { scriptUnregister(module); }
