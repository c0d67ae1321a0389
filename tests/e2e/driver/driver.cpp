// driver.exe: reads and operates the windows of the programs under test from
// outside, the way a person at the screen would, and writes what it found to a
// result file (JSON, UTF-8). The harness never reads this program's standard
// output: Wine's helper processes can keep pipes open for ever.
//
//   driver.exe RESULT COMMAND [--option value]...
//
// Window selection (every command that works on one window):
//   --hwnd 0xHEX            that window
//   --caption TEXT          top-level window with exactly this caption
//   --class NAME            ... of this window class (e.g. #32770)
//   --exe NAME              ... owned by a process whose image is NAME.exe
//   --visible 1|0           ... only visible (1) or only hidden (0) windows
//   --timeout MS            how long to wait for it (default 5000)
// TEXT arguments are UTF-16 from the command line, or "hex:" followed by the
// GBK (code page 936) bytes in hex, which does not depend on any locale.
//
// Commands:
//   list                    every top-level window (selection filters apply)
//   wait                    wait for the window; describe it
//   wait-gone               wait until no window matches
//   wait-exit --exe NAME    wait until no process of that image runs
//   dump [--font-pt 9] [--font-face TEXT]
//                           the window and its controls; control rectangles
//                           also in dialog units of a dialog with that font
//   set-text --id N --text TEXT
//   click --id N [--how bmclick|command]
//   key --key escape|return [--id N]   (to control N, else to the focus)
//   syscommand --cmd 0x0010  post WM_SYSCOMMAND (e.g. the About item)
//                           These four describe the window as it was before
//                           they acted; click, key and syscommand take
//                           --wait-gone MS to wait until it is destroyed.
//   msgbox [--press ID] [--how ...]   read a message box, optionally close it
//   progress --id N [--text-id M] [--every MS] [--for MS]
//                           sample a progress bar's position until the window
//                           goes away or the time is up
//   hold --path FILE [--for MS]
//                           open an existing file with share mode 0 (as
//                           another program that has it open), write the
//                           result at once and keep the file open for MS ms
//                           (default 60000) or until this process is ended
//
// Every result has "ok" (and "error" when not ok); the exit code is 0 when ok.

// Window and process queries of Windows Vista and later, which Wine has.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <map>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------- text forms

std::string ToUtf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                    nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n,
                      nullptr, nullptr);
  return out;
}

