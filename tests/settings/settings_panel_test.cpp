// The settings panel of the real main window in this process: what each stored value
// shows, what each shown state saves, and when a save happens.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "settings/client_settings.h"
#include "shell/launcher_state.h"
#include "support/settings_support.h"
#include "support/test_support.h"

namespace {

// One row of a value's load and save rules; stored == false: the value is absent.
struct ValueRule {
    bool stored;
    DWORD value;
    LRESULT shown;
    DWORD saved;
};

// For each row: store only that value, build the panel, read the control with
// `query`, then save into an emptied key and read back what was written.
void CheckValueRules(const char* name, int controlId, UINT query, const std::vector<ValueRule>& rules)
{
    for (const ValueRule& rule : rules) {
        SCOPED_TRACE(::testing::Message() << name << " "
                                          << (rule.stored ? std::to_string(rule.value) : std::string("absent")));
        DeleteConfigKey();
        if (rule.stored)
            SetConfigDword(name, rule.value);
        InProcessLauncher launcher(false);
        EXPECT_EQ(SendMessageA(launcher.Control(controlId), query, 0, 0), rule.shown);
        DeleteConfigKey();
        SaveClientSettings();
        DWORD saved = 0xDEAD;
        EXPECT_TRUE(GetConfigDword(name, &saved));
        EXPECT_EQ(saved, rule.saved);
    }
}

const char* const kExpectedLabels[11] = {
    "800 x 600",   "1024 x 640",  "1280 x 800",  "1366 x 768",  "1440 x 900",  "1536 x 960",
    "1680 x 1050", "1920 x 1080", "1920 x 1200", "2560 x 1600", "3840 x 2400",
};

std::string SelectedLabel(HWND combo)
{
    LRESULT row = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    char text[64] = {};
    if (row == CB_ERR || SendMessageA(combo, CB_GETLBTEXT, (WPARAM)row, (LPARAM)text) == CB_ERR)
        return "<no selection>";
    return text;
}

}  // namespace

TEST(SettingsPanel, NoKeyShowsDefaultsAndFirstSaveCreatesKey)
{
    DeleteConfigKey();
    InProcessLauncher launcher;
    PanelState defaults = { 2, BST_UNCHECKED, BST_CHECKED, BST_CHECKED, 5 };
    EXPECT_EQ(ReadPanel(launcher.Window()), defaults);
    EXPECT_EQ(SelectedLabel(gLauncher.resolutionCombo), "1280 x 800");
    EXPECT_FALSE(UserKeyExists("SOFTWARE\\Tarsin")) << "loading created the key";

    SaveClientSettings();
    EXPECT_TRUE(ConfigHolds({ 3, 1, 1, 1, 5 }));
}

TEST(SettingsPanel, LoadingLeavesTheRegistryAsItWas)
{
    DeleteConfigKey();
    const char text[] = "7";
    SetConfigValue("Resolution", REG_SZ, text, sizeof(text));
    SetConfigDword("WindowMode", 2);
    SetConfigDword("VolumeLevel", 25);
    {
        InProcessLauncher launcher(false);
        RawValue resolution = ReadRawConfigValue("Resolution");
        EXPECT_TRUE(resolution.exists && resolution.type == REG_SZ);
        DWORD value = 0;
        EXPECT_TRUE(GetConfigDword("WindowMode", &value) && value == 2);
        EXPECT_TRUE(GetConfigDword("VolumeLevel", &value) && value == 25);
        EXPECT_FALSE(ConfigValueExists("SoundOnOff"));
        EXPECT_FALSE(ConfigValueExists("MusicOnOff"));
    }
}

TEST(SettingsPanel, ResolutionRules)
{
    CheckValueRules("Resolution", ID_RESOLUTION, CB_GETCURSEL,
                    {
                        { false, 0, 2, 3 },
                        { true, 1, 0, 1 },
                        { true, 2, 1, 2 },
                        { true, 3, 2, 3 },
                        { true, 4, 3, 4 },
                        { true, 5, 4, 5 },
                        { true, 6, 5, 6 },
                        { true, 7, 6, 7 },
                        { true, 11, 7, 11 },
                        { true, 8, 8, 8 },
                        { true, 9, 9, 9 },
                        { true, 10, 10, 10 },
                        // Ids that no row has.
                        { true, 0, 2, 3 },
                        { true, 12, 2, 3 },
                        { true, 0x10000001u, 2, 3 },
                        { true, 0xFFFFFFFFu, 2, 3 },
                    });
}

