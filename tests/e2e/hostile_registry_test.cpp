// The five client settings stored in every shape but the right one: each registry
// type with 0 to 8 data bytes and a large block, the key or a value missing, a sub-key
// in a value's place. The launcher's window is built in this process; the panel must
// show what a REG_DWORD reader makes of the data (the default, or for a short
// REG_DWORD the default with its low-order bytes replaced), and the save on close
// must leave five 4-byte REG_DWORD values within their ranges.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace {

const char kConfigPath[] = "SOFTWARE\\Tarsin\\Ozi\\Config";

enum Setting { kResolution, kWindowMode, kSound, kMusic, kVolume, kSettingCount };

struct SettingInfo {
    const wchar_t* wideName;
    const char* name;
    DWORD defaultValue;
    int controlId;
    // Bytes that make a short REG_DWORD read as something other than the default.
    BYTE firstByte;
    DWORD lowest;
    DWORD highest;
};

const SettingInfo kSettings[kSettingCount] = {
    { L"Resolution", "Resolution", 3, 1002, 0x0B, 1, 11 },
    { L"WindowMode", "WindowMode", 1, 1003, 0x00, 0, 1 },
    { L"SoundOnOff", "SoundOnOff", 1, 1004, 0x00, 0, 1 },
    { L"MusicOnOff", "MusicOnOff", 1, 1005, 0x00, 0, 1 },
    { L"VolumeLevel", "VolumeLevel", 5, 1006, 0x07, 0, 10 },
};

// The stored ids in combo box order; written out here rather than taken from the
// launcher, so a wrong table would show.
const DWORD kIdOfRow[] = { 1, 2, 3, 4, 5, 6, 7, 11, 8, 9, 10 };

int RowOfId(DWORD id)
{
    for (int row = 0; row < 11; ++row)
        if (kIdOfRow[row] == id)
            return row;
    return 2;
}

// What the panel shows for a number read, in the control's own terms (row, check
// state or trackbar position), and what the next save writes.
struct Shown {
    LRESULT control;
    DWORD saved;
};

Shown ShownFor(Setting setting, DWORD value)
{
    switch (setting) {
    case kResolution: {
        int row = RowOfId(value);
        return { row, kIdOfRow[row] };
    }
    case kWindowMode:
        return { value == 0 ? BST_CHECKED : BST_UNCHECKED, value == 0 ? 0u : 1u };
    case kSound:
    case kMusic:
        return { value != 0 ? BST_CHECKED : BST_UNCHECKED, value != 0 ? 1u : 0u };
    default: {
        LONG position = (LONG)value;
        position = position < 0 ? 0 : position > 10 ? 10 : position;
        return { position, (DWORD)position };
    }
    }
}

// A REG_DWORD reader with a 4-byte buffer preset to the default: other types and
// longer data give the default, shorter data replaces the low-order bytes.
DWORD ReadAsDword(DWORD type, const std::vector<BYTE>& data, DWORD defaultValue)
{
    if (type != REG_DWORD || data.size() > sizeof(DWORD))
        return defaultValue;
    DWORD value = defaultValue;
    if (!data.empty())
        memcpy(&value, data.data(), data.size());
    return value;
}

HKEY OpenConfig()
{
    HKEY key = NULL;
    RegCreateKeyExA(HKEY_CURRENT_USER, kConfigPath, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL);
    return key;
}

// Stores raw bytes under the wide name, so string types keep exactly these bytes.
// The registry adds a terminating zero to a string whose last character is not one
// when a zero follows in memory; non-zero bytes after the data keep it from that.
void StoreRaw(HKEY key, Setting setting, DWORD type, const std::vector<BYTE>& data)
{
    const wchar_t* name = kSettings[setting].wideName;
    std::vector<BYTE> padded(data);
    padded.insert(padded.end(), 4, 0xFF);
    ASSERT_EQ(RegSetValueExW(key, name, 0, type, data.empty() ? NULL : padded.data(), (DWORD)data.size()),
              ERROR_SUCCESS);
    DWORD storedType = 0, storedSize = 0;
    ASSERT_EQ(RegQueryValueExW(key, name, NULL, &storedType, NULL, &storedSize), ERROR_SUCCESS);
    ASSERT_EQ(storedType, type) << "the registry changed the type on the way in";
    ASSERT_EQ(storedSize, data.size());
}

LRESULT ControlState(const InProcessLauncher& launcher, Setting setting)
{
    HWND control = launcher.Control(kSettings[setting].controlId);
    switch (setting) {
    case kResolution:
        return SendMessageA(control, CB_GETCURSEL, 0, 0);
    case kVolume:
        return SendMessageA(control, TBM_GETPOS, 0, 0);
    default:
        return SendMessageA(control, BM_GETCHECK, 0, 0);
    }
}