std::string ToGbkHex(const std::wstring& text) {
  static const char digits[] = "0123456789abcdef";
  if (text.empty()) return std::string();
  const int n = WideCharToMultiByte(936, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(936, 0, text.data(), static_cast<int>(text.size()), &bytes[0], n, nullptr,
                      nullptr);
  std::string hex;
  for (unsigned char c : bytes) {
    hex += digits[c >> 4];
    hex += digits[c & 15];
  }
  return hex;
}

// "hex:<GBK bytes>" or the argument itself.
std::wstring DecodeTextArg(const std::wstring& arg) {
  if (arg.compare(0, 4, L"hex:") != 0) return arg;
  std::string bytes;
  for (size_t i = 4; i + 1 < arg.size(); i += 2) {
    const wchar_t pair[3] = {arg[i], arg[i + 1], 0};
    bytes += static_cast<char>(wcstoul(pair, nullptr, 16));
  }
  if (bytes.empty()) return std::wstring();
  const int n = MultiByteToWideChar(936, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(936, 0, bytes.data(), static_cast<int>(bytes.size()), &out[0], n);
  return out;
}

bool SameTextNoCase(const std::wstring& a, const std::wstring& b) {
  return CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) ==
         CSTR_EQUAL;
}

// ---------------------------------------------------------------- JSON out

std::string JsonString(const std::string& utf8) {
  std::string out = "\"";
  for (unsigned char c : utf8) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

// A JSON object built field by field.
class Obj {
 public:
  Obj& Raw(const char* key, const std::string& json) {
    if (!body_.empty()) body_ += ",";
    body_ += JsonString(key) + ":" + json;
    return *this;
  }
  Obj& Str(const char* key, const std::string& utf8) { return Raw(key, JsonString(utf8)); }
  Obj& Text(const char* key, const std::wstring& text) {
    Str(key, ToUtf8(text));
    return Str((std::string(key) + "_gbk").c_str(), ToGbkHex(text));
  }
  Obj& Int(const char* key, long long v) { return Raw(key, std::to_string(v)); }
  Obj& Bool(const char* key, bool v) { return Raw(key, v ? "true" : "false"); }
  Obj& Hwnd(const char* key, HWND h) {
    if (h == nullptr) return Raw(key, "null");
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%llx", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(h)));
    return Str(key, buf);
  }
  Obj& Rect(const char* key, const RECT& r) {
    return Raw(key, "[" + std::to_string(r.left) + "," + std::to_string(r.top) + "," +
                        std::to_string(r.right) + "," + std::to_string(r.bottom) + "]");
  }
  std::string Json() const { return "{" + body_ + "}"; }

 private:
  std::string body_;
};

std::string JsonArray(const std::vector<std::string>& items) {
  std::string out = "[";
  for (size_t i = 0; i < items.size(); ++i) out += (i ? "," : "") + items[i];
  return out + "]";
}

// ---------------------------------------------------------------- time

long long UnixMs() {
  using Precise = VOID(WINAPI*)(LPFILETIME);
  static const Precise precise = reinterpret_cast<Precise>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetSystemTimePreciseAsFileTime")));
  FILETIME ft;
  if (precise != nullptr) {
    precise(&ft);
  } else {
    GetSystemTimeAsFileTime(&ft);
  }
  const unsigned long long t = (static_cast<unsigned long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
  return static_cast<long long>((t - 116444736000000000ULL) / 10000ULL);
}

double MonotonicMs() {
  static LARGE_INTEGER freq = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

// ---------------------------------------------------------------- windows

const UINT kSendFlags = SMTO_ABORTIFHUNG | SMTO_BLOCK;

std::wstring WindowText(HWND hwnd, UINT timeout_ms = 1000) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, kSendFlags, timeout_ms, &length)) {
    return std::wstring();
  }
  std::vector<wchar_t> buf(length + 2, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()),
                           kSendFlags, timeout_ms, &copied)) {
    return std::wstring();
  }
  return std::wstring(buf.data(), copied < buf.size() ? copied : buf.size() - 1);
}

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[256] = {};
  GetClassNameW(hwnd, name, 256);
  return name;
}

std::wstring ImageOfProcess(DWORD pid) {
  static std::map<DWORD, std::wstring> cache;
  auto found = cache.find(pid);
  if (found != cache.end()) return found->second;
  std::wstring image;
  if (HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid)) {
    wchar_t path[MAX_PATH * 2] = {};
    DWORD size = MAX_PATH * 2;
    if (QueryFullProcessImageNameW(process, 0, path, &size)) image.assign(path, size);
    CloseHandle(process);
  }
  cache[pid] = image;
  return image;
}

std::wstring BaseName(const std::wstring& path) {
  const size_t cut = path.find_last_of(L"\\/:");
  return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

bool ImageIs(const std::wstring& image_path, const std::wstring& name) {
  std::wstring base = BaseName(image_path);
  return SameTextNoCase(base, name) || SameTextNoCase(base, name + L".exe");
}

struct Selector {
  HWND hwnd = nullptr;
  bool has_caption = false;
  std::wstring caption;
  std::wstring cls;
  std::wstring exe;
  int visible = -1;  // -1 any, 0 hidden only, 1 visible only
  DWORD timeout_ms = 5000;
};

bool Matches(HWND hwnd, const Selector& sel) {
  if (sel.visible >= 0 && (IsWindowVisible(hwnd) ? 1 : 0) != sel.visible) return false;
  if (!sel.cls.empty() && ClassOf(hwnd) != sel.cls) return false;
  if (!sel.exe.empty()) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (!ImageIs(ImageOfProcess(pid), sel.exe)) return false;
  }
  if (sel.has_caption && WindowText(hwnd, 300) != sel.caption) return false;
  return true;
}

std::vector<HWND> TopLevelWindows() {
  std::vector<HWND> all;
  EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&all));
  return all;
}

