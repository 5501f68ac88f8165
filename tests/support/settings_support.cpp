#include "support/settings_support.h"

#include <commctrl.h>

#include <cstring>
#include <sstream>

#include "shell/launcher_state.h"
#include "support/test_support.h"

const char* const kSettingsKeyPath = "SOFTWARE\\Tarsin\\Ozi\\Config";
const char* const kSettingNames[5] = { "Resolution", "WindowMode", "SoundOnOff", "MusicOnOff", "VolumeLevel" };

static DWORD SettingAt(const ClientSettings& settings, int index)
{
    const DWORD values[5] = { settings.resolution, settings.windowMode, settings.sound, settings.music,
                              settings.volume };
    return values[index];
}

void StoreSettings(const ClientSettings& settings)
{
    for (int i = 0; i < 5; ++i)
        SetConfigDword(kSettingNames[i], SettingAt(settings, i));
}

::testing::AssertionResult ConfigHolds(const ClientSettings& expected)
{
    std::ostringstream differences;
    for (int i = 0; i < 5; ++i) {
        RawValue raw = ReadRawConfigValue(kSettingNames[i]);
        DWORD want = SettingAt(expected, i);
        if (!raw.exists) {
            differences << kSettingNames[i] << " missing (want " << want << "); ";
            continue;
        }
        DWORD got = 0;
        if (raw.data.size() == 4)
            memcpy(&got, raw.data.data(), 4);
        if (raw.type != REG_DWORD || raw.data.size() != 4 || got != want)
            differences << kSettingNames[i] << " type " << raw.type << ", " << raw.data.size() << " bytes, value "
                        << got << " (want a 4-byte REG_DWORD " << want << "); ";
    }
    if (differences.str().empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differences.str();
}

RawValue ReadRawConfigValue(const char* name)
{
    RawValue raw = { false, 0, {} };
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return raw;
    DWORD sizeInBytes = 0;
    if (RegQueryValueExA(key, name, NULL, &raw.type, NULL, &sizeInBytes) == ERROR_SUCCESS) {
        raw.data.resize(sizeInBytes);
        if (RegQueryValueExA(key, name, NULL, &raw.type, raw.data.data(), &sizeInBytes) == ERROR_SUCCESS) {
            raw.exists = true;
            raw.data.resize(sizeInBytes);
        }
    }
    RegCloseKey(key);
    return raw;
}

bool ConfigValueExists(const char* name)
{
    return ReadRawConfigValue(name).exists;
}

void DeleteConfigValue(const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, name);
    RegCloseKey(key);
}

bool UserKeyExists(const char* subKeyPath)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, subKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

PanelState ReadPanel(HWND mainWindow)
{
    PanelState state;
    state.row = SendMessageW(GetDlgItem(mainWindow, ID_RESOLUTION), CB_GETCURSEL, 0, 0);
    state.fullScreen = SendMessageW(GetDlgItem(mainWindow, ID_FULLSCREEN), BM_GETCHECK, 0, 0);
    state.sound = SendMessageW(GetDlgItem(mainWindow, ID_SOUND), BM_GETCHECK, 0, 0);
    state.music = SendMessageW(GetDlgItem(mainWindow, ID_MUSIC), BM_GETCHECK, 0, 0);
    state.volume = SendMessageW(GetDlgItem(mainWindow, ID_VOLUME), TBM_GETPOS, 0, 0);
    return state;
}

bool operator==(const PanelState& a, const PanelState& b)
{
    return a.row == b.row && a.fullScreen == b.fullScreen && a.sound == b.sound && a.music == b.music &&
           a.volume == b.volume;
}

std::ostream& operator<<(std::ostream& out, const PanelState& state)
{
    return out << "{row " << (long long)state.row << ", full screen " << (long long)state.fullScreen << ", sound "
               << (long long)state.sound << ", music " << (long long)state.music << ", volume "
               << (long long)state.volume << "}";
}

std::wstring ComboItemText(HWND combo, LRESULT index)
{
    LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, (WPARAM)index, 0);
    if (length == CB_ERR || length < 0)
        return L"<no item>";
    std::vector<wchar_t> text(length + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, (WPARAM)index, (LPARAM)text.data());
    return std::wstring(text.data());
}

static bool SetSettingsKeyDacl(bool denyWrites)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, READ_CONTROL | WRITE_DAC, &key) != ERROR_SUCCESS)
        return false;
    BYTE everyone[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof(everyone);
    CreateWellKnownSid(WinWorldSid, NULL, everyone, &sidSize);
    BYTE aclBuffer[256];
    ACL* acl = (ACL*)aclBuffer;
    InitializeAcl(acl, sizeof(aclBuffer), ACL_REVISION);
    // A deny entry must come before the grant it narrows.
    if (denyWrites)
        AddAccessDeniedAce(acl, ACL_REVISION, KEY_SET_VALUE | KEY_CREATE_SUB_KEY, everyone);
    AddAccessAllowedAce(acl, ACL_REVISION, KEY_ALL_ACCESS, everyone);
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE);
    LONG result = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool DenySettingsWrites()
{
    if (!SetSettingsKeyDacl(true))
        return false;
    HKEY key;
    LONG result = RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_SET_VALUE, &key);
    if (result == ERROR_SUCCESS) {
        RegCloseKey(key);
        AllowSettingsWrites();
        return false;
    }
    return result == ERROR_ACCESS_DENIED;
}

void AllowSettingsWrites()
{
    SetSettingsKeyDacl(false);
}
