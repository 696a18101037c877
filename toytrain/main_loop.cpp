#include "script_hook.h"
#include "plugin_entry.h"

void toy_train_main_loop() {
  for (;;) scriptWait(0);
}

void plugin_main_loop() { toy_train_main_loop(); }
