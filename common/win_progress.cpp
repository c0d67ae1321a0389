#include "win_progress.h"

#include <commctrl.h>

CProgressCtrl::CProgressCtrl() {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_PROGRESS_CLASS;
    return InitCommonControlsEx(&controls) != FALSE;
  }();
  (void)registered;
}

int CProgressCtrl::SetPos(int pos) {
  return static_cast<int>(SendMessageA(m_hWnd, PBM_SETPOS, static_cast<WPARAM>(pos), 0));
}
