// The launcher's own painting, timed call by call in this process: one background
// erase (the decoded picture stretched to 900x600 in HALFTONE mode) and one paint of
// each owner-drawn button, each against the cheapest paint of the same pixels.
//
//   paint_bench FOLDER RUNS LOADS
//
// FOLDER holds launcher_bg.jpg. Prints "sample METRIC VARIANT INDEX VALUE" lines (ms).
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "shell/launcher_state.h"
#include "shell/main_window.h"
#include "ui/background.h"
#include "ui/button_painter.h"

namespace {

LARGE_INTEGER gFrequency;

double MillisecondsSince(const LARGE_INTEGER& start)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return (double)(now.QuadPart - start.QuadPart) * 1000.0 / (double)gFrequency.QuadPart;
}

// A memory DC over a 32-bpp DIB section, the kind of surface a window paints into.
struct Surface {
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ previous;
};

Surface CreateSurface(int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = NULL;
    Surface surface;
    surface.dc = CreateCompatibleDC(NULL);
    surface.bitmap = CreateDIBSection(surface.dc, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    surface.previous = SelectObject(surface.dc, surface.bitmap);
    return surface;
}

void DeleteSurface(const Surface& surface)
{
    SelectObject(surface.dc, surface.previous);
    DeleteObject(surface.bitmap);
    DeleteDC(surface.dc);
}

HWND CreateHiddenWindow(const char* className, const char* text, DWORD style, int width, int height, HWND parent,
                        int id)
{
    return CreateWindowExA(0, className, text, style, 0, 0, width, height, parent, (HMENU)(INT_PTR)id,
                           GetModuleHandleA(NULL), NULL);
}

// The floor of an erase: a copy of an already scaled 900x600 picture.
void CopyScaled(HDC target, HDC scaled)
{
    BitBlt(target, 0, 0, 900, 600, scaled, 0, 0, SRCCOPY);
}

// The floor of a button: one solid fill of its rectangle, with a brush made per call
// as the painter makes its pen.
void FillButton(const DRAWITEMSTRUCT& item, COLORREF color)
{
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(item.hDC, &item.rcItem, brush);
    DeleteObject(brush);
}

DRAWITEMSTRUCT ButtonItem(HWND button, int id, HDC dc, int width, int height)
{
    DRAWITEMSTRUCT item = {};
    item.CtlType = ODT_BUTTON;
    item.CtlID = (UINT)id;
    item.itemAction = ODA_DRAWENTIRE;
    item.hwndItem = button;
    item.hDC = dc;
    item.rcItem.right = width;
    item.rcItem.bottom = height;
    return item;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        fprintf(stderr, "usage: paint_bench FOLDER RUNS LOADS\n");
        return 2;
    }
    int runs = atoi(argv[2]);
    int loads = atoi(argv[3]);
    QueryPerformanceFrequency(&gFrequency);
    if (!SetCurrentDirectoryA(argv[1])) {
        fprintf(stderr, "error: no folder %s\n", argv[1]);
        return 1;
    }
    CreateLauncherFonts();
    StartGdiplus();

    // The first load also brings the file and GDI+'s decoder in; it is not counted.
    for (int load = -1; load < loads; ++load) {
        if (gLauncher.backgroundBitmap)
            DeleteObject(gLauncher.backgroundBitmap);
        gLauncher.backgroundBitmap = NULL;
        LARGE_INTEGER start;
        QueryPerformanceCounter(&start);
        LoadBackground();
        double elapsed = MillisecondsSince(start);
        if (load >= 0)
            printf("sample paint.load_background launcher %d %.3f\n", load, elapsed);
    }
    BITMAP picture = {};
    if (!gLauncher.backgroundBitmap || !GetObjectA(gLauncher.backgroundBitmap, sizeof(picture), &picture) ||
        picture.bmWidth != 1920 || picture.bmHeight != 1080) {
        fprintf(stderr, "error: launcher_bg.jpg did not load as a 1920x1080 picture\n");
        return 1;
    }

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.lpszClassName = "VelkoraBenchPaint";
    RegisterClassA(&windowClass);
    RECT frame = { 0, 0, 900, 600 };
    AdjustWindowRect(&frame, kMainWindowStyle, FALSE);
    HWND window = CreateHiddenWindow(windowClass.lpszClassName, "paint", kMainWindowStyle, frame.right - frame.left,
                                     frame.bottom - frame.top, NULL, 0);
    HWND play = CreateHiddenWindow("BUTTON", "PLAY", WS_CHILD | BS_OWNERDRAW, 246, 52, window, ID_PLAY);
    HWND link = CreateHiddenWindow("BUTTON", "velkora.example", WS_CHILD | BS_OWNERDRAW, 246, 26, window,
                                   ID_SITE_LINK);
    RECT client = {};
    GetClientRect(window, &client);
    if (client.right != 900 || client.bottom != 600 || !play || !link) {
        fprintf(stderr, "error: the paint window is not 900x600\n");
        return 1;
    }

    Surface windowSurface = CreateSurface(900, 600);
    Surface scaled = CreateSurface(900, 600);
    PaintBackground(window, scaled.dc);
    Surface playSurface = CreateSurface(246, 52);
    Surface linkSurface = CreateSurface(246, 26);
    HGDIOBJ playFont = SelectObject(playSurface.dc, gLauncher.fontLarge);
    HGDIOBJ linkFont = SelectObject(linkSurface.dc, gLauncher.fontNormal);
    DRAWITEMSTRUCT playItem = ButtonItem(play, ID_PLAY, playSurface.dc, 246, 52);
    DRAWITEMSTRUCT linkItem = ButtonItem(link, ID_SITE_LINK, linkSurface.dc, 246, 26);

    // Each call timed alone, the six kinds taken in turn: noise from the other
    // programs on the machine falls on all of them alike.
    for (int run = -1; run < runs; ++run) {
        for (int kind = 0; kind < 6; ++kind) {
            LARGE_INTEGER start;
            QueryPerformanceCounter(&start);
            switch (kind) {
            case 0: PaintBackground(window, windowSurface.dc); break;
            case 1: CopyScaled(windowSurface.dc, scaled.dc); break;
            case 2: DrawLauncherButton(&playItem, ButtonStyle::Primary); break;
            case 3: FillButton(playItem, RGB(206, 160, 70)); break;
            case 4: DrawLauncherButton(&linkItem, ButtonStyle::Link); break;
            case 5: FillButton(linkItem, RGB(44, 60, 98)); break;
            }
            GdiFlush();
            double elapsed = MillisecondsSince(start);
            static const char* const kNames[] = {
                "paint.background launcher", "paint.background copy",  "paint.button_play launcher",
                "paint.button_play fill",    "paint.button_link launcher", "paint.button_link fill",
            };
            if (run >= 0)
                printf("sample %s %d %.4f\n", kNames[kind], run, elapsed);
        }
    }

    SelectObject(playSurface.dc, playFont);
    SelectObject(linkSurface.dc, linkFont);
    DeleteSurface(linkSurface);
    DeleteSurface(playSurface);
    DeleteSurface(scaled);
    DeleteSurface(windowSurface);
    DestroyWindow(window);
    ShutdownLauncher();
    return 0;
}
