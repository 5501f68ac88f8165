#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "shell/launcher_state.h"
#include "shell/main_window.h"
#include "shell/site_link.h"
#include "support/test_support.h"

TEST(MainWindow, CentringTruncatesTowardZeroAndNeverClamps)
{
    const struct { int screenW, screenH, outerW, outerH, x, y; } cases[] = {
        { 1280, 800, 906, 629, 187, 85 },
        { 800, 600, 906, 629, -53, -14 },  // -14.5 truncates to -14, not -15
        { 906, 629, 906, 629, 0, 0 },
        { 907, 630, 906, 629, 0, 0 },
    };
    for (const auto& c : cases) {
        POINT origin = CenteredWindowOrigin(c.screenW, c.screenH, c.outerW, c.outerH);
        EXPECT_EQ(origin.x, c.x) << c.screenW << "x" << c.screenH;
        EXPECT_EQ(origin.y, c.y) << c.screenW << "x" << c.screenH;
    }
}

TEST(MainWindow, IsAFixedCentredCaptionWindowWithA900By600ClientArea)
{
    DeleteConfigKey();
    InProcessLauncher launcher;
    HWND window = launcher.Window();
    ASSERT_TRUE(window);

    char text[128];
    GetClassNameA(window, text, sizeof(text));
    EXPECT_STREQ(text, "VelkoraLauncher");
    GetWindowTextA(window, text, sizeof(text));
    EXPECT_STREQ(text, "Velkora  -  Oradel");

    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right - client.left, 900);
    EXPECT_EQ(client.bottom - client.top, 600);

    LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX), WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    EXPECT_EQ(style & WS_MAXIMIZEBOX, 0) << "no maximize box";
    EXPECT_EQ(style & WS_THICKFRAME, 0) << "not sizable";
    EXPECT_EQ(style & WS_CLIPCHILDREN, 0);
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & ~(WS_EX_WINDOWEDGE), 0);

    RECT frame = { 0, 0, 900, 600 };
    AdjustWindowRect(&frame, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, FALSE);
    int width = frame.right - frame.left, height = frame.bottom - frame.top;
    RECT outer;
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.right - outer.left, width);
    EXPECT_EQ(outer.bottom - outer.top, height);
    EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
    EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
}

TEST(MainWindow, ClassHasNoStylesNoBrushAndFallsBackToTheStandardIcon)
{
    InProcessLauncher launcher;
    WNDCLASSA windowClass = {};
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(NULL), "VelkoraLauncher", &windowClass));
    EXPECT_EQ(windowClass.style, 0u);
    EXPECT_EQ(windowClass.hbrBackground, (HBRUSH)NULL) << "the window procedure paints the background";
    EXPECT_EQ(windowClass.hCursor, LoadCursorA(NULL, (LPCSTR)IDC_ARROW));
    // The test program carries no icon resource 101.
    EXPECT_EQ(windowClass.hIcon, LoadIconA(NULL, (LPCSTR)IDI_APPLICATION));
}

struct ExpectedControl {
    const char* className;
    const char* text;
    DWORD style;
    RECT rect;
    int id;
    int fontHeight;  // 0: no font given
    int fontWeight;
};

static std::string ControlText(HWND control)
{
    char text[128] = {};
    GetWindowTextA(control, text, sizeof(text));
    return text;
}

