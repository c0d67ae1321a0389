#include "win_dialog.h"

#include <cstring>

#include "win_app.h"

namespace {

// The dialog being created by DoModal on this thread, and the hook that
// attaches it to its window as soon as the window exists, before WM_CREATE.
thread_local CDialog* t_creating = nullptr;
thread_local HHOOK t_hook = nullptr;

// What DoModal needs to know of a template: its style and its position.
struct TemplateFacts {
  DWORD style = 0;
  short x = 0;
  short y = 0;
};

template <class T>
T ReadAt(const void* base, size_t offset) {
  T value;
  std::memcpy(&value, static_cast<const BYTE*>(base) + offset, sizeof value);
  return value;
}

TemplateFacts ReadTemplateFacts(const void* tmpl) {
  TemplateFacts facts;
  const bool extended = ReadAt<WORD>(tmpl, 0) == 1 && ReadAt<WORD>(tmpl, 2) == 0xFFFF;
  if (extended) {
    // dlgVer, signature, helpID, exStyle, style, cDlgItems, x, y, cx, cy
    facts.style = ReadAt<DWORD>(tmpl, 12);
    facts.x = ReadAt<short>(tmpl, 18);
    facts.y = ReadAt<short>(tmpl, 20);
  } else {
    // style, dwExtendedStyle, cdit, x, y, cx, cy
    facts.style = ReadAt<DWORD>(tmpl, 0);
    facts.x = ReadAt<short>(tmpl, 10);
    facts.y = ReadAt<short>(tmpl, 12);
  }
  return facts;
}

// The dialog manager asks this procedure about the messages that the
// dialog's window procedure passes on as default processing: it asks for the
// standard behaviour every time.
INT_PTR CALLBACK PassThroughDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace

LRESULT CALLBACK DialogCreationHook(int code, WPARAM wParam, LPARAM lParam) {
  const HHOOK hook = t_hook;
  if (code == HCBT_CREATEWND && t_creating != nullptr) {
    const HWND hwnd = reinterpret_cast<HWND>(wParam);
    const auto* cbt = reinterpret_cast<const CBT_CREATEWNDA*>(lParam);
    char class_name[16] = {};
    if ((cbt->lpcs->style & WS_CHILD) == 0 &&
        GetClassNameA(hwnd, class_name, sizeof class_name) > 0 &&
        std::strcmp(class_name, "#32770") == 0) {
      CDialog* dialog = t_creating;
      t_creating = nullptr;
      t_hook = nullptr;
      dialog->AttachCreated(hwnd);
      LRESULT result = CallNextHookEx(hook, code, wParam, lParam);
      UnhookWindowsHookEx(hook);
      return result;
    }
  }
  return CallNextHookEx(hook, code, wParam, lParam);
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() = default;

INT_PTR CDialog::DoModal() {
  const HINSTANCE instance = AppGetInstance();
  const HRSRC resource = FindResourceA(instance, MAKEINTRESOURCEA(m_nIDTemplate), MAKEINTRESOURCEA(5));
  const HGLOBAL loaded = resource ? LoadResource(instance, resource) : nullptr;
  const void* tmpl = loaded ? LockResource(loaded) : nullptr;
  if (tmpl == nullptr) return -1;

  const TemplateFacts facts = ReadTemplateFacts(tmpl);
  m_bCenterOnInit = facts.x == 0 && facts.y == 0 && (facts.style & (DS_CENTER | WS_CHILD)) == 0;

  HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
  if (owner == nullptr) {
    CWnd* main = AppGetMainWnd();
    if (main != nullptr && main != this && main->m_hWnd != nullptr && IsWindow(main->m_hWnd)) {
      owner = main->m_hWnd;
    }
  }
  if (owner != nullptr) owner = GetAncestor(owner, GA_ROOT);

  t_creating = this;
  t_hook = SetWindowsHookExA(WH_CBT, DialogCreationHook, nullptr, GetCurrentThreadId());
  if (t_hook == nullptr) {
    t_creating = nullptr;
    return -1;
  }
  const INT_PTR result =
      DialogBoxIndirectParamA(instance, static_cast<LPCDLGTEMPLATEA>(tmpl), owner,
                              PassThroughDialogProc, reinterpret_cast<LPARAM>(this));
  if (t_hook != nullptr) {  // no dialog window was ever created
    UnhookWindowsHookEx(t_hook);
    t_hook = nullptr;
  }
  t_creating = nullptr;
  m_hWnd = nullptr;
  return result;
}

void CDialog::EndDialog(int nResult) { ::EndDialog(m_hWnd, nResult); }

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
  CDataExchange dx{this, bSaveAndValidate};
  DoDataExchange(&dx);
  return TRUE;
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::DoDataExchange(CDataExchange*) {}

LRESULT CDialog::Default() {
  return CallWindowProcA(m_pfnDefault, m_hWnd, m_current.message, m_current.wParam,
                         m_current.lParam);
}

const MessageTable* CDialog::GetMessageTable() const { return ClassMessageTable(); }

const MessageTable* CDialog::ClassMessageTable() {
  static const MessageEntry entries[] = {
      {WM_COMMAND, IDOK, &message_thunk::NoArgs<&CDialog::OnOK>},
      {WM_COMMAND, IDCANCEL, &message_thunk::NoArgs<&CDialog::OnCancel>},
      {0, 0, nullptr}};
  static const MessageTable table = {nullptr, entries};
  return &table;
}

void CDialog::AttachCreated(HWND hwnd) {
  m_hWnd = hwnd;
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  m_pfnDefault = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CDialog::WindowProc)));
}

