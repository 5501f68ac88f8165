// The window procedure in this process on its paths that make GDI objects: the probe,
// the picture, the erase, a pressed and focused button, the flat fill. None is lost.
#include "client/marker_scan.h"
#include "shell/main_window.h"
#include "shell/window_proc.h"
#include "support.h"

TEST(InProcess, NoLostGdiObject)
{
    std::string folder = Stage({ "solid.jpg=launcher_bg.jpg" });
    std::ofstream(folder + "\\Main.exe") << std::string(200000, 'x') << kClientMarker;
    SetCurrentDirectoryA(folder.c_str());
    RegisterLauncherClass(NULL);
    HWND window = CreateMainWindow(NULL);
    CreateChildControls(window, NULL);
    HDC dc = GetDC(window);
    DRAWITEMSTRUCT item = { ODT_BUTTON, ID_PLAY, 0, 0, ODS_SELECTED | ODS_FOCUS, window, dc, { 0, 0, 246, 52 } };
    int before = 0, after = 0;
    for (int round = 0; round < 3; ++round) {
        LauncherWindowProc(window, WM_LAUNCHER_INIT, 0, 0);
        EXPECT_TRUE(IsWindowEnabled(gLauncher.fullScreenCheck) && gLauncher.backgroundBitmap) << round;
        EXPECT_EQ(LauncherWindowProc(window, WM_ERASEBKGND, (WPARAM)dc, 0), 1);
        EXPECT_EQ(LauncherWindowProc(window, WM_DRAWITEM, ID_PLAY, (LPARAM)&item), 1);
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
