#include "settings/client_settings.h"

#include <commctrl.h>

#include "base/launcher_state.h"
#include "settings/resolutions.h"

static const char* const kResolutionValue = "Resolution";
static const char* const kWindowModeValue = "WindowMode";
static const char* const kSoundValue = "SoundOnOff";
static const char* const kMusicValue = "MusicOnOff";
static const char* const kVolumeValue = "VolumeLevel";

DWORD ReadConfigDword(const char* valueName, DWORD defaultValue)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, CONFIG_KEY_PATH, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return defaultValue;
    DWORD value = defaultValue;
    DWORD type = 0;
    DWORD size = sizeof(value);
    // A REG_DWORD shorter than 4 bytes replaces only the low-order bytes of the
    // default; anything longer makes the query fail.
    LONG result = RegQueryValueExA(key, valueName, NULL, &type, (BYTE*)&value, &size);
    if (result != ERROR_SUCCESS || type != REG_DWORD)
        value = defaultValue;
    RegCloseKey(key);
    return value;
}

void WriteConfigDword(const char* valueName, DWORD value)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, CONFIG_KEY_PATH, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        NULL, &key, NULL) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, valueName, 0, REG_DWORD, (const BYTE*)&value, sizeof(value));
    RegCloseKey(key);
}

static void SetChecked(HWND box, bool checked)
{
    SendMessageA(box, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

static bool IsChecked(HWND box)
{
    return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void LoadResolutionSetting()
{
    for (int row = 0; row < kResolutionCount; ++row)
        SendMessageA(gLauncher.resolutionCombo, CB_ADDSTRING, 0, (LPARAM)kResolutions[row].label);
    int row = ResolutionRowForId(ReadConfigDword(kResolutionValue, 3));
    SendMessageA(gLauncher.resolutionCombo, CB_SETCURSEL, row, 0);
}

// "WindowMode" says window mode; the box offers full screen, so 0 checks it.
void LoadWindowModeSetting()
{
    SetChecked(gLauncher.fullScreenCheck, ReadConfigDword(kWindowModeValue, 1) == 0);
}

void LoadSoundSetting()
{
    SetChecked(gLauncher.soundCheck, ReadConfigDword(kSoundValue, 1) != 0);
}

void LoadMusicSetting()
{
    SetChecked(gLauncher.musicCheck, ReadConfigDword(kMusicValue, 1) != 0);
}

void LoadVolumeSetting()
{
    // Out-of-range values (0xFFFFFFFF is -1 here) are clamped by the trackbar.
    LONG volume = (LONG)ReadConfigDword(kVolumeValue, 5);
    SendMessageA(gLauncher.volumeTrackbar, TBM_SETPOS, TRUE, volume);
}

void SaveClientSettings()
{
    WPARAM row = (WPARAM)SendMessageA(gLauncher.resolutionCombo, CB_GETCURSEL, 0, 0);
    if (row < (WPARAM)kResolutionCount)
        WriteConfigDword(kResolutionValue, kResolutions[row].id);
    WriteConfigDword(kWindowModeValue, IsChecked(gLauncher.fullScreenCheck) ? 0 : 1);
    WriteConfigDword(kSoundValue, IsChecked(gLauncher.soundCheck) ? 1 : 0);
    WriteConfigDword(kMusicValue, IsChecked(gLauncher.musicCheck) ? 1 : 0);
    WriteConfigDword(kVolumeValue, (DWORD)SendMessageA(gLauncher.volumeTrackbar, TBM_GETPOS, 0, 0));
}
