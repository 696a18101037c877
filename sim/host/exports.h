#pragma once
// The host's whole interface, as any plug-in sees it: its seventeen exports.
// On Windows a plug-in imports them from ScriptHookRDR2.dll under their
// decorated names (exports.def makes the import library); natively the
// stand-in host defines them under these plain names.

#include <cstdint>

#if defined(_WIN32)
#include <windows.h>
#else
using HMODULE = void*;
using DWORD = uint32_t;
using WORD = uint16_t;
using BYTE = uint8_t;
using BOOL = int;
#endif

using ScriptEntry = void (*)();
using KeyboardHandler = void (*)(DWORD key, WORD repeat_count, BYTE scan_code, BOOL is_extended,
                                 BOOL alt_down, BOOL was_down, BOOL is_up);

// The running game's version, as getGameVersion answers it.
enum eGameVersion : int {};

extern "C" {
// Natives: one call is nativeInit, a nativePush64 per argument, nativeCall.
void nativeInit(uint64_t hash);
void nativePush64(uint64_t value);
uint64_t* nativeCall();

// Scripts: each runs on a context of its own, once a frame until it waits.
void scriptWait(DWORD ms);
void scriptRegister(HMODULE module, ScriptEntry entry);
void scriptRegisterAdditionalThread(HMODULE module, ScriptEntry entry);
void scriptUnregister(HMODULE module);
// The older form, by entry; C has one scriptUnregister, so it has its own name here.
void scriptUnregisterEntry(ScriptEntry entry);

void keyboardHandlerRegister(KeyboardHandler handler);
void keyboardHandlerUnregister(KeyboardHandler handler);

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

// The older unregister under its own C++ name, as plug-ins call it.
inline void scriptUnregister(ScriptEntry entry) { scriptUnregisterEntry(entry); }
