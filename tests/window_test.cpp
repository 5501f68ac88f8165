// The window at the display's scale, its texts in the display language (VELKORA_LOCALE's) fitting.
#include "shell/main_window.h"
#include "shell/window_layout.h"
#include "support.h"

// A control's text in the font that draws it: every character has a glyph (no box), and the
// text fits beside a check box's square and gap or inside PLAY's frame.
static void ExpectDrawnWhole(HWND control, int dpi)
{
    int id = GetDlgCtrlID(control);
    std::wstring text = WindowText(control);
    HDC dc = GetDC(control);
    HGDIOBJ previous = SelectObject(dc, id == ID_PLAY ? gLauncher.fontLarge : gLauncher.fontNormal);
    SIZE size = {};
    EXPECT_TRUE(GetTextExtentPoint32W(dc, text.c_str(), text.size(), &size));
    std::vector<WORD> glyphs(text.size());
    DWORD mapped = GetGlyphIndicesW(dc, text.c_str(), text.size(), glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
    EXPECT_EQ(mapped, text.size());
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    RECT r;
    GetClientRect(control, &r);
    bool checkBox = (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_AUTOCHECKBOX;
    int spare = r.right - size.cx - ScaleToDpi(checkBox ? 18 : id == ID_PLAY ? 8 : 0);
    long boxes = std::count(glyphs.begin(), glyphs.end(), 0xFFFF);
    EXPECT_TRUE(spare >= 0 && boxes == 0) << testing::PrintToString(text) << ": " << spare << " pixels to spare at "
                                          << dpi << " DPI, " << boxes << " boxes";
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
            ExpectDrawnWhole(child, dpi);
        }
    }
    // Probed, the client is left free to delete; probed again without it, the box relabelled.
    std::string client = folder + "\\Main.exe";
    HANDLE file = CreateFileA(client.c_str(), GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    EXPECT_TRUE(file != INVALID_HANDLE_VALUE && CloseHandle(file) && DeleteFileA(client.c_str()));
    SendTo(launcher.window, WM_LAUNCHER_INIT);
    HWND box = launcher.Control(ID_FULLSCREEN);
    ExpectLayout(launcher.window, dpi);
    ExpectDrawnWhole(box, dpi);
    shown += WindowText(box) + L"|" + AnswerWarning(launcher);
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(launcher.Close(), 0u);
    ShutdownLauncher();
}

// Declared unaware, the launcher would be stretched as a bitmap on every scaled display. Only a platform that tells
// an unaware window (the stand-in's box, shown when PLAY starts it) from an aware one can show it.
TEST(Awareness, LauncherAwareOfEachMonitorsDpi)
{
    // Per monitor, version 2 (-4) from Windows 10 1703, else 1 (-3).
    HMODULE user32 = GetModuleHandleA("user32.dll");
    auto context = (HANDLE(WINAPI*)(HWND))(void*)GetProcAddress(user32, "GetWindowDpiAwarenessContext");
    auto same = (BOOL(WINAPI*)(HANDLE, HANDLE))(void*)GetProcAddress(user32, "AreDpiAwarenessContextsEqual");
    ASSERT_TRUE(context && same) << "no DPI awareness contexts here";
    auto perMonitor = [&](HWND w) { return same(context(w), (HANDLE)-4) || same(context(w), (HANDLE)-3); };
    SetEnvironmentVariableA("VELKORA_RECORD", NULL);
    Launcher launcher(Stage({ "stand_in.exe=Main.exe" }));
    bool aware = perMonitor(launcher.window);
    PostMessageA(launcher.Control(ID_PLAY), BM_CLICK, 0, 0);
    HWND box = NULL;
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(box = FindWindowA("#32770", "Main.exe (stand-in)")); }));
    bool told = !perMonitor(box);
    PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    if (!told)
        GTEST_SKIP() << "this platform reports even an unaware program's window as aware of each monitor's DPI";
    EXPECT_TRUE(aware) << "the launcher is not aware of each monitor's DPI";
}
