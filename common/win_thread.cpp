#include "win_thread.h"

#include <process.h>

CWinThread::CWinThread(AppThreadProc proc, LPVOID parameter)
    : m_pfnProc(proc), m_pParameter(parameter) {}

CWinThread::~CWinThread() {
  if (m_hThread != nullptr) CloseHandle(m_hThread);
}

BOOL CWinThread::CreateThread(DWORD flags, UINT stackSize, LPSECURITY_ATTRIBUTES security) {
  unsigned id = 0;
  const uintptr_t handle =
      _beginthreadex(security, stackSize, &CWinThread::Start, this, flags & CREATE_SUSPENDED, &id);
  if (handle == 0) return FALSE;
  m_hThread = reinterpret_cast<HANDLE>(handle);
  m_nThreadID = id;
  return TRUE;
}

BOOL CWinThread::SetThreadPriority(int priority) { return ::SetThreadPriority(m_hThread, priority); }

DWORD CWinThread::ResumeThread() { return ::ResumeThread(m_hThread); }

unsigned __stdcall CWinThread::Start(void* self) {
  auto* thread = static_cast<CWinThread*>(self);
  const UINT code = thread->m_pfnProc(thread->m_pParameter);
  if (thread->m_bAutoDelete) delete thread;
  return code;
}

CWinThread* AppBeginThread(AppThreadProc proc, LPVOID parameter, int priority, UINT stackSize,
                           DWORD flags, LPSECURITY_ATTRIBUTES security) {
  auto* thread = new CWinThread(proc, parameter);
  if (!thread->CreateThread(flags | CREATE_SUSPENDED, stackSize, security)) {
    delete thread;
    return nullptr;
  }
  thread->SetThreadPriority(priority);
  if ((flags & CREATE_SUSPENDED) == 0) thread->ResumeThread();
  return thread;
}
