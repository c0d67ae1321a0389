#include "win_app.h"

#include "app_title.h"
#include "win_dialog.h"

namespace {

CWinApp* g_app = nullptr;

std::string ModuleTitle() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return koravi::AppTitleFromPath(std::string(path, length < MAX_PATH ? length : MAX_PATH));
}

}  // namespace

CWinApp::CWinApp() { g_app = this; }

CWinApp::~CWinApp() {
  if (g_app == this) g_app = nullptr;
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::Run() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

CWinApp* AppGetApp() { return g_app; }

CWnd* AppGetMainWnd() { return g_app ? g_app->m_pMainWnd : nullptr; }

HINSTANCE AppGetInstance() {
  if (g_app != nullptr && g_app->m_hInstance != nullptr) return g_app->m_hInstance;
  return GetModuleHandleA(nullptr);
}

std::string AppGetTitle() {
  if (g_app != nullptr && !g_app->m_strAppTitle.empty()) return g_app->m_strAppTitle;
  return ModuleTitle();
}

std::string AppLoadString(UINT nID) {
  char text[1024];
  const int length = LoadStringA(AppGetInstance(), nID, text, sizeof text);
  return length > 0 ? std::string(text, static_cast<size_t>(length)) : std::string();
}

int AppMessageBox(const char* text, UINT type) {
  HWND owner = nullptr;
  CWnd* main = AppGetMainWnd();
  if (main != nullptr && main->m_hWnd != nullptr && IsWindow(main->m_hWnd)) {
    owner = GetLastActivePopup(main->m_hWnd);
  }
  if ((type & MB_ICONMASK) == 0) {
    switch (type & MB_TYPEMASK) {
      case MB_OK:
      case MB_OKCANCEL:
      case MB_YESNO:
      case MB_YESNOCANCEL:
        type |= MB_ICONEXCLAMATION;
        break;
      default:
        break;
    }
  }
  const std::string caption = AppGetTitle();
  return MessageBoxA(owner, text, caption.c_str(), type);
}

int AppMessageBox(UINT nIDPrompt, UINT type) {
  const std::string text = AppLoadString(nIDPrompt);
  return AppMessageBox(text.c_str(), type);
}

int AppWinMain(HINSTANCE instance) {
  CWinApp* app = AppGetApp();
  if (app == nullptr) return 0;
  app->m_hInstance = instance;
  app->m_strAppTitle = ModuleTitle();
  if (!app->InitInstance()) return 0;
  return app->Run();
}
