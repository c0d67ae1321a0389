#include "hostsetup_dlg.h"

#include <winsock2.h>

#include "address_files.h"
#include "apply_world_win.h"
#include "install_root.h"
#include "resource.h"

// Ten lines joined by CR LF, no line end after the last.
const char kHostSetupNotice[] =
    // 重要说明：
    "\xd6\xd8\xd2\xaa\xcb\xb5\xc3\xf7\xa3\xba\r\n"
    // (empty line)
    "\r\n"
    //     KoraviOA应用服务采用Apache Http服务器内核，默认使用Http协议的80端口。
    "    KoraviOA\xd3\xa6\xd3\xc3\xb7\xfe\xce\xf1\xb2\xc9\xd3\xc3" "Apache Http\xb7\xfe\xce\xf1\xc6\xf7\xc4\xda\xba\xcb\xa3\xac\xc4\xac\xc8\xcf\xca\xb9\xd3\xc3Http\xd0\xad\xd2\xe9\xb5\xc4" "80\xb6\xcb\xbf\xda\xa1\xa3\r\n"
    // (empty line)
    "\r\n"
    //     如果服务器操作系统已安装微软操作系统附带的IIS（Internet Infomation Server，即Internet信息服务器），则80端口可能已被占用，这种情况下，请为应用服务指定其他端口，如82、8000等。
    "    \xc8\xe7\xb9\xfb\xb7\xfe\xce\xf1\xc6\xf7\xb2\xd9\xd7\xf7\xcf\xb5\xcd\xb3\xd2\xd1\xb0\xb2\xd7\xb0\xce\xa2\xc8\xed\xb2\xd9\xd7\xf7\xcf\xb5\xcd\xb3\xb8\xbd\xb4\xf8\xb5\xc4IIS\xa3\xa8Internet Infomation Server\xa3\xac\xbc\xb4Internet\xd0\xc5\xcf\xa2\xb7\xfe\xce\xf1\xc6\xf7\xa3\xa9\xa3\xac\xd4\xf2" "80\xb6\xcb\xbf\xda\xbf\xc9\xc4\xdc\xd2\xd1\xb1\xbb\xd5\xbc\xd3\xc3\xa3\xac\xd5\xe2\xd6\xd6\xc7\xe9\xbf\xf6\xcf\xc2\xa3\xac\xc7\xeb\xce\xaa\xd3\xa6\xd3\xc3\xb7\xfe\xce\xf1\xd6\xb8\xb6\xa8\xc6\xe4\xcb\xfb\xb6\xcb\xbf\xda\xa3\xac\xc8\xe7" "82\xa1\xa2" "8000\xb5\xc8\xa1\xa3\r\n"
    // (empty line)
    "\r\n"
    // 特别注意：
    "\xcc\xd8\xb1\xf0\xd7\xa2\xd2\xe2\xa3\xba\r\n"
    //     1、Win98系统，请勿安装应用服务。
    "    1\xa1\xa2Win98\xcf\xb5\xcd\xb3\xa3\xac\xc7\xeb\xce\xf0\xb0\xb2\xd7\xb0\xd3\xa6\xd3\xc3\xb7\xfe\xce\xf1\xa1\xa3\r\n"
    //     2、Win2000/2003 Server已默认安装了IIS。
    "    2\xa1\xa2Win2000/2003 Server\xd2\xd1\xc4\xac\xc8\xcf\xb0\xb2\xd7\xb0\xc1\xcbIIS\xa1\xa3\r\n"
    //     3、本服务配置程序，可在“Windows开始菜单->程序->KoraviOA 办公自动化系统”下找到，如果指定的端口已被占用，导致服务无法安装，可重新设置其他端口号。
    "    3\xa1\xa2\xb1\xbe\xb7\xfe\xce\xf1\xc5\xe4\xd6\xc3\xb3\xcc\xd0\xf2\xa3\xac\xbf\xc9\xd4\xda\xa1\xb0Windows\xbf\xaa\xca\xbc\xb2\xcb\xb5\xa5->\xb3\xcc\xd0\xf2->KoraviOA \xb0\xec\xb9\xab\xd7\xd4\xb6\xaf\xbb\xaf\xcf\xb5\xcd\xb3\xa1\xb1\xcf\xc2\xd5\xd2\xb5\xbd\xa3\xac\xc8\xe7\xb9\xfb\xd6\xb8\xb6\xa8\xb5\xc4\xb6\xcb\xbf\xda\xd2\xd1\xb1\xbb\xd5\xbc\xd3\xc3\xa3\xac\xb5\xbc\xd6\xc2\xb7\xfe\xce\xf1\xce\xde\xb7\xa8\xb0\xb2\xd7\xb0\xa3\xac\xbf\xc9\xd6\xd8\xd0\xc2\xc9\xe8\xd6\xc3\xc6\xe4\xcb\xfb\xb6\xcb\xbf\xda\xba\xc5\xa1\xa3";

CHostSetupDlg::CHostSetupDlg(CWnd* pParentWnd)
    : CShellDialog(IDD_HOSTSETUP_DIALOG, pParentWnd), m_strHost(""), m_strPort("80"), m_strNotice("") {}

BEGIN_MESSAGE_TABLE(CHostSetupDlg, CShellDialog)
  // WM_SYSCOMMAND, WM_PAINT and WM_QUERYDRAGICON: CShellDialog's table.
  // OK (the button or Return) applies the address; Cancel, Escape and the
  // close box keep the framework's default and end the dialog.
  ON_COMMAND(IDOK, ApplyAddress)
END_MESSAGE_TABLE()

void CHostSetupDlg::DoDataExchange(CDataExchange* pDX) {
  CShellDialog::DoDataExchange(pDX);
  DDX_Text(pDX, IDC_HOST, m_strHost);
  DDX_Text(pDX, IDC_PORT, m_strPort);
  DDX_Text(pDX, IDC_NOTICE, m_strNotice);
}

BOOL CHostSetupDlg::OnInitDialog() {
  CShellDialog::OnInitDialog();

  PrefillAddress();

  // The address in effect, from the server block of conf\httpd.conf: a
  // host found there (also an empty one) replaces the machine's name, and a
  // port found there replaces "80". Without the file or a block, nothing.
  const koravi::ServerAddress in_effect = koravi::ReadAddressInEffect(koravi::FindInstallRoot());
  if (in_effect.host) {
    m_strHost = *in_effect.host;
    UpdateData(FALSE);
  }
  if (in_effect.port) {
    m_strPort = *in_effect.port;
    UpdateData(FALSE);
  }

  m_strNotice = kHostSetupNotice;
  UpdateData(FALSE);

  // Top-most, at the position the window has (the framework then centres it
  // in the work area, since it has not moved).
  SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE);
  return TRUE;  // the focus goes to the first tab stop, the OK button
}

void CHostSetupDlg::PrefillAddress() {
  char name[128];
  if (gethostname(name, sizeof name) == 0) {
    name[sizeof name - 1] = '\0';
    m_strHost = name;
  }
  UpdateData(FALSE);
}

void CHostSetupDlg::ApplyAddress() {
  UpdateData(TRUE);
  koravi::WindowsApplyWorld world(m_hWnd);
  if (koravi::ApplyAddress(world, m_strHost, m_strPort) == koravi::ApplyEnd::kEndDialog)
    EndDialog(IDCANCEL);
}
