#include "shell/window_layout.h"

#include <commctrl.h>

#include "base/launcher_state.h"
#include "base/launcher_text.h"
#include "base/site_link.h"
#include "base/system_libraries.h"
#include "settings/client_settings.h"
#include "shell/hover_tracking.h"
#include "ui/background.h"

static HFONT CreateLauncherFont(int height, int weight)
{
    return CreateFontA(height, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, OUT_TT_PRECIS,
                       CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, "Segoe UI");
}

void CreateLauncherFonts()
{
    gLauncher.fontNormal = CreateLauncherFont(-ScaleToDpi(14), FW_SEMIBOLD);
    gLauncher.fontLarge = CreateLauncherFont(-ScaleToDpi(24), FW_BOLD);
}

RECT MainWindowFrame(int dpi)
{
    RECT frame = { 0, 0, MulDiv(kClientWidth, dpi, 96), MulDiv(kClientHeight, dpi, 96) };
    typedef BOOL(WINAPI * AdjustFunction)(RECT*, DWORD, BOOL, DWORD, UINT);
    auto adjustForDpi = (AdjustFunction)(void*)SystemFunction(GetModuleHandleW(L"user32.dll"),
                                                              "AdjustWindowRectExForDpi");
    if (!adjustForDpi || !adjustForDpi(&frame, kMainWindowStyle, FALSE, 0, dpi))
        AdjustWindowRect(&frame, kMainWindowStyle, FALSE);
    return frame;
}

BOOL ProposeScaledSize(int dpi, SIZE* size)
{
    if (dpi <= 0 || !size)
        return FALSE;
    RECT frame = MainWindowFrame(dpi);
    size->cx = frame.right - frame.left;
    size->cy = frame.bottom - frame.top;
    return TRUE;
}

// Where each of the nine controls goes at 96 DPI, in the order they are created.
struct ControlPlace {
    int x, y, width, height;
};
enum ControlIndex {
    PLACE_RESOLUTION_LABEL, PLACE_RESOLUTION, PLACE_FULLSCREEN, PLACE_SOUND, PLACE_MUSIC, PLACE_VOLUME_LABEL,
    PLACE_VOLUME, PLACE_PLAY, PLACE_SITE_LINK,
};
static const ControlPlace kControlPlaces[] = {
    { 34, 352, 96, 20 },    // "Resolution"
    { 130, 350, 150, 260 }, // the resolution combo box, its list dropped down
    { 34, 388, 150, 22 },   // "Full screen"
    { 34, 416, 150, 22 },   // "Sound effects"
    { 194, 416, 120, 22 },  // "Music"
    { 34, 448, 96, 20 },    // "Volume"
    { 130, 446, 150, 26 },  // the volume trackbar
    { 34, 490, 246, 52 },   // PLAY
    { 34, 550, 246, 26 },   // the site link
};
// The full-screen box's width once greyed and relabelled: the panel's whole width and a
// little more. The row is empty to the right, and in the font that stands in for Segoe UI
// where it is missing the English caption is 265 pixels wide after the box's 18.
static const int kRelabelledFullScreenWidth = 290;

// A control's place at the launcher's DPI. The full-screen box, once the probe has greyed
// and relabelled it, is wider.
static ControlPlace ScaledPlace(int index, HWND control)
{
    const ControlPlace& place = kControlPlaces[index];
    bool relabelled = index == PLACE_FULLSCREEN && control && !IsWindowEnabled(control);
    ControlPlace scaled = { ScaleToDpi(place.x), ScaleToDpi(place.y),
                            ScaleToDpi(relabelled ? kRelabelledFullScreenWidth : place.width),
                            ScaleToDpi(place.height) };
    return scaled;
}

static void PlaceControl(int index, HWND control, UINT flags)
{
    ControlPlace at = ScaledPlace(index, control);
    SetWindowPos(control, NULL, at.x, at.y, at.width, at.height, flags);
}

static HWND CreateChild(HWND parent, HINSTANCE instance, const char* className, DWORD style, int index, int id,
                        HFONT font)
{
    ControlPlace at = ScaledPlace(index, NULL);
    HWND child = CreateWindowExA(0, className, NULL, style, at.x, at.y, at.width, at.height, parent,
                                 (HMENU)(INT_PTR)id, instance, NULL);
    if (font)
        SendMessageA(child, WM_SETFONT, (WPARAM)font, TRUE);
    return child;
}

// A control showing text in the player's language: a wide window, so that its text
// is never narrowed to the ANSI code page on the way in or out.
static HWND CreateTextChild(HWND parent, HINSTANCE instance, const wchar_t* className, const wchar_t* text,
                            DWORD style, int index, int id, HFONT font)
{
    ControlPlace at = ScaledPlace(index, NULL);
    HWND child = CreateWindowExW(0, className, text, style, at.x, at.y, at.width, at.height, parent,
                                 (HMENU)(INT_PTR)id, instance, NULL);
    SendMessageW(child, WM_SETFONT, (WPARAM)font, TRUE);
    return child;
}

static HWND CreateTranslatedChild(HWND parent, HINSTANCE instance, const wchar_t* className, UINT textId,
                                  DWORD style, int index, int id)
{
    wchar_t text[128];
    return CreateTextChild(parent, instance, className, LauncherText(textId, text, ARRAYSIZE(text)), style, index,
                           id, gLauncher.fontNormal);
}