// Type and size of each stored value (0 and 0 when it cannot be read), and whether
// the key exists: loading the panel must leave all of it as it was.
std::vector<DWORD> Snapshot()
{
    std::vector<DWORD> state;
    HKEY key;
    bool exists = RegOpenKeyExA(HKEY_CURRENT_USER, kConfigPath, 0, KEY_READ, &key) == ERROR_SUCCESS;
    state.push_back(exists);
    for (int s = 0; s < kSettingCount; ++s) {
        DWORD type = 0, size = 0;
        if (!exists || RegQueryValueExA(key, kSettings[s].name, NULL, &type, NULL, &size) != ERROR_SUCCESS)
            type = size = 0;
        state.push_back(type);
        state.push_back(size);
    }
    if (exists)
        RegCloseKey(key);
    return state;
}

// Builds the window over the stored values, checks the panel against `shown`,
// closes it and checks the five values written.
void CheckPanelAndSave(const Shown (&shown)[kSettingCount], const std::string& what)
{
    SCOPED_TRACE(what);
    std::vector<DWORD> before = Snapshot();
    {
        InProcessLauncher launcher(false);
        ASSERT_TRUE(IsWindow(launcher.Window()));
        for (int s = 0; s < kSettingCount; ++s)
            EXPECT_EQ(ControlState(launcher, (Setting)s), shown[s].control) << kSettings[s].name;
        EXPECT_EQ(Snapshot(), before) << "loading the panel changed the registry";
        launcher.Destroy();
    }
    for (int s = 0; s < kSettingCount; ++s) {
        DWORD type = 0, size = 0, value = 0xDEADBEEF;
        DWORD valueSize = sizeof(value);
        HKEY key;
        ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kConfigPath, 0, KEY_READ, &key), ERROR_SUCCESS);
        LONG result = RegQueryValueExA(key, kSettings[s].name, NULL, &type, NULL, &size);
        RegQueryValueExA(key, kSettings[s].name, NULL, NULL, (BYTE*)&value, &valueSize);
        RegCloseKey(key);
        ASSERT_EQ(result, ERROR_SUCCESS) << kSettings[s].name << " not written";
        EXPECT_EQ(type, (DWORD)REG_DWORD) << kSettings[s].name;
        EXPECT_EQ(size, 4u) << kSettings[s].name;
        EXPECT_GE(value, kSettings[s].lowest) << kSettings[s].name;
        EXPECT_LE(value, kSettings[s].highest) << kSettings[s].name;
        EXPECT_EQ(value, shown[s].saved) << kSettings[s].name;
    }
}

struct TypeCase {
    DWORD type;
    const char* name;
};

void PrintTo(const TypeCase& typeCase, std::ostream* out)
{
    *out << typeCase.name;
}

class HostileRegistryType : public testing::TestWithParam<TypeCase> {};

// All five values at once in the type under test. The filler bytes after the first
// one are 0x00 or 0xFF; "MusicOnOff" takes the other filler, so that it never holds
// the same data as "SoundOnOff", whose rule it shares.
TEST_P(HostileRegistryType, EverySizeShowsWhatADwordReaderSeesAndSavesSanely)
{
    const DWORD type = GetParam().type;
    const size_t kLarge = 65536;
    const size_t sizes[] = { 0, 1, 2, 3, 4, 5, 6, 7, 8, kLarge };
    for (BYTE filler : { (BYTE)0x00, (BYTE)0xFF }) {
        for (size_t size : sizes) {
            DeleteConfigKey();
            HKEY key = OpenConfig();
            ASSERT_NE(key, (HKEY)NULL);
            Shown shown[kSettingCount];
            for (int s = 0; s < kSettingCount; ++s) {
                BYTE fill = s == kMusic ? (BYTE)~filler : filler;
                std::vector<BYTE> data(size, fill);
                if (size > 0)
                    data[0] = kSettings[s].firstByte;
                StoreRaw(key, (Setting)s, type, data);
                shown[s] = ShownFor((Setting)s, ReadAsDword(type, data, kSettings[s].defaultValue));
            }
            RegCloseKey(key);
            CheckPanelAndSave(shown, std::string(GetParam().name) + ", " + std::to_string(size) +
                                         " bytes, filler " + std::to_string(filler));
            if (HasFatalFailure())
                return;
        }
    }
    DeleteConfigKey();
}

const TypeCase kTypes[] = {
    { REG_NONE, "REG_NONE" },
    { REG_SZ, "REG_SZ" },
    { REG_EXPAND_SZ, "REG_EXPAND_SZ" },
    { REG_BINARY, "REG_BINARY" },
    { REG_DWORD, "REG_DWORD" },
    { REG_DWORD_BIG_ENDIAN, "REG_DWORD_BIG_ENDIAN" },
    { REG_LINK, "REG_LINK" },
    { REG_MULTI_SZ, "REG_MULTI_SZ" },
    { REG_RESOURCE_LIST, "REG_RESOURCE_LIST" },
    { REG_FULL_RESOURCE_DESCRIPTOR, "REG_FULL_RESOURCE_DESCRIPTOR" },
    { REG_RESOURCE_REQUIREMENTS_LIST, "REG_RESOURCE_REQUIREMENTS_LIST" },
    { REG_QWORD, "REG_QWORD" },
    // Types no program should write; the registry stores them all the same.
    { 0x0000000C, "unknown_12" },
    { 0x7FFFFFFF, "unknown_7FFFFFFF" },
    { 0xFFFFFFFF, "unknown_FFFFFFFF" },
};

