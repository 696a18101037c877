// A plug-in's imports of the system's clocks, bound to the game's: the
// loader has filled its import table, the host writes the game's clocks
// over the five entries before the plug-in's DllMain runs.

#include <cctype>
#include <cstring>

#include "plugin_clock.h"

namespace sim {

namespace {

DWORD WINAPI game_tick_count() { return plugin_tick_count(); }
ULONGLONG WINAPI game_tick_count64() { return plugin_tick_count64(); }
DWORD WINAPI game_time() { return plugin_tick_count(); }
BOOL WINAPI game_performance_counter(LARGE_INTEGER* count) {
  if (count == nullptr) return FALSE;
  count->QuadPart = plugin_performance_count();
  return TRUE;
}
BOOL WINAPI game_performance_frequency(LARGE_INTEGER* frequency) {
  if (frequency == nullptr) return FALSE;
  frequency->QuadPart = plugin_performance_frequency;
  return TRUE;
}

struct Clock {
  const char* name;
  void* game;
};
const Clock clocks[] = {
    {"GetTickCount", reinterpret_cast<void*>(game_tick_count)},
    {"GetTickCount64", reinterpret_cast<void*>(game_tick_count64)},
    {"timeGetTime", reinterpret_cast<void*>(game_time)},
    {"QueryPerformanceCounter", reinterpret_cast<void*>(game_performance_counter)},
    {"QueryPerformanceFrequency", reinterpret_cast<void*>(game_performance_frequency)},
};

bool starts_with_nocase(const char* text, const char* start) {
  for (; *start != '\0'; ++text, ++start) {
    if (std::tolower(static_cast<unsigned char>(*text)) != *start) return false;
  }
  return true;
}

// The system's DLLs that give the clocks, under the names a plug-in imports them by.
bool system_clock_dll(const char* name) {
  return _stricmp(name, "kernel32.dll") == 0 || _stricmp(name, "kernelbase.dll") == 0 ||
         _stricmp(name, "winmm.dll") == 0 || starts_with_nocase(name, "api-ms-win-");
}

void* game_clock(const char* name) {
  for (const Clock& c : clocks) {
    if (std::strcmp(c.name, name) == 0) return c.game;
  }
  return nullptr;
}

void write_entry(ULONGLONG* entry, void* game) {
  DWORD was = 0;
  if (!VirtualProtect(entry, sizeof *entry, PAGE_READWRITE, &was)) return;
  *entry = reinterpret_cast<ULONGLONG>(game);
  VirtualProtect(entry, sizeof *entry, was, &was);
}

}  // namespace

void bind_plugin_clocks(HMODULE module) {
  auto* base = reinterpret_cast<BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE) return;
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (dir.VirtualAddress == 0 || dir.Size == 0) return;
  for (auto* d = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
       d->Name != 0; ++d) {
    // Names only where the import's lookup table is kept apart from its
    // addresses, which the loader has overwritten.
    if (d->OriginalFirstThunk == 0 ||
        !system_clock_dll(reinterpret_cast<const char*>(base + d->Name)))
      continue;
    const auto* lookup = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
    auto* address = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
    for (; lookup->u1.AddressOfData != 0; ++lookup, ++address) {
      if (IMAGE_SNAP_BY_ORDINAL(lookup->u1.Ordinal)) continue;
      const auto* by_name =
          reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + lookup->u1.AddressOfData);
      if (void* game = game_clock(reinterpret_cast<const char*>(by_name->Name))) {
        write_entry(&address->u1.Function, game);
      }
    }
  }
}

}  // namespace sim
