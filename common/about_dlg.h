// The About box (template IDD_ABOUTBOX): its OK button, Escape and its close
// box end it.
#pragma once

#include "win_dialog.h"

class CAboutDlg : public CDialog {
 public:
  explicit CAboutDlg(CWnd* pParentWnd = nullptr);
};
