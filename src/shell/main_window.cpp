#include "shell/main_window.h"

#include <commctrl.h>
#include <gdiplus.h>

#include "settings/client_settings.h"
#include "shell/launcher_state.h"
#include "shell/launcher_text.h"
#include "shell/site_link.h"
#include "shell/system_libraries.h"
#include "shell/window_proc.h"

LauncherState gLauncher;

const char* const kLauncherClassName = "VelkoraLauncher";
const char* const kLauncherTitle = "Velkora  -  Oradel";

void UseSystemDpi()
{
    typedef BOOL(WINAPI * SetAwareFunction)();
    SetAwareFunction setAware =
        (SetAwareFunction)(void*)GetProcAddress(GetModuleHandleA("user32.dll"), "SetProcessDPIAware");
    if (setAware)
        setAware();
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

// GDI+ and the dozen libraries it brings load after the first paint, with the picture.
bool StartGdiplus()
{
    if (gLauncher.gdiplusToken)
        return true;
    if (!gLauncher.gdiplusModule)
        gLauncher.gdiplusModule = LoadSystemLibrary(L"gdiplus.dll");
    if (!gLauncher.gdiplusModule)
        return false;
    auto startup = (decltype(&Gdiplus::GdiplusStartup))(void*)GetProcAddress(gLauncher.gdiplusModule,
                                                                              "GdiplusStartup");
    Gdiplus::GdiplusStartupInput input;
    if (!startup || startup(&gLauncher.gdiplusToken, &input, NULL) != Gdiplus::Ok)
        gLauncher.gdiplusToken = 0;
    return gLauncher.gdiplusToken != 0;
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

HWND CreateMainWindow(HINSTANCE instance)
{
    RECT frame = { 0, 0, ScaleToDpi(kClientWidth), ScaleToDpi(kClientHeight) };
    AdjustWindowRect(&frame, kMainWindowStyle, FALSE);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    POINT origin = CenteredWindowOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                        width, height);
    gLauncher.mainWindow = CreateWindowExA(0, kLauncherClassName, kLauncherTitle, kMainWindowStyle, origin.x,
                                           origin.y, width, height, NULL, NULL, instance, NULL);
    return gLauncher.mainWindow;
}

// x, y, width and height are those of the 96-DPI layout.
static HWND CreateChild(HWND parent, HINSTANCE instance, const char* className, DWORD style, int x, int y,
                        int width, int height, int id, HFONT font)
{
    HWND child = CreateWindowExA(0, className, NULL, style, ScaleToDpi(x), ScaleToDpi(y), ScaleToDpi(width),
                                 ScaleToDpi(height), parent, (HMENU)(INT_PTR)id, instance, NULL);
    if (font)
        SendMessageA(child, WM_SETFONT, (WPARAM)font, TRUE);
    return child;
}

// A control showing text in the player's language: a wide window, so that its text
// is never narrowed to the ANSI code page on the way in or out.
static HWND CreateTextChild(HWND parent, HINSTANCE instance, const wchar_t* className, const wchar_t* text,
                            DWORD style, int x, int y, int width, int height, int id, HFONT font)
{
    HWND child = CreateWindowExW(0, className, text, style, ScaleToDpi(x), ScaleToDpi(y), ScaleToDpi(width),
                                 ScaleToDpi(height), parent, (HMENU)(INT_PTR)id, instance, NULL);
    SendMessageW(child, WM_SETFONT, (WPARAM)font, TRUE);
    return child;
}

static HWND CreateTranslatedChild(HWND parent, HINSTANCE instance, const wchar_t* className, UINT textId,
                                  DWORD style, int x, int y, int width, int height, int id)
{
    wchar_t text[128];
    return CreateTextChild(parent, instance, className, LauncherText(textId, text, ARRAYSIZE(text)), style, x, y,
                           width, height, id, gLauncher.fontNormal);
}

static HWND CreateHoverButton(HWND parent, HINSTANCE instance, const wchar_t* text, int y, int height, int id,
                              HFONT font)
{
    HWND button = CreateTextChild(parent, instance, L"BUTTON", text, WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 34, y,
                                  246, height, id, font);
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

    CreateTranslatedChild(mainWindow, instance, L"STATIC", IDS_RESOLUTION, visibleChild, 34, 352, 96, 20, 0);

    gLauncher.resolutionCombo = CreateChild(mainWindow, instance, "COMBOBOX", visibleChild | WS_VSCROLL
                                            | CBS_DROPDOWNLIST, 130, 350, 150, 260, ID_RESOLUTION,
                                            gLauncher.fontNormal);
    LoadResolutionSetting();

    gLauncher.fullScreenCheck = CreateTranslatedChild(mainWindow, instance, L"BUTTON", IDS_FULLSCREEN, checkBox,
                                                      34, 388, 150, 22, ID_FULLSCREEN);
    LoadWindowModeSetting();

    gLauncher.soundCheck = CreateTranslatedChild(mainWindow, instance, L"BUTTON", IDS_SOUND, checkBox, 34, 416,
                                                 150, 22, ID_SOUND);
    LoadSoundSetting();

    gLauncher.musicCheck = CreateTranslatedChild(mainWindow, instance, L"BUTTON", IDS_MUSIC, checkBox, 194, 416,
                                                 120, 22, ID_MUSIC);
    LoadMusicSetting();

    CreateTranslatedChild(mainWindow, instance, L"STATIC", IDS_VOLUME, visibleChild, 34, 448, 96, 20, 0);

    gLauncher.volumeTrackbar = CreateChild(mainWindow, instance, TRACKBAR_CLASSA, visibleChild | TBS_NOTICKS, 130,
                                           446, 150, 26, ID_VOLUME, NULL);
    // The range first: a position set before it would be clamped to the default range.
    SendMessageA(gLauncher.volumeTrackbar, TBM_SETRANGE, TRUE, MAKELONG(0, 10));
    LoadVolumeSetting();

    wchar_t play[64];
    CreateHoverButton(mainWindow, instance, LauncherText(IDS_PLAY, play, ARRAYSIZE(play)), 490, 52, ID_PLAY,
                      gLauncher.fontLarge);
    CreateHoverButton(mainWindow, instance, kSiteDomainW, 550, 26, ID_SITE_LINK, gLauncher.fontNormal);
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
    if (gLauncher.gdiplusToken) {
        auto shutdown = (decltype(&Gdiplus::GdiplusShutdown))(void*)GetProcAddress(gLauncher.gdiplusModule,
                                                                                    "GdiplusShutdown");
        if (shutdown)
            shutdown(gLauncher.gdiplusToken);
    }
    // The libraries loaded on first use stay until the process ends: the shell may
    // still have work of its own running.
    gLauncher = LauncherState();
}
