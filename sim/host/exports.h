#pragma once
// The host's whole interface, as any plug-in sees it: its seventeen exports.
// On Windows a plug-in imports them from ScriptHookRDR2.dll under their
// decorated names (exports.def makes the import library); natively the
// stand-in host defines them under these plain names.

#include "../../toolkit/script_hook.h"

// The running game's version, as getGameVersion answers it.
enum eGameVersion : int {};

extern "C" {
// The eight that every plug-in binds to are in script_hook.h; these are the rest.
void scriptRegisterAdditionalThread(HMODULE module, ScriptEntry entry);
// The older form, by entry; C has one scriptUnregister, so it has its own name here.
void scriptUnregisterEntry(ScriptEntry entry);

// The game's script globals, by index.
uint64_t* getGlobalPtr(int index);

// The handles of the entities of a kind that exist, at most capacity; how many.
int worldGetAllVehicles(int* handles, int capacity);
int worldGetAllPeds(int* handles, int capacity);
int worldGetAllObjects(int* handles, int capacity);
int worldGetAllPickups(int* handles, int capacity);

// The address of the record behind an entity handle, or null.
BYTE* getScriptHandleBaseAddress(int handle);

eGameVersion getGameVersion();
}

#if !defined(_WIN32)
// The system's clocks, which under Windows a plug-in imports from the
// system: natively the host gives them, on the game's time as under wine.
union LARGE_INTEGER {
  int64_t QuadPart;
};
extern "C" {
uint32_t GetTickCount();
uint64_t GetTickCount64();
uint32_t timeGetTime();
BOOL QueryPerformanceCounter(LARGE_INTEGER* count);
BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);
}
#endif

// The older unregister under its own C++ name, as plug-ins call it.
inline void scriptUnregister(ScriptEntry entry) { scriptUnregisterEntry(entry); }
