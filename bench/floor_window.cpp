// The floors of the start-up and memory figures: what the platform costs to show the
// launcher's window, written plainly and without any of the launcher's code. It ends
// when its window is closed.
//
//   floor_window [bare|controls|picture]
//
// bare: one 900x600 window with a flat fill. controls: that window with the launcher's
// nine controls (classes, styles, sizes, fonts, captions) and the two buttons' gradients
// and captions. picture: the same, then, after the first paint, launcher_bg.jpg from
// the current folder decoded by GDI+ and stretched once to the client area.
#include <windows.h>
#include <commctrl.h>
#include <gdiplus.h>

namespace {

const COLORREF kFlatFill = RGB(18, 20, 32);
const UINT WM_LOAD_PICTURE = WM_APP + 1;
HBITMAP gPicture;

HFONT LauncherFont(int pixels, int weight)
{
    return CreateFontA(-pixels, 0, 0, 0, weight, 0, 0, 0, DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                       CLEARTYPE_QUALITY, DEFAULT_PITCH | FF_SWISS, "Segoe UI");
}

HWND Child(HWND parent, const char* className, const char* text, DWORD style, RECT r, int id, HFONT font)
{
    HWND child = CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right,
                                 r.bottom, parent, (HMENU)(INT_PTR)id, NULL, NULL);
    if (font)
        SendMessageA(child, WM_SETFONT, (WPARAM)font, TRUE);
    return child;
}

// The layout of window_layout.cpp at 96 DPI, the display scripts/bench runs at.
void CreateControls(HWND window)
{
    HFONT normal = LauncherFont(14, FW_SEMIBOLD);
    Child(window, "STATIC", "Resolution", 0, { 34, 352, 96, 20 }, 0, normal);
    HWND combo = Child(window, "COMBOBOX", NULL, WS_VSCROLL | CBS_DROPDOWNLIST, { 130, 350, 150, 260 }, 2, normal);
    SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM) "1280 x 800");
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    Child(window, "BUTTON", "Full screen", BS_AUTOCHECKBOX, { 34, 388, 150, 22 }, 3, normal);
    HWND sound = Child(window, "BUTTON", "Sound effects", BS_AUTOCHECKBOX, { 34, 416, 150, 22 }, 4, normal);
    HWND music = Child(window, "BUTTON", "Music", BS_AUTOCHECKBOX, { 194, 416, 120, 22 }, 5, normal);
    SendMessageA(sound, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(music, BM_SETCHECK, BST_CHECKED, 0);
    Child(window, "STATIC", "Volume", 0, { 34, 448, 96, 20 }, 0, normal);
    HWND volume = Child(window, TRACKBAR_CLASSA, NULL, TBS_NOTICKS, { 130, 446, 150, 26 }, 6, NULL);
    SendMessageA(volume, TBM_SETRANGE, TRUE, MAKELONG(0, 10));
    Child(window, "BUTTON", "PLAY", BS_OWNERDRAW, { 34, 490, 246, 52 }, 1, LauncherFont(24, FW_BOLD));
    Child(window, "BUTTON", "velkora.example", BS_OWNERDRAW, { 34, 550, 246, 26 }, 7, normal);
}

TRIVERTEX Vertex(LONG x, LONG y, COLORREF color)
{
    return { x, y, (COLOR16)(GetRValue(color) << 8), (COLOR16)(GetGValue(color) << 8),
             (COLOR16)(GetBValue(color) << 8), 0 };
}