std::vector<HWND> FindWindows(const Selector& sel) {
  std::vector<HWND> found;
  if (sel.hwnd != nullptr) {
    if (IsWindow(sel.hwnd) && Matches(sel.hwnd, sel)) found.push_back(sel.hwnd);
    return found;
  }
  for (HWND hwnd : TopLevelWindows()) {
    if (Matches(hwnd, sel)) found.push_back(hwnd);
  }
  return found;
}

HWND WaitWindow(const Selector& sel) {
  const double end = MonotonicMs() + sel.timeout_ms;
  for (;;) {
    std::vector<HWND> found = FindWindows(sel);
    if (!found.empty()) return found.front();
    if (MonotonicMs() >= end) return nullptr;
    Sleep(20);
  }
}

HWND ControlOf(HWND window, int id) { return GetDlgItem(window, id); }

RECT RectInClientOf(HWND child, HWND parent) {
  RECT r{};
  GetWindowRect(child, &r);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

RECT ClientOnScreen(HWND hwnd) {
  RECT r{};
  GetClientRect(hwnd, &r);
  MapWindowPoints(hwnd, HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

HWND FocusOfThreadOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  const DWORD tid = GetWindowThreadProcessId(window, nullptr);
  if (!GetGUIThreadInfo(tid, &info)) return nullptr;
  return info.hwndFocus;
}

Obj Describe(HWND hwnd) {
  Obj o;
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  RECT window{};
  GetWindowRect(hwnd, &window);
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const LONG exstyle = GetWindowLongW(hwnd, GWL_EXSTYLE);
  const HWND owner = GetWindow(hwnd, GW_OWNER);
  const HWND focus = FocusOfThreadOf(hwnd);
  o.Hwnd("hwnd", hwnd)
      .Text("caption", WindowText(hwnd))
      .Str("class", ToUtf8(ClassOf(hwnd)))
      .Int("pid", pid)
      .Str("exe", ToUtf8(ImageOfProcess(pid)))
      .Int("style", static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE)))
      .Int("exstyle", static_cast<DWORD>(exstyle))
      .Bool("visible", IsWindowVisible(hwnd) != FALSE)
      .Bool("enabled", IsWindowEnabled(hwnd) != FALSE)
      .Bool("iconic", IsIconic(hwnd) != FALSE)
      .Bool("topmost", (exstyle & WS_EX_TOPMOST) != 0)
      .Hwnd("owner", owner)
      .Rect("rect", window)
      .Rect("client", ClientOnScreen(hwnd))
      .Rect("work", work)
      .Int("screen_w", GetSystemMetrics(SM_CXSCREEN))
      .Int("screen_h", GetSystemMetrics(SM_CYSCREEN));
  if (owner != nullptr) {
    RECT owner_rect{};
    GetWindowRect(owner, &owner_rect);
    o.Text("owner_caption", WindowText(owner, 300))
        .Bool("owner_visible", IsWindowVisible(owner) != FALSE)
        .Bool("owner_enabled", IsWindowEnabled(owner) != FALSE)
        .Rect("owner_rect", owner_rect);
  }
  if (focus != nullptr && (focus == hwnd || IsChild(hwnd, focus))) {
    o.Int("focus_id", GetDlgCtrlID(focus));
  } else {
    o.Raw("focus_id", "null");
  }
  return o;
}

// ---------------------------------------------------------------- dialog units

