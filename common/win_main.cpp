// The program's entry point: hands over to the global application object.
// Compiled into each program (not into the framework library), so that the
// linker always finds it.
#include <windows.h>

#include "win_app.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return AppWinMain(instance); }
