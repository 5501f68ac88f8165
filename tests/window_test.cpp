// The window at the display's scale, its texts in the display language (VELKORA_LOCALE's) fitting.
#include "shell/main_window.h"
#include "shell/window_layout.h"
#include "support.h"

// A control's text in the font that draws it: every character has a glyph (no box), and the
// text fits beside a check box's square and gap or inside PLAY's frame.
static void ExpectDrawnWhole(HWND control)
{
    int id = GetDlgCtrlID(control);
    std::wstring text = WindowText(control);
    HDC dc = GetDC(control);
    SelectObject(dc, id == ID_PLAY ? gLauncher.fontLarge : gLauncher.fontNormal);  // a common DC: reset on release
    SIZE size = {};
    EXPECT_TRUE(GetTextExtentPoint32W(dc, text.c_str(), text.size(), &size));
    std::vector<WORD> glyphs(text.size());
    EXPECT_EQ(GetGlyphIndicesW(dc, text.c_str(), text.size(), &glyphs[0], GGI_MARK_NONEXISTING_GLYPHS), text.size());
    ReleaseDC(control, dc);
    RECT r;
    GetClientRect(control, &r);
    bool checkBox = (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX;
    int spare = r.right - size.cx - ScaleToDpi(checkBox ? 18 : id == ID_PLAY ? 8 : 0);
    long boxes = std::count(glyphs.begin(), glyphs.end(), 0xFFFF);
    EXPECT_TRUE(spare >= 0 && boxes == 0) << testing::PrintToString(text) << ": " << spare << " pixels to spare at "
                                          << gLauncher.dpi << " DPI, " << boxes << " boxes";
}

TEST(Window, LayoutAndTextsInThePlayersLanguage)
{
    std::string locale = getenv("VELKORA_LOCALE") ? getenv("VELKORA_LOCALE") : "C.UTF-8";
    std::wstring expected;
    std::ifstream rows(BuildFile("texts.txt"));
    for (std::string row; std::getline(rows, row);)
        if (row[0] != '#' && locale.rfind(row.substr(0, row.find('|')), 0) == 0)
            expected = Wide(row.substr(row.find('|') + 1));
    ASSERT_FALSE(expected.empty()) << "no texts for " << locale;
    UseStartingDpi();
    CreateLauncherFonts();
    std::string folder = Stage({ "stand_in.exe=Main.exe" });
    Launcher launcher(folder);
    RECT outer, frame = FrameAt(gLauncher.dpi);
    GetWindowRect(launcher.window, &outer);
    // Centred on the screen, its client area the scaled 900x600 (or it would be elsewhere).
    EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - (frame.right - frame.left)) / 2);
    EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - (frame.bottom - frame.top)) / 2);
    ExpectLayout(launcher.window, gLauncher.dpi);
    std::wstring shown;
    for (HWND child = GetWindow(launcher.window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        int id = GetDlgCtrlID(child);
        if (id != ID_RESOLUTION && id < ID_VOLUME) {
            shown += WindowText(child) + L"|";
            ExpectDrawnWhole(child);
        }
    }
    // Probed, the client is left free to delete; probed again without it, the box relabelled.
    std::string client = folder + "\\Main.exe";
    HANDLE file = CreateFileA(client.c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    EXPECT_TRUE(file != INVALID_HANDLE_VALUE && CloseHandle(file) && DeleteFileA(client.c_str()));
    SendTo(launcher.window, WM_LAUNCHER_INIT);
    ExpectLayout(launcher.window, gLauncher.dpi);
    ExpectDrawnWhole(launcher.Control(ID_FULLSCREEN));
    shown += WindowText(launcher.Control(ID_FULLSCREEN)) + L"|" + AnswerWarning(launcher);
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(launcher.Close(), 0u);
    ShutdownLauncher();
}

// Declared unaware, the launcher would be stretched as a bitmap on every scaled display (seen where the platform
// tells an unaware program's window, the stand-in client's box, from an aware one).
TEST(Awareness, LauncherAwareOfEachMonitorsDpi)
{
    HMODULE user32 = GetModuleHandleA("user32.dll");  // per monitor: version 2 (-4) from 10 1703, else 1 (-3)
    auto context = (HANDLE(WINAPI*)(HWND))(void*)GetProcAddress(user32, "GetWindowDpiAwarenessContext");
    auto same = (BOOL(WINAPI*)(HANDLE, HANDLE))(void*)GetProcAddress(user32, "AreDpiAwarenessContextsEqual");
    auto perMonitor = [&](HWND w) { return same(context(w), (HANDLE)-4) || same(context(w), (HANDLE)-3); };
    SetEnvironmentVariableA("VELKORA_RECORD", NULL);
    std::string folder = Stage({ "stand_in.exe" });
    if (!(context && same) || perMonitor(Launcher(folder, NULL, "stand_in").window))
        GTEST_SKIP() << "this platform reports even an unaware program's window as aware of each monitor's DPI";
    EXPECT_TRUE(perMonitor(Launcher(folder).window)) << "the launcher is not aware of each monitor's DPI";
}
