#include "hostsetup_app.h"

#include <winsock2.h>

#include "hostsetup_dlg.h"
#include "resource.h"

CHostSetupApp theApp;

namespace {

// Starts Windows Sockets 1.1. A layer that agrees only to another version
// counts as a failure and is released again at once.
bool StartSockets() {
  WSADATA data;
  if (WSAStartup(MAKEWORD(1, 1), &data) != 0) return false;
  if (data.wVersion != MAKEWORD(1, 1)) {
    WSACleanup();
    return false;
  }
  return true;
}

}  // namespace

BOOL CHostSetupApp::InitInstance() {
  if (!StartSockets()) {
    AppMessageBox(IDP_SOCKETS_INIT_FAILED);  // no main window yet: no owner
    return FALSE;
  }
  // No dialog of this program holds an ActiveX control, and controls draw
  // their own 3-D look on every system these tools run on: nothing to switch
  // on for either.

  CHostSetupDlg dlg;
  m_pMainWnd = &dlg;
  dlg.DoModal();
  m_pMainWnd = nullptr;

  WSACleanup();
  // The dialog has ended: end the process instead of running a message loop.
  return FALSE;
}
