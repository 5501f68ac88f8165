// The main window's procedure and the hover tracking of the two owner-drawn buttons.
#pragma once

#include <windows.h>

LRESULT CALLBACK LauncherWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Procedure of the PLAY and site-link buttons: their own pointer messages feed the
// hover tracking, since the main window gets none while the pointer is over them.
LRESULT CALLBACK HoverButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam);
// Makes candidateId (0, ID_PLAY or ID_SITE_LINK) the hot control; on a change it
// repaints the button losing and the one gaining the hover look and asks for a
// leave notification for trackWindow, the window under the pointer.
void SetHotControl(HWND mainWindow, int candidateId, HWND trackWindow);
