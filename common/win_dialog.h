// A thin dialog framework over plain Win32: windows, modal dialogs from
// resource templates, per-class message tables and data exchange between
// members and controls.
#pragma once

#include <windows.h>

#include <string>

// A window handle with a name. Control members of a dialog are bound to
// their control through data exchange (DDX_Control).
class CWnd {
 public:
  CWnd() = default;
  virtual ~CWnd() = default;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;

  HWND GetSafeHwnd() const { return m_hWnd; }

  HWND m_hWnd = nullptr;
};

class CDialog;

// One row of a message table: a window message (or WM_COMMAND with a command
// id) and the thunk that cracks its parameters and calls the named handler.
struct MessageEntry {
  UINT message;
  UINT id;  // command id for WM_COMMAND rows, otherwise 0
  LRESULT (*call)(CDialog& dialog, WPARAM wParam, LPARAM lParam);
};

// The table of one class: its own rows, then its base class's table.
struct MessageTable {
  const MessageTable* base;
  const MessageEntry* entries;  // ends with a row whose call is null
};

// Direction and target of one data exchange.
struct CDataExchange {
  CDialog* m_pDlgWnd;
  BOOL m_bSaveAndValidate;  // TRUE: controls -> members; FALSE: members -> controls
};

// Modal dialog from a dialog template in the program's resources.
//
// Messages reach the dialog object through its window procedure, from the
// window's creation on (WM_CREATE included). They are looked up in the
// class's message table, then in the base classes' tables; a message without
// a row gets the dialog manager's default processing. A handler may call
// Default() to pass the message being handled on to that processing.
//
// A dialog whose template lies at 0,0 without DS_CENTER, and which does not
// move itself during OnInitDialog, is centred before it is first shown: over
// its owner when the owner is visible, otherwise in the work area.
class CDialog : public CWnd {
 public:
  // With no parent, the dialog is owned by the application's main window
  // (when that exists and is not this dialog).
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
  ~CDialog() override;

  // Creates the dialog and runs its modal loop (IsDialogMessage: Escape is
  // Cancel, Return the default button). Returns EndDialog's result, or -1
  // when the dialog could not be created.
  virtual INT_PTR DoModal();
  void EndDialog(int nResult);

  // Copies members into controls (FALSE) or controls into members (TRUE).
  BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

 protected:
  // Default: copies the members into the controls; returns TRUE so that the
  // dialog manager gives the focus to the first tab stop.
  virtual BOOL OnInitDialog();
  // Default: copies the controls into the members and ends the dialog (IDOK).
  virtual void OnOK();
  // Default: ends the dialog (IDCANCEL).
  virtual void OnCancel();
  // Default: exchanges nothing.
  virtual void DoDataExchange(CDataExchange* pDX);

  // Default processing of the message now being handled.
  LRESULT Default();

  virtual const MessageTable* GetMessageTable() const;
  static const MessageTable* ClassMessageTable();

 private:
  friend LRESULT CALLBACK DialogCreationHook(int code, WPARAM wParam, LPARAM lParam);
  struct CurrentMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
  };

  void AttachCreated(HWND hwnd);
  LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnInitDialogMessage();
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  UINT m_nIDTemplate;
  CWnd* m_pParentWnd;
  WNDPROC m_pfnDefault = nullptr;  // the dialog manager's window procedure
  CurrentMessage m_current{};
  bool m_bCenterOnInit = false;    // template at 0,0 without DS_CENTER
};

// Data exchange: the text of an edit (or any) control <-> an ANSI string.
void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value);
// Binds a control member to the dialog's control nIDC.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& control);

// Centres a top-level window over its owner when the owner is visible, and
// otherwise in the work area of the monitor it is on; keeps it inside the
// work area.
void CenterWindowOnOwnerOrWorkArea(HWND hwnd);

