#include "base/system_libraries.h"

#include "base/launcher_state.h"

const char* const* gMissingSystemFunctions;

void RestrictLibrarySearch()
{
    // Windows 8 on, and Vista and 7 with the loader update of 2011: looked up, so that
    // a system without it still starts.
    typedef BOOL(WINAPI * SetDefaultFunction)(DWORD);
    auto setDefault = (SetDefaultFunction)(void*)SystemFunction(GetModuleHandleW(L"kernel32.dll"),
                                                                "SetDefaultDllDirectories");
    if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        gLauncher.systemLibraryFlags = 0;
        return;
    }
    // Without it the current folder at least leaves the search, and each library loaded
    // by its full path has its own imports looked for beside it, in the system folder,
    // instead of beside the launcher.
    SetDllDirectoryW(L"");
    gLauncher.systemLibraryFlags = LOAD_WITH_ALTERED_SEARCH_PATH;
}

HMODULE LoadSystemLibrary(const wchar_t* name)
{
    wchar_t path[MAX_PATH];
    UINT length = GetSystemDirectoryW(path, ARRAYSIZE(path));
    if (length == 0 || length + 1 + lstrlenW(name) >= ARRAYSIZE(path))
        return NULL;
    path[length] = L'\\';
    lstrcpyW(path + length + 1, name);
    return LoadLibraryExW(path, NULL, gLauncher.systemLibraryFlags);
}

FARPROC SystemFunction(HMODULE library, const char* name)
{
    for (const char* const* missing = gMissingSystemFunctions; missing && *missing; ++missing) {
        // By hand: strcmp would be one more import, for the tests' sake alone.
        const char* a = *missing;
        const char* b = name;
        while (*a && *a == *b)
            ++a, ++b;
        if (*a == *b)
            return NULL;
    }
    return library ? GetProcAddress(library, name) : NULL;
}
