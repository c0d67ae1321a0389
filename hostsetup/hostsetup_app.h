// hostsetup's application object: starts the sockets layer, then runs the
// server setup dialog.
#pragma once

#include "dialog_shell.h"

class CHostSetupApp : public CWinApp {
 public:
  BOOL InitInstance() override;
};
