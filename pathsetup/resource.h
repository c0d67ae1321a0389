/* Resource numbers of pathsetup. Read by the compiler and by the resource
   compiler: plain #defines only. */
#ifndef KORAVI_PATHSETUP_RESOURCE_H
#define KORAVI_PATHSETUP_RESOURCE_H

#include "shell_dialog_ids.h"

#define IDD_PATHSETUP_DIALOG 102
#define IDD_PROGRESS         130

#define IDC_STARTING      1000
#define IDC_PROGRESS      1001
#define IDC_PROGRESS_TEXT 1002

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#endif
