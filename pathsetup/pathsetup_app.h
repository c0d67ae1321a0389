// pathsetup's application object: runs the startup dialog, which runs the
// whole adaptation.
#pragma once

#include "dialog_shell.h"

class CPathSetupApp : public CWinApp {
 public:
  BOOL InitInstance() override;
};