// Base units of a dialog with the given font, taken from a hidden dialog of
// our own: the target's own dialog cannot be asked from another process.
INT_PTR CALLBACK QuietDialogProc(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

bool DialogBaseUnits(int point_size, const std::wstring& face, int* bx, int* by,
                     std::wstring* face_used) {
  std::vector<WORD> t;
  auto dword = [&t](DWORD v) {
    t.push_back(LOWORD(v));
    t.push_back(HIWORD(v));
  };
  t.push_back(1);       // dlgVer
  t.push_back(0xFFFF);  // signature: extended template
  dword(0);             // helpID
  dword(0);             // exStyle
  dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT);
  t.push_back(0);                          // no controls
  for (int i = 0; i < 4; ++i) t.push_back(i < 2 ? 0 : 100);  // x, y, cx, cy
  t.push_back(0);                          // no menu
  t.push_back(0);                          // default class
  t.push_back(0);                          // empty caption
  t.push_back(static_cast<WORD>(point_size));
  t.push_back(0);       // weight: as our resource compiler writes FONT n, "face"
  t.push_back(0x0100);  // italic 0, charset DEFAULT_CHARSET
  for (wchar_t c : face) t.push_back(static_cast<WORD>(c));
  t.push_back(0);
  const HWND dlg = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                              reinterpret_cast<LPCDLGTEMPLATEW>(t.data()),
                                              nullptr, QuietDialogProc, 0);
  if (dlg == nullptr) return false;
  RECT r{0, 0, 4, 8};
  MapDialogRect(dlg, &r);
  *bx = r.right;
  *by = r.bottom;
  if (HFONT font = reinterpret_cast<HFONT>(SendMessageW(dlg, WM_GETFONT, 0, 0))) {
    if (HDC dc = GetDC(dlg)) {
      HGDIOBJ old = SelectObject(dc, font);
      wchar_t name[LF_FACESIZE] = {};
      GetTextFaceW(dc, LF_FACESIZE, name);
      *face_used = name;
      SelectObject(dc, old);
      ReleaseDC(dlg, dc);
    }
  }
  DestroyWindow(dlg);
  return *bx > 0 && *by > 0;
}

// The dialog-unit value that the dialog manager maps to exactly `px` pixels,
// or false when there is none (the control was not placed by a template).
bool Unmap(int px, int base, int divisor, int* units) {
  const int guess = px * divisor / base;
  for (int d = guess - 4; d <= guess + 4; ++d) {
    if (MulDiv(d, base, divisor) == px) {
      *units = d;
      return true;
    }
  }
  return false;
}

// ---------------------------------------------------------------- controls

bool IsIconStatic(HWND control) {
  return _wcsicmp(ClassOf(control).c_str(), L"Static") == 0 &&
         (GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
}

std::string DescribeControl(HWND control, HWND parent, int bx, int by) {
  Obj c;
  const RECT r = RectInClientOf(control, parent);
  c.Hwnd("hwnd", control)
      .Int("id", GetDlgCtrlID(control))
      .Str("class", ToUtf8(ClassOf(control)))
      .Text("text", WindowText(control))
      .Int("style", static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE)))
      .Int("exstyle", static_cast<DWORD>(GetWindowLongW(control, GWL_EXSTYLE)))
      .Bool("visible", IsWindowVisible(control) != FALSE)
      .Bool("enabled", IsWindowEnabled(control) != FALSE)
      .Rect("px", r)
      .Raw("client_size", [&] {
        // Smaller than the window when the control draws a border.
        RECT cr{};
        GetClientRect(control, &cr);
        return "[" + std::to_string(cr.right) + "," + std::to_string(cr.bottom) + "]";
      }())
      .Rect("screen", [&] {
        RECT s{};
        GetWindowRect(control, &s);
        return s;
      }());
  // [x, y, cx, cy]. The dialog manager maps a template's position and size
  // each on its own (MulDiv by the base unit); an element is null where no
  // dialog-unit value gives the pixels exactly (an icon static, for one,
  // takes its icon's size).
  int x = 0, y = 0, cx = 0, cy = 0;
  const bool hx = bx > 0 && Unmap(r.left, bx, 4, &x);
  const bool hy = by > 0 && Unmap(r.top, by, 8, &y);
  const bool hcx = bx > 0 && Unmap(r.right - r.left, bx, 4, &cx);
  const bool hcy = by > 0 && Unmap(r.bottom - r.top, by, 8, &cy);
  auto num = [](bool have, int v) { return have ? std::to_string(v) : std::string("null"); };
  c.Raw("dlu", "[" + num(hx, x) + "," + num(hy, y) + "," + num(hcx, cx) + "," + num(hcy, cy) + "]");
  if (IsIconStatic(control)) {
    DWORD_PTR icon = 0;
    SendMessageTimeoutW(control, STM_GETICON, 0, 0, kSendFlags, 1000, &icon);
    c.Bool("icon", icon != 0 && r.right > r.left && r.bottom > r.top);
  }
  return c.Json();
}

