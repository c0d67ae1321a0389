#include "shell_dialog.h"

#include "about_dlg.h"
#include "shell_dialog_ids.h"
#include "win_app.h"

static_assert((IDM_ABOUTBOX & 0xFFF0) == IDM_ABOUTBOX && IDM_ABOUTBOX < 0xF000,
              "the About command must be a system command id");

CShellDialog::CShellDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : CDialog(nIDTemplate, pParentWnd),
      m_hIcon(LoadIconA(AppGetInstance(), MAKEINTRESOURCEA(IDR_MAINFRAME))) {}

BEGIN_MESSAGE_TABLE(CShellDialog, CDialog)
  ON_SYSCOMMAND(OnSysCommand)
  ON_PAINT(OnPaint)
  ON_QUERYDRAGICON(OnQueryDragIcon)
END_MESSAGE_TABLE()

BOOL CShellDialog::OnInitDialog() {
  CDialog::OnInitDialog();

  if (HMENU system_menu = GetSystemMenu(m_hWnd, FALSE)) {
    const std::string about = AppLoadString(IDS_ABOUTBOX);
    if (!about.empty()) {
      AppendMenuA(system_menu, MF_SEPARATOR, 0, nullptr);
      AppendMenuA(system_menu, MF_STRING, IDM_ABOUTBOX, about.c_str());
    }
  }

  SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
  SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
  return TRUE;
}

void CShellDialog::OnSysCommand(UINT nID, LPARAM) {
  if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
    CAboutDlg about(this);
    about.DoModal();
  } else {
    Default();
  }
}

void CShellDialog::OnPaint() {
  if (!IsIconic(m_hWnd)) {
    Default();
    return;
  }
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(m_hWnd, &paint);
  SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client;
  GetClientRect(m_hWnd, &client);
  // Centre the icon in the client area (integer division rounds toward zero).
  const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
  DrawIcon(dc, x, y, m_hIcon);
  EndPaint(m_hWnd, &paint);
}

HICON CShellDialog::OnQueryDragIcon() { return m_hIcon; }