// ---------------------------------------------------------------------------
// Message tables.
//
// In the class:                  DECLARE_MESSAGE_TABLE()
// In the .cpp:
//   BEGIN_MESSAGE_TABLE(CMyDlg, CDialog)
//     ON_PAINT(OnPaint)                    // void OnPaint()
//     ON_SYSCOMMAND(OnSysCommand)          // void OnSysCommand(UINT nID, LPARAM)
//     ON_QUERYDRAGICON(OnQueryDragIcon)    // HICON OnQueryDragIcon()
//     ON_TIMER(OnTimer)                    // void OnTimer(UINT_PTR nIDEvent)
//     ON_CREATE(OnCreate)                  // int OnCreate(LPCREATESTRUCTA)
//     ON_COMMAND(IDOK, OnApply)            // void OnApply()
//     ON_MESSAGE(WM_USER + 1, OnMine)      // LRESULT OnMine(WPARAM, LPARAM)
//   END_MESSAGE_TABLE()
//
// CDialog's own table binds IDOK to OnOK and IDCANCEL to OnCancel (both
// virtual); a row for IDOK or IDCANCEL in a derived table replaces them.
// ---------------------------------------------------------------------------

namespace message_thunk {

template <class F>
struct ClassOf;
template <class T, class R, class... A>
struct ClassOf<R (T::*)(A...)> {
  using type = T;
};
template <auto F>
using HandlerClass = typename ClassOf<decltype(F)>::type;

template <auto F>
LRESULT NoArgs(CDialog& d, WPARAM, LPARAM) {
  (static_cast<HandlerClass<F>&>(d).*F)();
  return 0;
}
template <auto F>
LRESULT SysCommand(CDialog& d, WPARAM wParam, LPARAM lParam) {
  (static_cast<HandlerClass<F>&>(d).*F)(static_cast<UINT>(wParam), lParam);
  return 0;
}
template <auto F>
LRESULT ReturnsIcon(CDialog& d, WPARAM, LPARAM) {
  return reinterpret_cast<LRESULT>((static_cast<HandlerClass<F>&>(d).*F)());
}
template <auto F>
LRESULT Timer(CDialog& d, WPARAM wParam, LPARAM) {
  (static_cast<HandlerClass<F>&>(d).*F)(static_cast<UINT_PTR>(wParam));
  return 0;
}
template <auto F>
LRESULT Create(CDialog& d, WPARAM, LPARAM lParam) {
  return (static_cast<HandlerClass<F>&>(d).*F)(reinterpret_cast<LPCREATESTRUCTA>(lParam));
}
template <auto F>
LRESULT Raw(CDialog& d, WPARAM wParam, LPARAM lParam) {
  return (static_cast<HandlerClass<F>&>(d).*F)(wParam, lParam);
}

}  // namespace message_thunk

#define DECLARE_MESSAGE_TABLE()                                \
 protected:                                                    \
  const MessageTable* GetMessageTable() const override;        \
  static const MessageTable* ClassMessageTable();

#define BEGIN_MESSAGE_TABLE(theClass, baseClass)                                    \
  const MessageTable* theClass::GetMessageTable() const { return ClassMessageTable(); } \
  const MessageTable* theClass::ClassMessageTable() {                               \
    using ThisClass [[maybe_unused]] = theClass;                                    \
    using BaseClass = baseClass;                                                    \
    static const MessageEntry entries[] = {

#define END_MESSAGE_TABLE()                                                  \
      {0, 0, nullptr}};                                                      \
    static const MessageTable table = {BaseClass::ClassMessageTable(), entries}; \
    return &table;                                                           \
  }

#define ON_MESSAGE(msg, handler) {msg, 0, &message_thunk::Raw<&ThisClass::handler>},
#define ON_COMMAND(id, handler) {WM_COMMAND, id, &message_thunk::NoArgs<&ThisClass::handler>},
#define ON_PAINT(handler) {WM_PAINT, 0, &message_thunk::NoArgs<&ThisClass::handler>},
#define ON_SYSCOMMAND(handler) {WM_SYSCOMMAND, 0, &message_thunk::SysCommand<&ThisClass::handler>},
#define ON_QUERYDRAGICON(handler) \
  {WM_QUERYDRAGICON, 0, &message_thunk::ReturnsIcon<&ThisClass::handler>},
#define ON_TIMER(handler) {WM_TIMER, 0, &message_thunk::Timer<&ThisClass::handler>},
#define ON_CREATE(handler) {WM_CREATE, 0, &message_thunk::Create<&ThisClass::handler>},