TEST(SettingsPanel, StoredResolutionShowsItsLabel)
{
    const struct {
        DWORD stored;
        const char* label;
    } cases[] = {
        { 11, "1920 x 1080" }, { 8, "1920 x 1200" }, { 7, "1680 x 1050" }, { 1, "800 x 600" },
        { 0, "1280 x 800" },   { 12, "1280 x 800" },
    };
    for (const auto& c : cases) {
        DeleteConfigKey();
        SetConfigDword("Resolution", c.stored);
        InProcessLauncher launcher(false);
        EXPECT_EQ(SelectedLabel(gLauncher.resolutionCombo), c.label) << "stored " << c.stored;
    }
}

TEST(SettingsPanel, EachRowSavesItsOwnId)
{
    const DWORD idOfRow[11] = { 1, 2, 3, 4, 5, 6, 7, 11, 8, 9, 10 };
    DeleteConfigKey();
    SetConfigDword("Resolution", 11);
    InProcessLauncher launcher(false);
    for (int row = 0; row < 11; ++row) {
        SendMessageA(gLauncher.resolutionCombo, CB_SETCURSEL, row, 0);
        ASSERT_EQ(SendMessageA(gLauncher.resolutionCombo, CB_GETCURSEL, 0, 0), row);
        DeleteConfigKey();
        SaveClientSettings();
        DWORD saved = 0xDEAD;
        EXPECT_TRUE(GetConfigDword("Resolution", &saved));
        EXPECT_EQ(saved, idOfRow[row]) << "row " << row << " \"" << kExpectedLabels[row] << "\"";
    }
}

TEST(SettingsPanel, WindowModeRules)
{
    CheckValueRules("WindowMode", ID_FULLSCREEN, BM_GETCHECK,
                    {
                        { false, 0, BST_UNCHECKED, 1 },
                        { true, 0, BST_CHECKED, 0 },
                        { true, 1, BST_UNCHECKED, 1 },
                        { true, 2, BST_UNCHECKED, 1 },
                        { true, 0x100, BST_UNCHECKED, 1 },
                        { true, 0xFFFFFFFFu, BST_UNCHECKED, 1 },
                    });
}

TEST(SettingsPanel, SoundRules)
{
    CheckValueRules("SoundOnOff", ID_SOUND, BM_GETCHECK,
                    {
                        { false, 0, BST_CHECKED, 1 },
                        { true, 0, BST_UNCHECKED, 0 },
                        { true, 1, BST_CHECKED, 1 },
                        { true, 7, BST_CHECKED, 1 },
                        { true, 0x100, BST_CHECKED, 1 },
                        { true, 0xFFFFFFFFu, BST_CHECKED, 1 },
                    });
}

TEST(SettingsPanel, MusicRules)
{
    CheckValueRules("MusicOnOff", ID_MUSIC, BM_GETCHECK,
                    {
                        { false, 0, BST_CHECKED, 1 },
                        { true, 0, BST_UNCHECKED, 0 },
                        { true, 1, BST_CHECKED, 1 },
                        { true, 7, BST_CHECKED, 1 },
                        { true, 0x10000, BST_CHECKED, 1 },
                        { true, 0xFFFFFFFFu, BST_CHECKED, 1 },
                    });
}

TEST(SettingsPanel, VolumeRules)
{
    CheckValueRules("VolumeLevel", ID_VOLUME, TBM_GETPOS,
                    {
                        { false, 0, 5, 5 },
                        { true, 0, 0, 0 },
                        { true, 1, 1, 1 },
                        { true, 5, 5, 5 },
                        { true, 9, 9, 9 },
                        { true, 10, 10, 10 },
                        { true, 11, 10, 10 },
                        { true, 25, 10, 10 },
                        { true, 0x7FFFFFFFu, 10, 10 },
                        // From 0x80000000 up the value is negative as a position.
                        { true, 0x80000000u, 0, 0 },
                        { true, 0xFFFFFFFBu, 0, 0 },
                        { true, 0xFFFFFFFFu, 0, 0 },
                    });
}

