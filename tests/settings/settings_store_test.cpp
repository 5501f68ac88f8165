// The registry side of the client settings: the two primitives against the real
// registry, and what a save writes from the panel controls.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "client/capability_probe.h"
#include "settings/client_settings.h"
#include "shell/launcher_state.h"
#include "support/settings_support.h"
#include "support/test_support.h"

namespace {

void CreateUserKey(const char* path, DWORD options = REG_OPTION_NON_VOLATILE)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, NULL, options, KEY_ALL_ACCESS, NULL, &key, NULL),
              ERROR_SUCCESS)
        << path;
    RegCloseKey(key);
}

DWORD ConfigValueCount()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    DWORD count = 0;
    RegQueryInfoKeyA(key, NULL, NULL, NULL, NULL, NULL, NULL, &count, NULL, NULL, NULL, NULL);
    RegCloseKey(key);
    return count;
}

std::vector<BYTE> LittleEndian(DWORD value)
{
    return { (BYTE)value, (BYTE)(value >> 8), (BYTE)(value >> 16), (BYTE)(value >> 24) };
}

// Undoes DenySettingsWrites however the test ends, so the next case can delete the key.
struct WritesDeniedScope {
    ~WritesDeniedScope() { AllowSettingsWrites(); }
};

}  // namespace

TEST(SettingsStore, ReadWithoutKeyGivesDefaultAndCreatesNothing)
{
    DeleteConfigKey();
    const DWORD defaults[] = { 0, 1, 3, 5, 0x80000000u, 0xFFFFFFFFu };
    const char* const names[] = { "Resolution", "WindowMode", "SoundOnOff", "MusicOnOff", "VolumeLevel", "Other" };
    for (const char* name : names) {
        for (DWORD defaultValue : defaults)
            EXPECT_EQ(ReadConfigDword(name, defaultValue), defaultValue) << name;
    }
    EXPECT_FALSE(UserKeyExists("SOFTWARE\\Tarsin")) << "reading created the key's parents";

    // Only the first part of the path present: still nothing below it is created.
    CreateUserKey("SOFTWARE\\Tarsin");
    EXPECT_EQ(ReadConfigDword("Resolution", 3), 3u);
    EXPECT_FALSE(UserKeyExists("SOFTWARE\\Tarsin\\Ozi"));
}

TEST(SettingsStore, ReadOfMissingValueGivesDefaultAndAddsNoValue)
{
    DeleteConfigKey();
    CreateUserKey(kSettingsKeyPath);
    SetConfigDword("WindowMode", 0);
    EXPECT_EQ(ReadConfigDword("Resolution", 3), 3u);
    EXPECT_EQ(ReadConfigDword("VolumeLevel", 5), 5u);
    EXPECT_EQ(ReadConfigDword("WindowMode", 1), 0u) << "the value beside the missing ones";
    EXPECT_EQ(ConfigValueCount(), 1u);
}

TEST(SettingsStore, ReadReturnsStoredDwordWhateverTheDefault)
{
    const struct {
        DWORD stored;
        DWORD defaultValue;
    } cases[] = {
        { 0, 5 }, { 7, 1 }, { 11, 3 }, { 25, 5 }, { 0x80000000u, 0 }, { 0xFFFFFFFFu, 5 }, { 5, 5 },
    };
    DeleteConfigKey();
    for (const auto& c : cases) {
        SetConfigDword("VolumeLevel", c.stored);
        EXPECT_EQ(ReadConfigDword("VolumeLevel", c.defaultValue), c.stored) << "default " << c.defaultValue;
    }
}

TEST(SettingsStore, DataThatIsNotAFourByteDwordReadsAsDefault)
{
    const struct {
        const char* what;
        DWORD type;
        std::vector<BYTE> data;
    } cases[] = {
        { "REG_SZ \"7\"", REG_SZ, { '7', 0 } },
        { "REG_SZ \"0\"", REG_SZ, { '0', 0 } },
        { "REG_SZ empty", REG_SZ, { 0 } },
        { "REG_SZ longer than 4 bytes", REG_SZ, { '1', '2', '3', '4', '5', '6', '7', 0 } },
        { "REG_EXPAND_SZ \"5\"", REG_EXPAND_SZ, { '5', 0 } },
        { "REG_MULTI_SZ", REG_MULTI_SZ, { '7', 0, 0 } },
        { "REG_BINARY of 4 bytes", REG_BINARY, { 7, 0, 0, 0 } },
        { "REG_BINARY of 1 byte", REG_BINARY, { 7 } },
        { "REG_NONE of 4 bytes", REG_NONE, { 7, 0, 0, 0 } },
        { "REG_DWORD_BIG_ENDIAN", REG_DWORD_BIG_ENDIAN, { 0, 0, 0, 7 } },
        { "REG_QWORD 7", REG_QWORD, { 7, 0, 0, 0, 0, 0, 0, 0 } },
        { "REG_DWORD of 8 bytes", REG_DWORD, { 7, 0, 0, 0, 0, 0, 0, 0 } },
        { "REG_DWORD of 5 bytes", REG_DWORD, { 7, 0, 0, 0, 0 } },
        { "REG_DWORD of 0 bytes", REG_DWORD, {} },
    };
    const DWORD defaults[] = { 0xA5A5A5A5u, 5, 0 };
    DeleteConfigKey();
    for (const auto& c : cases) {
        SetConfigValue("VolumeLevel", c.type, c.data.data(), (DWORD)c.data.size());
        RawValue stored = ReadRawConfigValue("VolumeLevel");
        ASSERT_TRUE(stored.exists && stored.type == c.type && stored.data.size() == c.data.size())
            << c.what << ": the registry did not keep the test data";
        for (DWORD defaultValue : defaults)
            EXPECT_EQ(ReadConfigDword("VolumeLevel", defaultValue), defaultValue) << c.what;
    }
}

