// hostsetup's main dialog: the host and port the web application is served
// on, and a notice about port conflicts.
#pragma once

#include <string>

#include "shell_dialog.h"

class CHostSetupDlg : public CShellDialog {
 public:
  explicit CHostSetupDlg(CWnd* pParentWnd = nullptr);

  std::string m_strHost;    // IDC_HOST
  std::string m_strPort;    // IDC_PORT
  std::string m_strNotice;  // IDC_NOTICE

 protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;

  // The machine's host name as the first guess for the host field.
  void PrefillAddress();

  // OK: writes the address into config.ini and httpd.conf, (re)starts the
  // services, confirms and opens the login page; then the tool ends. Fields
  // holding a line break are refused and the dialog stays open.
  void ApplyAddress();

  DECLARE_MESSAGE_TABLE()
};

// The notice shown in IDC_NOTICE (GBK, lines joined by CR LF).
extern const char kHostSetupNotice[];
