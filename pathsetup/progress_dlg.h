// pathsetup's progress dialog: a bar driven by the progress worker, then a
// completion text.
#pragma once

#include "dialog_shell.h"

class CProgressDlg : public CDialog {
 public:
  explicit CProgressDlg(CWnd* pParentWnd = nullptr);

 protected:
  void DoDataExchange(CDataExchange* pDX) override;

  // Starts timer 1 (10 ms); without it the dialog is not created.
  int OnCreate(LPCREATESTRUCTA cs);
  // Moves the bar to g_nProgress; at 100 shows the completion text for a
  // second and closes.
  void OnTimer(UINT_PTR nIDEvent);

  CProgressCtrl m_wndProgress;  // IDC_PROGRESS

  DECLARE_MESSAGE_TABLE()
};