LRESULT CALLBACK CDialog::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<CDialog*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcA(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    const WNDPROC original = self->m_pfnDefault;
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    self->m_hWnd = nullptr;
    return CallWindowProcA(original, hwnd, message, wParam, lParam);
  }
  const CurrentMessage outer = self->m_current;
  self->m_current = {message, wParam, lParam};
  const LRESULT result = message == WM_INITDIALOG ? self->OnInitDialogMessage()
                                                  : self->Dispatch(message, wParam, lParam);
  self->m_current = outer;
  return result;
}

LRESULT CDialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) {
    // Commands are clicks, menu items and accelerators; other notifications
    // from controls get default processing.
    const UINT code = HIWORD(wParam);
    if (code != 0 && code != 1) return Default();
  }
  for (const MessageTable* table = GetMessageTable(); table != nullptr; table = table->base) {
    for (const MessageEntry* entry = table->entries; entry->call != nullptr; ++entry) {
      if (entry->message != message) continue;
      if (message == WM_COMMAND && entry->id != LOWORD(wParam)) continue;
      return entry->call(*this, wParam, lParam);
    }
  }
  return Default();
}

LRESULT CDialog::OnInitDialogMessage() {
  const HWND hwnd = m_hWnd;
  RECT before{};
  GetWindowRect(hwnd, &before);
  const BOOL result = OnInitDialog();
  if (m_bCenterOnInit && IsWindow(hwnd)) {
    RECT after{};
    GetWindowRect(hwnd, &after);
    if (after.left == before.left && after.top == before.top) CenterWindowOnOwnerOrWorkArea(hwnd);
  }
  return result;
}

void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value) {
  const HWND control = GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
  if (pDX->m_bSaveAndValidate) {
    const int length = GetWindowTextLengthA(control);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(control, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    value = text;
  } else {
    SetWindowTextA(control, value.c_str());
  }
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& control) {
  if (!pDX->m_bSaveAndValidate) control.m_hWnd = GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
}

void CenterWindowOnOwnerOrWorkArea(HWND hwnd) {
  HWND owner = GetWindow(hwnd, GW_OWNER);
  const bool over_owner = owner != nullptr && IsWindowVisible(owner) && !IsIconic(owner);

  RECT work{};
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  const HMONITOR on = MonitorFromWindow(over_owner ? owner : hwnd, MONITOR_DEFAULTTOPRIMARY);
  if (on != nullptr && GetMonitorInfoA(on, &monitor)) {
    work = monitor.rcWork;
  } else {
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  }

  RECT around = work;
  if (over_owner) GetWindowRect(owner, &around);
  RECT window{};
  GetWindowRect(hwnd, &window);
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  int x = (around.left + around.right) / 2 - width / 2;
  int y = (around.top + around.bottom) / 2 - height / 2;
  // Keep the whole window inside the work area where it fits.
  if (x + width > work.right) x = work.right - width;
  if (x < work.left) x = work.left;
  if (y + height > work.bottom) y = work.bottom - height;
  if (y < work.top) y = work.top;
  SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