TEST(SettingsPanel, EachValueReachesItsOwnControl)
{
    const struct {
        ClientSettings stored;
        PanelState shown;
    } cases[] = {
        { { 11, 0, 0, 1, 7 }, { 7, BST_CHECKED, BST_UNCHECKED, BST_CHECKED, 7 } },
        { { 1, 1, 1, 0, 0 }, { 0, BST_UNCHECKED, BST_CHECKED, BST_UNCHECKED, 0 } },
        { { 10, 0, 1, 0, 10 }, { 10, BST_CHECKED, BST_CHECKED, BST_UNCHECKED, 10 } },
        { { 8, 1, 0, 0, 3 }, { 8, BST_UNCHECKED, BST_UNCHECKED, BST_UNCHECKED, 3 } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "stored resolution " << c.stored.resolution << ", volume "
                                          << c.stored.volume);
        DeleteConfigKey();
        StoreSettings(c.stored);
        InProcessLauncher launcher(false);
        EXPECT_EQ(ReadPanel(launcher.Window()), c.shown);
        DeleteConfigKey();
        SaveClientSettings();
        EXPECT_TRUE(ConfigHolds(c.stored));
    }
}

TEST(SettingsPanel, BadStoredDataShowsAndSavesDefaults)
{
    const struct {
        const char* what;
        DWORD type;
        std::vector<BYTE> data;
    } kinds[] = {
        { "REG_SZ \"7\"", REG_SZ, { '7', 0 } },
        { "REG_SZ \"0\"", REG_SZ, { '0', 0 } },
        { "REG_BINARY", REG_BINARY, { 0, 0, 0, 0 } },
        { "REG_QWORD", REG_QWORD, { 0, 0, 0, 0, 0, 0, 0, 0 } },
        { "REG_DWORD of 8 bytes", REG_DWORD, { 0, 0, 0, 0, 0, 0, 0, 0 } },
    };
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.what);
        DeleteConfigKey();
        for (const char* name : kSettingNames)
            SetConfigValue(name, kind.type, kind.data.data(), (DWORD)kind.data.size());
        InProcessLauncher launcher(false);
        PanelState defaults = { 2, BST_UNCHECKED, BST_CHECKED, BST_CHECKED, 5 };
        EXPECT_EQ(ReadPanel(launcher.Window()), defaults);
        SaveClientSettings();
        EXPECT_TRUE(ConfigHolds(kDefaultSettings));
    }
}

TEST(SettingsPanel, ComboListsTheElevenLabelsInTableOrder)
{
    DeleteConfigKey();
    InProcessLauncher launcher(false);
    HWND combo = gLauncher.resolutionCombo;
    ASSERT_EQ(combo, launcher.Control(ID_RESOLUTION));
    EXPECT_EQ(GetWindowLongA(combo, GWL_STYLE) & CBS_SORT, 0);
    ASSERT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 11);
    for (int index = 0; index < 11; ++index) {
        char text[64] = {};
        EXPECT_EQ(SendMessageA(combo, CB_GETLBTEXTLEN, index, 0), (LRESULT)strlen(kExpectedLabels[index]));
        SendMessageA(combo, CB_GETLBTEXT, index, (LPARAM)text);
        EXPECT_STREQ(text, kExpectedLabels[index]) << "index " << index;
        EXPECT_EQ(ComboItemText(combo, index), Widen(kExpectedLabels[index])) << "index " << index;
    }
}

