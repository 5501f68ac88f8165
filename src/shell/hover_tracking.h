// The hover look of the PLAY and site-link buttons: which one is hot, and when it stops being.
#pragma once

#include <windows.h>

// Makes candidateId (0, ID_PLAY or ID_SITE_LINK) the hot control; on a change it
// repaints the button losing and the one gaining the hover look and asks for a
// leave notification for trackWindow, the window under the pointer.
void SetHotControl(HWND mainWindow, int candidateId, HWND trackWindow);
// A leave notification: the hot button loses its look unless the pointer is still on it.
void EndHover(HWND mainWindow);
// Procedure of the PLAY and site-link buttons: their own pointer messages feed the
// hover tracking, since the main window gets none while the pointer is over them.
LRESULT CALLBACK HoverButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam);
