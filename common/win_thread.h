// Worker threads: a thread object that can delete itself when its procedure
// returns.
#pragma once

#include <windows.h>

using AppThreadProc = UINT (*)(LPVOID parameter);

class CWinThread {
 public:
  CWinThread(AppThreadProc proc, LPVOID parameter);
  virtual ~CWinThread();  // closes the thread handle
  CWinThread(const CWinThread&) = delete;
  CWinThread& operator=(const CWinThread&) = delete;

  // Starts the thread, suspended when flags hold CREATE_SUSPENDED.
  BOOL CreateThread(DWORD flags = 0, UINT stackSize = 0, LPSECURITY_ATTRIBUTES security = nullptr);
  BOOL SetThreadPriority(int priority);
  DWORD ResumeThread();

  HANDLE m_hThread = nullptr;
  UINT m_nThreadID = 0;
  // When TRUE (the default), the object deletes itself when its procedure
  // returns; nobody may use it after that.
  BOOL m_bAutoDelete = TRUE;

 private:
  static unsigned __stdcall Start(void* self);

  AppThreadProc m_pfnProc;
  LPVOID m_pParameter;
};

// Creates a thread running proc(parameter): created suspended, given its
// priority, then resumed unless flags hold CREATE_SUSPENDED. Returns null
// when the thread cannot be created.
CWinThread* AppBeginThread(AppThreadProc proc, LPVOID parameter,
                           int priority = THREAD_PRIORITY_NORMAL, UINT stackSize = 0,
                           DWORD flags = 0, LPSECURITY_ATTRIBUTES security = nullptr);
