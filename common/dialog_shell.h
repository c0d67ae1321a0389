// The dialog application shell: the framework both programs are built on.
//
//   CWinApp        one global application object per program; WinMain calls
//                  its InitInstance (win_app.h)
//   CDialog        modal dialogs from templates, message tables, data
//                  exchange (win_dialog.h)
//   CWinThread     worker threads, AppBeginThread (win_thread.h)
//   CProgressCtrl  the progress bar control (win_progress.h)
//   AppMessageBox  the application message box (win_app.h)
//   CShellDialog   the main dialogs' common share: About item, icons
//                  (shell_dialog.h)
#pragma once

#include "win_app.h"
#include "win_dialog.h"
#include "win_progress.h"
#include "win_thread.h"
