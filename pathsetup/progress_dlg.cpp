#include "progress_dlg.h"

#include "progress_worker.h"
#include "resource.h"

namespace {
const UINT_PTR kProgressTimer = 1;
// 不能创建定时器！
const char kNoTimer[] = "\xB2\xBB\xC4\xDC\xB4\xB4\xBD\xA8\xB6\xA8\xCA\xB1\xC6\xF7\xA3\xA1";
// 系统智能配置完成！
const char kComplete[] = "\xCF\xB5\xCD\xB3\xD6\xC7\xC4\xDC\xC5\xE4\xD6\xC3\xCD\xEA\xB3\xC9\xA3\xA1";
}  // namespace

CProgressDlg::CProgressDlg(CWnd* pParentWnd) : CDialog(IDD_PROGRESS, pParentWnd) {}

BEGIN_MESSAGE_TABLE(CProgressDlg, CDialog)
  ON_CREATE(OnCreate)
  ON_TIMER(OnTimer)
END_MESSAGE_TABLE()

void CProgressDlg::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_PROGRESS, m_wndProgress);
}

int CProgressDlg::OnCreate(LPCREATESTRUCTA) {
  if (Default() == -1) return -1;
  if (!SetTimer(m_hWnd, kProgressTimer, 10, nullptr)) {
    MessageBoxA(m_hWnd, kNoTimer, "Koravi", MB_ICONWARNING | MB_OK);
    return -1;
  }
  return 0;
}

void CProgressDlg::OnTimer(UINT_PTR) {
  const int progress = g_nProgress;
  m_wndProgress.SetPos(progress);
  if (progress == 100) {
    KillTimer(m_hWnd, kProgressTimer);
    SetDlgItemTextA(m_hWnd, IDC_PROGRESS_TEXT, kComplete);
    // The thread sleeps next: paint the full bar and the text now, and let
    // the system take what was drawn to the screen (a look at the queue,
    // which removes nothing, does that) before the pause.
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    GdiFlush();
    MSG pending;
    PeekMessageA(&pending, nullptr, 0, 0, PM_NOREMOVE);
    Sleep(1000);
    SendMessageA(m_hWnd, WM_CLOSE, 0, 0);
  }
  Default();
}
