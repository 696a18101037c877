#include "plugin_entry.h"

#include <cstdlib>

#include "platform.h"

KeyRecord key_table[key_table_size];

void script_entry() {
  srand(tick_count());
  plugin_main_loop();
}

void key_callback(DWORD key, WORD /*repeat_count*/, BYTE /*scan_code*/, BOOL /*is_extended*/,
                  BOOL alt_down, BOOL was_down, BOOL is_up) {
  if (key >= static_cast<DWORD>(key_table_size)) return;
  KeyRecord& record = key_table[key];
  record.tick = tick_count();
  record.alt_down = alt_down;
  record.was_down = was_down;
  record.is_up = is_up;
}

BOOL plugin_load_handler(HMODULE module, DWORD reason, void* /*reserved*/) {
  switch (reason) {
    case load_reason_process_attach:
      scriptRegister(module, script_entry);
      keyboardHandlerRegister(key_callback);
      break;
    case load_reason_process_detach:
      scriptUnregister(module);
      keyboardHandlerUnregister(key_callback);
      break;
    default:
      break;
  }
  return 1;
}

#if defined(_WIN32)
extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved) {
  return plugin_load_handler(module, reason, reserved);
}
#else
// The stand-in host loads a native plug-in and calls these in place of the
// Windows loader's attach and detach notifications.
extern "C" __attribute__((visibility("default"))) void plugin_attach(HMODULE module) {
  plugin_load_handler(module, load_reason_process_attach, nullptr);
}
extern "C" __attribute__((visibility("default"))) void plugin_detach(HMODULE module) {
  plugin_load_handler(module, load_reason_process_detach, nullptr);
}
#endif
