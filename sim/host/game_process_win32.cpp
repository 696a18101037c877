// Told once, at the DLL's load: a game has no console, so the line goes to
// the debugger's output and, for a player, to ScriptHookRDR2.log beside the
// DLL, where it is found without tools.

#include <windows.h>

#include <cstring>
#include <string>

#include "game_process.h"

namespace sim {
namespace {

bool in_game = false;

const char stand_in_line[] =
    "This ScriptHookRDR2.dll is the stand-in's, for testing mods without the game; it does "
    "nothing in the game. Install the real host.\r\n";

void say_it_does_nothing(HMODULE dll) {
  OutputDebugStringA(stand_in_line);
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(dll, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  std::string log(path, length);
  const size_t dot = log.find_last_of('.');
  log = (dot == std::string::npos ? log : log.substr(0, dot)) + ".log";
  const HANDLE file = CreateFileA(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, stand_in_line, sizeof stand_in_line - 1, &written, nullptr);
  CloseHandle(file);
}

}  // namespace

bool in_game_process() { return in_game; }

uint64_t* zeroed_slots() {
  static uint64_t slots[64];
  std::memset(slots, 0, sizeof slots);
  return slots;
}

}  // namespace sim

extern "C" BOOL WINAPI DllMain(HINSTANCE dll, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    sim::in_game = GetProcAddress(GetModuleHandleW(nullptr), SIM_RUNNER_MARK_NAME) == nullptr;
    if (sim::in_game) sim::say_it_does_nothing(dll);
  }
  return TRUE;
}
