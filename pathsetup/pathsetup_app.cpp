#include "pathsetup_app.h"

#include "pathsetup_dlg.h"

CPathSetupApp theApp;

BOOL CPathSetupApp::InitInstance() {
  // Controls draw their own 3-D look on every system these tools run on:
  // nothing to switch on.
  CPathSetupDlg dlg;
  m_pMainWnd = &dlg;
  dlg.DoModal();
  m_pMainWnd = nullptr;
  // The dialog has ended: end the process instead of running a message loop.
  return FALSE;
}