void DrawButton(const DRAWITEMSTRUCT* item)
{
    bool play = item->CtlID == 1;
    RECT r = item->rcItem;
    TRIVERTEX ends[2] = { Vertex(r.left, r.top, play ? RGB(206, 160, 70) : RGB(44, 60, 98)),
                          Vertex(r.right, r.bottom, play ? RGB(148, 106, 32) : RGB(26, 36, 64)) };
    GRADIENT_RECT whole = { 0, 1 };
    GradientFill(item->hDC, ends, 2, &whole, 1, GRADIENT_FILL_RECT_V);
    char caption[64] = {};
    GetWindowTextA(item->hwndItem, caption, sizeof(caption));
    SetBkMode(item->hDC, TRANSPARENT);
    SetTextColor(item->hDC, play ? RGB(28, 20, 6) : RGB(226, 234, 248));
    DrawTextA(item->hDC, caption, -1, &r, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
}

#define GDIPLUS(name) ((decltype(&Gdiplus::DllExports::name))(void*)GetProcAddress(gdiplus, #name))

// Loaded on first use, as the launcher loads it: importing GDI+ would slow every
// floor's start, the bare window's too. 32-bit pixels, the format any picture converts to.
HBITMAP StretchedPicture(HWND window)
{
    HMODULE gdiplus = LoadLibraryA("gdiplus.dll");
    auto startup = (decltype(&Gdiplus::GdiplusStartup))(void*)GetProcAddress(gdiplus, "GdiplusStartup");
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GpBitmap* picture = NULL;
    if (!startup || startup(&token, &input, NULL) != Gdiplus::Ok ||
        GDIPLUS(GdipCreateBitmapFromFile)(L"launcher_bg.jpg", &picture) != Gdiplus::Ok)
        return NULL;
    HBITMAP stretched = NULL;
    Gdiplus::BitmapData pixels = {};
    if (GDIPLUS(GdipBitmapLockBits)(picture, NULL, Gdiplus::ImageLockModeRead, PixelFormat32bppRGB, &pixels) ==
        Gdiplus::Ok) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = (LONG)pixels.Width;
        info.bmiHeader.biHeight = -(LONG)pixels.Height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        RECT area;
        GetClientRect(window, &area);
        HDC screen = GetDC(window);
        stretched = CreateCompatibleBitmap(screen, area.right, area.bottom);
        HDC target = CreateCompatibleDC(screen);
        HGDIOBJ previous = SelectObject(target, stretched);
        SetStretchBltMode(target, HALFTONE);
        StretchDIBits(target, 0, 0, area.right, area.bottom, 0, 0, pixels.Width, pixels.Height, pixels.Scan0, &info,
                      DIB_RGB_COLORS, SRCCOPY);
        SelectObject(target, previous);
        DeleteDC(target);
        ReleaseDC(window, screen);
        GDIPLUS(GdipBitmapUnlockBits)(picture, &pixels);
    }
    GDIPLUS(GdipDisposeImage)(picture);
    return stretched;
}

LRESULT CALLBACK FloorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND: {
        HDC dc = (HDC)wParam;
        RECT area;
        GetClientRect(window, &area);
        if (gPicture) {
            HDC source = CreateCompatibleDC(dc);
            HGDIOBJ previous = SelectObject(source, gPicture);
            BitBlt(dc, 0, 0, area.right, area.bottom, source, 0, 0, SRCCOPY);
            SelectObject(source, previous);
            DeleteDC(source);
        } else {
            HBRUSH fill = CreateSolidBrush(kFlatFill);
            FillRect(dc, &area, fill);
            DeleteObject(fill);
        }
        return 1;
    }
    case WM_CTLCOLORSTATIC:
        SetBkMode((HDC)wParam, TRANSPARENT);
        SetTextColor((HDC)wParam, RGB(232, 236, 245));
        return (LRESULT)GetStockObject(NULL_BRUSH);
    case WM_DRAWITEM:
        DrawButton((const DRAWITEMSTRUCT*)lParam);
        return TRUE;
    case WM_LOAD_PICTURE:
        gPicture = StretchedPicture(window);
        InvalidateRect(window, NULL, TRUE);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand)
{
    bool picture = lstrcmpA(commandLine, "picture") == 0;
    bool controls = picture || lstrcmpA(commandLine, "controls") == 0;
    if (controls) {
        INITCOMMONCONTROLSEX classes = { sizeof(classes), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES };
        InitCommonControlsEx(&classes);
    }
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = FloorWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    windowClass.lpszClassName = "VelkoraBenchFloor";
    RegisterClassA(&windowClass);
    const DWORD style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame = { 0, 0, 900, 600 };
    AdjustWindowRect(&frame, style, FALSE);
    int width = frame.right - frame.left;
    int height = frame.bottom - frame.top;
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, "floor", style,
                                  (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                                  (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, NULL, NULL,
                                  instance, NULL);
    if (!window)
        return 1;
    if (controls)
        CreateControls(window);
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    if (picture)
        PostMessageA(window, WM_LOAD_PICTURE, 0, 0);
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
