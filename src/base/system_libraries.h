// Where the launcher's libraries come from: the system folder, never the game's folder,
// which the player and any program they run can write to; and the one place that looks up
// their functions at run time.
#pragma once

#include <windows.h>

// Run first in WinMain: from then on a library named without a folder, whether the
// launcher or the system's own code asks for it, is looked for in the system folder only.
void RestrictLibrarySearch();
// A library from the system folder by its full path, for what is loaded at first use;
// never one of that name lying beside the launcher. NULL when it cannot be loaded.
HMODULE LoadSystemLibrary(const wchar_t* name);
// A function of a system library, looked up where the launcher runs: those of the newer
// systems, and those of the libraries loaded at first use. NULL where the library or the
// system lacks it, or where gMissingSystemFunctions names it.
FARPROC SystemFunction(HMODULE library, const char* name);
// Names that SystemFunction answers NULL for, up to a NULL, as an older Windows would:
// only the tests fill it, to run the launcher as on each system it promises to run on.
extern const char* const* gMissingSystemFunctions;