TEST(SettingsStore, ShortDwordReplacesOnlyLowOrderBytesOfDefault)
{
    const struct {
        std::vector<BYTE> data;
        DWORD defaultValue;
        DWORD expected;
    } cases[] = {
        { { 0x07 }, 0xA5A5A5A5u, 0xA5A5A507u },
        { { 0x34, 0x12 }, 0xA5A5A5A5u, 0xA5A51234u },
        { { 0x56, 0x34, 0x12 }, 0xA5A5A5A5u, 0xA5123456u },
        { { 0x00 }, 5, 0 },
        { { 0x02 }, 0xFFFFFF00u, 0xFFFFFF02u },
        { { 0xFF, 0xFF }, 3, 0xFFFFu },
    };
    DeleteConfigKey();
    for (const auto& c : cases) {
        SetConfigValue("Resolution", REG_DWORD, c.data.data(), (DWORD)c.data.size());
        ASSERT_EQ(ReadRawConfigValue("Resolution").data.size(), c.data.size());
        EXPECT_EQ(ReadConfigDword("Resolution", c.defaultValue), c.expected)
            << c.data.size() << " bytes, default " << std::hex << c.defaultValue;
    }
}

TEST(SettingsStore, WriteCreatesKeyAndMissingParents)
{
    const char* const existingParents[] = { NULL, "SOFTWARE\\Tarsin", "SOFTWARE\\Tarsin\\Ozi" };
    for (const char* parent : existingParents) {
        SCOPED_TRACE(parent ? parent : "no parent key");
        DeleteConfigKey();
        if (parent)
            CreateUserKey(parent);
        WriteConfigDword("Resolution", 0x12345678u);
        RawValue raw = ReadRawConfigValue("Resolution");
        ASSERT_TRUE(raw.exists);
        EXPECT_EQ(raw.type, (DWORD)REG_DWORD);
        EXPECT_EQ(raw.data, LittleEndian(0x12345678u));
        EXPECT_EQ(ConfigValueCount(), 1u);
    }
}

TEST(SettingsStore, WriteStoresFourByteDwordOverWhateverWasThere)
{
    const struct {
        const char* what;
        DWORD type;
        std::vector<BYTE> before;
        DWORD written;
    } cases[] = {
        { "nothing", REG_NONE, {}, 0 },
        { "a REG_DWORD", REG_DWORD, { 9, 0, 0, 0 }, 1 },
        { "a REG_SZ", REG_SZ, { '7', 0 }, 5 },
        { "a REG_QWORD", REG_QWORD, { 1, 2, 3, 4, 5, 6, 7, 8 }, 11 },
        { "a 2-byte REG_DWORD", REG_DWORD, { 1, 2 }, 0x80000000u },
        { "a REG_BINARY", REG_BINARY, { 1, 2, 3, 4, 5 }, 0xFFFFFFFFu },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteConfigKey();
        if (c.type != REG_NONE)
            SetConfigValue("SoundOnOff", c.type, c.before.data(), (DWORD)c.before.size());
        WriteConfigDword("SoundOnOff", c.written);
        RawValue raw = ReadRawConfigValue("SoundOnOff");
        ASSERT_TRUE(raw.exists);
        EXPECT_EQ(raw.type, (DWORD)REG_DWORD);
        EXPECT_EQ(raw.data, LittleEndian(c.written));
    }
}