std::vector<HWND> ChildrenInOrder(HWND window) {
  std::vector<HWND> out;
  for (HWND c = GetWindow(window, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
    out.push_back(c);
  }
  return out;
}

bool PostClick(HWND window, int id, const std::wstring& how) {
  const HWND control = ControlOf(window, id);
  if (how == L"command") {
    return PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                        reinterpret_cast<LPARAM>(control)) != FALSE;
  }
  return control != nullptr && PostMessageW(control, BM_CLICK, 0, 0) != FALSE;
}

bool WaitGoneWindow(HWND hwnd, DWORD timeout_ms) {
  const double end = MonotonicMs() + timeout_ms;
  while (IsWindow(hwnd)) {
    if (MonotonicMs() >= end) return false;
    Sleep(20);
  }
  return true;
}

// ---------------------------------------------------------------- arguments

struct Args {
  std::wstring result;
  std::wstring command;
  std::map<std::wstring, std::wstring> opt;

  bool Has(const wchar_t* name) const { return opt.count(name) != 0; }
  std::wstring Get(const wchar_t* name, const wchar_t* fallback = L"") const {
    auto it = opt.find(name);
    return it == opt.end() ? fallback : it->second;
  }
  long Num(const wchar_t* name, long fallback) const {
    auto it = opt.find(name);
    return it == opt.end() ? fallback : static_cast<long>(wcstol(it->second.c_str(), nullptr, 0));
  }
};

Selector SelectorFrom(const Args& a) {
  Selector s;
  if (a.Has(L"hwnd")) s.hwnd = reinterpret_cast<HWND>(static_cast<UINT_PTR>(wcstoull(a.Get(L"hwnd").c_str(), nullptr, 0)));
  if (a.Has(L"caption")) {
    s.has_caption = true;
    s.caption = DecodeTextArg(a.Get(L"caption"));
  }
  s.cls = a.Get(L"class");
  s.exe = a.Get(L"exe");
  s.visible = static_cast<int>(a.Num(L"visible", -1));
  s.timeout_ms = static_cast<DWORD>(a.Num(L"timeout", 5000));
  return s;
}

// ---------------------------------------------------------------- commands

struct Result {
  bool ok = true;
  std::string error;
  Obj body;
};

void Fail(Result& r, const std::string& why) {
  r.ok = false;
  r.error = why;
}

HWND NeedWindow(const Args& a, Result& r) {
  const Selector sel = SelectorFrom(a);
  const HWND hwnd = WaitWindow(sel);
  if (hwnd == nullptr) Fail(r, "no window matched within the timeout");
  return hwnd;
}

// The window a command acts on, described as it was before the action.
HWND ActOn(const Args& a, Result& r) {
  const HWND hwnd = NeedWindow(a, r);
  if (hwnd != nullptr) r.body.Raw("window", Describe(hwnd).Json());
  return hwnd;
}

// --wait-gone MS: after the action, wait until the window is destroyed.
void MaybeWaitGone(const Args& a, Result& r, HWND hwnd) {
  if (!r.ok || !a.Has(L"wait-gone")) return;
  const bool gone = WaitGoneWindow(hwnd, static_cast<DWORD>(a.Num(L"wait-gone", 5000)));
  r.body.Bool("gone", gone);
  if (!gone) Fail(r, "the window is still there after the action");
}

void CmdList(const Args& a, Result& r) {
  Selector sel = SelectorFrom(a);
  std::vector<std::string> items;
  for (HWND hwnd : FindWindows(sel)) items.push_back(Describe(hwnd).Json());
  r.body.Raw("windows", JsonArray(items));
}

void CmdWait(const Args& a, Result& r) {
  if (HWND hwnd = NeedWindow(a, r)) r.body.Raw("window", Describe(hwnd).Json());
}

void CmdWaitGone(const Args& a, Result& r) {
  const Selector sel = SelectorFrom(a);
  const double end = MonotonicMs() + sel.timeout_ms;
  while (!FindWindows(sel).empty()) {
    if (MonotonicMs() >= end) return Fail(r, "a matching window is still there");
    Sleep(20);
  }
}

