// The window and its nine controls where the screen shows them, at the display's scale.
#include "shell/main_window.h"
#include "support.h"

TEST(Window, SizePositionAndControls)
{
    // Id, x, y, width and height at 96 DPI; no height: the closed combo box's is the platform's.
    const int controls[][5] = {
        { 0, 34, 352, 96, 20 },             // "Resolution"
        { ID_RESOLUTION, 130, 350, 150, 0 },
        { ID_FULLSCREEN, 34, 388, 280, 22 },  // widened for "Full screen (needs client update)"
        { ID_SOUND, 34, 416, 150, 22 },
        { ID_MUSIC, 194, 416, 120, 22 },
        { 0, 34, 448, 96, 20 },  // "Volume"
        { ID_VOLUME, 130, 446, 150, 26 },
        { ID_PLAY, 34, 490, 246, 52 },
        { ID_SITE_LINK, 34, 550, 246, 26 },
    };
    HDC screen = GetDC(NULL);
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(NULL, screen);
    StoreConfig("");
    Launcher launcher(Stage());
    RECT outer, expected = { 0, 0, MulDiv(900, dpi, 96), MulDiv(600, dpi, 96) };
    AdjustWindowRect(&expected, kMainWindowStyle, FALSE);
    GetWindowRect(launcher.window, &outer);
    // Centred on the screen, its client area the scaled 900x600 (or it would be elsewhere).
    EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - (expected.right - expected.left)) / 2);
    EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - (expected.bottom - expected.top)) / 2);
    HWND child = GetWindow(launcher.window, GW_CHILD);
    for (const int* c : controls) {
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(NULL, launcher.window, (POINT*)&r, 2);
        int shown[5] = { GetDlgCtrlID(child), r.left, r.top, r.right - r.left, c[4] ? r.bottom - r.top : 0 };
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(shown[i], i ? MulDiv(c[i], dpi, 96) : c[0]) << "control " << c[0] << " at " << c[1] << "/" << i;
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(launcher.Close(), 0u);
}

TEST(Window, FontsAtTheDisplayScale)
{
    gLauncher.dpi = 144;
    CreateLauncherFonts();
    LOGFONTA normal = {}, large = {};
    GetObjectA(gLauncher.fontNormal, sizeof(normal), &normal);
    GetObjectA(gLauncher.fontLarge, sizeof(large), &large);
    EXPECT_EQ(std::to_string(normal.lfHeight) + " " + std::to_string(large.lfHeight), "-21 -36");
    ShutdownLauncher();
}
