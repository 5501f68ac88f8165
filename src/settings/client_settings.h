// The game client's five settings, kept as REG_DWORD values where the client reads them.
#pragma once

#include <windows.h>

#define CONFIG_KEY_PATH "SOFTWARE\\Tarsin\\Ozi\\Config"

// The stored value, or defaultValue when it cannot be read as a REG_DWORD.
// Never creates the key.
DWORD ReadConfigDword(const char* valueName, DWORD defaultValue);
// Creates the key when needed; failures are silent.
void WriteConfigDword(const char* valueName, DWORD value);

// The load steps, each run right after its control has been created and prepared.
void LoadResolutionSetting();
void LoadWindowModeSetting();
void LoadSoundSetting();
void LoadMusicSetting();
void LoadVolumeSetting();

// Writes all five values from the panel controls.
void SaveClientSettings();
