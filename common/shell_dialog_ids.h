/* Resource numbers shared by both programs' main dialogs and About boxes.
   Included by each program's resource.h, so also read by the resource
   compiler: plain #defines only. */
#ifndef KORAVI_SHELL_DIALOG_IDS_H
#define KORAVI_SHELL_DIALOG_IDS_H

#define IDD_ABOUTBOX  100
#define IDS_ABOUTBOX  101
#define IDR_MAINFRAME 128

/* System menu command of the About item; system commands ignore the low
   four bits, so it must be a multiple of 16 below 0xF000. */
#define IDM_ABOUTBOX  0x0010

#endif
