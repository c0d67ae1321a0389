// The progress worker and the one value it shares with the user-interface
// thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

// 0 to 100. Set to 0 by the user-interface thread before the worker starts;
// from then on only the worker writes it and only the progress timer reads it.
extern std::atomic<std::int32_t> g_nProgress;

// Counts g_nProgress up to 100, one step every 50 ms, then returns 0.
UINT ProgressWorker(LPVOID parameter);