// The panel's controls changed as a user would: nothing reaches the registry until
// the window is destroyed.
TEST(SettingsPanel, ChangingControlsWritesNothingUntilDestroyed)
{
    DeleteConfigKey();
    InProcessLauncher launcher;
    HWND window = launcher.Window();

    SendMessageA(gLauncher.resolutionCombo, WM_KEYDOWN, VK_DOWN, 0);
    ASSERT_EQ(SendMessageA(gLauncher.resolutionCombo, CB_GETCURSEL, 0, 0), 3) << "the arrow key did not move";
    SendMessageA(gLauncher.fullScreenCheck, BM_CLICK, 0, 0);
    SendMessageA(gLauncher.soundCheck, BM_CLICK, 0, 0);
    SendMessageA(gLauncher.volumeTrackbar, WM_KEYDOWN, VK_RIGHT, 0);
    SendMessageA(gLauncher.volumeTrackbar, WM_KEYUP, VK_RIGHT, 0);
    PumpMessages(100);
    PanelState changed = { 3, BST_CHECKED, BST_UNCHECKED, BST_CHECKED, 6 };
    ASSERT_EQ(ReadPanel(window), changed);
    EXPECT_FALSE(UserKeyExists("SOFTWARE\\Tarsin"));

    // The notifications themselves, as the controls send them to the window.
    const struct {
        UINT message;
        WPARAM wParam;
        HWND control;
    } notifications[] = {
        { WM_COMMAND, MAKEWPARAM(ID_RESOLUTION, CBN_SELCHANGE), gLauncher.resolutionCombo },
        { WM_COMMAND, MAKEWPARAM(ID_RESOLUTION, CBN_SELENDOK), gLauncher.resolutionCombo },
        { WM_COMMAND, MAKEWPARAM(ID_RESOLUTION, CBN_CLOSEUP), gLauncher.resolutionCombo },
        { WM_COMMAND, MAKEWPARAM(ID_FULLSCREEN, BN_CLICKED), gLauncher.fullScreenCheck },
        { WM_COMMAND, MAKEWPARAM(ID_SOUND, BN_CLICKED), gLauncher.soundCheck },
        { WM_COMMAND, MAKEWPARAM(ID_MUSIC, BN_CLICKED), gLauncher.musicCheck },
        { WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 6), gLauncher.volumeTrackbar },
        { WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), gLauncher.volumeTrackbar },
    };
    for (const auto& n : notifications)
        SendMessageA(window, n.message, n.wParam, (LPARAM)n.control);
    PumpMessages(50);
    EXPECT_FALSE(UserKeyExists("SOFTWARE\\Tarsin")) << "a notification wrote the settings";
    EXPECT_EQ(ReadPanel(window), changed);

    launcher.Destroy();
    EXPECT_TRUE(ConfigHolds({ 4, 0, 0, 1, 6 }));
}

TEST(SettingsPanel, DestroyingTheWindowSavesTheControls)
{
    enum class Ending { DestroyWindowCall, CloseMessage };
    const Ending endings[] = { Ending::DestroyWindowCall, Ending::CloseMessage };
    for (Ending ending : endings) {
        SCOPED_TRACE(ending == Ending::DestroyWindowCall ? "DestroyWindow" : "WM_CLOSE");
        DeleteConfigKey();
        StoreSettings({ 3, 1, 1, 1, 5 });
        InProcessLauncher launcher;
        SendMessageA(gLauncher.resolutionCombo, CB_SETCURSEL, 9, 0);
        SendMessageA(gLauncher.fullScreenCheck, BM_SETCHECK, BST_CHECKED, 0);
        SendMessageA(gLauncher.musicCheck, BM_SETCHECK, BST_UNCHECKED, 0);
        SendMessageA(gLauncher.volumeTrackbar, TBM_SETPOS, TRUE, 0);
        EXPECT_TRUE(ConfigHolds({ 3, 1, 1, 1, 5 })) << "written before the window was destroyed";

        HWND window = launcher.Window();
        if (ending == Ending::DestroyWindowCall) {
            launcher.Destroy();
        } else {
            SendMessageA(window, WM_CLOSE, 0, 0);
            PumpUntil([window] { return !IsWindow(window); }, 5000);
        }
        ASSERT_FALSE(IsWindow(window));
        EXPECT_TRUE(ConfigHolds({ 9, 0, 1, 0, 0 }));
    }
}
