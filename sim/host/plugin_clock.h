#pragma once
// The system's clocks as a plug-in reads them: on the game's elapsed time,
// so that a plug-in timing keys or waits with them sees game time and a run
// plays the same on any machine; with the world's wall clock on, the
// machine's own. Natively the host exports them in the system's place;
// under Windows the host binds a plug-in's imports of them here.

#include <cstdint>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace sim {

uint32_t plugin_tick_count();        // GetTickCount, timeGetTime: ms, wrapping
uint64_t plugin_tick_count64();      // GetTickCount64
int64_t plugin_performance_count();  // QueryPerformanceCounter
constexpr int64_t plugin_performance_frequency =
    10'000'000;  // counts a second, as Windows 10 gives

#if defined(_WIN32)
// Rebinds the module's imports of the five clocks to the game's. Done before
// its DllMain runs, a plug-in that seeds or times from its load sees game time too.
void bind_plugin_clocks(HMODULE module);
#endif

}  // namespace sim
