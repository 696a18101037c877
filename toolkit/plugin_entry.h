#pragma once
// What every plug-in shares: registration with the host at load, the script
// entry that runs the deliverable's main loop, and the keyboard state.

#include <cstdint>

#include "script_hook.h"

struct KeyRecord {
  uint32_t tick;
  BOOL alt_down;
  BOOL was_down;
  BOOL is_up;
};

constexpr int key_table_size = 255;
extern KeyRecord key_table[key_table_size];

// The deliverable's main loop; each deliverable defines it.
void plugin_main_loop();

void script_entry();
void key_callback(DWORD key, WORD repeat_count, BYTE scan_code, BOOL is_extended, BOOL alt_down,
                  BOOL was_down, BOOL is_up);

// The library's load handler, with the reasons of the Windows loader.
constexpr DWORD load_reason_process_detach = 0;
constexpr DWORD load_reason_process_attach = 1;
constexpr DWORD load_reason_thread_attach = 2;
constexpr DWORD load_reason_thread_detach = 3;
BOOL plugin_load_handler(HMODULE module, DWORD reason, void* reserved);
