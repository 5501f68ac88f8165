#include "shell/hover_tracking.h"

#include "base/launcher_state.h"

static void InvalidateButton(HWND mainWindow, int id)
{
    InvalidateRect(GetDlgItem(mainWindow, id), NULL, TRUE);
}

void SetHotControl(HWND mainWindow, int candidateId, HWND trackWindow)
{
    if (candidateId == gLauncher.hotControlId)
        return;
    int oldId = gLauncher.hotControlId;
    gLauncher.hotControlId = candidateId;
    if (oldId != 0)
        InvalidateButton(mainWindow, oldId);
    if (candidateId != 0)
        InvalidateButton(mainWindow, candidateId);

    TRACKMOUSEEVENT tracking = {};
    tracking.cbSize = sizeof(tracking);
    tracking.dwFlags = TME_LEAVE;
    tracking.hwndTrack = trackWindow;
    TrackMouseEvent(&tracking);
}

// Leave notifications are posted and can arrive late: one for the main window may
// come after the pointer has already gone on to a button and made it hot. Only a
// pointer that is really off the hot button ends the hover look.
void EndHover(HWND mainWindow)
{
    if (gLauncher.hotControlId == 0)
        return;
    HWND hotButton = GetDlgItem(mainWindow, gLauncher.hotControlId);
    POINT pointer;
    if (GetCursorPos(&pointer) && WindowFromPoint(pointer) == hotButton)
        return;
    InvalidateRect(hotButton, NULL, TRUE);
    gLauncher.hotControlId = 0;
}

LRESULT CALLBACK HoverButtonProc(HWND button, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_MOUSEMOVE) {
        SetHotControl(GetParent(button), GetDlgCtrlID(button), button);
    } else if (message == WM_MOUSELEAVE) {
        EndHover(GetParent(button));
    }
    return CallWindowProcW(gLauncher.buttonBaseProc, button, message, wParam, lParam);
}
