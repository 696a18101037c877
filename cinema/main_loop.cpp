#include "script_hook.h"
#include "plugin_entry.h"

void cinema_main_loop() {
  for (;;) scriptWait(0);
}

void plugin_main_loop() { cinema_main_loop(); }