TEST(SettingsStore, WriteTouchesOnlyTheNamedValue)
{
    DeleteConfigKey();
    StoreSettings({ 9, 0, 0, 1, 2 });
    const char other[] = "kept";
    SetConfigValue("Other", REG_SZ, other, sizeof(other));
    WriteConfigDword("VolumeLevel", 8);
    EXPECT_TRUE(ConfigHolds({ 9, 0, 0, 1, 8 }));
    RawValue raw = ReadRawConfigValue("Other");
    EXPECT_TRUE(raw.exists && raw.type == REG_SZ && raw.data == std::vector<BYTE>(other, other + sizeof(other)));
}

// Registry keys and values have separate names, so nothing named like the key or a
// value can stand in the way: the key path cannot be "occupied" by a value.
TEST(SettingsStore, SubKeysAndValuesOfTheSameNameDoNotCollide)
{
    DeleteConfigKey();
    CreateUserKey("SOFTWARE\\Tarsin\\Ozi");
    HKEY ozi;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Tarsin\\Ozi", 0, KEY_ALL_ACCESS, &ozi), ERROR_SUCCESS);
    const char text[] = "not a key";
    RegSetValueExA(ozi, "Config", 0, REG_SZ, (const BYTE*)text, sizeof(text));
    EXPECT_EQ(ReadConfigDword("WindowMode", 1), 1u);
    WriteConfigDword("WindowMode", 0);
    EXPECT_EQ(ReadConfigDword("WindowMode", 1), 0u);
    DWORD type = 0;
    char stored[32] = {};
    DWORD storedSize = sizeof(stored);
    EXPECT_EQ(RegQueryValueExA(ozi, "Config", NULL, &type, (BYTE*)stored, &storedSize), ERROR_SUCCESS);
    EXPECT_STREQ(stored, text);
    RegCloseKey(ozi);

    // A sub-key called "Resolution" is not the value "Resolution".
    CreateUserKey("SOFTWARE\\Tarsin\\Ozi\\Config\\Resolution");
    EXPECT_EQ(ReadConfigDword("Resolution", 3), 3u);
    WriteConfigDword("Resolution", 11);
    EXPECT_EQ(ReadConfigDword("Resolution", 3), 11u);
    EXPECT_TRUE(UserKeyExists("SOFTWARE\\Tarsin\\Ozi\\Config\\Resolution"));
}

TEST(SettingsStore, KeyThatMayNotBeWrittenIsStillReadAndLeftUnchanged)
{
    DeleteConfigKey();
    StoreSettings({ 9, 0, 0, 1, 2 });
    WritesDeniedScope restore;
    if (!DenySettingsWrites())
        GTEST_SKIP() << "this platform does not enforce a DACL that denies setting values on a registry key";

    EXPECT_EQ(ReadConfigDword("Resolution", 3), 9u) << "reading must not ask for write access";
    EXPECT_EQ(ReadConfigDword("VolumeLevel", 5), 2u);
    WriteConfigDword("Resolution", 1);
    EXPECT_TRUE(ConfigHolds({ 9, 0, 0, 1, 2 }));

    InProcessLauncher launcher(false);
    PanelState expected = { 9, BST_CHECKED, BST_UNCHECKED, BST_CHECKED, 2 };
    EXPECT_EQ(ReadPanel(launcher.Window()), expected);
    SendMessageA(gLauncher.resolutionCombo, CB_SETCURSEL, 0, 0);
    SendMessageA(gLauncher.soundCheck, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageA(gLauncher.volumeTrackbar, TBM_SETPOS, TRUE, 10);
    SaveClientSettings();
    EXPECT_TRUE(ConfigHolds({ 9, 0, 0, 1, 2 }));
    EXPECT_EQ(ConfigValueCount(), 5u);
}

// A volatile parent refuses non-volatile sub-keys: the settings key cannot be created.
TEST(SettingsStore, KeyThatCannotBeCreatedWritesNothing)
{
    DeleteConfigKey();
    CreateUserKey("SOFTWARE\\Tarsin");
    CreateUserKey("SOFTWARE\\Tarsin\\Ozi", REG_OPTION_VOLATILE);
    HKEY probe;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Tarsin\\Ozi\\Probe", 0, NULL, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, NULL, &probe, NULL) == ERROR_SUCCESS) {
        RegCloseKey(probe);
        GTEST_SKIP() << "this platform creates non-volatile keys under a volatile one";
    }

    WriteConfigDword("Resolution", 11);
    EXPECT_FALSE(UserKeyExists(kSettingsKeyPath));

    InProcessLauncher launcher(false);
    PanelState defaults = { 2, BST_UNCHECKED, BST_CHECKED, BST_CHECKED, 5 };
    EXPECT_EQ(ReadPanel(launcher.Window()), defaults);
    SendMessageA(gLauncher.resolutionCombo, CB_SETCURSEL, 7, 0);
    SaveClientSettings();
    EXPECT_FALSE(UserKeyExists(kSettingsKeyPath));
    EXPECT_TRUE(UserKeyExists("SOFTWARE\\Tarsin\\Ozi")) << "the save must leave the parent as it was";
}