int CountProcesses(const std::wstring& exe) {
  int count = 0;
  const HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return -1;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snap, &entry); more; more = Process32NextW(snap, &entry)) {
    if (ImageIs(entry.szExeFile, exe)) ++count;
  }
  CloseHandle(snap);
  return count;
}

void CmdWaitExit(const Args& a, Result& r) {
  const std::wstring exe = a.Get(L"exe");
  if (exe.empty()) return Fail(r, "wait-exit needs --exe");
  const double end = MonotonicMs() + a.Num(L"timeout", 5000);
  for (;;) {
    const int n = CountProcesses(exe);
    if (n == 0) return;
    if (MonotonicMs() >= end) {
      r.body.Int("running", n);
      return Fail(r, "the process is still running");
    }
    Sleep(20);
  }
}

void CmdDump(const Args& a, Result& r) {
  const HWND hwnd = NeedWindow(a, r);
  if (hwnd == nullptr) return;
  const int pt = static_cast<int>(a.Num(L"font-pt", 9));
  // Default face: 宋体
  const std::wstring face = a.Has(L"font-face") ? DecodeTextArg(a.Get(L"font-face")) : L"\x5b8b\x4f53";
  int bx = 0, by = 0;
  std::wstring face_used;
  if (!DialogBaseUnits(pt, face, &bx, &by, &face_used)) Fail(r, "could not make the measuring dialog");
  Obj window = Describe(hwnd);
  RECT client{};
  GetClientRect(hwnd, &client);
  int cx, cy;
  if (bx > 0 && Unmap(client.right, bx, 4, &cx) && Unmap(client.bottom, by, 8, &cy)) {
    window.Raw("client_dlu", "[" + std::to_string(cx) + "," + std::to_string(cy) + "]");
  } else {
    window.Raw("client_dlu", "null");
  }
  std::vector<std::string> controls;
  for (HWND c : ChildrenInOrder(hwnd)) controls.push_back(DescribeControl(c, hwnd, bx, by));
  window.Raw("controls", JsonArray(controls));
  r.body.Raw("window", window.Json())
      .Raw("base_units", "[" + std::to_string(bx) + "," + std::to_string(by) + "]")
      .Str("font_face_used", ToUtf8(face_used));
}

void CmdSetText(const Args& a, Result& r) {
  const HWND hwnd = ActOn(a, r);
  if (hwnd == nullptr) return;
  const HWND control = ControlOf(hwnd, static_cast<int>(a.Num(L"id", 0)));
  if (control == nullptr) return Fail(r, "no control with that id");
  const std::wstring text = DecodeTextArg(a.Get(L"text"));
  DWORD_PTR done = 0;
  if (!SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                           kSendFlags, 2000, &done) || !done) {
    return Fail(r, "WM_SETTEXT failed");
  }
  r.body.Text("text", WindowText(control));
}

void CmdClick(const Args& a, Result& r) {
  const HWND hwnd = ActOn(a, r);
  if (hwnd == nullptr) return;
  if (!PostClick(hwnd, static_cast<int>(a.Num(L"id", 0)), a.Get(L"how", L"bmclick"))) {
    Fail(r, "could not post the click");
  }
  MaybeWaitGone(a, r, hwnd);
}

void CmdKey(const Args& a, Result& r) {
  const HWND hwnd = ActOn(a, r);
  if (hwnd == nullptr) return;
  const std::wstring key = a.Get(L"key");
  UINT vk = 0, scan = 0;
  if (key == L"escape") {
    vk = VK_ESCAPE;
    scan = 0x01;
  } else if (key == L"return") {
    vk = VK_RETURN;
    scan = 0x1C;
  } else {
    return Fail(r, "unknown key");
  }
  HWND target = hwnd;
  if (a.Has(L"id")) {
    target = ControlOf(hwnd, static_cast<int>(a.Num(L"id", 0)));
    if (target == nullptr) return Fail(r, "no control with that id");
  } else {
    const HWND focus = FocusOfThreadOf(hwnd);
    if (focus != nullptr && (focus == hwnd || IsChild(hwnd, focus))) target = focus;
  }
  const LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16);
  const LPARAM up = down | (static_cast<LPARAM>(3) << 30);
  if (!PostMessageW(target, WM_KEYDOWN, vk, down) || !PostMessageW(target, WM_KEYUP, vk, up)) {
    return Fail(r, "could not post the key");
  }
  r.body.Hwnd("target", target).Int("target_id", target == hwnd ? -1 : GetDlgCtrlID(target));
  MaybeWaitGone(a, r, hwnd);
}

