// In process: the start-up on each Windows from Vista on, no GDI object lost, a monitor's DPI change laid out.
#include "base/launcher_text.h"
#include "base/system_libraries.h"
#include "client/marker_scan.h"
#include "shell/main_window.h"
#include "shell/window_layout.h"
#include "shell/window_proc.h"
#include "support.h"

// Newest last: Vista and 7 before the 2011 loader update lack all three, 7 with it and 8.0 two, 8.1 to 10 1511 one.
static const char* const kNewerFunctions[] = { "SetDefaultDllDirectories", "GetDpiForMonitor",
                                               "AdjustWindowRectExForDpi", NULL };
const COLORREF kRed = RGB(200, 40, 40), kLeft = RGB(40, 160, 60), kRight = RGB(40, 60, 200), kFlat = RGB(18, 20, 32);

// WinMain's start-up without the last `missing` of them, its first message in folder. At the screen's DPI (returned):
// the frame, layout and fonts; GDI+; the search as restricted as it can be, the shell loading still; the picture.
static int StartAsOn(const std::string& folder, int missing, COLORREF topLeft = 0, COLORREF bottomRight = 0)
{
    gMissingSystemFunctions = kNewerFunctions + 3 - missing;
    RestrictLibrarySearch();
    HWND window = StartLauncher(NULL, SW_SHOWNORMAL);
    SetCurrentDirectoryA(folder.c_str());
    LauncherWindowProc(window, WM_LAUNCHER_INIT, 0, 0);
    UpdateWindow(window);
    HDC screen = GetDC(NULL);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(NULL, screen);
    RECT outer, frame = FrameAt(dpi);
    GetWindowRect(window, &outer);
    MapWindowPoints(NULL, window, (POINT*)&outer, 2);
    EXPECT_TRUE(EqualRect(&outer, &frame)) << "not the frame around the layout at the screen's DPI";
    ExpectLayout(window, dpi, true);
    EXPECT_EQ(gLauncher.systemLibraryFlags, missing < 3 ? 0u : (DWORD)LOAD_WITH_ALTERED_SEARCH_PATH);
    EXPECT_TRUE(missing == 3 || !LoadLibraryA("planted.dll")) << "the program's folder still searched";
    EXPECT_TRUE(gLauncher.gdiplusToken && LoadSystemLibrary(L"shell32.dll")) << "no GDI+, or no shell";
    EXPECT_TRUE(!topLeft || (Shows(window, 10, 10, topLeft)
                             && Shows(window, MulDiv(890, dpi, 96), MulDiv(590, dpi, 96), bottomRight)));
    return dpi;
}