INSTANTIATE_TEST_SUITE_P(Types, HostileRegistryType, testing::ValuesIn(kTypes),
                         [](const testing::TestParamInfo<TypeCase>& info) { return std::string(info.param.name); });

Shown DefaultsShown(Setting setting)
{
    return ShownFor(setting, kSettings[setting].defaultValue);
}

TEST(HostileRegistry, KeyMissingShowsDefaultsAndSaveCreatesIt)
{
    DeleteConfigKey();
    Shown shown[kSettingCount];
    for (int s = 0; s < kSettingCount; ++s)
        shown[s] = DefaultsShown((Setting)s);
    CheckPanelAndSave(shown, "no key");
    DeleteConfigKey();
}

// Only the parent exists, holding a value named like the key.
TEST(HostileRegistry, ValueInPlaceOfTheKey)
{
    DeleteConfigKey();
    HKEY parent;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\Tarsin\\Ozi", 0, NULL, 0, KEY_ALL_ACCESS, NULL, &parent,
                              NULL),
              ERROR_SUCCESS);
    DWORD eleven = 11;
    RegSetValueExA(parent, "Config", 0, REG_DWORD, (const BYTE*)&eleven, sizeof(eleven));
    RegCloseKey(parent);
    Shown shown[kSettingCount];
    for (int s = 0; s < kSettingCount; ++s)
        shown[s] = DefaultsShown((Setting)s);
    CheckPanelAndSave(shown, "a value named Config");
    DeleteConfigKey();
}

// Ordinary values that differ from every default, for the cases where one value
// alone is in trouble.
const DWORD kOrdinary[kSettingCount] = { 11, 0, 0, 0, 9 };

TEST(HostileRegistry, EachValueMissingTakesItsDefaultAlone)
{
    for (int missing = 0; missing < kSettingCount; ++missing) {
        DeleteConfigKey();
        Shown shown[kSettingCount];
        for (int s = 0; s < kSettingCount; ++s) {
            if (s == missing) {
                shown[s] = DefaultsShown((Setting)s);
            } else {
                SetConfigDword(kSettings[s].name, kOrdinary[s]);
                shown[s] = ShownFor((Setting)s, kOrdinary[s]);
            }
        }
        CheckPanelAndSave(shown, std::string(kSettings[missing].name) + " missing");
        if (HasFatalFailure())
            break;
    }
    DeleteConfigKey();
}

// A sub-key with the value's name, holding a value of that name itself: only
// values of the key count, so the setting is missing.
TEST(HostileRegistry, SubKeyNamedLikeTheValue)
{
    for (int odd = 0; odd < kSettingCount; ++odd) {
        DeleteConfigKey();
        Shown shown[kSettingCount];
        for (int s = 0; s < kSettingCount; ++s) {
            if (s != odd) {
                SetConfigDword(kSettings[s].name, kOrdinary[s]);
                shown[s] = ShownFor((Setting)s, kOrdinary[s]);
            }
        }
        std::string subKeyPath = std::string(kConfigPath) + "\\" + kSettings[odd].name;
        HKEY subKey;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, subKeyPath.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &subKey,
                                  NULL),
                  ERROR_SUCCESS);
        DWORD inside = kOrdinary[odd];
        RegSetValueExA(subKey, kSettings[odd].name, 0, REG_DWORD, (const BYTE*)&inside, sizeof(inside));
        RegSetValueExA(subKey, NULL, 0, REG_DWORD, (const BYTE*)&inside, sizeof(inside));
        RegCloseKey(subKey);
        shown[odd] = DefaultsShown((Setting)odd);
        CheckPanelAndSave(shown, std::string("sub-key ") + kSettings[odd].name);
        // The save wrote the value beside the sub-key, which is still there.
        HKEY check;
        EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, subKeyPath.c_str(), 0, KEY_READ, &check), ERROR_SUCCESS);
        RegCloseKey(check);
        if (HasFatalFailure())
            break;
    }
    DeleteConfigKey();
}

// The key's unnamed default value and thousands of unrelated values change nothing.
TEST(HostileRegistry, CrowdedKeyStillReadsItsOwnValues)
{
    DeleteConfigKey();
    HKEY key = OpenConfig();
    ASSERT_NE(key, (HKEY)NULL);
    DWORD zero = 0;
    RegSetValueExA(key, NULL, 0, REG_DWORD, (const BYTE*)&zero, sizeof(zero));
    for (int i = 0; i < 5000; ++i) {
        std::string name = "Resolution" + std::to_string(i);
        DWORD junk = (DWORD)i;
        RegSetValueExA(key, name.c_str(), 0, REG_DWORD, (const BYTE*)&junk, sizeof(junk));
    }
    RegCloseKey(key);
    Shown shown[kSettingCount];
    for (int s = 0; s < kSettingCount; ++s) {
        SetConfigDword(kSettings[s].name, kOrdinary[s]);
        shown[s] = ShownFor((Setting)s, kOrdinary[s]);
    }
    CheckPanelAndSave(shown, "crowded key");
    DeleteConfigKey();
}

}  // namespace
