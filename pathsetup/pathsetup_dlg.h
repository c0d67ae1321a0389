// pathsetup's startup dialog: visible only for the moment it takes to start
// the adaptation.
#pragma once

#include "dialog_shell.h"
#include "shell_dialog.h"

class CPathSetupDlg : public CShellDialog {
 public:
  explicit CPathSetupDlg(CWnd* pParentWnd = nullptr);

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;

  // The startup timer: hides the dialog, runs the adaptation and, after a
  // complete run, the progress stage; then the dialog ends.
  void OnTimer(UINT_PTR nIDEvent);
  // The adaptation itself; false when it stopped at a configuration file.
  bool RunAdaptation();
  // The progress window, filled by the worker thread.
  void RunProgressStage();

  CWinThread* m_pWorker = nullptr;  // the progress worker, once started
  CWnd m_wndStarting;               // IDC_STARTING

  DECLARE_MESSAGE_TABLE()
};