void CmdSysCommand(const Args& a, Result& r) {
  const HWND hwnd = ActOn(a, r);
  if (hwnd == nullptr) return;
  if (!PostMessageW(hwnd, WM_SYSCOMMAND, static_cast<WPARAM>(a.Num(L"cmd", 0x10)), 0)) {
    Fail(r, "could not post WM_SYSCOMMAND");
  }
  MaybeWaitGone(a, r, hwnd);
}

void CmdMsgBox(const Args& a, Result& r) {
  Args with_class = a;
  if (!with_class.Has(L"class")) with_class.opt[L"class"] = L"#32770";
  if (!with_class.Has(L"visible")) with_class.opt[L"visible"] = L"1";
  const HWND hwnd = NeedWindow(with_class, r);
  if (hwnd == nullptr) return;
  Obj box = Describe(hwnd);
  std::wstring message;
  bool icon = false;
  RECT icon_rect{};
  std::vector<std::string> buttons;
  for (HWND c : ChildrenInOrder(hwnd)) {
    const std::wstring cls = ClassOf(c);
    if (_wcsicmp(cls.c_str(), L"Button") == 0) {
      buttons.push_back(Obj().Int("id", GetDlgCtrlID(c)).Text("text", WindowText(c)).Json());
    } else if (IsIconStatic(c)) {
      DWORD_PTR handle = 0;
      SendMessageTimeoutW(c, STM_GETICON, 0, 0, kSendFlags, 1000, &handle);
      RECT s{};
      GetWindowRect(c, &s);
      if (handle != 0 && IsWindowVisible(c) && s.right > s.left && s.bottom > s.top) {
        icon = true;
        icon_rect = s;
      }
    } else if (_wcsicmp(cls.c_str(), L"Static") == 0) {
      const std::wstring text = WindowText(c);
      if (!text.empty()) message += message.empty() ? text : L"\n" + text;
    }
  }
  box.Text("message", message).Bool("icon", icon).Raw("buttons", JsonArray(buttons));
  if (icon) box.Rect("icon_screen", icon_rect);
  r.body.Raw("box", box.Json());
  if (a.Has(L"press")) {
    if (!PostClick(hwnd, static_cast<int>(a.Num(L"press", IDOK)), a.Get(L"how", L"bmclick"))) {
      return Fail(r, "could not press the button");
    }
    const bool closed = WaitGoneWindow(hwnd, static_cast<DWORD>(a.Num(L"timeout", 5000)));
    r.body.Bool("closed", closed);
    if (!closed) Fail(r, "the message box did not close");
  }
}

