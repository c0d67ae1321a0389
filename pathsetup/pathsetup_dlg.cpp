#include "pathsetup_dlg.h"

#include "adapt_world_win.h"
#include "progress_dlg.h"
#include "progress_worker.h"
#include "resource.h"

namespace {
const UINT_PTR kStartupTimer = 2;
// 无法启动进度显示线程，系统配置已完成。
const char kNoWorker[] =
    "\xCE\xDE\xB7\xA8\xC6\xF4\xB6\xAF\xBD\xF8\xB6\xC8\xCF\xD4\xCA\xBE\xCF\xDF\xB3\xCC"
    "\xA3\xAC\xCF\xB5\xCD\xB3\xC5\xE4\xD6\xC3\xD2\xD1\xCD\xEA\xB3\xC9\xA1\xA3";
}  // namespace

CPathSetupDlg::CPathSetupDlg(CWnd* pParentWnd) : CShellDialog(IDD_PATHSETUP_DIALOG, pParentWnd) {}

BEGIN_MESSAGE_TABLE(CPathSetupDlg, CShellDialog)
  // WM_SYSCOMMAND, WM_PAINT and WM_QUERYDRAGICON: CShellDialog's table.
  ON_TIMER(OnTimer)
END_MESSAGE_TABLE()

void CPathSetupDlg::DoDataExchange(CDataExchange* pDX) {
  CShellDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_STARTING, m_wndStarting);
}

BOOL CPathSetupDlg::OnInitDialog() {
  CShellDialog::OnInitDialog();
  SetTimer(m_hWnd, kStartupTimer, 1, nullptr);  // without it the dialog just stays shown
  return TRUE;
}

void CPathSetupDlg::OnTimer(UINT_PTR) {
  KillTimer(m_hWnd, kStartupTimer);
  ShowWindow(m_hWnd, SW_HIDE);
  if (RunAdaptation()) RunProgressStage();
  EndDialog(IDCANCEL);
}

bool CPathSetupDlg::RunAdaptation() {
  koravi::WindowsAdaptWorld world(m_hWnd);
  return koravi::RunAdaptation(world);
}

void CPathSetupDlg::RunProgressStage() {
  g_nProgress = 0;
  m_pWorker = AppBeginThread(&ProgressWorker, nullptr, THREAD_PRIORITY_NORMAL, 0,
                             CREATE_SUSPENDED, nullptr);
  if (!m_pWorker) {
    // The configuration itself is complete; only the progress display is lost.
    AppMessageBox(kNoWorker, MB_OK);
    return;
  }
  m_pWorker->m_bAutoDelete = TRUE;
  m_pWorker->ResumeThread();  // from here on the object may delete itself at any time
  m_pWorker = nullptr;
  CProgressDlg progress;
  progress.DoModal();
}
