// The progress bar control (msctls_progress32), bound to a dialog's control
// through DDX_Control.
#pragma once

#include "win_dialog.h"

class CProgressCtrl : public CWnd {
 public:
  // Registers the common controls' progress class, so that a dialog created
  // after this object can hold the control.
  CProgressCtrl();

  // Moves the bar to pos; returns the previous position.
  int SetPos(int pos);
};
