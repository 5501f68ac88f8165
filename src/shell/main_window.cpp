#include "shell/main_window.h"

#include <commctrl.h>

#include "settings/client_settings.h"
#include "shell/hover_tracking.h"
#include "shell/launcher_state.h"
#include "shell/launcher_text.h"
#include "shell/site_link.h"
#include "shell/system_libraries.h"
#include "shell/window_proc.h"
#include "ui/background.h"

LauncherState gLauncher;

const char* const kLauncherClassName = "VelkoraLauncher";
const char* const kLauncherTitle = "Velkora  -  Oradel";

// The DPI of the monitor the window opens on, the one at the centre of the primary
// screen, where the window is centred; the screen's where the system has no
// per-monitor DPI (before Windows 8.1).
void UseStartingDpi()
{
    POINT centre = { GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2 };
    typedef HRESULT(WINAPI * GetDpiFunction)(HMONITOR, int, UINT*, UINT*);
    HMODULE shcore = LoadSystemLibrary(L"shcore.dll");
    auto getDpi = shcore ? (GetDpiFunction)(void*)GetProcAddress(shcore, "GetDpiForMonitor") : NULL;
    UINT dpiX = 0, dpiY = 0;
    const int effectiveDpi = 0;  // MDT_EFFECTIVE_DPI
    if (getDpi && getDpi(MonitorFromPoint(centre, MONITOR_DEFAULTTOPRIMARY), effectiveDpi, &dpiX, &dpiY) == S_OK
        && dpiX > 0) {
        gLauncher.dpi = (int)dpiX;
        return;
    }
    HDC screen = GetDC(NULL);
    gLauncher.dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(NULL, screen);
}

// comctl32 is not among the libraries Windows always takes from the system folder:
// imported, it would be looked for beside the launcher first.
void InitCommonControlsForLauncher()
{
    HMODULE library = LoadSystemLibrary(L"comctl32.dll");
    auto initialize = library ? (decltype(&InitCommonControlsEx))(void*)GetProcAddress(library,
                                                                                        "InitCommonControlsEx")
                              : NULL;
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_BAR_CLASSES | ICC_STANDARD_CLASSES;
    if (initialize)
        initialize(&controls);
}

// Makes the folder of the launcher's own executable current, so the pictures and
// the client are found beside it wherever the launcher was started from. Wide
// functions: a folder name outside the ANSI code page would come back with '?'
// from the narrow ones and could not be made current.
void MoveToLauncherFolder()
{
    HANDLE heap = GetProcessHeap();
    DWORD capacity = MAX_PATH;
    wchar_t* path = NULL;
    bool complete = false;
    // A truncated path would cut at the wrong backslash: grow until it fits.
    while (!complete && capacity <= 65536) {
        wchar_t* larger = (wchar_t*)(path ? HeapReAlloc(heap, 0, path, capacity * sizeof(wchar_t))
                                          : HeapAlloc(heap, 0, capacity * sizeof(wchar_t)));
        if (!larger)
            break;
        path = larger;
        DWORD length = GetModuleFileNameW(NULL, path, capacity);
        if (length == 0)
            break;
        complete = length < capacity;
        capacity *= 2;
    }
    wchar_t* lastSlash = complete ? wcsrchr(path, L'\\') : NULL;
    if (lastSlash) {
        // For a launcher in a drive's root keep the backslash: a bare "D:" names
        // that drive's current folder, not its root.
        if (lastSlash == path + 2 && path[1] == L':')
            lastSlash[1] = L'\0';
        else
            *lastSlash = L'\0';
        SetCurrentDirectoryW(path);
    }
    if (path)
        HeapFree(heap, 0, path);
}

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

ATOM RegisterLauncherClass(HINSTANCE instance)
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = LauncherWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(kIconResourceId));
    if (!windowClass.hIcon)
        windowClass.hIcon = LoadIconA(NULL, (LPCSTR)IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    windowClass.lpszClassName = kLauncherClassName;
    return RegisterClassA(&windowClass);
}

POINT CenteredWindowOrigin(int screenWidth, int screenHeight, int outerWidth, int outerHeight)
{
    POINT origin;
    origin.x = (screenWidth - outerWidth) / 2;
    origin.y = (screenHeight - outerHeight) / 2;
    return origin;
}

// The main window's outer rectangle at dpi, its client area at the origin. The frame is
// that of the DPI too where the system can say (Windows 10 1607 on).
static RECT MainWindowFrame(int dpi)
{
    RECT frame = { 0, 0, MulDiv(kClientWidth, dpi, 96), MulDiv(kClientHeight, dpi, 96) };
    typedef BOOL(WINAPI * AdjustFunction)(RECT*, DWORD, BOOL, DWORD, UINT);
    auto adjustForDpi = (AdjustFunction)(void*)GetProcAddress(GetModuleHandleW(L"user32.dll"),
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

HWND CreateMainWindow(HINSTANCE instance)
{
    RECT frame = MainWindowFrame(gLauncher.dpi ? gLauncher.dpi : 96);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    POINT origin = CenteredWindowOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                        width, height);
    gLauncher.mainWindow = CreateWindowExA(0, kLauncherClassName, kLauncherTitle, kMainWindowStyle, origin.x,
                                           origin.y, width, height, NULL, NULL, instance, NULL);
    return gLauncher.mainWindow;
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
        ControlPlace at = ScaledPlace(index, child);
        SetWindowPos(child, NULL, at.x, at.y, at.width, at.height, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
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

void ShowMainWindow(HWND mainWindow, int showCommand)
{
    ShowWindow(mainWindow, showCommand);
    UpdateWindow(mainWindow);
    // Posted, not sent: the file work must wait until the window has been painted once.
    PostMessageA(mainWindow, WM_LAUNCHER_INIT, 0, 0);
}

void RunMessageLoop(HWND mainWindow)
{
    MSG message;
    // GetMessage returns -1 on failure; looping on it would spin forever.
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        if (IsDialogMessageA(mainWindow, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void ShutdownLauncher()
{
    if (gLauncher.backgroundBitmap)
        DeleteObject(gLauncher.backgroundBitmap);
    if (gLauncher.fontNormal)
        DeleteObject(gLauncher.fontNormal);
    if (gLauncher.fontLarge)
        DeleteObject(gLauncher.fontLarge);
    if (gLauncher.trackbarBrush)
        DeleteObject(gLauncher.trackbarBrush);
    ShutdownGdiplus();
    // The libraries loaded on first use stay until the process ends: the shell may
    // still have work of its own running.
    gLauncher = LauncherState();
}
