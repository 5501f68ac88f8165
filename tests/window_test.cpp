// The window at the display's scale, its texts in the display language (Wine's from LC_ALL) fitting.
#include "shell/main_window.h"
#include "shell/window_layout.h"
#include "support.h"

// Pixels to spare beside a control's text, less a check box's square and gap or PLAY's frame.
static int Spare(HWND control)
{
    int id = GetDlgCtrlID(control);
    std::wstring text = WindowText(control);
    HDC dc = GetDC(control);
    HGDIOBJ previous = SelectObject(dc, id == ID_PLAY ? gLauncher.fontLarge : gLauncher.fontNormal);
    SIZE size = {};
    GetTextExtentPoint32W(dc, text.c_str(), text.size(), &size);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    RECT r;
    GetClientRect(control, &r);
    bool checkBox = (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX;
    return r.right - size.cx - ScaleToDpi(checkBox ? 18 : id == ID_PLAY ? 8 : 0);
}

TEST(Window, LayoutAndTextsInThePlayersLanguage)
{
    std::string locale = getenv("LC_ALL") ? getenv("LC_ALL") : "C.UTF-8";
    std::wstring expected;
    std::ifstream rows(BuildFile("texts.txt"));
    for (std::string row; std::getline(rows, row);)
        if (row[0] != '#' && locale.rfind(row.substr(0, row.find('|')), 0) == 0)
            expected = Wide(row.substr(row.find('|') + 1));
    ASSERT_FALSE(expected.empty()) << "no texts for LC_ALL=" << locale;
    UseStartingDpi();
    CreateLauncherFonts();
    const int dpi = gLauncher.dpi;
    std::string folder = Stage({ "stand_in.exe=Main.exe" });
    Launcher launcher(folder);
    RECT outer, frame = FrameAt(dpi);
    GetWindowRect(launcher.window, &outer);
    // Centred on the screen, its client area the scaled 900x600 (or it would be elsewhere).
    EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2);
    EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2);
    ExpectLayout(launcher.window, dpi);
    std::wstring shown;
    for (HWND child = GetWindow(launcher.window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        int id = GetDlgCtrlID(child);
        if (id != ID_RESOLUTION && id < ID_VOLUME) {
            shown += WindowText(child) + L"|";
            EXPECT_GE(Spare(child), 0) << testing::PrintToString(WindowText(child)) << " at " << dpi << " DPI";
        }
    }
    // Probed, the client is left free to delete; probed again without it, the box relabelled.
    std::string client = folder + "\\Main.exe";
    HANDLE file = CreateFileA(client.c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    EXPECT_TRUE(file != INVALID_HANDLE_VALUE && CloseHandle(file) && DeleteFileA(client.c_str()));
    SendTo(launcher.window, WM_LAUNCHER_INIT);
    HWND box = launcher.Control(ID_FULLSCREEN);
    ExpectLayout(launcher.window, dpi);
    EXPECT_GE(Spare(box), 0) << dpi << " DPI";
    shown += WindowText(box) + L"|" + AnswerWarning(launcher);
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(launcher.Close(), 0u);
    ShutdownLauncher();
}
