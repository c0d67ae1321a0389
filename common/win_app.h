// The application object and what hangs on it: the main window, the
// program's title and the application message box.
#pragma once

#include <windows.h>

#include <string>

class CWnd;

// Base of the one global application object of a program. The program's
// WinMain (common/win_main.cpp) calls InitInstance; when it returns FALSE
// the process ends at once, otherwise Run's message loop follows.
class CWinApp {
 public:
  CWinApp();
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  virtual BOOL InitInstance();
  virtual int Run();

  HINSTANCE m_hInstance = nullptr;
  // The main window: the owner of the application message box and of
  // dialogs created without a parent.
  CWnd* m_pMainWnd = nullptr;
  // The executable's file name without its extension.
  std::string m_strAppTitle;
};

CWinApp* AppGetApp();
CWnd* AppGetMainWnd();
HINSTANCE AppGetInstance();
// The application's title (see CWinApp::m_strAppTitle).
std::string AppGetTitle();

// A string of the program's string table, in the ANSI code page; empty when
// there is none.
std::string AppLoadString(UINT nID);

// The application message box. Owner: the main window, or its most recently
// active pop-up (a hidden main window still counts); none before the main
// window exists. Caption: the application's title. When the caller names no
// icon and asks for OK, OK-Cancel, Yes-No or Yes-No-Cancel, the exclamation
// icon is added. Returns the button chosen.
int AppMessageBox(const char* text, UINT type = MB_OK);
// The same with a string of the program's string table.
int AppMessageBox(UINT nIDPrompt, UINT type = MB_OK);

// The application object's startup, called by WinMain.
int AppWinMain(HINSTANCE instance);