TEST(SettingsStore, SaveWritesAllFiveOnEveryCall)
{
    DeleteConfigKey();
    const ClientSettings stored = { 11, 0, 0, 1, 7 };
    StoreSettings(stored);
    InProcessLauncher launcher(false);

    // Another program changes the values after the load: the save puts the panel's back.
    // Two of them hold the panel's number in their first bytes but are no 4-byte
    // REG_DWORD, so a save that skips values which "look unchanged" leaves them wrong.
    SetConfigValue("Resolution", REG_BINARY, "\x0B\0\0\0", 4);
    SetConfigDword("WindowMode", 1);
    const char text[] = "1";
    SetConfigValue("SoundOnOff", REG_SZ, text, sizeof(text));
    SetConfigValue("MusicOnOff", REG_DWORD, "\x01\0", 2);
    SetConfigValue("VolumeLevel", REG_QWORD, "\x03\0\0\0\0\0\0\0", 8);
    SaveClientSettings();
    EXPECT_TRUE(ConfigHolds(stored));
    DeleteConfigValue("MusicOnOff");
    SaveClientSettings();
    EXPECT_TRUE(ConfigHolds(stored)) << "a value deleted after the load";

    // Unchanged values are written too: with the key gone, one save recreates all five.
    DeleteConfigKey();
    SaveClientSettings();
    EXPECT_TRUE(ConfigHolds(stored));
    EXPECT_EQ(ConfigValueCount(), 5u);
}

TEST(SettingsStore, SaveWithoutSelectionWritesNoResolutionButTheOtherFour)
{
    DeleteConfigKey();
    StoreSettings({ 10, 0, 0, 0, 9 });
    InProcessLauncher launcher(false);
    SendMessageA(gLauncher.resolutionCombo, CB_SETCURSEL, (WPARAM)-1, 0);
    ASSERT_EQ(SendMessageA(gLauncher.resolutionCombo, CB_GETCURSEL, 0, 0), CB_ERR);

    StoreSettings({ 6, 1, 1, 1, 1 });
    SaveClientSettings();
    EXPECT_TRUE(ConfigHolds({ 6, 0, 0, 0, 9 })) << "the stored resolution stays as it was";

    DeleteConfigKey();
    SaveClientSettings();
    EXPECT_FALSE(ConfigValueExists("Resolution"));
    EXPECT_EQ(ReadRawConfigValue("WindowMode").data, LittleEndian(0));
    EXPECT_EQ(ReadRawConfigValue("SoundOnOff").data, LittleEndian(0));
    EXPECT_EQ(ReadRawConfigValue("MusicOnOff").data, LittleEndian(0));
    EXPECT_EQ(ReadRawConfigValue("VolumeLevel").data, LittleEndian(9));
    EXPECT_EQ(ConfigValueCount(), 4u);
}

TEST(SettingsStore, DisabledFullScreenBoxIsSavedFromItsCheckState)
{
    enum class Disable { EnableWindowFalse, ClientWithoutSupport };
    const struct {
        DWORD stored;
        Disable how;
        LRESULT shown;
        DWORD saved;
    } cases[] = {
        { 0, Disable::EnableWindowFalse, BST_CHECKED, 0 },
        { 1, Disable::EnableWindowFalse, BST_UNCHECKED, 1 },
        { 0, Disable::ClientWithoutSupport, BST_CHECKED, 0 },
        { 2, Disable::ClientWithoutSupport, BST_UNCHECKED, 1 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "WindowMode " << c.stored << ", disabled by "
                                          << (c.how == Disable::EnableWindowFalse ? "EnableWindow" : "the probe"));
        DeleteConfigKey();
        SetConfigDword("WindowMode", c.stored);
        InProcessLauncher launcher(false);
        if (c.how == Disable::EnableWindowFalse)
            EnableWindow(gLauncher.fullScreenCheck, FALSE);
        else
            ApplyClientCapability(0);
        ASSERT_FALSE(IsWindowEnabled(gLauncher.fullScreenCheck));
        EXPECT_EQ(SendMessageA(gLauncher.fullScreenCheck, BM_GETCHECK, 0, 0), c.shown);
        // Every save writes it again, not only the first.
        for (int save = 0; save < 2; ++save) {
            DeleteConfigKey();
            SaveClientSettings();
            DWORD saved = 0xDEAD;
            EXPECT_TRUE(GetConfigDword("WindowMode", &saved)) << "save " << save;
            EXPECT_EQ(saved, c.saved) << "save " << save;
        }
    }
}
