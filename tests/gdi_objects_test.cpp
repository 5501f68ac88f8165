// In process: no GDI object lost on the painting paths; a monitor's DPI change lays all out again.
#include "base/launcher_text.h"
#include "client/marker_scan.h"
#include "shell/main_window.h"
#include "shell/window_layout.h"
#include "shell/window_proc.h"
#include "support.h"

// The client area as the screen shows it: a 24-bit BMP file.
static std::string Shot(HWND window)
{
    RedrawWindow(window, NULL, NULL, RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT r;
    GetClientRect(window, &r);
    MapWindowPoints(window, NULL, (POINT*)&r, 2);
    BITMAPINFOHEADER header = { sizeof(header), r.right - r.left, r.top - r.bottom, 1, 24 };
    BITMAPFILEHEADER file = { 0x4D42, 0, 0, 0, sizeof(file) + sizeof(header) };
    std::string shot = std::string((char*)&file, sizeof(file)) + std::string((char*)&header, sizeof(header));
    HDC screen = GetDC(NULL), memory = CreateCompatibleDC(screen);
    HBITMAP copy = CreateCompatibleBitmap(screen, header.biWidth, -header.biHeight);
    HGDIOBJ previous = SelectObject(memory, copy);
    BitBlt(memory, 0, 0, header.biWidth, -header.biHeight, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, previous);
    shot.resize(shot.size() + (header.biWidth * 3 + 3) / 4 * 4 * -header.biHeight);
    ((BITMAPFILEHEADER*)&shot[0])->bfSize = shot.size();
    GetDIBits(memory, copy, 0, -header.biHeight, &shot[file.bfOffBits], (BITMAPINFO*)&header, DIB_RGB_COLORS);
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
    SetCurrentDirectoryA(folder.c_str());
    CreateDirectoryA(BuildFile("artifacts").c_str(), NULL);
    ChooseTextLanguage();
    gLauncher.dpi = 96;
    CreateLauncherFonts();
    RegisterLauncherClass(NULL);
    HWND window = CreateMainWindow(NULL);
    CreateChildControls(window, NULL);
    ShowMainWindow(window, SW_SHOWNORMAL);
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
            if (round == 0 && dpi == 144)  // for a person to look at
                std::ofstream(BuildFile("artifacts\\launcher-144dpi-changed.bmp"), std::ios::binary) << Shot(window);
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
