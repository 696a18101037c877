#include "platform.h"

#if defined(_WIN32)
#include <windows.h>
#else
// Natively the stand-in host gives the tick count in kernel32's place.
extern "C" uint32_t GetTickCount();
#endif

uint32_t tick_count() { return GetTickCount(); }
