#include "about_dlg.h"

#include "shell_dialog_ids.h"

CAboutDlg::CAboutDlg(CWnd* pParentWnd) : CDialog(IDD_ABOUTBOX, pParentWnd) {}