TEST(MainWindow, CreatesTheNineControlsInOrderAsLaidOut)
{
    DeleteConfigKey();
    InProcessLauncher launcher;
    const ExpectedControl expected[] = {
        { "Static", "Resolution", 0x50000000, { 34, 352, 130, 372 }, 0, -14, 600 },
        { "ComboBox", "1280 x 800", 0x50000003, { 130, 350, 280, 0 }, 1002, -14, 600 },
        { "Button", "Full screen", 0x50000003, { 34, 388, 184, 410 }, 1003, -14, 600 },
        { "Button", "Sound effects", 0x50000003, { 34, 416, 184, 438 }, 1004, -14, 600 },
        { "Button", "Music", 0x50000003, { 194, 416, 314, 438 }, 1005, -14, 600 },
        { "Static", "Volume", 0x50000000, { 34, 448, 130, 468 }, 0, -14, 600 },
        { "msctls_trackbar32", "", 0x50000010, { 130, 446, 280, 472 }, 1006, 0, 0 },
        { "Button", "PLAY", 0x5000000B, { 34, 490, 280, 542 }, 1001, -24, 700 },
        { "Button", kSiteDomain, 0x5000000B, { 34, 550, 280, 576 }, 1007, -14, 600 },
    };
    HWND child = GetWindow(launcher.Window(), GW_CHILD);
    for (const ExpectedControl& want : expected) {
        SCOPED_TRACE(want.text);
        ASSERT_TRUE(child) << "fewer than nine controls";
        char className[64];
        GetClassNameA(child, className, sizeof(className));
        EXPECT_STRCASEEQ(className, want.className);
        EXPECT_EQ(ControlText(child), want.text);
        DWORD style = (DWORD)GetWindowLongA(child, GWL_STYLE);
        // The platform may add bits of its own (a combo box hands WS_VSCROLL to its list).
        EXPECT_EQ(style & (want.style & ~WS_VSCROLL), want.style & ~WS_VSCROLL) << std::hex << style;
        EXPECT_EQ(style & (WS_TABSTOP | WS_GROUP | WS_DISABLED), 0u);
        EXPECT_EQ(GetDlgCtrlID(child), want.id);

        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(NULL, launcher.Window(), (POINT*)&rect, 2);
        EXPECT_EQ(rect.left, want.rect.left);
        EXPECT_EQ(rect.top, want.rect.top);
        EXPECT_EQ(rect.right, want.rect.right);
        if (want.rect.bottom) {
            EXPECT_EQ(rect.bottom, want.rect.bottom);
        }

        HFONT font = (HFONT)SendMessageA(child, WM_GETFONT, 0, 0);
        if (want.fontHeight == 0) {
            EXPECT_NE(font, gLauncher.fontNormal);
            EXPECT_NE(font, gLauncher.fontLarge);
        } else {
            LOGFONTA logFont = {};
            ASSERT_TRUE(font);
            ASSERT_EQ(GetObjectA(font, sizeof(logFont), &logFont), (int)sizeof(logFont));
            EXPECT_EQ(logFont.lfHeight, want.fontHeight);
            EXPECT_EQ(logFont.lfWeight, want.fontWeight);
            EXPECT_STREQ(logFont.lfFaceName, "Segoe UI");
            EXPECT_EQ(logFont.lfQuality, CLEARTYPE_QUALITY);
            EXPECT_EQ(logFont.lfOutPrecision, OUT_TT_PRECIS);
            EXPECT_EQ(logFont.lfPitchAndFamily, DEFAULT_PITCH | FF_SWISS);
            EXPECT_EQ(logFont.lfCharSet, DEFAULT_CHARSET);
        }
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_FALSE(child) << "more than nine controls";

    EXPECT_EQ(SendMessageA(launcher.Control(ID_VOLUME), TBM_GETRANGEMIN, 0, 0), 0);
    EXPECT_EQ(SendMessageA(launcher.Control(ID_VOLUME), TBM_GETRANGEMAX, 0, 0), 10);
    EXPECT_EQ(gLauncher.resolutionCombo, launcher.Control(ID_RESOLUTION));
    EXPECT_EQ(gLauncher.fullScreenCheck, launcher.Control(ID_FULLSCREEN));
    EXPECT_EQ(gLauncher.soundCheck, launcher.Control(ID_SOUND));
    EXPECT_EQ(gLauncher.musicCheck, launcher.Control(ID_MUSIC));
    EXPECT_EQ(gLauncher.volumeTrackbar, launcher.Control(ID_VOLUME));
}
