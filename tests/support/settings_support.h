// Helpers of the settings tests: the five client values as one record, raw access to
// the client settings key, and the panel controls read through messages only, so the
// same reads work on the launcher in this process and in another one.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

extern const char* const kSettingsKeyPath;
extern const char* const kSettingNames[5];

// The five values in the order the launcher writes them.
struct ClientSettings {
    DWORD resolution;
    DWORD windowMode;
    DWORD sound;
    DWORD music;
    DWORD volume;
};

const ClientSettings kDefaultSettings = { 3, 1, 1, 1, 5 };

void StoreSettings(const ClientSettings& settings);
// Success when all five exist as 4-byte REG_DWORD values equal to `expected`; the
// message names every value that differs.
::testing::AssertionResult ConfigHolds(const ClientSettings& expected);

struct RawValue {
    bool exists;
    DWORD type;
    std::vector<BYTE> data;
};
RawValue ReadRawConfigValue(const char* name);
bool ConfigValueExists(const char* name);
void DeleteConfigValue(const char* name);
// Whether HKEY_CURRENT_USER\subKeyPath exists.
bool UserKeyExists(const char* subKeyPath);

// What the panel shows, read with messages that carry no pointers.
struct PanelState {
    LRESULT row;
    LRESULT fullScreen;
    LRESULT sound;
    LRESULT music;
    LRESULT volume;
};
PanelState ReadPanel(HWND mainWindow);
bool operator==(const PanelState& a, const PanelState& b);
std::ostream& operator<<(std::ostream& out, const PanelState& state);

// An item's text with the wide message: across processes Wine's narrow one returns
// only the first character.
std::wstring ComboItemText(HWND combo, LRESULT index);

// Denies everyone the rights to set values and create sub-keys on the settings key,
// reads stay allowed. False when the platform does not enforce the denial.
bool DenySettingsWrites();
void AllowSettingsWrites();