static HWND CreateHoverButton(HWND parent, HINSTANCE instance, const wchar_t* text, int index, int id, HFONT font)
{
    HWND button = CreateTextChild(parent, instance, L"BUTTON", text, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, index, id,
                                  font);
    // The wide setter keeps the button a wide window.
    WNDPROC baseProc = (WNDPROC)SetWindowLongPtrW(button, GWLP_WNDPROC, (LONG_PTR)HoverButtonProc);
    if (!gLauncher.buttonBaseProc)
        gLauncher.buttonBaseProc = baseProc;
    return button;
}

void CreateChildControls(HWND mainWindow, HINSTANCE instance)
{
    const DWORD visibleChild = WS_CHILD | WS_VISIBLE;
    const DWORD checkBox = visibleChild | BS_AUTOCHECKBOX;

    CreateTranslatedChild(mainWindow, instance, L"STATIC", IDS_RESOLUTION, visibleChild, PLACE_RESOLUTION_LABEL, 0);

    gLauncher.resolutionCombo = CreateChild(mainWindow, instance, "COMBOBOX", visibleChild | WS_VSCROLL
                                            | CBS_DROPDOWNLIST, PLACE_RESOLUTION, ID_RESOLUTION, gLauncher.fontNormal);
    LoadResolutionSetting();

    gLauncher.fullScreenCheck = CreateTranslatedChild(mainWindow, instance, L"BUTTON", IDS_FULLSCREEN, checkBox,
                                                      PLACE_FULLSCREEN, ID_FULLSCREEN);
    LoadWindowModeSetting();

    gLauncher.soundCheck = CreateTranslatedChild(mainWindow, instance, L"BUTTON", IDS_SOUND, checkBox, PLACE_SOUND,
                                                 ID_SOUND);
    LoadSoundSetting();

    gLauncher.musicCheck = CreateTranslatedChild(mainWindow, instance, L"BUTTON", IDS_MUSIC, checkBox, PLACE_MUSIC,
                                                 ID_MUSIC);
    LoadMusicSetting();

    CreateTranslatedChild(mainWindow, instance, L"STATIC", IDS_VOLUME, visibleChild, PLACE_VOLUME_LABEL, 0);

    gLauncher.volumeTrackbar = CreateChild(mainWindow, instance, TRACKBAR_CLASSA, visibleChild | TBS_NOTICKS,
                                           PLACE_VOLUME, ID_VOLUME, NULL);
    // The range first: a position set before it would be clamped to the default range.
    SendMessageA(gLauncher.volumeTrackbar, TBM_SETRANGE, TRUE, MAKELONG(0, 10));
    LoadVolumeSetting();

    wchar_t play[64];
    CreateHoverButton(mainWindow, instance, LauncherText(IDS_PLAY, play, ARRAYSIZE(play)), PLACE_PLAY, ID_PLAY,
                      gLauncher.fontLarge);
    CreateHoverButton(mainWindow, instance, kSiteDomainW, PLACE_SITE_LINK, ID_SITE_LINK, gLauncher.fontNormal);
}

void RescaleMainWindow(HWND mainWindow, int dpi, const RECT* suggested)
{
    // Windows sends a rectangle and a DPI; anything else could only come from some other
    // program posting the message.
    if (dpi <= 0 || !suggested)
        return;
    gLauncher.dpi = dpi;
    SetWindowPos(mainWindow, NULL, suggested->left, suggested->top, suggested->right - suggested->left,
                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    // The fonts of the old scale go once no control uses them any more.
    HFONT oldNormal = gLauncher.fontNormal;
    HFONT oldLarge = gLauncher.fontLarge;
    CreateLauncherFonts();
    // The controls in the order they were created: nothing changes their z-order.
    int index = 0;
    for (HWND child = GetWindow(mainWindow, GW_CHILD); child && index < (int)ARRAYSIZE(kControlPlaces);
         child = GetWindow(child, GW_HWNDNEXT), ++index) {
        if (index != PLACE_VOLUME)
            SendMessageW(child, WM_SETFONT, (WPARAM)(index == PLACE_PLAY ? gLauncher.fontLarge : gLauncher.fontNormal),
                         FALSE);
        PlaceControl(index, child, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
    if (oldNormal)
        DeleteObject(oldNormal);
    if (oldLarge)
        DeleteObject(oldLarge);
    // The picture again from its file, stretched once to the new client area: a copy of
    // the one stretched for the old scale would blur with every change. Should the file be
    // gone by now, the old picture stays, stretched at every erase.
    HBITMAP oldPicture = gLauncher.backgroundBitmap;
    if (oldPicture) {
        gLauncher.backgroundBitmap = NULL;
        LoadBackground();
        if (gLauncher.backgroundBitmap)
            DeleteObject(oldPicture);
        else
            gLauncher.backgroundBitmap = oldPicture;
    }
    RedrawWindow(mainWindow, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void ApplyClientCapability(int supported)
{
    if (supported)
        return;
    // The check state stays: it is still what "WindowMode" is saved from.
    EnableWindow(gLauncher.fullScreenCheck, FALSE);
    wchar_t caption[128];
    SetWindowTextW(gLauncher.fullScreenCheck, LauncherText(IDS_FULLSCREEN_NEEDS_UPDATE, caption, ARRAYSIZE(caption)));
    // Greyed, the box takes its wider place from the layout.
    PlaceControl(PLACE_FULLSCREEN, gLauncher.fullScreenCheck, SWP_NOZORDER);
}
