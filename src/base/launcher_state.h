// The launcher's one process-wide state record, the control ids and the private message.
#pragma once

#include <windows.h>

enum : int {
    ID_PLAY = 1001,
    ID_RESOLUTION = 1002,
    ID_FULLSCREEN = 1003,
    ID_SOUND = 1004,
    ID_MUSIC = 1005,
    ID_VOLUME = 1006,
    ID_SITE_LINK = 1007,
};

// Sent from Windows 8.1 and 10 1703 on; the headers show them only to programs built for those.
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif
#ifndef WM_GETDPISCALEDSIZE
#define WM_GETDPISCALEDSIZE 0x02E4
#endif

// Posted once after the first paint: the file work of start-up runs from it.
const UINT WM_LAUNCHER_INIT = WM_APP + 1;

struct LauncherState {
    HWND mainWindow;
    // Loaded at their first use, not at start-up: GDI+ for the picture, the shell for
    // PLAY and the site link. NULL until then, and when they cannot be loaded.
    HMODULE gdiplusModule;
    HMODULE shellModule;
    ULONG_PTR gdiplusToken;
    int hotControlId;
    // The picture stretched once to the size of the client area.
    HBITMAP backgroundBitmap;
    HFONT fontNormal;
    HFONT fontLarge;
    HWND resolutionCombo;
    HWND fullScreenCheck;
    HWND soundCheck;
    HWND musicCheck;
    HWND volumeTrackbar;
    HBRUSH trackbarBrush;
    // The system DPI the layout is drawn at; 96 is the layout's own scale.
    int dpi;
    // The BUTTON class's own procedure, which the two owner-drawn buttons are
    // subclassed over so that their pointer messages reach the hover tracking.
    WNDPROC buttonBaseProc;
    // The language of the string table the texts come from.
    LANGID textLanguage;
    // LoadLibraryExW's flags for a system library: 0 once the default directories are
    // the system folder alone, else LOAD_WITH_ALTERED_SEARCH_PATH.
    DWORD systemLibraryFlags;
};

extern LauncherState gLauncher;

// A length of the 96-DPI layout at the display's scale.
inline int ScaleToDpi(int value)
{
    return gLauncher.dpi ? MulDiv(value, gLauncher.dpi, 96) : value;
}
