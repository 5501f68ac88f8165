// The real launcher executable, alone in a folder, against the real registry: what
// its panel shows at start and what it writes when it is closed.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "shell/launcher_state.h"
#include "support/settings_support.h"
#include "support/test_support.h"

namespace {

const wchar_t* const kLabelOfRow[11] = {
    L"800 x 600",   L"1024 x 640",  L"1280 x 800",  L"1366 x 768",  L"1440 x 900",  L"1536 x 960",
    L"1680 x 1050", L"1920 x 1080", L"1920 x 1200", L"2560 x 1600", L"3840 x 2400",
};

// Waits until the launcher has answered everything sent to it so far.
void RoundTrip(HWND window)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, Scaled(10000), &result);
}

}  // namespace

TEST(SettingsEndToEnd, NoKeyShowsDefaultsAndClosingCreatesTheKey)
{
    DeleteConfigKey();
    ScratchFolder folder(L"settings");
    std::wstring exe = folder.AddLauncher();
    LauncherProcess launcher;
    ASSERT_TRUE(launcher.Start(exe, folder.Path().c_str()));
    HWND window = launcher.WaitForWindow();
    ASSERT_TRUE(window) << DescribeProcessWindows(launcher.Id());

    PanelState defaults = { 2, BST_UNCHECKED, BST_CHECKED, BST_CHECKED, 5 };
    EXPECT_EQ(ReadPanel(window), defaults);
    EXPECT_EQ(ComboItemText(GetDlgItem(window, ID_RESOLUTION), 2), L"1280 x 800");
    EXPECT_FALSE(UserKeyExists("SOFTWARE\\Tarsin")) << "the running launcher created the key";

    launcher.Close();
    EXPECT_EQ(launcher.WaitForExit(), 0u);
    EXPECT_TRUE(ConfigHolds({ 3, 1, 1, 1, 5 }));
}

TEST(SettingsEndToEnd, StoredValuesAreShownAndWrittenBackOnClose)
{
    enum class Meanwhile { KeyDeleted, OtherValuesWritten };
    const struct {
        ClientSettings stored;
        PanelState shown;
        ClientSettings saved;
        Meanwhile meanwhile;
    } cases[] = {
        { { 11, 0, 0, 1, 7 }, { 7, BST_CHECKED, BST_UNCHECKED, BST_CHECKED, 7 }, { 11, 0, 0, 1, 7 },
          Meanwhile::KeyDeleted },
        { { 8, 2, 7, 0, 25 }, { 8, BST_UNCHECKED, BST_CHECKED, BST_UNCHECKED, 10 }, { 8, 1, 1, 0, 10 },
          Meanwhile::OtherValuesWritten },
        { { 12, 0, 1, 1, 0xFFFFFFFFu }, { 2, BST_CHECKED, BST_CHECKED, BST_CHECKED, 0 }, { 3, 0, 1, 1, 0 },
          Meanwhile::OtherValuesWritten },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "stored resolution " << c.stored.resolution << ", volume "
                                          << c.stored.volume);
        DeleteConfigKey();
        StoreSettings(c.stored);
        ScratchFolder folder(L"settings");
        std::wstring exe = folder.AddLauncher();
        LauncherProcess launcher;
        ASSERT_TRUE(launcher.Start(exe, folder.Path().c_str()));
        HWND window = launcher.WaitForWindow();
        ASSERT_TRUE(window) << DescribeProcessWindows(launcher.Id());

        EXPECT_EQ(ReadPanel(window), c.shown);
        HWND combo = GetDlgItem(window, ID_RESOLUTION);
        EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 11);
        EXPECT_EQ(ComboItemText(combo, c.shown.row), kLabelOfRow[c.shown.row]);
        EXPECT_TRUE(ConfigHolds(c.stored)) << "the launcher wrote before it was closed";

        if (c.meanwhile == Meanwhile::KeyDeleted)
            DeleteConfigKey();
        else
            StoreSettings({ 5, 1, 0, 1, 4 });
        launcher.Close();
        EXPECT_EQ(launcher.WaitForExit(), 0u);
        EXPECT_TRUE(ConfigHolds(c.saved));
    }
}

TEST(SettingsEndToEnd, ControlsChangedFromOutsideAreSavedOnClose)
{
    DeleteConfigKey();
    const ClientSettings stored = { 3, 1, 1, 1, 5 };
    StoreSettings(stored);
    ScratchFolder folder(L"settings");
    std::wstring exe = folder.AddLauncher();
    LauncherProcess launcher;
    ASSERT_TRUE(launcher.Start(exe, folder.Path().c_str()));
    HWND window = launcher.WaitForWindow();
    ASSERT_TRUE(window) << DescribeProcessWindows(launcher.Id());

    SendMessageW(GetDlgItem(window, ID_RESOLUTION), CB_SETCURSEL, 10, 0);
    SendMessageW(GetDlgItem(window, ID_FULLSCREEN), BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(GetDlgItem(window, ID_SOUND), BM_SETCHECK, BST_UNCHECKED, 0);
    SendMessageW(GetDlgItem(window, ID_VOLUME), TBM_SETPOS, TRUE, 2);
    RoundTrip(window);
    PanelState changed = { 10, BST_CHECKED, BST_UNCHECKED, BST_CHECKED, 2 };
    ASSERT_EQ(ReadPanel(window), changed);
    EXPECT_TRUE(ConfigHolds(stored)) << "a changed control was written before the close";

    launcher.Close();
    EXPECT_EQ(launcher.WaitForExit(), 0u);
    EXPECT_TRUE(ConfigHolds({ 10, 0, 0, 1, 2 }));
}

TEST(SettingsEndToEnd, KeyThatMayNotBeWrittenIsShownAndLeftAsItWas)
{
    DeleteConfigKey();
    const ClientSettings stored = { 9, 0, 0, 1, 2 };
    StoreSettings(stored);
    struct Restore {
        ~Restore() { AllowSettingsWrites(); }
    } restore;
    if (!DenySettingsWrites())
        GTEST_SKIP() << "this platform does not enforce a DACL that denies setting values on a registry key";

    ScratchFolder folder(L"settings");
    std::wstring exe = folder.AddLauncher();
    LauncherProcess launcher;
    ASSERT_TRUE(launcher.Start(exe, folder.Path().c_str()));
    HWND window = launcher.WaitForWindow();
    ASSERT_TRUE(window) << DescribeProcessWindows(launcher.Id());
    PanelState shown = { 9, BST_CHECKED, BST_UNCHECKED, BST_CHECKED, 2 };
    EXPECT_EQ(ReadPanel(window), shown);

    SendMessageW(GetDlgItem(window, ID_RESOLUTION), CB_SETCURSEL, 0, 0);
    SendMessageW(GetDlgItem(window, ID_VOLUME), TBM_SETPOS, TRUE, 10);
    launcher.Close();
    EXPECT_EQ(launcher.WaitForExit(), 0u);
    EXPECT_TRUE(ConfigHolds(stored));
}
