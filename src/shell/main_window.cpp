#include "shell/main_window.h"

#include <commctrl.h>

#include "base/launcher_state.h"
#include "base/launcher_text.h"
#include "base/system_libraries.h"
#include "shell/window_layout.h"
#include "shell/window_proc.h"
#include "ui/background.h"

const char* const kLauncherClassName = "VelkoraLauncher";
const char* const kLauncherTitle = "Velkora  -  Oradel";

HWND StartLauncher(HINSTANCE instance, int showCommand)
{
    UseStartingDpi();
    ChooseTextLanguage();
    InitCommonControlsForLauncher();
    MoveToLauncherFolder();
    CreateLauncherFonts();
    HWND mainWindow = NULL;
    if (RegisterLauncherClass(instance))
        mainWindow = CreateMainWindow(instance);
    if (mainWindow) {
        CreateChildControls(mainWindow, instance);
        ShowMainWindow(mainWindow, showCommand);
    }
    return mainWindow;
}

// The DPI of the monitor the window opens on, the one at the centre of the primary
// screen, where the window is centred; the screen's where the system has no
// per-monitor DPI (before Windows 8.1).
void UseStartingDpi()
{
    POINT centre = { GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2 };
    typedef HRESULT(WINAPI * GetDpiFunction)(HMONITOR, int, UINT*, UINT*);
    auto getDpi = (GetDpiFunction)(void*)SystemFunction(LoadSystemLibrary(L"shcore.dll"), "GetDpiForMonitor");
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
    auto initialize = (decltype(&InitCommonControlsEx))(void*)SystemFunction(LoadSystemLibrary(L"comctl32.dll"),
                                                                              "InitCommonControlsEx");
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
    RECT frame = MainWindowFrame(gLauncher.dpi ? gLauncher.dpi : 96);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    POINT origin = CenteredWindowOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                        width, height);
    gLauncher.mainWindow = CreateWindowExA(0, kLauncherClassName, kLauncherTitle, kMainWindowStyle, origin.x,
                                           origin.y, width, height, NULL, NULL, instance, NULL);
    return gLauncher.mainWindow;
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
