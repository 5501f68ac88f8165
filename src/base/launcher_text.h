// The texts a player reads, in the player's language, from the string tables in the
// executable's resources. Wide: Cyrillic or Turkish letters show on any code page.
#pragma once

#include <windows.h>

#include "base/text_ids.h"

// Picks the table once, before the first text is shown: the user's display language
// (or the one the build names, VELKORA_LANGUAGE), else that language as spoken in
// another country, else English.
void ChooseTextLanguage();
// The text of id in the chosen table, copied into buffer (capacity in characters) and
// terminated; empty when the resources have none. Returns buffer.
const wchar_t* LauncherText(UINT id, wchar_t* buffer, int capacity);
