// Where the launcher's libraries come from: the system folder, never the game's folder,
// which the player and any program they run can write to.
#pragma once

#include <windows.h>

// Run first in WinMain: from then on a library named without a folder, whether the
// launcher or the system's own code asks for it, is looked for in the system folder only.
void RestrictLibrarySearch();
// A library from the system folder by its full path, for what is loaded at first use;
// never one of that name lying beside the launcher. NULL when it cannot be loaded.
HMODULE LoadSystemLibrary(const wchar_t* name);