// The client area's pixels as the screen shows them.
static std::string Shot(HWND window)
{
    RedrawWindow(window, NULL, NULL, RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT r;
    GetClientRect(window, &r);
    MapWindowPoints(window, NULL, (POINT*)&r, 2);
    BITMAPINFOHEADER header = { sizeof(header), r.right - r.left, r.top - r.bottom, 1, 32 };
    std::string shot(header.biWidth * -header.biHeight * 4, '\0');
    HDC screen = GetDC(NULL), memory = CreateCompatibleDC(screen);
    HBITMAP copy = CreateCompatibleBitmap(screen, header.biWidth, -header.biHeight);
    HGDIOBJ previous = SelectObject(memory, copy);
    BitBlt(memory, 0, 0, header.biWidth, -header.biHeight, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, previous);
    GetDIBits(memory, copy, 0, -header.biHeight, &shot[0], (BITMAPINFO*)&header, DIB_RGB_COLORS);
    DeleteObject(copy);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return shot;
}

TEST(InProcess, NoLostGdiObjectAndMonitorDpiChanges)
{
    // A client without the marker: the full-screen box, relabelled, keeps its wider place.
    std::string folder = Stage({ "launcher_bg.jpg=launcher_bg.jpg" });
    std::ofstream(folder + "\\Main.exe") << std::string(200000, 'x') << "Change display settin";
    StartAsOn(folder, 0);
    HWND window = gLauncher.mainWindow;
    HDC dc = GetDC(window);
    DRAWITEMSTRUCT item = { ODT_BUTTON, ID_PLAY, 0, 0, ODS_SELECTED | ODS_FOCUS, window, dc, { 0, 0, 246, 52 } };
    int before = 0, after = 0;
    for (int round = 0; round < 3; ++round) {
        LauncherWindowProc(window, WM_LAUNCHER_INIT, 0, 0);
        EXPECT_TRUE(!IsWindowEnabled(gLauncher.fullScreenCheck) && gLauncher.backgroundBitmap) << round;
        EXPECT_EQ(LauncherWindowProc(window, WM_ERASEBKGND, (WPARAM)dc, 0), 1);
        EXPECT_EQ(LauncherWindowProc(window, WM_DRAWITEM, ID_PLAY, (LPARAM)&item), 1);
        std::string shown = Shot(window);
        for (int dpi : { 144, 96 }) {
            // What Windows suggests: the frame of the new scale, at the same top-left corner.
            RECT frame = FrameAt(dpi), outer;
            GetWindowRect(window, &outer);
            OffsetRect(&frame, outer.left - frame.left, outer.top - frame.top);
            SIZE size = {};  // around the layout, a frame of that DPI: at 96, the system's
            EXPECT_TRUE(SendMessageA(window, WM_GETDPISCALEDSIZE, dpi, (LPARAM)&size));
            EXPECT_TRUE(dpi > 96 || (size.cx == frame.right - frame.left && size.cy == frame.bottom - frame.top));
            SendMessageA(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), (LPARAM)&frame);
            ExpectLayout(window, dpi, true);
            BITMAP picture = {};
            GetObjectA(gLauncher.backgroundBitmap, sizeof(picture), &picture);
            EXPECT_EQ(std::vector<LONG>({ picture.bmWidth, picture.bmHeight }),
                      std::vector<LONG>({ MulDiv(900, dpi, 96), MulDiv(600, dpi, 96) }));
        }
        EXPECT_TRUE(Shot(window) == shown) << "not the same pixels after 96, 144 and 96 DPI";
        DeleteObject(gLauncher.backgroundBitmap);
        gLauncher.backgroundBitmap = NULL;
        LauncherWindowProc(window, WM_ERASEBKGND, (WPARAM)dc, 0);  // the flat fill
        // Wine takes a handle without its generation bits as the object in that slot.
        for (ULONG_PTR slot = after = 1; slot < 0x10000; ++slot)
            after += GetObjectType((HGDIOBJ)slot) != 0;
        before = before ? before : after;
    }
    EXPECT_TRUE(before > 1 && after == before) << "live GDI objects: " << before << ", then " << after;
    ReleaseDC(window, dc);
    DestroyWindow(window);
    ShutdownLauncher();
}

// A process a row (the library search is process-wide), each with one of the picture's fallbacks: the JPEG before
// the bitmap, the bitmap for a JPEG that cannot be read, the flat fill for a bitmap cut short.
TEST(OlderWindows, VistaAnd7BeforeTheLoaderUpdate)
{
    StartAsOn(Stage({ "solid.jpg=launcher_bg.jpg", "halves.bmp=launcher_bg.bmp" }), 3, kRed, kRed);
}

TEST(OlderWindows, Windows7WithItAnd8)
{
    int dpi = StartAsOn(Stage({ "stand_in.exe=launcher_bg.jpg", "halves.bmp=launcher_bg.bmp" }), 2, kLeft, kRight);
    // Then the real one (found by class: ours goes), started without Wine's shcore as 7 has none: for it alone (Wine's
    // desktop needs shcore), by the registry (a Wine program's child gets the WINEDLLOVERRIDES Wine started with).
    // Wine's GDI+ needs shcore (no picture: the flat fill), and so does its shell, which PLAY loads: lifted then.
    DestroyWindow(gLauncher.mainWindow);
    const char* key = "Software\\Wine\\AppDefaults\\VelkoraLauncher.exe\\DllOverrides";
    RegSetKeyValueA(HKEY_CURRENT_USER, key, "shcore", REG_SZ, "", 1);
    std::string folder = Stage({ "stand_in.exe=Main.exe", "solid.jpg=launcher_bg.jpg" });
    SetEnvironmentVariableA("VELKORA_RECORD", (folder + "\\record.txt").c_str());
    Launcher launcher(folder);
    EXPECT_TRUE(Shows(launcher.window, 10, 10, kFlat)) << "started with shcore";
    RegDeleteKeyA(HKEY_CURRENT_USER, key);
    ExpectLayout(launcher.window, dpi);
    PostMessageA(launcher.Control(ID_PLAY), BM_CLICK, 0, 0);
    EXPECT_EQ(launcher.WaitForExit(10000), 0u) << "no client started";
}

TEST(OlderWindows, Windows81To10Version1511) { StartAsOn(Stage({ "cut.bmp=launcher_bg.bmp" }), 1, kFlat, kFlat); }
