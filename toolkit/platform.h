#pragma once
#include <cstdint>

// Milliseconds since the system started, as the Windows tick count gives it.
uint32_t tick_count();
