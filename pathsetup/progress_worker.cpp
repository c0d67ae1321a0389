#include "progress_worker.h"

std::atomic<std::int32_t> g_nProgress{0};

UINT ProgressWorker(LPVOID) {
  for (int i = 0; i < 100; ++i) {
    Sleep(50);
    g_nProgress.fetch_add(1);
  }
  return 0;
}