void CmdProgress(const Args& a, Result& r) {
  const HWND hwnd = NeedWindow(a, r);
  if (hwnd == nullptr) return;
  const HWND bar = ControlOf(hwnd, static_cast<int>(a.Num(L"id", 0)));
  if (bar == nullptr) return Fail(r, "no progress bar with that id");
  const HWND text_control = a.Has(L"text-id") ? ControlOf(hwnd, static_cast<int>(a.Num(L"text-id", 0))) : nullptr;
  const long every = a.Num(L"every", 20);
  const long total = a.Num(L"for", 8000);
  const double start = MonotonicMs();
  r.body.Int("start_unix_ms", UnixMs());
  std::vector<std::string> samples, texts;
  std::wstring last_text;
  bool have_text = false;
  double gone_at = -1;
  int missed = 0;
  for (;;) {
    const double now = MonotonicMs() - start;
    if (!IsWindow(hwnd)) {
      gone_at = now;
      break;
    }
    if (now > total) break;
    DWORD_PTR pos = 0;
    // A short timeout: the program's thread may sleep while it shows the end.
    if (SendMessageTimeoutW(bar, PBM_GETPOS, 0, 0, kSendFlags, 50, &pos)) {
      samples.push_back("[" + std::to_string(static_cast<long long>(now)) + "," +
                        std::to_string(static_cast<long long>(pos)) + "]");
    } else {
      // The program's thread is busy (it sleeps while it shows the end).
      samples.push_back("[" + std::to_string(static_cast<long long>(now)) + ",null]");
      ++missed;
    }
    if (text_control != nullptr) {
      // The text kept by the window manager: readable without the program's
      // thread, even while that thread sleeps.
      wchar_t buf[512] = {};
      GetWindowTextW(text_control, buf, 512);
      const std::wstring text = buf;
      if (!have_text || text != last_text) {
        texts.push_back("[" + std::to_string(static_cast<long long>(now)) + "," +
                        JsonString(ToUtf8(text)) + "," + JsonString(ToGbkHex(text)) + "]");
        last_text = text;
        have_text = true;
      }
    }
    const double next = start + now + every;
    const double wait = next - MonotonicMs();
    if (wait > 0) Sleep(static_cast<DWORD>(wait));
  }
  r.body.Raw("samples", JsonArray(samples))
      .Raw("texts", JsonArray(texts))
      .Int("missed", missed)
      .Raw("gone_at", gone_at < 0 ? "null" : std::to_string(static_cast<long long>(gone_at)));
}

bool WriteResult(const std::wstring& path, const std::string& json);

// Writes its result as soon as the file is held: the caller learns from the
// result file that the hold has begun, while this process keeps it.
void CmdHold(const Args& a, Result& r) {
  const std::wstring path = DecodeTextArg(a.Get(L"path"));
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  Obj out;
  out.Bool("ok", file != INVALID_HANDLE_VALUE).Str("command", "hold").Int("unix_ms", UnixMs());
  if (file == INVALID_HANDLE_VALUE) {
    out.Str("error", "could not open the file").Int("last_error", GetLastError());
    WriteResult(a.result, out.Json());
    return Fail(r, "could not open the file");
  }
  WriteResult(a.result, out.Json());
  Sleep(static_cast<DWORD>(a.Num(L"for", 60000)));
  CloseHandle(file);
}

bool WriteResult(const std::wstring& path, const std::string& json) {
  const std::wstring temp = path + L".part";
  const HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, json.data(), static_cast<DWORD>(json.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == json.size() &&
         MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv == nullptr || argc < 3) {
    std::fprintf(stderr, "usage: driver.exe RESULT COMMAND [--option value]...\n");
    return 2;
  }
  Args a;
  a.result = argv[1];
  a.command = argv[2];
  for (int i = 3; i < argc; ++i) {
    std::wstring key = argv[i];
    if (key.compare(0, 2, L"--") != 0) continue;
    key = key.substr(2);
    a.opt[key] = i + 1 < argc ? argv[++i] : L"";
  }
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&icc);

  Result r;
  const std::wstring& c = a.command;
  if (c == L"list") CmdList(a, r);
  else if (c == L"wait") CmdWait(a, r);
  else if (c == L"wait-gone") CmdWaitGone(a, r);
  else if (c == L"wait-exit") CmdWaitExit(a, r);
  else if (c == L"dump") CmdDump(a, r);
  else if (c == L"set-text") CmdSetText(a, r);
  else if (c == L"click") CmdClick(a, r);
  else if (c == L"key") CmdKey(a, r);
  else if (c == L"syscommand") CmdSysCommand(a, r);
  else if (c == L"msgbox") CmdMsgBox(a, r);
  else if (c == L"progress") CmdProgress(a, r);
  else if (c == L"hold") CmdHold(a, r);
  else Fail(r, "unknown command");

  Obj out;
  out.Bool("ok", r.ok).Str("command", ToUtf8(c)).Int("unix_ms", UnixMs());
  if (!r.ok) out.Str("error", r.error);
  std::string json = out.Json();
  const std::string body = r.body.Json();
  if (body.size() > 2) json = json.substr(0, json.size() - 1) + "," + body.substr(1);
  if (!WriteResult(a.result, json)) return 3;
  return r.ok ? 0 : 1;
}
