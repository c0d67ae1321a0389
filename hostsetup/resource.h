/* Resource numbers of hostsetup. Read by the compiler and by the resource
   compiler: plain #defines only. */
#ifndef KORAVI_HOSTSETUP_RESOURCE_H
#define KORAVI_HOSTSETUP_RESOURCE_H

#include "shell_dialog_ids.h"

#define IDP_SOCKETS_INIT_FAILED 103
#define IDD_HOSTSETUP_DIALOG    131

#define IDC_HOST   1000
#define IDC_NOTICE 1001
#define IDC_PORT   1004

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#endif
