// The main window's procedure: it routes each message to the code that owns the reaction.
#pragma once

#include <windows.h>

LRESULT CALLBACK LauncherWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
