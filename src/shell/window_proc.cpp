#include "shell/window_proc.h"

#include "base/launcher_state.h"
#include "client/capability_probe.h"
#include "client/game_launch.h"
#include "settings/client_settings.h"
#include "shell/hover_tracking.h"
#include "shell/window_layout.h"
#include "ui/background.h"
#include "ui/button_painter.h"

static const COLORREF kTrackbarBackground = RGB(22, 28, 46);
static const COLORREF kPanelText = RGB(232, 236, 245);

static LRESULT OnMouseMove(HWND window, LPARAM lParam)
{
    POINT point;
    point.x = LOWORD(lParam);
    point.y = HIWORD(lParam);
    HWND child = ChildWindowFromPoint(window, point);
    int candidate = child ? GetDlgCtrlID(child) : 0;
    if (candidate != ID_PLAY && candidate != ID_SITE_LINK)
        candidate = 0;
    SetHotControl(window, candidate, window);
    return 0;
}

static LRESULT OnColorStatic(HDC dc, HWND control)
{
    if (control == gLauncher.volumeTrackbar) {
        if (!gLauncher.trackbarBrush)
            gLauncher.trackbarBrush = CreateSolidBrush(kTrackbarBackground);
        SetBkColor(dc, kTrackbarBackground);
        return (LRESULT)gLauncher.trackbarBrush;
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kPanelText);
    return (LRESULT)GetStockObject(NULL_BRUSH);
}

static LRESULT OnLauncherInit(HWND window)
{
    LoadBackground();
    ApplyClientCapability(ClientSupportsDisplaySetting("Main.exe"));
    InvalidateRect(window, NULL, TRUE);
    return 0;
}

LRESULT CALLBACK LauncherWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        SaveClientSettings();
        PostQuitMessage(0);
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        // At the end of a session the process is ended once this returns: WM_DESTROY
        // never comes. An end that was cancelled saves nothing.
        if (wParam)
            SaveClientSettings();
        return 0;
    case WM_ERASEBKGND:
        return PaintBackground(window, (HDC)wParam);
    case WM_DRAWITEM: {
        const DRAWITEMSTRUCT* item = (const DRAWITEMSTRUCT*)lParam;
        if (item->CtlID == ID_PLAY) {
            DrawLauncherButton(item, ButtonStyle::Primary);
            return TRUE;
        }
        if (item->CtlID == ID_SITE_LINK) {
            DrawLauncherButton(item, ButtonStyle::Link);
            return TRUE;
        }
        break;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == ID_PLAY) {
            LaunchGame(window);
            return 0;
        }
        if (LOWORD(wParam) == ID_SITE_LINK) {
            OpenSiteLink(window);
            return 0;
        }
        break;
    case WM_CTLCOLORSTATIC:
        return OnColorStatic((HDC)wParam, (HWND)lParam);
    case WM_MOUSEMOVE:
        return OnMouseMove(window, lParam);
    case WM_MOUSELEAVE:
        EndHover(window);
        return 0;
    case WM_LAUNCHER_INIT:
        return OnLauncherInit(window);
    case WM_GETDPISCALEDSIZE:
        return ProposeScaledSize(LOWORD(wParam), (SIZE*)lParam);
    case WM_DPICHANGED:
        RescaleMainWindow(window, LOWORD(wParam), (const RECT*)lParam);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
