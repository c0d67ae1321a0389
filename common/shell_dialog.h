// What both programs' main dialogs share: the program icon (big, small and
// drawn when minimised), the About item in the system menu and the About box
// it opens.
#pragma once

#include "win_dialog.h"

class CShellDialog : public CDialog {
 public:
  // Loads the program icon IDR_MAINFRAME at the standard icon size.
  explicit CShellDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

 protected:
  // Default initialisation, then the About item (string IDS_ABOUTBOX, when
  // not empty) in the system menu and the window's icons.
  BOOL OnInitDialog() override;

  void OnSysCommand(UINT nID, LPARAM lParam);
  void OnPaint();
  HICON OnQueryDragIcon();

  HICON m_hIcon;

  DECLARE_MESSAGE_TABLE()
};
