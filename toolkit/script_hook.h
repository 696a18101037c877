#pragma once
// The eight exports of the script-hook host that every plug-in binds to.
// On Windows they come from ScriptHookRDR2.dll under their decorated C++
// names (see host.def); natively the stand-in host defines them.

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

extern "C" {
void scriptRegister(HMODULE module, ScriptEntry entry);
void scriptUnregister(HMODULE module);
void keyboardHandlerRegister(KeyboardHandler handler);
void keyboardHandlerUnregister(KeyboardHandler handler);
void scriptWait(DWORD ms);
void nativeInit(uint64_t hash);
void nativePush64(uint64_t value);
uint64_t* nativeCall();
}
